// bmpgen.h - BMP files of the kinds other programs write, made byte by
// byte, each with the dots KORU must read from it; and files it must
// refuse, each with the words its refusal names. For the reader's tests
// and the picture fuzzer's seeds (picture_seeds.cpp).
//
//   for (const bmp_kind &k : bmp_kinds()) {
//       bmp_made m = make_bmp(k);   // m.bytes, and m.rgb: k.w * k.h dots
//   }                               // as 0xRRGGBB, top row first
//   for (const bmp_bad &b : bad_bmps())   // b.name, b.bytes, b.why
//
// Dots are what the file says, read the ordinary way: indices through the
// palette (entries the file leaves out are black; dots a run-length stream
// skips are index 0), masked channels scaled to 0..255 by rounding
// v * 255 / max, alpha over white (none where it is 0 throughout).
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace bmpgen {

// How a run-length stream is laid out; the last ones break it.
enum {
    RLE_PLAIN = 1,   // runs and stored stretches, row by row
    RLE_HOLES,       // with moves right and up over dots left unwritten
    RLE_CUT,         // rows ended early, and the picture
    RLE_RUN_PAST,    // a run beyond the end of a row
    RLE_STORED_PAST, // stored dots beyond the end of a row
    RLE_MOVE_PAST,   // a move beyond the right edge
    RLE_MOVE_ABOVE,  // a move beyond the top
    RLE_ABOVE,       // a run above the top row
    RLE_NO_END,      // the stream stops half way
};

enum { PAL_MIXED, PAL_GREY, PAL_BW, PAL_WB, PAL_BG };

struct bmp_kind {
    std::string name;
    int bits = 24, info = 40, comp = 0; // comp: the method as stored
    int w = 13, h = 6;
    bool topdown = false;
    int colours = -1;   // palette entries written; -1: 2^bits up to 8 bits, else none
    long clr_used = -1; // the header's count; -1: colours
    int used = 0;       // the dots use indices 0..used-1; 0: all colours written
    int palette = PAL_MIXED;
    uint32_t mask[4] = {};    // masks of 16- and 32-bit dots; all 0: the default layout
    bool mask_block = false;  // the masks after a 40-byte header
    bool spare_set = false;   // the default layout's unused bits hold a pattern
    bool alpha_clear = false; // alpha 0 throughout
    int gap = 0;              // bytes between the palette and the dots
    int rle = RLE_PLAIN;
    bool profile = false;     // an embedded colour profile after the dots
    bool header_size = false; // the file size field holds the headers' size alone
    long ppm[2] = {2835, 2835};
};

struct bmp_made {
    std::string bytes;
    std::vector<uint32_t> rgb;
};

struct bmp_bad {
    std::string name, bytes, why;
};

inline void put16(std::string &s, uint32_t v)
{
    s += (char)(v & 255);
    s += (char)(v >> 8 & 255);
}

inline void put32(std::string &s, uint32_t v)
{
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

inline void patch32(std::string &s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        s[at + i] = (char)(v >> 8 * i & 255);
}

inline void patch16(std::string &s, size_t at, uint32_t v)
{
    s[at] = (char)(v & 255);
    s[at + 1] = (char)(v >> 8 & 255);
}

// A level of 0..max for channel c of dot (x, y): full and empty at the
// top left, a spread of levels elsewhere.
inline uint32_t level(int x, int y, int c, uint32_t max)
{
    if (y == 0 && x < 2)
        return x == 0 ? max : 0;
    return (uint32_t)((uint64_t)((x * 7 + y * 13 + c * 5) % 32) * max / 31);
}

inline uint32_t palette_colour(int kind, int i, int n)
{
    switch (kind) {
    case PAL_GREY: {
        const uint32_t v = n > 1 ? (uint32_t)(i * 255 / (n - 1)) : 0;
        return v * 0x010101;
    }
    case PAL_BW:
        return i ? 0xffffff : 0;
    case PAL_WB:
        return i ? 0 : 0xffffff;
    case PAL_BG:
        return i ? 0x40ff40 : 0x4040ff;
    default:
        return (uint32_t)((i * 53 + 17) & 255) << 16 | (uint32_t)((i * 101 + 40) & 255) << 8 |
               (uint32_t)((i * 29 + 200) & 255);
    }
}

// The index of dot (x, y), top row 0: runs of four on the left, every dot
// its own on the right.
inline int index_at(const bmp_kind &k, int x, int y, int used)
{
    return x < k.w / 2 ? (x / 4 + y) % used : (x * 7 + y * 3) % used;
}

inline long row_bytes(int w, int bits) { return ((long)w * bits + 31) / 32 * 4; }

// The rows of a picture as stored, from each row's bytes.
template <class Row>
std::string stored_rows(const bmp_kind &k, Row row)
{
    std::string s;
    for (int n = 0; n < k.h; n++) {
        const int y = k.topdown ? n : k.h - 1 - n;
        std::string r = row(y);
        r.resize((size_t)row_bytes(k.w, k.bits), '\0');
        s += r;
    }
    return s;
}

// The run-length stream of the indices idx (top row first), and in shown
// the index each dot ends up with: -1 where nothing is written.
inline std::string rle_stream(const bmp_kind &k, const std::vector<int> &idx,
                              std::vector<int> &shown)
{
    const bool four = k.comp == 2;
    const int w = k.w, h = k.h;
    auto at = [&](int x, int r) { return idx[(size_t)(h - 1 - r) * w + x]; };
    auto put = [&](int x, int r, int v) { shown[(size_t)(h - 1 - r) * w + x] = v; };
    auto code = [](std::string &s, int a, int b) { s += (char)a, s += (char)b; };
    // dots from x on that one run covers: one index, or two in turn
    auto run = [&](int x, int r) {
        int n = 1;
        while (x + n < w && n < 255 && at(x + n, r) == at(four ? x + n % 2 : x, r))
            n++;
        return n;
    };
    std::string s;
    int x = 0, r = 0;
    if (k.rle == RLE_MOVE_PAST)
        code(s, 0, 2), code(s, w + 1, 0);
    if (k.rle == RLE_MOVE_ABOVE)
        code(s, 0, 2), code(s, 0, h + 1);
    while (r < h) {
        const bool cut_row = k.rle == RLE_CUT && r % 3 == 1 && x > 0;
        if (x >= w || cut_row) {
            if (k.rle == RLE_RUN_PAST && r == 0)
                code(s, 1, 0);
            if (k.rle == RLE_STORED_PAST && r == 0)
                code(s, 0, 3), code(s, 0, 0), code(s, 0, 0);
            if (r == h - 1 || (k.rle == RLE_NO_END && r == h / 2))
                break;
            code(s, 0, 0);
            x = 0, r++;
            if (k.rle == RLE_CUT && r == h - 2)
                break;
            continue;
        }
        if (k.rle == RLE_HOLES && x == 0 && r % 3 != 2 && r + 1 < h) {
            // two dots skipped; or the row left out and three dots of the next
            const int up = r % 3 == 1;
            code(s, 0, 2), code(s, 2 + up, up);
            x += 2 + up, r += up;
            continue;
        }
        const int n = run(x, r);
        int m = 0; // a stretch stored as it is, up to the next long run
        while (m < 255 && x + m < w && run(x + m, r) < 3)
            m++;
        if (n >= 3 || m < 3) {
            const int a = at(x, r), b = four && n > 1 ? at(x + 1, r) : 0;
            code(s, n, four ? a << 4 | b : a);
            for (int i = 0; i < n; i++)
                put(x + i, r, four && i % 2 ? b : a);
            x += n;
            continue;
        }
        code(s, 0, m);
        std::string bytes;
        for (int i = 0; i < m; i++) {
            put(x + i, r, at(x + i, r));
            if (!four)
                bytes += (char)at(x + i, r);
            else if (i % 2 == 0)
                bytes += (char)(at(x + i, r) << 4);
            else
                bytes.back() = (char)(bytes.back() | at(x + i, r));
        }
        if (bytes.size() % 2)
            bytes += '\0';
        s += bytes;
        x += m;
    }
    if (k.rle == RLE_ABOVE)
        code(s, 0, 0), code(s, 1, 0);
    if (k.rle != RLE_NO_END)
        code(s, 0, 1);
    return s;
}

// The dots of a palette picture, and what they show.
inline std::string index_dots(const bmp_kind &k, int colours, std::vector<uint32_t> &rgb)
{
    const int used = k.used ? k.used : colours;
    std::vector<int> idx((size_t)k.w * k.h), shown(idx.size());
    for (int y = 0; y < k.h; y++)
        for (int x = 0; x < k.w; x++)
            idx[(size_t)y * k.w + x] = shown[(size_t)y * k.w + x] = index_at(k, x, y, used);
    std::string s;
    if (k.comp == 1 || k.comp == 2) {
        shown.assign(idx.size(), -1);
        s = rle_stream(k, idx, shown);
    } else {
        s = stored_rows(k, [&](int y) {
            std::string r((size_t)row_bytes(k.w, k.bits), '\0');
            for (int x = 0; x < k.w; x++) {
                const long bit = (long)x * k.bits;
                r[bit / 8] =
                    (char)(r[bit / 8] | idx[(size_t)y * k.w + x] << (8 - k.bits - bit % 8));
            }
            return r;
        });
    }
    for (size_t i = 0; i < idx.size(); i++) {
        const int v = shown[i] < 0 ? 0 : shown[i];
        rgb[i] = v < colours ? palette_colour(k.palette, v, colours) : 0;
    }
    return s;
}

// The masks a kind's dots are made with: its own, or the default layout's.
inline void masks_of(const bmp_kind &k, uint32_t m[4])
{
    const bool given = k.mask[0] || k.mask[1] || k.mask[2];
    const bool wide = k.bits == 32;
    const uint32_t def[4] = {wide ? 0xff0000u : 0x7c00u, wide ? 0xff00u : 0x3e0u,
                             wide ? 0xffu : 0x1fu, wide ? 0xff000000u : 0x8000u};
    for (int c = 0; c < 4; c++)
        m[c] = given ? k.mask[c] : def[c];
}

inline int low_bit(uint32_t m)
{
    int s = 0;
    while (m && !(m >> s & 1))
        s++;
    return s;
}

// The dots of a 16- or 32-bit picture by masks, and what they show.
inline std::string masked_dots(const bmp_kind &k, std::vector<uint32_t> &rgb)
{
    uint32_t m[4];
    masks_of(k, m);
    const bool given = k.mask[0] || k.mask[1] || k.mask[2];
    // the spare bits of the default layout: alpha at 32 bits, nothing at 16
    const bool spare = !given && k.spare_set;
    const bool alpha = m[3] && (given || k.bits == 32);
    std::vector<uint32_t> word((size_t)k.w * k.h);
    std::vector<int> a8(word.size(), 255);
    bool any_alpha = false;
    for (int y = 0; y < k.h; y++)
        for (int x = 0; x < k.w; x++) {
            const size_t i = (size_t)y * k.w + x;
            uint32_t v = 0;
            double c8[4];
            for (int c = 0; c < 4; c++) {
                const uint32_t max = m[c] >> low_bit(m[c]);
                uint32_t q = m[c] ? level(x, y, c, max) : 0;
                if (c == 3 && ((!given && !spare) || k.alpha_clear))
                    q = 0;
                v |= q << low_bit(m[c]);
                c8[c] = max ? std::lround(q * 255.0 / max) : 0;
            }
            word[i] = v;
            if (alpha)
                a8[i] = (int)c8[3], any_alpha = any_alpha || a8[i];
            uint32_t out = 0;
            for (int c = 0; c < 3; c++)
                out = out << 8 | (uint32_t)c8[c];
            rgb[i] = out;
        }
    // alpha over white, where the file has any
    for (size_t i = 0; any_alpha && i < rgb.size(); i++) {
        uint32_t out = 0;
        for (int sh = 16; sh >= 0; sh -= 8) {
            const int c = rgb[i] >> sh & 255, a = a8[i];
            out |= (uint32_t)((c * a + 255 * (255 - a) + 127) / 255) << sh;
        }
        rgb[i] = out;
    }
    return stored_rows(k, [&](int y) {
        std::string r;
        for (int x = 0; x < k.w; x++)
            k.bits == 16 ? put16(r, word[(size_t)y * k.w + x])
                         : put32(r, word[(size_t)y * k.w + x]);
        return r;
    });
}

inline std::string rgb24_dots(const bmp_kind &k, std::vector<uint32_t> &rgb)
{
    return stored_rows(k, [&](int y) {
        std::string r;
        for (int x = 0; x < k.w; x++) {
            const uint32_t c[3] = {level(x, y, 0, 255), level(x, y, 1, 255), level(x, y, 2, 255)};
            r += (char)c[2], r += (char)c[1], r += (char)c[0];
            rgb[(size_t)y * k.w + x] = c[0] << 16 | c[1] << 8 | c[2];
        }
        return r;
    });
}

inline void info_header(std::string &f, const bmp_kind &k, uint32_t image_size, uint32_t clr,
                        uint32_t profile_at, uint32_t profile_size)
{
    const size_t start = f.size();
    put32(f, k.info);
    if (k.info == 12) {
        put16(f, k.w), put16(f, k.h), put16(f, 1), put16(f, k.bits);
        return;
    }
    put32(f, k.w), put32(f, k.topdown ? -k.h : k.h), put16(f, 1), put16(f, k.bits);
    if (k.info >= 40) {
        put32(f, k.comp), put32(f, image_size), put32(f, k.ppm[0]), put32(f, k.ppm[1]);
        put32(f, clr), put32(f, 0);
    }
    const bool fields = k.comp == 3 || k.comp == 6;
    if (k.info >= 52 && k.info != 64)
        for (int c = 0; c < (k.info >= 56 ? 4 : 3); c++)
            put32(f, fields && !k.mask_block ? k.mask[c] : 0);
    if (k.info >= 108) {
        put32(f, k.profile ? 0x4d424544 : 0x73524742); // embedded, or sRGB
        f.resize(start + 108, '\0');
    }
    if (k.info >= 124)
        put32(f, 4), put32(f, profile_at), put32(f, profile_size), put32(f, 0);
    f.resize(start + k.info, '\0');
}

inline bmp_made make_bmp(const bmp_kind &k)
{
    bmp_made made;
    made.rgb.resize((size_t)k.w * k.h);
    const int colours = k.colours >= 0 ? k.colours : k.bits <= 8 ? 1 << k.bits : 0;
    const std::string dots = k.bits <= 8    ? index_dots(k, colours, made.rgb)
                             : k.bits == 24 ? rgb24_dots(k, made.rgb)
                                            : masked_dots(k, made.rgb);
    const int entry = k.info == 12 ? 3 : 4;
    const int masks = k.mask_block ? (k.comp == 6 ? 4 : 3) : 0;
    const uint32_t offset = 14 + k.info + 4 * masks + colours * entry + k.gap;
    const std::string profile = k.profile ? std::string(48, '\x3c') : "";
    std::string &f = made.bytes;
    f = "BM";
    put32(f, 0), put32(f, 0), put32(f, offset);
    info_header(f, k, (uint32_t)dots.size(), (uint32_t)(k.clr_used >= 0 ? k.clr_used : colours),
                offset + (uint32_t)dots.size() - 14, (uint32_t)profile.size());
    for (int c = 0; c < masks; c++)
        put32(f, k.mask[c]);
    for (int i = 0; i < colours; i++) {
        const uint32_t c = palette_colour(k.palette, i, colours);
        f += (char)(c & 255), f += (char)(c >> 8 & 255), f += (char)(c >> 16);
        if (entry == 4)
            f += '\0';
    }
    f += std::string((size_t)k.gap, '\xa5');
    f += dots;
    f += profile;
    patch32(f, 2, k.header_size ? 14 + k.info : (uint32_t)f.size());
    return made;
}

// Every kind the reader reads, after the files of a well-known BMP test
// suite: palettes of each depth and length, run-length coding, bit fields,
// alpha, every header version, odd widths, top-down rows.
inline std::vector<bmp_kind> bmp_kinds()
{
    std::vector<bmp_kind> v;
    auto add = [&](const char *name, int bits, int colours = -1) -> bmp_kind & {
        v.emplace_back();
        v.back().name = name, v.back().bits = bits, v.back().colours = colours;
        return v.back();
    };
    auto rle = [&](const char *name, int bits, int colours, int how) -> bmp_kind & {
        bmp_kind &k = add(name, bits, colours);
        k.comp = bits == 8 ? 1 : 2, k.rle = how;
        return k;
    };
    // masks in the header from 52 bytes on, after it below
    auto fields = [&](const char *name, int bits, int info,
                      std::array<uint32_t, 4> m) -> bmp_kind & {
        bmp_kind &k = add(name, bits);
        k.comp = 3, k.info = info, k.mask_block = info == 40;
        for (int c = 0; c < 4; c++)
            k.mask[c] = m[c];
        return k;
    };
    add("pal1", 1).palette = PAL_BW;
    add("pal1wb", 1).palette = PAL_WB;
    add("pal1bg", 1).palette = PAL_BG;
    add("pal1p1", 1, 1).w = 40;
    add("pal2", 2).palette = PAL_GREY;
    add("pal2color", 2);
    add("pal4", 4, 12);
    add("pal4gs", 4, 12).palette = PAL_GREY;
    rle("pal4rle", 4, 12, RLE_PLAIN);
    rle("pal4rletrns", 4, 13, RLE_HOLES);
    rle("pal4rlecut", 4, 13, RLE_CUT);
    rle("pal4rle-odd", 4, 16, RLE_PLAIN).w = 21;
    add("pal8", 8, 252);
    bmp_kind &zero = add("pal8-0", 8);
    zero.clr_used = 0, zero.ppm[0] = zero.ppm[1] = 0;
    add("pal8gs", 8, 252).palette = PAL_GREY;
    rle("pal8rle", 8, 252, RLE_PLAIN).w = 40;
    rle("pal8rletrns", 8, 253, RLE_HOLES);
    rle("pal8rlecut", 8, 253, RLE_CUT);
    add("pal8w12", 8, 252).w = 12;
    add("pal8w13", 8, 252).w = 13;
    add("pal8w14", 8, 252).w = 14;
    add("pal8w15", 8, 252).w = 15;
    add("pal8topdown", 8, 252).topdown = true;
    add("pal8offs", 8, 252).gap = 100;
    add("pal8oversizepal", 8, 300).used = 256;
    add("pal8nonsquare", 8, 252).ppm[1] = 1417;
    add("pal8os2", 8, 256).info = 12;
    bmp_kind &sz = add("pal8os2-sz", 8, 256);
    sz.info = 12, sz.header_size = true;
    add("pal8os2sp", 8, 252).info = 12;
    bmp_kind &short_pal = add("pal8os2-short", 8, 200); // entries 200 to 255 black
    short_pal.info = 12, short_pal.used = 256;
    add("pal8os2v2", 8, 252).info = 64;
    add("pal8os2v2-16", 8, 256).info = 16;
    add("pal8v4", 8, 252).info = 108;
    add("pal8v5", 8, 252).info = 124;
    add("rgb16", 16);
    add("rgb16faketrns", 16).spare_set = true;
    fields("rgb16bfdef", 16, 40, {0x7c00, 0x3e0, 0x1f, 0});
    fields("rgb16-565", 16, 40, {0xf800, 0x7e0, 0x1f, 0});
    fields("rgb16-565pal", 16, 40, {0xf800, 0x7e0, 0x1f, 0}).colours = 256;
    fields("rgb16-231", 16, 40, {0x30, 0xe, 0x1, 0});
    fields("rgb16-3103", 16, 40, {0x38, 0xffc0, 0x7, 0});
    fields("rgba16-4444", 16, 124, {0xf00, 0xf0, 0xf, 0xf000});
    fields("rgba16-5551", 16, 124, {0x7c00, 0x3e0, 0x1f, 0x8000});
    fields("rgba16-1924", 16, 124, {0x800, 0x1ff, 0x600, 0xf000});
    fields("rgba16-topdown", 16, 56, {0xf00, 0xf0, 0xf, 0xf000}).topdown = true;
    add("rgb24", 24);
    add("rgb24pal", 24, 256);
    add("rgb24largepal", 24, 300);
    bmp_kind &prof = add("rgb24prof", 24);
    prof.info = 124, prof.profile = true;
    bmp_kind &td = add("rgb24topdown", 24);
    td.topdown = true, td.w = 7;
    add("rgb32", 32);
    add("rgb32fakealpha", 32).spare_set = true;
    fields("rgb32bfdef", 32, 40, {0xff0000, 0xff00, 0xff, 0});
    fields("rgb32bf", 32, 40, {0xff000000, 0xff0, 0xff0000, 0});
    fields("rgb32-111110", 32, 40, {0xffe00000, 0x1ffc00, 0x3ff, 0});
    fields("rgb32-7187", 32, 40, {0xfe000000, 0x1ffff80, 0x7f, 0});
    fields("rgb32h52", 32, 52, {0xff000000, 0xff00, 0xff, 0});
    fields("rgba32", 32, 124, {0xff000000, 0xff00, 0xff, 0xff0000});
    fields("rgba32-1010102", 32, 124, {0x3ff00000, 0xffc00, 0x3ff, 0xc0000000});
    fields("rgba32-81284", 32, 124, {0xff00, 0xfff0000, 0xff, 0xf0000000});
    fields("rgba32-61754", 32, 124, {0xfc00000, 0x3fffe0, 0x1f, 0xf0000000});
    bmp_kind &abf = fields("rgba32abf", 32, 40, {0xff000000, 0xff00, 0xff, 0xff0000});
    abf.comp = 6;
    fields("rgba32h56", 32, 56, {0xff000000, 0xff00, 0xff, 0xff0000});
    fields("rgba32-clear", 32, 108, {0xff0000, 0xff00, 0xff, 0xff000000}).alpha_clear = true;
    return v;
}

inline bmp_kind kind_named(const std::string &name)
{
    for (const bmp_kind &k : bmp_kinds())
        if (k.name == name)
            return k;
    return bmp_kind{};
}

// Files that must be refused, each with words of its refusal: a kind's
// file with header fields changed (at offset, a value; up to two; -1:
// none) and cut to keep bytes (0: whole), or a kind changed before it is
// made.
inline std::vector<bmp_bad> bad_bmps()
{
    struct fields {
        const char *name, *kind;
        int at;
        uint32_t v;
        int at2;
        uint32_t v2;
        size_t keep;
        const char *why;
    } const patched[] = {
        {"bad-bitcount", "pal1", 28, 30000, -1, 0, 0, "30000 bits per dot"},
        {"bad-bits0", "rgb24", 28, 0, -1, 0, 0, "0 bits per dot"},
        {"bad-bits64", "rgb24", 28, 64, -1, 0, 0, "64 bits per dot"},
        {"bad-planes", "pal1", 26, 30000, -1, 0, 0, "30000 planes"},
        {"bad-bitssize", "pal1", 34, 0x7eeeeeee, -1, 0, 0, "cut short"},
        {"bad-filesize", "pal1", 2, 0x7ddddddd, -1, 0, 0, "cut short"},
        {"bad-dens1", "pal1", 38, 30000000, 42, 3, 0, "thousandfold"},
        {"bad-dens2", "pal1", 38, 3, 42, 30000000, 0, "thousandfold"},
        {"bad-palettesize", "pal8", 46, 0x12341234, -1, 0, 0, "palette of 305402420"},
        {"bad-width", "pal1", 18, (uint32_t)-13, -1, 0, 0, "size -13 x 6"},
        {"bad-zero-width", "rgb24", 18, 0, -1, 0, 0, "size 0 x 6"},
        {"bad-zero-height", "rgb24", 22, 0, -1, 0, 0, "size 13 x 0"},
        {"bad-height-min", "rgb24", 22, 0x80000000, -1, 0, 0, "size 13 x -2147483648"},
        {"bad-too-wide", "rgb24", 18, 1025, -1, 0, 0, "1025 x 6 dots is larger"},
        {"bad-too-high", "rgb24", 22, 769, -1, 0, 0, "13 x 769 dots is larger"},
        {"bad-reallybig", "rgb24", 18, 3000000, 22, 2000000, 0, "larger than 1024 x 768"},
        {"bad-rle8-bits4", "pal8rle", 28, 4, -1, 0, 0, "RLE8 compression of 4 bits"},
        {"bad-rle4-bits8", "pal4rle", 28, 8, -1, 0, 0, "RLE4 compression of 8 bits"},
        {"bad-bitfields24", "rgb24", 30, 3, -1, 0, 0, "masks for 24 bits"},
        {"bad-jpeg", "rgb24prof", 30, 4, -1, 0, 0, "JPEG picture"},
        {"bad-png", "rgb24prof", 30, 5, -1, 0, 0, "PNG picture"},
        {"bad-method", "rgb24", 30, 9, -1, 0, 0, "method 9"},
        {"bad-offset-in-headers", "rgb24", 10, 20, -1, 0, 0, "offset 20 lies inside"},
        {"bad-offset-beyond", "rgb24", 10, 0x7fffffff, -1, 0, 0, "beyond the end of the file"},
        {"bad-not-bm", "rgb24", 0, 'B' | 'N' << 8, -1, 0, 0, "neither a BMP"},
        {"bad-shortfile", "pal1", -1, 0, -1, 0, 62 + 4 * 2 + 2, "cut short"},
        {"bad-cut-in-header", "rgb24", -1, 0, -1, 0, 30, "ends inside its headers"},
        {"bad-cut-in-masks", "rgb16-565", -1, 0, -1, 0, 14 + 40 + 6, "beyond the end"},
        {"bad-cut-in-palette", "pal8", -1, 0, -1, 0, 14 + 40 + 100, "beyond the end"},
        // sizes 0, as some writers leave them: only the dots tell
        {"bad-cut-at-row", "rgb16", 2, 0, 34, 0, 54 + 28 * 3, "ends inside its pixels (84 of"},
        {"bad-cut-rle", "pal4rle", 2, 0, 34, 0, 102 + 20, "compressed pixels end in row"},
    };
    struct changed {
        const char *name, *kind;
        void (*change)(bmp_kind &);
        const char *why;
    } const remade[] = {
        {"bad-headersize", "pal1", [](bmp_kind &k) { k.info = 66; }, "header of 66 bytes"},
        {"bad-index", "pal8", [](bmp_kind &k) { k.colours = 101, k.used = 253, k.w = 40; },
         "of a palette of 101"},
        {"bad-rle-index", "pal8rle", [](bmp_kind &k) { k.colours = 101, k.used = 253; },
         "of a palette of 101"},
        {"bad-rle8-run-past", "pal8rle", [](bmp_kind &k) { k.rle = RLE_RUN_PAST; }, "end of a row"},
        {"bad-rle4-run-past", "pal4rle", [](bmp_kind &k) { k.rle = RLE_RUN_PAST; }, "end of a row"},
        {"bad-rle8-stored-past", "pal8rle", [](bmp_kind &k) { k.rle = RLE_STORED_PAST; },
         "past the end of a row"},
        {"bad-rle4-stored-past", "pal4rle", [](bmp_kind &k) { k.rle = RLE_STORED_PAST; },
         "past the end of a row"},
        {"bad-rle8-move-past", "pal8rle", [](bmp_kind &k) { k.rle = RLE_MOVE_PAST; }, "the edge"},
        {"bad-rle4-move-above", "pal4rle", [](bmp_kind &k) { k.rle = RLE_MOVE_ABOVE; }, "the edge"},
        {"bad-rle8-above", "pal8rle", [](bmp_kind &k) { k.rle = RLE_ABOVE; }, "above the picture"},
        {"bad-rle8-no-end", "pal8rle", [](bmp_kind &k) { k.rle = RLE_NO_END; }, "cut short"},
        {"bad-rle4-no-end", "pal4rle", [](bmp_kind &k) { k.rle = RLE_NO_END; }, "cut short"},
        {"bad-rletopdown", "pal8rle", [](bmp_kind &k) { k.topdown = true; }, "top row first"},
        {"bad-huffman", "pal1", [](bmp_kind &k) { k.info = 64, k.comp = 3; }, "Huffman"},
        {"bad-rle24", "rgb24", [](bmp_kind &k) { k.info = 64, k.comp = 4; }, "RLE24"},
        {"bad-rgb16-880", "rgb16-565",
         [](bmp_kind &k) { k.mask[0] = 0xff00, k.mask[1] = 0xff, k.mask[2] = 0; },
         "blue mask is empty"},
        {"bad-mask-overlap", "rgb16-565", [](bmp_kind &k) { k.mask[0] = 0x7c00; },
         "green mask 0x000007e0 shares bits"},
        {"bad-mask-gap", "rgb16-565", [](bmp_kind &k) { k.mask[2] = 0x1d; },
         "blue mask 0x0000001d is not one run"},
        {"bad-mask-wide", "rgb16-565", [](bmp_kind &k) { k.mask[2] = 0x1f0000; }, "beyond 16 bits"},
    };
    std::vector<bmp_bad> v;
    for (const fields &p : patched) {
        std::string s = make_bmp(kind_named(p.kind)).bytes;
        for (auto [at, val] : {std::pair{p.at, p.v}, {p.at2, p.v2}})
            if (at == 0 || at == 26 || at == 28) // signature, planes, bits: 16 bits
                patch16(s, (size_t)at, val);
            else if (at > 0)
                patch32(s, (size_t)at, val);
        v.push_back(bmp_bad{p.name, p.keep ? s.substr(0, p.keep) : s, p.why});
    }
    for (const changed &c : remade) {
        bmp_kind k = kind_named(c.kind);
        c.change(k);
        v.push_back(bmp_bad{c.name, make_bmp(k).bytes, c.why});
    }
    return v;
}

} // namespace bmpgen
