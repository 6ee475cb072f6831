#include "vp8l.h"

#include "vp8lhuff.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int TILE_BITS = 5, TILE = 1 << TILE_BITS; // predictor tiles
constexpr int SAMPLE_STEP = 8;                      // the rows a tile's choice looks at
constexpr int LITERALS = 256, LENGTH_CODES = 24, DISTANCE_CODES = 40;
constexpr int MIN_COPY = 3, MAX_COPY = 4096;
constexpr int LEFT = 2; // the distance code of the dot to the left
constexpr uint32_t OPAQUE = 0xff000000u, CACHE_MUL = 0x1e35a7bdu;
enum { LITERAL, CACHED, COPY };
enum { P_LEFT = 1, P_ABOVE = 2, P_SELECT = 11, P_GRADIENT = 12 };
constexpr int MODES[] = {P_LEFT, P_ABOVE, P_SELECT, P_GRADIENT};

// per channel, modulo 256
inline uint32_t sub_pixels(uint32_t a, uint32_t b)
{
    const uint32_t ag = 0x00ff00ffu + (a & 0xff00ff00u) - (b & 0xff00ff00u);
    const uint32_t rb = 0xff00ff00u + (a & 0x00ff00ffu) - (b & 0x00ff00ffu);
    return (ag & 0xff00ff00u) | (rb & 0x00ff00ffu);
}

inline int chan(uint32_t v, int shift) { return (int)(v >> shift & 0xff); }

// The left or the top dot, whichever the gradient L + T - TL is nearer
// to; and the gradient itself, each channel clamped. Dots here are opaque,
// so alpha is left out.
inline uint32_t select(uint32_t l, uint32_t t, uint32_t tl)
{
    int to_l = 0, to_t = 0;
    for (int s = 0; s < 24; s += 8) {
        to_l += std::abs(chan(t, s) - chan(tl, s));
        to_t += std::abs(chan(l, s) - chan(tl, s));
    }
    return to_l < to_t ? l : t;
}

// red, green and blue in 16-bit lanes of a 64-bit word
inline uint64_t spread(uint32_t v)
{
    return (v & 0xffu) | (uint64_t)(v & 0xff00u) << 8 | (uint64_t)(v & 0xff0000u) << 16;
}

inline uint32_t gradient(uint32_t l, uint32_t t, uint32_t tl)
{
    constexpr uint64_t ONES = 0x000100010001u, BYTES = 0x00ff00ff00ffu;
    // 256 + L + T - TL in each lane: 1 to 766, never borrowing
    const uint64_t v = (ONES << 8) + spread(l) + spread(t) - spread(tl);
    const uint64_t over = v >> 9 & ONES, within = v >> 8 & ONES & ~over;
    const uint64_t c = ((v & within * 0xff) | over * 0xff) & BYTES;
    return OPAQUE | (uint32_t)(c & 0xff) | (uint32_t)(c >> 8 & 0xff00) |
           (uint32_t)(c >> 16 & 0xff0000);
}

template <int M>
inline uint32_t predict(const uint32_t *p, int w)
{
    if (M == P_LEFT)
        return p[-1];
    if (M == P_ABOVE)
        return p[-w];
    if (M == P_SELECT)
        return select(p[-1], p[-w], p[-w - 1]);
    return gradient(p[-1], p[-w], p[-w - 1]);
}

template <int M>
void residuals(const uint32_t *p, uint32_t *r, int n, int w)
{
    for (int i = 0; i < n; i++)
        r[i] = sub_pixels(p[i], predict<M>(p + i, w));
}

// n residuals of dots p by predictor mode (p not in the first row or column)
void residuals(int mode, const uint32_t *p, uint32_t *r, int n, int w)
{
    switch (mode) {
    case P_LEFT:
        return residuals<P_LEFT>(p, r, n, w);
    case P_ABOVE:
        return residuals<P_ABOVE>(p, r, n, w);
    case P_SELECT:
        return residuals<P_SELECT>(p, r, n, w);
    default:
        return residuals<P_GRADIENT>(p, r, n, w);
    }
}

// how dear residuals are: the sum of their channels' sizes as signed bytes
int cost(const uint32_t *r, int n)
{
    int sum = 0;
    for (int i = 0; i < n; i++)
        for (int s = 0; s < 24; s += 8)
            sum += std::abs((int)(int8_t)(r[i] >> s));
    return sum;
}

// The mode that predicts the tile's sampled rows best.
int best_mode(const uint32_t *img, int w, int h, int tx, int ty, uint32_t *scratch)
{
    const int x0 = tx * TILE > 0 ? tx * TILE : 1, x1 = std::min(w, (tx + 1) * TILE);
    const int y0 = ty * TILE > 0 ? ty * TILE : 1, y1 = std::min(h, (ty + 1) * TILE);
    int best = P_LEFT, best_cost = -1;
    for (int mode : MODES) {
        int c = 0;
        for (int y = y0 + 1; y < y1; y += SAMPLE_STEP) {
            residuals(mode, img + (size_t)y * w + x0, scratch, x1 - x0, w);
            c += cost(scratch, x1 - x0);
        }
        if (best_cost < 0 || c < best_cost)
            best = mode, best_cost = c;
    }
    return best;
}

