#include "png.h"

#include "../base/msg.h"
#include "picio.h"
#include "safewrite.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <png.h>
#include <vector>
#include <zlib.h>

// libpng reports errors by longjmp to the setjmp of the function that
// called it. Each function below that calls libpng sets its own jump
// point and holds nothing with a destructor between the two: the buffers
// are made and freed by its caller.

namespace {

constexpr size_t SIG = 8;

// What the callbacks of one read or write share: the file or the growing
// output, and libpng's reason for an error.
struct png_io {
    std::FILE *f = nullptr;
    unsigned char *out = nullptr;
    size_t n = 0, room = 0;
    char why[200] = "";
};

void on_error(png_structp png, png_const_charp text)
{
    png_io *io = (png_io *)png_get_error_ptr(png);
    std::snprintf(io->why, sizeof io->why, "%s", text);
    png_longjmp(png, 1);
}

// libpng's warnings (an odd colour profile, a chunk it skips) change no
// dot: the engine prints nothing, so they go nowhere.
void on_warning(png_structp, png_const_charp) {}

void on_read(png_structp png, png_bytep data, size_t n)
{
    png_io *io = (png_io *)png_get_io_ptr(png);
    if (std::fread(data, 1, n, io->f) != n)
        png_error(png, "the file ends early");
}

void on_write(png_structp png, png_bytep data, size_t n)
{
    png_io *io = (png_io *)png_get_io_ptr(png);
    if (n > io->room - io->n) {
        size_t room = io->room ? io->room : 65536;
        while (n > room - io->n)
            room *= 2;
        unsigned char *p = (unsigned char *)std::realloc(io->out, room);
        if (!p)
            png_error(png, "out of memory");
        io->out = p;
        io->room = room;
    }
    std::memcpy(io->out + io->n, data, n);
    io->n += n;
}

void on_flush(png_structp) {}

// What the header says, after the transformations to 8- or 16-bit RGB(A).
struct png_shape {
    png_uint_32 w = 0, h = 0;
    int channels = 0, depth = 0, passes = 1;
    size_t rowbytes = 0;
};

// Reads up to the pixels and sets up the conversion. 1 when done; 0 with
// libpng's reason in io.why.
int read_head(png_structp png, png_infop info, png_shape &s)
{
    if (setjmp(png_jmpbuf(png)))
        return 0;
    // the size is checked against KORU's own limits once it is known
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_set_sig_bytes(png, 0);
    png_read_info(png, info);
    s.w = png_get_image_width(png, info);
    s.h = png_get_image_height(png, info);
    if (s.w > (png_uint_32)WIDTH_MAX || s.h > (png_uint_32)HEIGHT_MAX)
        return 1;
    png_set_expand(png); // palette and grey below 8 bits to 8 bits; tRNS to alpha
    png_set_gray_to_rgb(png);
    s.passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    s.channels = png_get_channels(png, info);
    s.depth = png_get_bit_depth(png, info);
    s.rowbytes = png_get_rowbytes(png, info);
    return 1;
}

// Reads the rows into data (rowbytes each, filled beforehand); an
// interlaced file puts each pass's dots into place. 1 when all came; 0
// with the reason in io.why.
int read_rows(png_structp png, const png_shape &s, unsigned char *data)
{
    if (setjmp(png_jmpbuf(png)))
        return 0;
    for (int pass = 0; pass < s.passes; pass++)
        for (png_uint_32 y = 0; y < s.h; y++)
            png_read_row(png, data + y * s.rowbytes, nullptr);
    return 1;
}

// One sample of 8 or 16 bits at p.
inline unsigned sample(const unsigned char *p, int depth)
{
    return depth == 16 ? (unsigned)p[0] << 8 | p[1] : p[0];
}

// The dots as 8-bit RGB over white.
void png_to_planes(const png_shape &s, const unsigned char *data, planes &pl)
{
    const int bytes = s.depth == 16 ? 2 : 1;
    const uint64_t M = s.depth == 16 ? 65535 : 255;
    const bool alpha = s.channels == 4;
    for (png_uint_32 y = 0; y < s.h; y++) {
        const unsigned char *p = data + y * s.rowbytes;
        for (png_uint_32 x = 0; x < s.w; x++, p += s.channels * bytes) {
            unsigned c[3];
            const uint64_t a = alpha ? sample(p + 3 * bytes, s.depth) : M;
            for (int k = 0; k < 3; k++) {
                uint64_t v = sample(p + k * bytes, s.depth);
                if (alpha)
                    v = over_white(v, a, M);
                if (bytes == 2)
                    v = (v * 255 + 32767) / 65535;
                c[k] = (unsigned)v;
            }
            const size_t i = (size_t)y * s.w + x;
            pl.r[i] = (unsigned char)c[0];
            pl.g[i] = (unsigned char)c[1];
            pl.b[i] = (unsigned char)c[2];
        }
    }
}

// The filters and compression of an effort (png.h).
void set_effort(png_structp png, int effort)
{
    if (effort == EFFORT_SMALL)
        return;
    png_set_filter(png, PNG_FILTER_TYPE_BASE,
                   effort == EFFORT_FAST ? PNG_FILTER_UP : PNG_ALL_FILTERS);
    png_set_compression_level(png, 1);
    png_set_compression_strategy(png, Z_RLE);
}

// Writes the picture into io.out. 1 when done; 0 with the reason in io.why.
int write_png(png_structp png, png_infop info, int effort, int w, int h, const unsigned char *r,
              const unsigned char *g, const unsigned char *b, unsigned char *row)
{
    if (setjmp(png_jmpbuf(png)))
        return 0;
    set_effort(png, effort);
    png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; y++) {
        const size_t at = (size_t)y * w;
        for (int x = 0; x < w; x++) {
            row[3 * x] = r[at + x];
            row[3 * x + 1] = g[at + x];
            row[3 * x + 2] = b[at + x];
        }
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return 1;
}

} // namespace

