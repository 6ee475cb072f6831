// What the stored dots of a BMP file stand for: a palette's colours, or
// the bit-field masks of 16- and 32-bit dots.
#include "bmpread.h"

namespace {

const char CHANNEL[4][6] = {"red", "green", "blue", "alpha"};

// The masks the file's method implies or gives: red, green, blue, alpha.
bool masks_of(const bmp_file &src, const bmp_head &hd, uint32_t mask[4], bmp_why &why)
{
    if (hd.comp == BMP_RGB) {
        // 5-5-5 with the top bit unused; 8-8-8 with alpha above
        const bool wide = hd.bits == 32;
        mask[0] = wide ? 0xff0000 : 0x7c00;
        mask[1] = wide ? 0xff00 : 0x3e0;
        mask[2] = wide ? 0xff : 0x1f;
        mask[3] = wide ? 0xff000000 : 0;
        return true;
    }
    for (int c = 0; c < 4; c++)
        mask[c] = hd.mask[c];
    if (hd.mask_count == 0)
        return true;
    unsigned char b[16];
    if (!src.read(hd.masks_at, 4 * hd.mask_count, b))
        return why("the file ends inside its bit-field masks");
    for (int c = 0; c < 4; c++)
        mask[c] = c < hd.mask_count ? bmp_u32(b + 4 * c) : 0;
    return true;
}

} // namespace

bool read_bmp_palette(const bmp_file &src, const bmp_head &hd, bmp_palette &pal, bmp_why &why)
{
    const long most = 1L << hd.bits;
    const int entry = hd.info == 12 ? 3 : 4; // OS/2 1.x: blue, green, red; else one more byte
    const long at = hd.masks_at;
    if (hd.colours > (src.size - at) / entry)
        return why("the header gives a palette of %ld colours, more than the file holds",
                   hd.colours);
    pal.count = (int)(hd.colours > 0 && hd.colours < most ? hd.colours : most);
    // the entries that come before the dots; the others stay black
    long held = (hd.offset - at) / entry;
    held = held < pal.count ? held : pal.count;
    unsigned char b[256 * 4];
    if (!src.read(at, (size_t)(held * entry), b))
        return why("the file ends inside its palette");
    for (long i = 0; i < 256; i++) {
        const unsigned char *e = b + i * entry;
        pal.rgb[i] = i < held ? (uint32_t)e[2] << 16 | (uint32_t)e[1] << 8 | e[0] : 0;
    }
    return true;
}

bool read_bmp_masks(const bmp_file &src, const bmp_head &hd, bmp_masks &m, bmp_why &why)
{
    uint32_t mask[4];
    if (!masks_of(src, hd, mask, why))
        return false;
    uint32_t taken = 0;
    for (int c = 0; c < 4; c++) {
        const uint32_t k = mask[c];
        if (k == 0) {
            if (c < 3)
                return why("the %s mask is empty", CHANNEL[c]);
            continue;
        }
        const unsigned long shown = k;
        if (hd.bits == 16 && k > 0xffff)
            return why("the %s mask 0x%08lx reaches beyond 16 bits", CHANNEL[c], shown);
        int shift = 0;
        while (!(k >> shift & 1))
            shift++;
        const uint32_t max = k >> shift;
        if (max & (max + 1))
            return why("the %s mask 0x%08lx is not one run of bits", CHANNEL[c], shown);
        if (k & taken)
            return why("the %s mask 0x%08lx shares bits with another", CHANNEL[c], shown);
        taken |= k;
        m.c[c] = bmp_channel{k, shift, max};
    }
    m.alpha = mask[3] != 0;
    return true;
}
