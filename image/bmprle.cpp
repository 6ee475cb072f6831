// BMP's run-length coding of 8- and 4-bit palette indices.
//
// The stream is pairs of bytes: (n, v) puts n dots of index v (RLE4: the
// two indices in v's halves, in turn); (0, 0) ends the row, (0, 1) the
// picture, (0, 2, dx, dy) moves dx dots right and dy rows up, (0, n >= 3)
// is followed by n indices as stored (RLE4: two a byte), padded to a
// 16-bit boundary. Rows go bottom-up; dots the stream skips keep index 0.
#include "bmpread.h"

namespace {

// Where the stream writes: dot x of row y, counted from the bottom.
struct rle_pen {
    const bmp_head &hd;
    unsigned char *index;
    long x = 0, y = 0;

    bool fits(long n) const { return y < hd.h && x + n <= hd.w; }
    void put(unsigned v) { index[(hd.h - 1 - y) * hd.w + x++] = (unsigned char)v; }
};

bool overrun(const rle_pen &pen, unsigned n, bmp_why &why)
{
    if (pen.y >= pen.hd.h)
        return why("the compressed pixels go on above the picture's top row");
    return why("a run of %u compressed dots from dot %ld goes past the end of a row of %ld", n,
               pen.x, pen.hd.w);
}

// The i-th of the indices that begin at p.
unsigned nth(const unsigned char *p, unsigned i, bool four)
{
    return four ? (i % 2 ? p[i / 2] & 15 : p[i / 2] >> 4) : p[i];
}

} // namespace

bool bmp_rle(const bmp_head &hd, const unsigned char *p, size_t n, bmp_dots &dots, bmp_why &why)
{
    const bool four = hd.comp == BMP_RLE4;
    rle_pen pen{hd, dots.index.data()};
    size_t i = 0;
    while (n - i >= 2) {
        const unsigned count = p[i], code = p[i + 1];
        i += 2;
        if (count > 0) {
            // count dots of one index, or of two in turn
            if (!pen.fits(count))
                return overrun(pen, count, why);
            for (unsigned k = 0; k < count; k++)
                pen.put(four ? (k % 2 ? code & 15 : code >> 4) : code);
        } else if (code == 0) {
            pen.x = 0;
            pen.y++;
        } else if (code == 1) {
            return true;
        } else if (code == 2) {
            if (n - i < 2)
                break;
            pen.x += p[i];
            pen.y += p[i + 1];
            i += 2;
            if (pen.x > hd.w || pen.y > hd.h)
                return why("the compressed pixels move past the edge of the picture");
        } else {
            // code indices as stored
            const size_t bytes = four ? (code + 1) / 2 : code;
            const size_t padded = bytes + bytes % 2;
            if (n - i < padded)
                break;
            if (!pen.fits(code))
                return overrun(pen, code, why);
            for (unsigned k = 0; k < code; k++)
                pen.put(nth(p + i, k, four));
            i += padded;
        }
    }
    // the stream ended without its end mark: all rows must be there
    if (pen.y >= hd.h || (pen.y == hd.h - 1 && pen.x == hd.w))
        return true;
    return why("cut short: the compressed pixels end in row %ld of %ld (from the bottom)",
               pen.y + 1, hd.h);
}
