// vp8lhuff.h - the bit writer and prefix codes of the lossless WebP
// encoder (vp8l.h).
//
//   bit_writer bw{buf};            // buf: room enough for every bit put
//   bw.put(bits, n);               // n <= 32 bits, least significant first
//   size_t bytes = bw.finish();
//
//   prefix_code c;
//   c.build(counts, n);            // a Huffman code for an alphabet of n
//   c.write(bw);                   // the code as the decoder reads it
//   bw.put(c.code[s], c.bits[s]);  // symbol s
// A code for one symbol or none takes no bits a symbol; codes are at most
// 15 bits long, canonical, stored bit-reversed as the stream wants them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct bit_writer {
    uint8_t *out;
    size_t at = 0;
    uint64_t acc = 0;
    int used = 0;

    void put(uint32_t bits, int n)
    {
        acc |= (uint64_t)bits << used;
        used += n;
        if (used >= 32) {
            for (int i = 0; i < 4; i++)
                out[at++] = (uint8_t)(acc >> 8 * i);
            acc >>= 32;
            used -= 32;
        }
    }
    size_t finish()
    {
        for (; used > 0; used -= 8, acc >>= 8)
            out[at++] = (uint8_t)acc;
        used = 0;
        return at;
    }
};

// A value (a length or a distance code, from 1) as a prefix symbol and
// extra bits.
inline void prefix_of(uint32_t v, int &sym, int &nbits, uint32_t &extra)
{
    v -= 1;
    if (v < 4) {
        sym = (int)v, nbits = 0, extra = 0;
        return;
    }
    const int high = 31 - __builtin_clz(v);
    const int second = (int)(v >> (high - 1)) & 1;
    nbits = high - 1;
    sym = 2 * high + second;
    extra = v & ((1u << nbits) - 1);
}

struct prefix_code {
    int n = 0;                 // alphabet size
    std::vector<uint8_t> len;  // code lengths, as stored
    std::vector<uint8_t> bits; // bits written a symbol
    std::vector<uint16_t> code;
    int used = 0, first[2] = {0, 0}; // symbols counted, the first two

    void build(const uint32_t *counts, int size);
    void write(bit_writer &bw) const;
};