inline uint32_t cache_key(uint32_t v, int bits) { return (v * CACHE_MUL) >> (32 - bits); }

// the size of a copy from back dots before i, at most left long
inline int copy_length(const uint32_t *r, int i, int back, int left)
{
    int n = 0;
    while (n < left && r[i + n] == r[i + n - back])
        n++;
    return n;
}

} // namespace

// The dots with green taken from red and blue, then the residuals of each
// tile's predictor (modes_: one a tile).
void vp8l_encoder::transform(const uint32_t *argb, int stride)
{
    const int w = w_, h = h_;
    img_.resize((size_t)w * h), res_.resize((size_t)w * h);
    for (int y = 0; y < h; y++) {
        const uint32_t *in = argb + (size_t)y * stride;
        uint32_t *out = &img_[(size_t)y * w];
        for (int x = 0; x < w; x++) {
            const uint32_t v = in[x], g = v >> 8 & 0xff;
            out[x] = sub_pixels(v | OPAQUE, g << 16 | g);
        }
    }
    const int tw = (w + TILE - 1) >> TILE_BITS, th = (h + TILE - 1) >> TILE_BITS;
    modes_.resize((size_t)tw * th);
    for (int ty = 0; ty < th; ty++)
        for (int tx = 0; tx < tw; tx++)
            modes_[(size_t)ty * tw + tx] =
                (uint32_t)(opt_.choose ? best_mode(img_.data(), w, h, tx, ty, &res_[0])
                                       : P_GRADIENT)
                << 8;

    res_[0] = sub_pixels(img_[0], OPAQUE);
    for (int x = 1; x < w; x++)
        res_[x] = sub_pixels(img_[x], img_[x - 1]);
    for (int y = 1; y < h; y++) {
        const size_t row = (size_t)y * w;
        res_[row] = sub_pixels(img_[row], img_[row - w]);
        for (int tx = 0; tx < tw; tx++) {
            const int x0 = tx ? tx * TILE : 1, x1 = std::min(w, (tx + 1) * TILE);
            const int mode = (int)(modes_[(size_t)(y >> TILE_BITS) * tw + tx] >> 8);
            residuals(mode, &img_[row + x0], &res_[row + x0], x1 - x0, w);
        }
    }
}

namespace {

// The five codes of an image: green with the lengths and the cache, red,
// blue, alpha, distance.
struct image_codes {
    prefix_code c[5];

    void build(const uint32_t *counts, int greens)
    {
        c[0].build(counts, greens);
        for (int k = 1; k < 4; k++)
            c[k].build(counts + greens + (k - 1) * LITERALS, LITERALS);
        c[4].build(counts + greens + 3 * LITERALS, DISTANCE_CODES);
    }
    void write(bit_writer &bw) const
    {
        for (const prefix_code &k : c)
            k.write(bw);
    }
    void literal(bit_writer &bw, uint32_t v) const
    {
        const uint32_t g = v >> 8 & 0xff, r = v >> 16 & 0xff, b = v & 0xff, a = v >> 24;
        bw.put(c[0].code[g], c[0].bits[g]);
        bw.put(c[1].code[r], c[1].bits[r]);
        bw.put(c[2].code[b], c[2].bits[b]);
        bw.put(c[3].code[a], c[3].bits[a]);
    }
};

constexpr int counts_size(int greens) { return greens + 3 * LITERALS + DISTANCE_CODES; }

inline void count_literal(uint32_t *counts, int greens, uint32_t v)
{
    counts[v >> 8 & 0xff]++;
    counts[greens + (v >> 16 & 0xff)]++;
    counts[greens + LITERALS + (v & 0xff)]++;
    counts[greens + 2 * LITERALS + (v >> 24)]++;
}

// A small image of literals only (the predictor modes), with its codes.
void write_plain_image(bit_writer &bw, const std::vector<uint32_t> &px)
{
    constexpr int greens = LITERALS + LENGTH_CODES;
    std::vector<uint32_t> counts(counts_size(greens));
    for (uint32_t v : px)
        count_literal(counts.data(), greens, v);
    image_codes codes;
    codes.build(counts.data(), greens);
    bw.put(0, 1); // no colour cache
    codes.write(bw);
    for (uint32_t v : px)
        codes.literal(bw, v);
}

} // namespace

int vp8l_encoder::greens() const
{
    return LITERALS + LENGTH_CODES + (opt_.cache_bits ? 1 << opt_.cache_bits : 0);
}

