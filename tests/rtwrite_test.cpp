// Writing a scene model as a .RT file: the reader must get exactly the
// model back, from every scene file in the repository and from random
// files full of extreme numbers and tangled groups.
#include "scene/rtwrite.h"
#include "image/safewrite.h"
#include "inputs.h"
#include "testscene.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <sstream>

namespace {

// The first difference between two models in what a file holds, or "".
std::string diff(const scene &a, const scene &b)
{
    std::ostringstream d;
    d << std::hexfloat;
    auto cmp = [&](const char *name, int i, auto x, auto y) {
        if (d.tellp() == 0 && std::memcmp(&x, &y, sizeof x) != 0)
            d << name << " of " << i << ": " << x << " / " << y;
    };
#define F(f) cmp(#f, -1, a.f, b.f)
    F(rx), F(ry), F(rz), F(vpnax), F(vpnay), F(vpnaz), F(dlength), F(wdu);
    F(ixmx), F(iymx), F(ilvlmx), F(nlg), F(primmx);
    for (int i = 0; i < a.nlg; i++) {
#define L(f) cmp("light " #f, i, a.lig[i].f, b.lig[i].f)
        L(pos.x), L(pos.y), L(pos.z), L(bright);
    }
    for (int i = 0; i < a.primmx; i++) {
#define P(f) cmp(#f, i, a.pri[i].f, b.pri[i].f)
        P(type), P(surf), P(ka), P(kd), P(ks), P(spare), P(npow), P(refr), P(trans), P(pat);
        P(patw), P(sense), P(geom.x), P(geom.y), P(geom.z), P(pos.x), P(pos.y), P(pos.z);
        P(col.r), P(col.g), P(col.b), P(nmem);
        for (int m = 0; m < a.pri[i].nmem && m < MEMBER_MAX; m++)
            P(mem[m]);
    }
    return d.str();
}

// The words of each line.
std::vector<std::vector<std::string>> words(const std::string &text)
{
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line, w; std::getline(in, line);) {
        std::istringstream ws(line);
        for (lines.emplace_back(); ws >> w;)
            lines.back().push_back(w);
    }
    return lines;
}

// One item per line: the view settings, the lights and the records with
// their numbers of words, a -1, the groups ended by -1, a lone -1.
void expect_layout(const std::string &text, const scene &sc)
{
    std::vector<size_t> n{3, 3, 2, 2, 1};
    n.insert(n.end(), std::max(sc.nlg, 0), 4);
    n.push_back(1);
    n.insert(n.end(), sc.primmx, 21);
    n.push_back(1);
    auto lines = words(text);
    ASSERT_GT(lines.size(), n.size());
    for (size_t i = 0; i < lines.size(); i++) {
        if (i < n.size()) {
            EXPECT_EQ(lines[i].size(), n[i]) << "line " << i + 1;
        } else {
            EXPECT_EQ(lines[i].empty() ? "" : lines[i].back(), "-1") << "line " << i + 1;
        }
    }
    EXPECT_EQ(lines.back().size(), 1u);
    EXPECT_EQ(text.back(), '\n');
}

struct WriteScene : scene_fixture {
    scene a, b; // a file's model, and the model of its text read back

    // Reads path, writes its model as text, reads that back: the same
    // model, with no complaint from the reader, and the same text when
    // written again.
    void round_trip(const std::string &path, std::string &text)
    {
        msglist m;
        a = b = scene{};
        ASSERT_EQ(data_load(a, path.c_str(), m), 1);
        std::string again;
        ASSERT_EQ(rt_text(a, text, m), 1) << m.first();
        m.clear();
        std::string out = scratch("written.RT");
        ASSERT_EQ(
            write_file_safely(out.c_str(), (const unsigned char *)text.data(), text.size(), m), 1);
        ASSERT_EQ(data_load(b, out.c_str(), m), 1);
        EXPECT_TRUE(m.empty()) << m.first() << "\n" << text;
        EXPECT_EQ(diff(a, b), "") << text;
        expect_layout(text, a);
        ASSERT_EQ(rt_text(b, again, m), 1);
        EXPECT_EQ(again, text);
    }
};

// Every scene file in the repository; those people wrote come out as they
// were, spacing aside.
TEST_F(WriteScene, EverySceneFileReadsBackAsTheSameModel)
{
    std::vector<std::string> paths;
    for (auto [dir, suffix] : {std::pair{"samples/", ".RT"},
                               {"tests/degenerate/", ".RT"},
                               {"fuzz/corpus/scene/", ""},
                               {"fuzz/regress/scene/", ""}})
        for (const std::string &p : inputs_under(dir, suffix))
            paths.push_back(p);
    for (const auto &e : std::filesystem::directory_iterator(KORU_SOURCE_DIR "/bench/scenes"))
        paths.push_back(e.path().string());
    ASSERT_GT(paths.size(), 50u);
    for (const std::string &path : paths) {
        SCOPED_TRACE(path);
        std::string text;
        round_trip(path, text);
        if (path.find("/samples/") != path.npos || path.find("/bench/") != path.npos) {
            EXPECT_EQ(words(text), words(slurp(path)));
        }
    }
}