bool png_signature(const unsigned char *head, size_t n)
{
    return n >= SIG && png_sig_cmp(head, 0, SIG) == 0;
}

int save_png(const char *path, int w, int h, const unsigned char *r, const unsigned char *g,
             const unsigned char *b, msglist &msgs, int effort)
{
    if (w < 1 || h < 1 || w > WIDTH_MAX || h > HEIGHT_MAX) {
        msgs.add("cannot write \"%s\": the picture size %d x %d is outside 1..%d x 1..%d (a PNG "
                 "file holds at least one dot)",
                 path, w, h, WIDTH_MAX, HEIGHT_MAX);
        return 0;
    }
    png_io io;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<unsigned char> row((size_t)w * 3);
    int ok = 0;
    if (info) {
        png_set_write_fn(png, &io, on_write, on_flush);
        ok = write_png(png, info, effort, w, h, r, g, b, row.data());
    } else {
        std::snprintf(io.why, sizeof io.why, "out of memory");
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (ok)
        ok = write_file_safely(path, io.out, io.n, msgs);
    else
        msgs.add("cannot write \"%s\": %s (PNG)", path, io.why);
    std::free(io.out);
    return ok;
}

int load_png_file(std::FILE *f, const char *path, planes &pl, int &width, int &height,
                  msglist &msgs)
{
    width = height = 0;
    png_io io;
    io.f = f;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, on_error, on_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(png ? &png : nullptr, nullptr, nullptr);
        return refuse_picture(msgs, path, "out of memory");
    }
    png_set_read_fn(png, &io, on_read);
    png_shape s;
    int rc = RGB_LOADED;
    char why[260];
    if (!read_head(png, info, s)) {
        std::snprintf(why, sizeof why, "not a PNG file KORU can read (libpng: %s)", io.why);
        rc = refuse_picture(msgs, path, why);
    } else if (s.w > (png_uint_32)WIDTH_MAX || s.h > (png_uint_32)HEIGHT_MAX) {
        std::snprintf(why, sizeof why, "%lu x %lu dots is larger than %d x %d", (unsigned long)s.w,
                      (unsigned long)s.h, WIDTH_MAX, HEIGHT_MAX);
        rc = refuse_picture(msgs, path, why);
    } else if (s.channels < 3 || (s.depth != 8 && s.depth != 16) ||
               s.rowbytes != (size_t)s.w * s.channels * (s.depth / 8)) {
        rc = refuse_picture(msgs, path, "a PNG layout KORU cannot turn into RGB");
    }
    if (rc == RGB_LOADED) {
        // dots a damaged file never reaches stay white
        std::vector<unsigned char> data(s.rowbytes * s.h, 0xff);
        if (!read_rows(png, s, data.data()))
            msgs.add("\"%s\" is damaged inside its pixels (libpng: %s); the dots not reached are "
                     "white",
                     path, io.why);
        png_to_planes(s, data.data(), pl);
        width = (int)s.w;
        height = (int)s.h;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return rc;
}
