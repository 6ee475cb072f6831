// bmpread.h - inside the image layer: the steps of reading a BMP file.
//
// load_bmp_file (picio.h) reads the headers (read_bmp_head), then the
// colours the stored dots refer to (read_bmp_palette or read_bmp_masks),
// then the dots: rows as stored (bmp_index_rows, bmp_rgb_rows) or run-length
// coded (bmp_rle). Each step checks what it reads and, when the file cannot
// be shown, returns false with one line saying why in a bmp_why; nothing
// is ever read outside the file.
//
// The kinds read: 1, 2, 4 and 8 bits per dot through a palette, rows as
// stored or RLE4 / RLE8 coded; 16 and 32 bits per dot in the default
// layout (5-5-5, 8-8-8 with alpha above) or by bit-field masks; 24 bits.
// Headers of 12 (OS/2 1.x), 16 and 64 (OS/2 2.x), 40, 52, 56, 108 and 124
// bytes (Windows 3 to V5). A colour profile is not applied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// Little-endian words as the file stores them.
inline uint32_t bmp_u16(const unsigned char *p) { return p[0] | (uint32_t)p[1] << 8; }
inline uint32_t bmp_u32(const unsigned char *p)
{
    return p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

// The reason a file is refused.
struct bmp_why {
    char text[200] = "";
    bool operator()(const char *fmt, ...) __attribute__((format(printf, 2, 3)));
};

// The file to read, of size bytes.
struct bmp_file {
    std::FILE *f = nullptr;
    long size = 0;
    // The n bytes at offset at into out; false when they are not all in
    // the file.
    bool read(long at, size_t n, unsigned char *out) const;
};

enum {
    BMP_RGB = 0, // rows as stored
    BMP_RLE8 = 1,
    BMP_RLE4 = 2,
    BMP_BITFIELDS = 3,
    BMP_JPEG = 4,
    BMP_PNG = 5,
    BMP_ALPHABITFIELDS = 6,
    BMP_HUFFMAN = 103, // OS/2 2.x's method 3
    BMP_RLE24 = 104,   // OS/2 2.x's method 4
};

// What the headers say.
struct bmp_head {
    int info = 0;          // bytes of the information header
    long offset = 0;       // where the dots begin
    long w = 0, h = 0;     // size in dots, h > 0
    bool topdown = false;  // rows stored top row first
    int bits = 0;          // per dot
    int comp = BMP_RGB;    // BMP_* (OS/2 2.x's methods mapped)
    long colours = 0;      // palette entries the header names; 0: 2^bits
    uint32_t mask[4] = {}; // red, green, blue, alpha masks held in the header
    long masks_at = 0;     // where masks after the header begin
    int mask_count = 0;    // how many masks follow the header: 0, 3 or 4
    long row_bytes() const { return ((long)w * bits + 31) / 32 * 4; }
    // The uncompressed 24-bit picture of a 40-byte or later header: KORU's
    // own kind, read as KORU always has. Its header sizes are not checked
    // against the file, and a file cut short inside its dots loads with
    // 255 in every sample that is missing (and a warning).
    bool own_kind() const { return bits == 24 && comp == BMP_RGB && info >= 40; }
    // The row, top row 0, of the k-th row stored.
    long row_at(long k) const { return topdown ? k : h - 1 - k; }
};

bool read_bmp_head(const bmp_file &src, bmp_head &hd, bmp_why &why);

// A palette: count colours (the header's, at most 2^bits) as 0xRRGGBB;
// entries the file does not hold are black.
struct bmp_palette {
    int count = 0;
    uint32_t rgb[256] = {};
};

bool read_bmp_palette(const bmp_file &src, const bmp_head &hd, bmp_palette &pal, bmp_why &why);

// One channel of a 16- or 32-bit dot: the value (dot & mask) >> shift, of
// at most max, scaled to 0..255 as round(v * 255 / max).
struct bmp_channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    unsigned char value(uint32_t dot) const
    {
        const uint64_t v = (dot & mask) >> shift;
        return (unsigned char)((v * 255 + max / 2) / max);
    }
};

// Red, green, blue and (when alpha) alpha.
struct bmp_masks {
    bmp_channel c[4];
    bool alpha = false;
};

bool read_bmp_masks(const bmp_file &src, const bmp_head &hd, bmp_masks &m, bmp_why &why);

// The dots of a w x h picture, top row first: palette indices, or red,
// green, blue and alpha (255 where the file has none).
struct bmp_dots {
    std::vector<unsigned char> index; // w * h
    std::vector<unsigned char> rgba;  // 4 * w * h
    long have = -1, need = 0;         // own kind cut short: bytes of dots there, and wanted
};

// Uncompressed rows of 1 to 8 bits (into index) or 16 to 32 bits (into
// rgba); data holds hd.row_bytes() * hd.h bytes as stored (255 where a
// file of KORU's own kind was cut short).
void bmp_index_rows(const bmp_head &hd, const unsigned char *data, bmp_dots &dots);
void bmp_rgb_rows(const bmp_head &hd, const bmp_masks &m, const unsigned char *data,
                  bmp_dots &dots);

// An RLE8 or RLE4 stream of n bytes into dots.index, which holds zeros
// (the palette's first colour) where the stream writes nothing.
bool bmp_rle(const bmp_head &hd, const unsigned char *data, size_t n, bmp_dots &dots, bmp_why &why);
