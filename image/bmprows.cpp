// BMP dots stored uncompressed: rows padded to four bytes, bottom row
// first unless the header says top-down.
#include "bmpread.h"

void bmp_index_rows(const bmp_head &hd, const unsigned char *data, bmp_dots &dots)
{
    const long stride = hd.row_bytes();
    const int bits = hd.bits;
    const unsigned low = (1u << bits) - 1;
    for (long k = 0; k < hd.h; k++) {
        const unsigned char *row = data + k * stride;
        unsigned char *out = dots.index.data() + hd.row_at(k) * hd.w;
        // the leftmost dot in the highest bits of its byte
        for (long x = 0; x < hd.w; x++) {
            const long bit = x * bits;
            out[x] = (unsigned char)(row[bit / 8] >> (8 - bits - bit % 8) & low);
        }
    }
}

void bmp_rgb_rows(const bmp_head &hd, const bmp_masks &m, const unsigned char *data, bmp_dots &dots)
{
    const long stride = hd.row_bytes();
    const int bytes = hd.bits / 8;
    for (long k = 0; k < hd.h; k++) {
        const unsigned char *p = data + k * stride;
        unsigned char *out = dots.rgba.data() + 4 * hd.row_at(k) * hd.w;
        for (long x = 0; x < hd.w; x++, p += bytes, out += 4) {
            if (bytes == 3) { // blue, green, red
                out[0] = p[2];
                out[1] = p[1];
                out[2] = p[0];
                out[3] = 255;
                continue;
            }
            // a little-endian word of 16 or 32 bits, cut up by the masks
            const uint32_t dot = bytes == 4 ? bmp_u32(p) : bmp_u16(p);
            for (int c = 0; c < 3; c++)
                out[c] = m.c[c].value(dot);
            out[3] = m.alpha ? m.c[3].value(dot) : 255;
        }
    }
}
