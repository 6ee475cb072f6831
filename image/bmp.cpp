#include "rgb.h"

#include "../base/msg.h"
#include "safewrite.h"

#include <cstring>
#include <vector>

namespace {

void put32(unsigned char *p, long v)
{
    unsigned long u = (unsigned long)v;
    p[0] = (unsigned char)u;
    p[1] = (unsigned char)(u >> 8);
    p[2] = (unsigned char)(u >> 16);
    p[3] = (unsigned char)(u >> 24);
}

// The constant fields of the two headers; the computed ones (file size,
// width, height, image size) go in at offsets 2, 18, 22 and 34.
const unsigned char header_table[BMP_HEADER] = {
    'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0,   0, 0, 40, 0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,
    0,   24,  0, 0, 0, 0, 0, 0, 0, 0, 0,  128, 0, 0, 0,  128, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

} // namespace

void bmp_header(unsigned char *file, int w, int h)
{
    const long row = bmp_line_bytes(w);
    for (int i = 0; i < BMP_HEADER; i++)
        file[i] = header_table[i];
    put32(file + 2, row * h + BMP_HEADER);
    put32(file + 18, w);
    put32(file + 22, h);
    put32(file + 34, row * h);
}

long bmp_line_bytes(int w) { return 3L * w + w % 4; }

// rows go bottom-up
long bmp_line_at(int w, int h, int y) { return BMP_HEADER + bmp_line_bytes(w) * (h - 1 - y); }

void bmp_line(unsigned char *p, int w, const unsigned char *r, const unsigned char *g,
              const unsigned char *b)
{
    // blue, green, red, padded with zeros to 4 bytes
    const int pad = w % 4;
    for (int x = 0; x < w; x++) {
        *p++ = b[x];
        *p++ = g[x];
        *p++ = r[x];
    }
    for (int i = 0; i < pad; i++)
        *p++ = 0;
}

void picture::resize(int width, int height)
{
    w = width;
    h = height;
    const size_t n = width > 0 && height > 0 ? (size_t)width * height : 0;
    r.assign(n, 0);
    g.assign(n, 0);
    b.assign(n, 0);
}

void to_planes(const picture &pic, planes &pl)
{
    const size_t n = pic.r.size() < (size_t)PLANE_BYTES ? pic.r.size() : (size_t)PLANE_BYTES;
    if (n == 0)
        return; // no dots: an empty picture's planes have no storage to copy from
    std::memcpy(pl.r, pic.r.data(), n);
    std::memcpy(pl.g, pic.g.data(), n);
    std::memcpy(pl.b, pic.b.data(), n);
}

void from_planes(const planes &pl, int w, int h, picture &pic)
{
    pic.resize(w, h);
    const size_t n = pic.r.size();
    if (n == 0)
        return;
    std::memcpy(pic.r.data(), pl.r, n);
    std::memcpy(pic.g.data(), pl.g, n);
    std::memcpy(pic.b.data(), pl.b, n);
}

int save_bmp(const char *path, int w, int h, const unsigned char *r, const unsigned char *g,
             const unsigned char *b, msglist &msgs)
{
    if (w < 0 || h < 0 || w > WIDTH_MAX || h > HEIGHT_MAX) {
        msgs.add("cannot write \"%s\": the picture size %d x %d is outside 0..%d x 0..%d", path, w,
                 h, WIDTH_MAX, HEIGHT_MAX);
        return 0;
    }
    // the file ends where a row above the top one would start (rows go
    // bottom-up)
    std::vector<unsigned char> file((size_t)bmp_line_at(w, h, -1));
    bmp_header(file.data(), w, h);
    for (int y = 0; y < h; y++) {
        const long base = (long)y * w;
        bmp_line(file.data() + bmp_line_at(w, h, y), w, r + base, g + base, b + base);
    }
    return write_file_safely(path, file.data(), file.size(), msgs);
}
