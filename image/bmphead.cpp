// The file header and the information header of every BMP version, and
// the checks a file must pass before its colours and dots are read.
#include "bmpread.h"

#include "../base/sizes.h"

#include <cstdarg>
#include <cstdint>

namespace {

constexpr int FILE_HEADER = 14;
constexpr int INFO_MAX = 124;
// A dot more than this many times as wide as it is high (or the other way
// round) is no picture's: the resolutions are damaged.
constexpr long DENSITY_RATIO_MAX = 1000;

long i32(const unsigned char *p) { return (long)(int32_t)bmp_u32(p); }

// The information header sizes of the versions: OS/2 1.x, OS/2 2.x (16 and
// 64), Windows 3, V2, V3, V4 and V5.
bool known_info(uint32_t info)
{
    for (uint32_t n : {12, 16, 40, 52, 56, 64, 108, 124})
        if (info == n)
            return true;
    return false;
}

bool os2_v2(int info) { return info == 16 || info == 64; }

// The fields as stored; those a header version lacks are 0.
struct fields {
    uint32_t file_size = 0, offset = 0, info = 0;
    long w = 0, h = 0;
    uint32_t planes = 0, bits = 0, comp = 0, image_size = 0, colours = 0;
    long xppm = 0, yppm = 0;
    uint32_t mask[4] = {};
};

bool read_fields(const bmp_file &src, fields &fd, bmp_why &why)
{
    unsigned char b[FILE_HEADER + INFO_MAX] = {};
    if (!src.read(0, FILE_HEADER + 4, b))
        return why("the file ends inside its headers (%ld bytes)", src.size);
    if (b[0] != 'B' || b[1] != 'M')
        return why("not a BMP file (it does not begin with BM)");
    fd.file_size = bmp_u32(b + 2);
    fd.offset = bmp_u32(b + 10);
    fd.info = bmp_u32(b + 14);
    if (!known_info(fd.info))
        return why("an information header of %lu bytes, which no BMP version has",
                   (unsigned long)fd.info);
    if (!src.read(FILE_HEADER, fd.info, b + FILE_HEADER))
        return why("the file ends inside its headers (%ld of %lu bytes)", src.size,
                   (unsigned long)(FILE_HEADER + fd.info));
    const unsigned char *p = b + FILE_HEADER;
    // OS/2 1.x: 16-bit sizes, no more fields
    if (fd.info == 12) {
        fd.w = bmp_u16(p + 4);
        fd.h = bmp_u16(p + 6);
        fd.planes = bmp_u16(p + 8);
        fd.bits = bmp_u16(p + 10);
        return true;
    }
    fd.w = i32(p + 4);
    fd.h = i32(p + 8);
    fd.planes = bmp_u16(p + 12);
    fd.bits = bmp_u16(p + 14);
    if (fd.info >= 40) {
        fd.comp = bmp_u32(p + 16);
        fd.image_size = bmp_u32(p + 20);
        fd.xppm = i32(p + 24);
        fd.yppm = i32(p + 28);
        fd.colours = bmp_u32(p + 32);
    }
    // Windows V2 and later hold the masks in the header
    if (fd.info >= 52 && fd.info != 64)
        for (int c = 0; c < (fd.info >= 56 ? 4 : 3); c++)
            fd.mask[c] = bmp_u32(p + 40 + 4 * c);
    return true;
}

// The compression method, and the bits per dot it allows.
bool check_kind(const fields &fd, bmp_head &hd, bmp_why &why)
{
    if (fd.planes != 1)
        return why("%lu planes, where a BMP file has 1", (unsigned long)fd.planes);
    // OS/2 2.x numbers its methods 3 and 4 otherwise, and has no more
    const uint32_t last = os2_v2(hd.info) ? 4 : BMP_ALPHABITFIELDS;
    hd.comp = fd.comp <= last ? (int)fd.comp : -1;
    if (os2_v2(hd.info) && (fd.comp == 3 || fd.comp == 4))
        hd.comp = fd.comp == 3 ? BMP_HUFFMAN : BMP_RLE24;
    const unsigned long bits = fd.bits;
    switch (hd.comp) {
    case BMP_RGB:
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 &&
            bits != 32)
            return why("%lu bits per dot; KORU reads 1, 2, 4, 8, 16, 24 and 32", bits);
        break;
    case BMP_RLE8:
    case BMP_RLE4:
        if (bits != (hd.comp == BMP_RLE8 ? 8u : 4u))
            return why("RLE%d compression of %lu bits per dot", hd.comp == BMP_RLE8 ? 8 : 4, bits);
        break;
    case BMP_BITFIELDS:
    case BMP_ALPHABITFIELDS:
        if (bits != 16 && bits != 32)
            return why("bit-field masks for %lu bits per dot (they are for 16 and 32)", bits);
        break;
    case BMP_JPEG:
    case BMP_PNG:
        return why("a %s picture inside a BMP file, which KORU does not read",
                   hd.comp == BMP_JPEG ? "JPEG" : "PNG");
    case BMP_HUFFMAN:
    case BMP_RLE24:
        return why("compressed by OS/2's %s, which KORU does not read",
                   hd.comp == BMP_HUFFMAN ? "Huffman 1D coding" : "RLE24");
    default:
        return why("compressed by method %lu, which KORU does not read", (unsigned long)fd.comp);
    }
    hd.bits = (int)bits;
    return true;
}

