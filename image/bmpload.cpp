// Reading a BMP file into the planes: the steps of bmpread.h in order,
// then the dots as 8-bit RGB, alpha laid over white.
#include "bmpread.h"

#include "../base/msg.h"
#include "picio.h"

namespace {

// More than a run-length stream of the largest picture can take: a stream
// that has not ended by then never does.
constexpr long RLE_MAX = 8L << 20;

long size_of(std::FILE *f) { return std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1; }

// The dots as stored, with the palette or masks they refer to.
bool read_dots(const bmp_file &src, const bmp_head &hd, bmp_palette &pal, bmp_masks &m,
               bmp_dots &dots, bmp_why &why)
{
    const size_t n = (size_t)hd.w * hd.h;
    if (hd.bits <= 8) {
        if (!read_bmp_palette(src, hd, pal, why))
            return false;
        dots.index.assign(n, 0);
    } else {
        if (hd.bits != 24 && !read_bmp_masks(src, hd, m, why))
            return false;
        dots.rgba.assign(4 * n, 0);
    }
    std::vector<unsigned char> data;
    if (hd.comp == BMP_RLE8 || hd.comp == BMP_RLE4) {
        const long rest = src.size - hd.offset;
        data.resize((size_t)(rest < RLE_MAX ? rest : RLE_MAX));
        if (!src.read(hd.offset, data.size(), data.data()))
            return why("its pixels cannot be read");
        return bmp_rle(hd, data.data(), data.size(), dots, why);
    }
    const long need = hd.row_bytes() * hd.h, have = src.size - hd.offset;
    if (need > have && !hd.own_kind())
        return why("cut short: the file ends inside its pixels (%ld of %ld bytes)", have, need);
    data.assign((size_t)need, 255);
    if (need > have) {
        dots.have = have;
        dots.need = need;
    }
    if (!src.read(hd.offset, (size_t)(need < have ? need : have), data.data()))
        return why("its pixels cannot be read");
    if (hd.bits <= 8)
        bmp_index_rows(hd, data.data(), dots);
    else
        bmp_rgb_rows(hd, m, data.data(), dots);
    return true;
}

// Every index names a colour of the palette.
bool check_indices(const bmp_head &hd, const bmp_palette &pal, const bmp_dots &dots, bmp_why &why)
{
    for (size_t i = 0; i < dots.index.size(); i++)
        if (dots.index[i] >= pal.count)
            return why("dot (%ld, %ld) is colour %d of a palette of %d", (long)i % hd.w,
                       (long)i / hd.w, dots.index[i], pal.count);
    return true;
}

void palette_to_planes(const bmp_palette &pal, const bmp_dots &dots, planes &pl)
{
    for (size_t i = 0; i < dots.index.size(); i++) {
        const uint32_t c = pal.rgb[dots.index[i]];
        pl.r[i] = (unsigned char)(c >> 16);
        pl.g[i] = (unsigned char)(c >> 8);
        pl.b[i] = (unsigned char)c;
    }
}

// Alpha laid over white as the PNG reader lays it (over_white); alpha 0 throughout is
// a writer that left it out, and is taken as opaque.
void rgba_to_planes(const bmp_dots &dots, planes &pl)
{
    const size_t n = dots.rgba.size() / 4;
    bool all_clear = true;
    for (size_t i = 0; i < n && all_clear; i++)
        all_clear = dots.rgba[4 * i + 3] == 0;
    for (size_t i = 0; i < n; i++) {
        const unsigned char *d = &dots.rgba[4 * i];
        const unsigned a = all_clear ? 255 : d[3];
        pl.r[i] = (unsigned char)over_white(d[0], a, 255);
        pl.g[i] = (unsigned char)over_white(d[1], a, 255);
        pl.b[i] = (unsigned char)over_white(d[2], a, 255);
    }
}

} // namespace

int load_bmp_file(std::FILE *f, const char *path, planes &pl, int &width, int &height,
                  msglist &msgs)
{
    const bmp_file src{f, size_of(f)};
    bmp_head hd;
    bmp_palette pal;
    bmp_masks m;
    bmp_dots dots;
    bmp_why why;
    bool ok = src.size >= 0 || why("its size cannot be learnt");
    ok = ok && read_bmp_head(src, hd, why) && read_dots(src, hd, pal, m, dots, why) &&
         check_indices(hd, pal, dots, why);
    if (!ok) {
        width = height = 0;
        return refuse_picture(msgs, path, why.text);
    }
    // every check passed: only now are the planes written
    if (hd.bits <= 8)
        palette_to_planes(pal, dots, pl);
    else
        rgba_to_planes(dots, pl);
    if (dots.have >= 0)
        msgs.add("\"%s\" ends inside its pixels (%ld of %ld bytes); the missing part is white",
                 path, dots.have, dots.need);
    width = (int)hd.w;
    height = (int)hd.h;
    return RGB_LOADED;
}
