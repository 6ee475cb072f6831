// picture_seeds DIR - writes the picture fuzzer's seeds into DIR
// (fuzz/corpus/picture/): a BMP file of every kind the tests read and of
// every kind they see refused (bmpgen.h), and PNG files of every colour
// type and depth, with transparency, interlaced, cut short and too wide.
// The tests check that the BMP seeds there are this program's.
#include "bmpgen.h"
#include "pngmake.h"

#include <cstdio>
#include <string>

namespace {

bool write(const std::string &dir, const std::string &name, const std::string &bytes)
{
    const std::string path = dir + "/" + name;
    std::FILE *f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = f && std::fclose(f) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "picture_seeds: cannot write %s\n", path.c_str());
    return ok;
}

// A PNG of w x h dots of a pattern, of the given colour type and depth.
png_case png_pattern(int w, int h, int type, int depth)
{
    const int channels = type == PNG_COLOR_TYPE_RGB          ? 3
                         : type == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                         : type == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                             : 1;
    const size_t stride = ((size_t)w * channels * depth + 7) / 8;
    png_case p{w, h, type, depth, std::vector<unsigned char>(stride * h)};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            for (int c = 0; c < channels; c++) {
                const unsigned v = (unsigned)(x * 37 + y * 11 + c * 71) % (1u << depth);
                const size_t at = (size_t)(x * channels + c) * depth; // in bits
                unsigned char *row = p.rows.data() + y * stride;
                if (depth == 16) {
                    row[at / 8] = (unsigned char)(v >> 8);
                    row[at / 8 + 1] = (unsigned char)v;
                } else {
                    row[at / 8] |= (unsigned char)(v << (8 - depth - at % 8));
                }
            }
    return p;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    for (const bmpgen::bmp_kind &k : bmpgen::bmp_kinds())
        ok = write(dir, k.name + ".bmp", bmpgen::make_bmp(k).bytes) && ok;
    for (const bmpgen::bmp_bad &b : bmpgen::bad_bmps())
        ok = write(dir, b.name + ".bmp", b.bytes) && ok;

    png_case trns = png_pattern(6, 2, PNG_COLOR_TYPE_PALETTE, 4);
    for (int i = 0; i < 16; i++)
        trns.palette.push_back(
            png_color{(png_byte)(3 * i), (png_byte)(3 * i + 1), (png_byte)(3 * i + 2)});
    trns.trns = {0x00, 0x80};
    png_case laced = png_pattern(11, 9, PNG_COLOR_TYPE_RGB, 8);
    laced.interlace = true;
    const struct {
        const char *name;
        std::string bytes;
    } pngs[] = {
        {"rgb8.png", encode(png_pattern(5, 3, PNG_COLOR_TYPE_RGB, 8))},
        {"rgb16.png", encode(png_pattern(3, 2, PNG_COLOR_TYPE_RGB, 16))},
        {"rgba8.png", encode(png_pattern(4, 2, PNG_COLOR_TYPE_RGB_ALPHA, 8))},
        {"rgba16.png", encode(png_pattern(2, 2, PNG_COLOR_TYPE_RGB_ALPHA, 16))},
        {"grey1.png", encode(png_pattern(9, 2, PNG_COLOR_TYPE_GRAY, 1))},
        {"grey16.png", encode(png_pattern(3, 3, PNG_COLOR_TYPE_GRAY, 16))},
        {"grey-alpha.png", encode(png_pattern(3, 2, PNG_COLOR_TYPE_GRAY_ALPHA, 8))},
        {"palette-trns.png", encode(trns)},
        {"interlaced.png", encode(laced)},
        {"cut-in-pixels.png", encode(png_pattern(20, 20, PNG_COLOR_TYPE_RGB, 8)).substr(0, 90)},
        {"too-wide.png", encode(png_pattern(1025, 1, PNG_COLOR_TYPE_GRAY, 8))},
    };
    for (const auto &p : pngs)
        ok = !p.bytes.empty() && write(dir, p.name, p.bytes) && ok;
    return ok ? 0 : 1;
}
