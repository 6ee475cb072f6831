// keymix.h - the mixing of key scenes as the tests see it: file by file,
// number by number, with nothing of the engine's own mixing.
//
//   expect_mixed_file(a, b, u, mixed, sc)   the text mixed (of scene sc)
//                                           says a + (b - a)u of a's and
//                                           b's texts, number by number
// The three texts must be laid out as rt_text writes them.
#pragma once

#include "scene/rtread.h"
#include "scene/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

inline bool same_bits(double a, double b) { return !std::memcmp(&a, &b, sizeof a); }

inline std::vector<std::string> tokens(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> v;
    for (std::string w; in >> w;)
        v.push_back(w);
    return v;
}

// The places of whole numbers in rt_text's layout, by the record field:
// which round (col.r, col.g, col.b, npow) and which must be equal.
enum { REAL, ROUND, SAME };
inline std::vector<int> kinds_of(const scene &sc, size_t n)
{
    std::vector<int> k(8, REAL);
    k.insert(k.end(), {SAME, SAME, SAME}); // ixmx iymx nlg
    for (int i = 0; i < sc.nlg; i++)
        k.insert(k.end(), 4, REAL);
    k.push_back(SAME); // ilvlmx
    for (int i = 0; i < sc.primmx; i++)
        for (int f = 0; f < PRIM_FIELDS; f++)
            k.push_back(f == P_NPOW || f >= P_R ? ROUND
                        : f == P_TYPE || f == P_SURF || f == P_SPARE || f == P_PAT || f == P_SENSE
                            ? SAME
                            : REAL);
    k.resize(n, SAME); // the terminator and the groups
    return k;
}

// Mixing by the rule, token by token, with nothing of keys.cpp: the file
// the mix writes says a + (b - a)u for every real, rounded halves away
// from zero for colours and npow, and is otherwise a's.
inline void expect_mixed_file(const std::string &a, const std::string &b, double u,
                              const std::string &mixed, const scene &sc)
{
    const auto ta = tokens(a), tb = tokens(b), tm = tokens(mixed);
    ASSERT_EQ(ta.size(), tm.size());
    ASSERT_EQ(tb.size(), tm.size());
    const auto kinds = kinds_of(sc, tm.size());
    for (size_t i = 0; i < tm.size(); i++) {
        const double x = std::strtod(ta[i].c_str(), nullptr),
                     y = std::strtod(tb[i].c_str(), nullptr);
        const double m = std::strtod(tm[i].c_str(), nullptr);
        double want = x;
        if (kinds[i] == REAL && !same_bits(x, y))
            want = x + (y - x) * u;
        else if (kinds[i] == ROUND)
            want = std::round(x + (y - x) * u);
        EXPECT_TRUE(same_bits(m, want) || (std::isnan(m) && std::isnan(want)))
            << "number " << i << ": " << ta[i] << " .. " << tb[i] << " at " << u << " gives "
            << tm[i];
    }
}