// The residuals as literals, cache hits and copies, counted as they go.
void vp8l_encoder::tokenize()
{
    const int n = w_ * h_, bits = opt_.cache_bits, g = greens();
    counts_.assign(counts_size(g), 0);
    if (tokens_.size() < (size_t)n)
        tokens_.resize(n);
    // a residual's alpha is 0, so no residual matches an empty entry
    cache_.assign(bits ? (size_t)1 << bits : 0, ~0u);
    uint32_t *cnt = counts_.data();
    const uint32_t *r = res_.data();
    size_t t = 0;
    for (int i = 0; i < n;) {
        const int most = std::min(MAX_COPY, n - i);
        const int run = i > 0 && r[i] == r[i - 1] ? copy_length(r, i, 1, most) : 0;
        if (run >= MIN_COPY) { // the dots copied are the last the cache took: it stays
            tokens_[t++] = {(uint32_t)LEFT, (uint16_t)run, COPY};
            int sym, nbits;
            uint32_t extra;
            prefix_of((uint32_t)run, sym, nbits, extra);
            cnt[LITERALS + sym]++;
            prefix_of((uint32_t)LEFT, sym, nbits, extra);
            cnt[g + 3 * LITERALS + sym]++;
            i += run;
            continue;
        }
        const uint32_t v = r[i++];
        if (bits) {
            const uint32_t key = cache_key(v, bits);
            if (cache_[key] == v) {
                tokens_[t++] = {key, 0, CACHED};
                cnt[LITERALS + LENGTH_CODES + key]++;
                continue;
            }
            cache_[key] = v;
        }
        tokens_[t++] = {v, 0, LITERAL};
        count_literal(cnt, g, v);
    }
    ntokens_ = t;
}

namespace {

void write_tokens(bit_writer &bw, const image_codes &codes, const vp8l_encoder::token *tok,
                  size_t n)
{
    const prefix_code &g = codes.c[0], &d = codes.c[4];
    for (size_t i = 0; i < n; i++) {
        const vp8l_encoder::token t = tok[i];
        if (t.kind == LITERAL) {
            codes.literal(bw, t.value);
        } else if (t.kind == CACHED) {
            const int s = LITERALS + LENGTH_CODES + (int)t.value;
            bw.put(g.code[s], g.bits[s]);
        } else {
            int sym, nbits;
            uint32_t extra;
            prefix_of(t.len, sym, nbits, extra);
            bw.put(g.code[LITERALS + sym], g.bits[LITERALS + sym]);
            bw.put(extra, nbits);
            prefix_of(t.value, sym, nbits, extra);
            bw.put(d.code[sym], d.bits[sym]);
            bw.put(extra, nbits);
        }
    }
}

void put_le32(uint8_t *p, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        p[i] = (uint8_t)(v >> 8 * i);
}

} // namespace

void vp8l_encoder::encode(const uint32_t *argb, int stride, int w, int h,
                          std::vector<uint8_t> &file)
{
    constexpr size_t RIFF_HEAD = 20, CODES_ROOM = 65536, MOST_BYTES_A_DOT = 8;
    constexpr uint32_t SIGNATURE = 0x2f, SUBTRACT_GREEN = 2, PREDICTOR = 0;
    w_ = w, h_ = h;
    transform(argb, stride);
    tokenize();
    image_codes codes;
    codes.build(counts_.data(), greens());
    const size_t room = RIFF_HEAD + ((size_t)w * h + modes_.size()) * MOST_BYTES_A_DOT + CODES_ROOM;
    if (out_.size() < room)
        out_.resize(room);
    bit_writer bw{out_.data() + RIFF_HEAD};
    bw.put(SIGNATURE, 8);
    bw.put((uint32_t)w - 1, 14), bw.put((uint32_t)h - 1, 14);
    bw.put(0, 1), bw.put(0, 3); // no alpha, version 0
    bw.put(1, 1), bw.put(SUBTRACT_GREEN, 2);
    bw.put(1, 1), bw.put(PREDICTOR, 2), bw.put(TILE_BITS - 2, 3);
    write_plain_image(bw, modes_);
    bw.put(0, 1); // no more transforms
    if (opt_.cache_bits)
        bw.put(1, 1), bw.put((uint32_t)opt_.cache_bits, 4);
    else
        bw.put(0, 1);
    bw.put(0, 1); // one set of codes for the whole picture
    codes.write(bw);
    write_tokens(bw, codes, tokens_.data(), ntokens_);
    const size_t bytes = bw.finish(), padded = bytes + (bytes & 1);
    std::memcpy(&out_[0], "RIFF", 4);
    put_le32(&out_[4], (uint32_t)(padded + RIFF_HEAD - 8));
    std::memcpy(&out_[8], "WEBPVP8L", 8);
    put_le32(&out_[16], (uint32_t)bytes);
    out_[RIFF_HEAD + bytes] = 0;
    file.assign(out_.begin(), out_.begin() + (ptrdiff_t)(RIFF_HEAD + padded));
}
