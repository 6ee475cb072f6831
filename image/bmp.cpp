#include "rgb.h"

#include "../base/msg.h"
#include "../base/openread.h"
#include "picio.h"
#include "safewrite.h"

#include <climits>
#include <cstdio>
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

long get32(const unsigned char *p)
{
    unsigned long u =
        p[0] | (p[1] << 8) | ((unsigned long)p[2] << 16) | ((unsigned long)p[3] << 24);
    return (long)(int)(unsigned)u;
}

int get16(const unsigned char *p) { return p[0] | (p[1] << 8); }

// The constant fields of the two headers; the computed ones (file size,
// width, height, image size) go in at offsets 2, 18, 22 and 34.
const unsigned char header_table[BMP_HEADER] = {
    'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0,   0, 0, 40, 0,   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,
    0,   24,  0, 0, 0, 0, 0, 0, 0, 0, 0,  128, 0, 0, 0,  128, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

int refuse(msglist &msgs, const char *path, const char *fmt, long a = 0, long b = 0)
{
    char why[160];
    std::snprintf(why, sizeof why, fmt, a, b);
    return refuse_picture(msgs, path, why);
}

} // namespace

int refuse_picture(msglist &msgs, const char *path, const char *why)
{
    msgs.add("\"%s\" is refused: %s", path, why);
    return RGB_REFUSED;
}

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

int save_rgb(const char *path, const planes &pl, int w, int h, msglist &msgs)
{
    return save_bmp(path, w, h, pl.r, pl.g, pl.b, msgs);
}

int load_rgb(const char *path, planes &pl, int &width, int &height, msglist &msgs)
{
    std::FILE *f = open_to_read(path, msgs);
    if (!f)
        return RGB_NOFILE;
    int rc = load_bmp_file(f, path, pl, width, height, msgs);
    std::fclose(f);
    return rc;
}

int load_bmp_file(std::FILE *f, const char *path, planes &pl, int &width, int &height,
                  msglist &msgs)
{
    unsigned char hd[BMP_HEADER];
    size_t got = std::fread(hd, 1, BMP_HEADER, f);
    int rc = RGB_LOADED;
    long w = 0, h = 0, offset = 0;
    bool topdown = false;
    if (got < 2 || hd[0] != 'B' || hd[1] != 'M') {
        rc = refuse(msgs, path, "not a BMP file (it does not begin with BM)");
    } else if (got < BMP_HEADER) {
        rc = refuse(msgs, path, "the file ends inside its header (%ld of 54 bytes)", (long)got);
    } else {
        offset = get32(hd + 10);
        long info = get32(hd + 14);
        w = get32(hd + 18);
        h = get32(hd + 22);
        int bits = get16(hd + 28);
        long comp = get32(hd + 30);
        if (h < 0 && h > INT_MIN) {
            topdown = true;
            h = -h;
        }
        if (info < 40)
            rc = refuse(msgs, path,
                        "an old-style header of %ld bytes; KORU reads headers of 40 bytes or more",
                        info);
        else if (bits != 24)
            rc = refuse(msgs, path, "%ld bits per dot; KORU reads 24-bit pictures only", bits);
        else if (comp != 0)
            rc = refuse(msgs, path,
                        "compressed (method %ld); KORU reads uncompressed pictures only", comp);
        else if (w <= 0 || h <= 0)
            rc = refuse(msgs, path, "the header gives the size %ld x %ld", w, topdown ? -h : h);
        else if (w > WIDTH_MAX || h > HEIGHT_MAX)
            rc = refuse(msgs, path, "%ld x %ld dots is larger than 1024 x 768", w, h);
        else if (offset < BMP_HEADER || offset < 14 + info)
            rc = refuse(msgs, path, "the pixel data offset %ld lies inside the headers", offset);
    }
    if (rc != RGB_LOADED) {
        width = height = 0;
        return rc;
    }

    width = (int)w;
    height = (int)h;
    const int pad = (int)(w % 4);
    const long row = 3 * w + pad;
    // bytes of the pixel data that are in the file; the rest read as 255
    std::vector<unsigned char> data((size_t)(row * h), 255);
    long have = 0;
    if (std::fseek(f, offset, SEEK_SET) == 0)
        have = (long)std::fread(data.data(), 1, data.size(), f);
    if (have < row * h)
        msgs.add("\"%s\" ends inside its pixels (%ld of %ld bytes); the missing part is white",
                 path, have, row * h);

    const unsigned char *p = data.data();
    for (long k = 0; k < h; k++) {
        const long y = topdown ? k : h - 1 - k;
        const long base = y * w;
        for (long x = 0; x < w; x++) {
            pl.b[base + x] = *p++;
            pl.g[base + x] = *p++;
            pl.r[base + x] = *p++;
        }
        p += pad;
    }
    return RGB_LOADED;
}