// Random .RT files: numbers of every kind and size (semi-axes whose
// squares overflow or vanish, subnormals, nan payloads, clamped ints),
// light counts below 0 and beyond the table, and group sections of
// overlapping groups, repeated members, single members and 40 members.
TEST_F(WriteScene, RandomFilesReadBackAsTheSameModel)
{
    std::mt19937_64 rng(20240611);
    auto pick = [&](int n) { return (int)(rng() % n); };
    auto num = [&](std::string &s) {
        static const char *odd[] = {"0",
                                    "-0",
                                    "inf",
                                    "-Infinity",
                                    "nan",
                                    "-nan",
                                    "NaN(0x7ffffffffffff)",
                                    "-nan(12)",
                                    "4.9e-324",
                                    "1.7976931348623157e308",
                                    "1e-400",
                                    "1e400",
                                    "0.3"};
        char buf[40];
        if (pick(4) == 0) {
            s += odd[pick(13)];
        } else if (pick(3) == 0) {
            // anywhere, and often where a square overflows or underflows
            int e = pick(3) ? (pick(2) ? 1 : -1) * (505 + pick(35)) : pick(2100) - 1075;
            double v = std::ldexp(1 + pick(1000000) / 1e6, e);
            std::snprintf(buf, sizeof buf, "%.17g", pick(2) ? v : -v);
            s += buf;
        } else {
            s += std::to_string(pick(2000) - 1000) + "." + std::to_string(pick(100));
        }
        s += ' ';
    };
    auto whole = [&](std::string &s) {
        static const char *odd[] = {"2147483647", "-2147483648", "99999999999", "-1", "0"};
        s += pick(5) == 0 ? odd[pick(5)] : std::to_string(pick(600) - 100);
        s += ' ';
    };
    const std::string path = scratch("random.RT");
    for (int round = 0; round < 3000; round++) {
        std::string s;
        for (int i = 0; i < 8; i++)
            num(s);
        whole(s), whole(s);
        int nlg = pick(10) == 0 ? 98 + pick(5) : pick(8) - 2;
        int nprim = pick(3) ? pick(12) : pick(104);
        s += std::to_string(nlg) + "\n";
        for (int i = 0; i < 4 * nlg; i++)
            num(s);
        whole(s);
        for (int i = 0; i < nprim; i++) {
            s += std::to_string(pick(3) ? 3 + pick(2) : pick(7)) + " ";
            for (int f = 0; f < 20; f++)
                f == 0 || f == 4 || f == 5 || f == 8 || f == 10 || f >= 17 ? whole(s) : num(s);
            s += "\n";
        }
        s += "-1\n";
        for (int g = pick(2) ? pick(12) : pick(40); g > 0; g--) {
            int n = pick(4) ? 1 + pick(6) : pick(3) ? 40 : 1 + pick(45);
            for (int i = 0; i < n; i++)
                s += std::to_string(pick(20) ? 1 + pick(std::max(nprim, 1)) : pick(150)) + " ";
            s += "-1\n";
        }
        s += "-1\n";
        spit(path, s);
        SCOPED_TRACE(s);
        std::string text;
        round_trip(path, text);
        if (HasFatalFailure() || HasFailure())
            return;
    }
}

const double signalling_nan = std::numeric_limits<double>::signaling_NaN();

// Models no file can give are refused with a reason, not written wrong.
TEST_F(WriteScene, RefusesWhatNoFileGives)
{
    const struct {
        const char *why;
        void (*spoil)(scene &);
    } cases[] = {
        {"", [](scene &) {}}, // as it is, it can be written
        {"semi-axis", [](scene &s) { s.pri[1].geom.y = 4.9e-324; }},
        {"semi-axis", [](scene &s) { s.pri[1].geom.z = -1e-310; }},
        {"semi-axis", [](scene &s) { s.pri[1].geom.x = 2; }}, // 1/v^2 steps over it
        {"signalling", [](scene &s) { s.pri[0].ka = signalling_nan; }},
        {"signalling", [](scene &s) { s.wdu = signalling_nan; }},
        {"negative type", [](scene &s) { s.pri[2].type = -1; }},
        {"partners", [](scene &s) { s.pri[0].nmem = MEMBER_MAX; }},
        {"not a primitive", [](scene &s) { s.pri[0].mem[1] = 3; }},
        // 1 with 2 alone, 2 with 1 and 3: either group undoes the other
        {"groups", [](scene &s) { s.pri[0].nmem = 1; }},
        {"primitives", [](scene &s) { s.primmx = PRIM_MAX + 1; }},
        {"lights", [](scene &s) { s.nlg = LIGHT_MAX + 1; }},
    };
    for (const auto &c : cases) {
        sc = scene{};
        add(sc, prim(1, {0, 0, 1}));
        add(sc, sphere(2));
        add(sc, prim(2, {1, 1, 1}));
        group(sc, {0, 1, 2});
        c.spoil(sc);
        std::string text;
        msglist m;
        EXPECT_EQ(rt_text(sc, text, m), !*c.why) << c.why;
        EXPECT_NE(std::string(m.first()).find(c.why), std::string::npos) << m.first();
    }
}

} // namespace