// The size in dots, the row order and the shape of a dot.
bool check_size(const fields &fd, bmp_head &hd, bmp_why &why)
{
    hd.w = fd.w;
    hd.h = fd.h;
    if (hd.h < 0 && hd.h > INT32_MIN) {
        hd.topdown = true;
        hd.h = -hd.h;
    }
    if (hd.w <= 0 || hd.h <= 0)
        return why("the header gives the size %ld x %ld", fd.w, fd.h);
    if (hd.w > WIDTH_MAX || hd.h > HEIGHT_MAX)
        return why("%ld x %ld dots is larger than %d x %d", hd.w, hd.h, WIDTH_MAX, HEIGHT_MAX);
    if (hd.topdown && (hd.comp == BMP_RLE8 || hd.comp == BMP_RLE4))
        return why("compressed rows stored top row first, which BMP does not allow");
    const long x = fd.xppm, y = fd.yppm;
    if (x > 0 && y > 0 && (x / DENSITY_RATIO_MAX > y || y / DENSITY_RATIO_MAX > x))
        return why("the resolutions across and down (%ld and %ld dots per metre) differ "
                   "over a thousandfold",
                   x, y);
    return true;
}

// Where the masks and the dots lie, against the file's own size.
bool check_extent(const bmp_file &src, const fields &fd, bmp_head &hd, bmp_why &why)
{
    hd.masks_at = FILE_HEADER + hd.info;
    if (hd.info < 52 || hd.info == 64)
        hd.mask_count = hd.comp == BMP_BITFIELDS ? 3 : hd.comp == BMP_ALPHABITFIELDS ? 4 : 0;
    hd.offset = fd.offset;
    if (hd.offset < hd.masks_at + 4 * hd.mask_count)
        return why("the pixel data offset %ld lies inside the headers", hd.offset);
    if (hd.offset > src.size)
        return why("cut short: the pixel data offset %ld lies beyond the end of the file (%ld "
                   "bytes)",
                   hd.offset, src.size);
    if (hd.own_kind())
        return true;
    if (fd.file_size > src.size)
        return why("cut short: the header gives %lu bytes, the file has %ld",
                   (unsigned long)fd.file_size, src.size);
    if (fd.image_size > src.size - hd.offset)
        return why("cut short: the header gives %lu bytes of pixels, the file holds %ld",
                   (unsigned long)fd.image_size, src.size - hd.offset);
    return true;
}

} // namespace

bool bmp_why::operator()(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    return false;
}

bool bmp_file::read(long at, size_t n, unsigned char *out) const
{
    if (at < 0 || at > size || n > (size_t)(size - at))
        return false;
    return n == 0 || (std::fseek(f, at, SEEK_SET) == 0 && std::fread(out, 1, n, f) == n);
}

bool read_bmp_head(const bmp_file &src, bmp_head &hd, bmp_why &why)
{
    fields fd;
    if (!read_fields(src, fd, why))
        return false;
    hd = bmp_head{};
    hd.info = (int)fd.info;
    hd.colours = fd.colours;
    for (int c = 0; c < 4; c++)
        hd.mask[c] = fd.mask[c];
    return check_kind(fd, hd, why) && check_size(fd, hd, why) && check_extent(src, fd, hd, why);
}
