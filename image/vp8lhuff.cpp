#include "vp8lhuff.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int MAX_CODE_BITS = 15, MAX_LENGTH_CODE_BITS = 7;
constexpr int LENGTH_CODES = 19, REPEAT_LAST = 16, ZEROS_SHORT = 17, ZEROS_LONG = 18;
constexpr int LAST_START = 8; // the length code 16 repeats before any other
// the order the code-length code's lengths are stored in
constexpr uint8_t LENGTH_ORDER[LENGTH_CODES] = {17, 18, 0, 1,  2,  3,  4,  5,  16, 6,
                                                7,  8,  9, 10, 11, 12, 13, 14, 15};

using leaf = std::pair<uint32_t, int>; // count, symbol

// The depths of a Huffman tree of the leaves (sorted by count), each
// count raised to at least floor; false when one is deeper than limit.
bool depths(const std::vector<leaf> &leaves, uint32_t floor, int limit, uint8_t *len)
{
    const int m = (int)leaves.size();
    std::vector<uint64_t> weight(2 * m - 1);
    std::vector<int> parent(2 * m - 1), depth(2 * m - 1);
    for (int i = 0; i < m; i++)
        weight[i] = std::max(leaves[i].first, floor);
    int li = 0, ii = m; // the next leaf, the next inner node
    auto pick = [&](int k) {
        const bool leaf_first = li < m && (ii >= k || weight[li] <= weight[ii]);
        return leaf_first ? li++ : ii++;
    };
    for (int k = m; k < 2 * m - 1; k++) {
        const int a = pick(k), b = pick(k);
        weight[k] = weight[a] + weight[b];
        parent[a] = parent[b] = k;
    }
    depth[2 * m - 2] = 0;
    for (int k = 2 * m - 3; k >= 0; k--)
        depth[k] = depth[parent[k]] + 1;
    for (int i = 0; i < m; i++)
        if (depth[i] > limit)
            return false;
    for (int i = 0; i < m; i++)
        len[leaves[i].second] = (uint8_t)depth[i];
    return true;
}

// Huffman code lengths for counts, none longer than limit: the rarest
// symbols are counted as more common until the tree is shallow enough.
void code_lengths(const uint32_t *counts, int n, int limit, uint8_t *len)
{
    std::vector<leaf> leaves;
    for (int s = 0; s < n; s++) {
        len[s] = 0;
        if (counts[s])
            leaves.emplace_back(counts[s], s);
    }
    if (leaves.size() == 1)
        len[leaves[0].second] = 1;
    if (leaves.size() < 2)
        return;
    std::sort(leaves.begin(), leaves.end());
    for (uint32_t floor = 1; !depths(leaves, floor, limit, len); floor *= 2) {
    }
}

uint32_t reversed(uint32_t v, int n)
{
    uint32_t r = 0;
    for (int i = 0; i < n; i++, v >>= 1)
        r = r << 1 | (v & 1);
    return r;
}

// Canonical codes for the lengths, bit-reversed; the bits written a symbol
// (none when one symbol has a length: the decoder reads nothing for it).
void canonical(const uint8_t *len, int n, uint16_t *code, uint8_t *bits)
{
    int count[MAX_CODE_BITS + 1] = {}, used = 0;
    for (int s = 0; s < n; s++)
        count[len[s]]++, used += len[s] > 0;
    count[0] = 0;
    uint32_t next[MAX_CODE_BITS + 1] = {}, c = 0;
    for (int b = 1; b <= MAX_CODE_BITS; b++) {
        c = (c + count[b - 1]) << 1;
        next[b] = c;
    }
    for (int s = 0; s < n; s++) {
        code[s] = len[s] ? (uint16_t)reversed(next[len[s]]++, len[s]) : 0;
        bits[s] = used > 1 ? len[s] : 0;
    }
}

struct length_token {
    uint8_t sym, extra;
};

// The code lengths as the code-length code's symbols: runs of zeros as
// 17 and 18, repeats of the last length as 16.
void length_tokens(const uint8_t *len, int n, std::vector<length_token> &out)
{
    int last = LAST_START;
    for (int i = 0; i < n;) {
        const uint8_t v = len[i];
        int run = 1;
        while (i + run < n && len[i + run] == v)
            run++;
        i += run;
        if (v == 0) {
            for (; run >= 11; run -= std::min(run, 138))
                out.push_back({ZEROS_LONG, (uint8_t)(std::min(run, 138) - 11)});
            if (run >= 3)
                out.push_back({ZEROS_SHORT, (uint8_t)(run - 3)}), run = 0;
        } else {
            if (v != last)
                out.push_back({v, 0}), run--, last = v;
            for (; run >= 3; run -= std::min(run, 6))
                out.push_back({REPEAT_LAST, (uint8_t)(std::min(run, 6) - 3)});
        }
        for (; run > 0; run--)
            out.push_back({v, 0});
    }
}

void write_lengths(bit_writer &bw, const uint8_t *len, int n)
{
    std::vector<length_token> toks;
    length_tokens(len, n, toks);
    uint32_t counts[LENGTH_CODES] = {};
    for (const length_token &t : toks)
        counts[t.sym]++;
    uint8_t cl[LENGTH_CODES], bits[LENGTH_CODES];
    uint16_t code[LENGTH_CODES];
    code_lengths(counts, LENGTH_CODES, MAX_LENGTH_CODE_BITS, cl);
    canonical(cl, LENGTH_CODES, code, bits);
    int stored = LENGTH_CODES;
    while (stored > 4 && cl[LENGTH_ORDER[stored - 1]] == 0)
        stored--;
    bw.put((uint32_t)stored - 4, 4);
    for (int i = 0; i < stored; i++)
        bw.put(cl[LENGTH_ORDER[i]], 3);
    bw.put(0, 1); // every symbol's length follows
    constexpr int EXTRA[LENGTH_CODES] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
    for (const length_token &t : toks) {
        bw.put(code[t.sym], bits[t.sym]);
        bw.put(t.extra, EXTRA[t.sym]);
    }
}

} // namespace

void prefix_code::build(const uint32_t *counts, int size)
{
    n = size;
    len.assign(n, 0), bits.assign(n, 0), code.assign(n, 0);
    used = 0;
    for (int s = 0; s < n; s++)
        if (counts[s] && used++ < 2)
            first[used - 1] = s;
    code_lengths(counts, n, MAX_CODE_BITS, len.data());
    canonical(len.data(), n, code.data(), bits.data());
}

void prefix_code::write(bit_writer &bw) const
{
    constexpr int SIMPLE_MAX = 256; // a simple code's symbols are bytes
    if (used <= 1 && first[0] < SIMPLE_MAX) {
        const int s = used ? first[0] : 0;
        bw.put(1, 1), bw.put(0, 1); // simple, one symbol
        if (s < 2)
            bw.put(0, 1), bw.put((uint32_t)s, 1);
        else
            bw.put(1, 1), bw.put((uint32_t)s, 8);
        return;
    }
    if (used == 2 && first[1] < SIMPLE_MAX) {
        bw.put(1, 1), bw.put(1, 1), bw.put(1, 1); // simple, two symbols of 8 bits
        bw.put((uint32_t)first[0], 8), bw.put((uint32_t)first[1], 8);
        return;
    }
    bw.put(0, 1);
    write_lengths(bw, len.data(), n);
}
