// What loads but cannot be meant: check_scene's findings and where they
// point, check_layout's reading of the text's lines, and explain_scene's
// reading of a file.
#include "scene/check.h"
#include "scene/explain.h"
#include "scene/layout.h"
#include "testscene.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A clean scene, one item a line: a floor (solid below z = -1, checker), a
// glass ball, a box with a ball-shaped hole (a group), a light above all.
const std::vector<std::string> CLEAN = {
    "0 0 0",
    "0 -1 0.5",
    "10 4",
    "8 6",
    "1",
    "0 -5 5 1",
    "2",
    "1 1 0.2 0.8 0 0 1 1 0 1 1 1 0 0 1 0 0 -1 200 200 200",
    "3 3 0.1 0.1 0.5 0 20 1.5 0.8 0 1 1 1 1 1 0 0 0 220 220 220",
    "2 1 0.2 0.7 0 0 1 1 0 0 1 1 0.5 0.5 0.5 2 0 0 100 100 200",
    "3 1 0.2 0.7 0 0 1 1 0 0 1 -1 0.3 0.3 0.3 2 0 0.5 100 100 200",
    "-1",
    "3 4 -1",
    "-1",
};

struct Check : scene_fixture {
    scene_map map;

    // The scene with line `line` (1-based) replaced by text, loaded and
    // checked; reader and check lines together.
    std::vector<msg> findings(int line = 0, const std::string &text = "")
    {
        std::string file;
        for (size_t i = 0; i < CLEAN.size(); i++)
            file += ((int)i + 1 == line ? text : CLEAN[i]) + "\n";
        const std::string path = scratch("check.RT");
        spit(path, file);
        sc = scene{};
        warn.clear();
        EXPECT_EQ(data_load(sc, path.c_str(), warn, &map), 1);
        check_scene(sc, &map, warn);
        check_layout(file.data(), file.size(), warn); // nothing to say of these lines
        return warn.lines;
    }
};

TEST_F(Check, ACleanSceneHasNothingToReport)
{
    // (tests/samples.cmake has koru-cli check every sample too)
    std::vector<msg> f = findings();
    EXPECT_TRUE(f.empty()) << f[0].text;
}

TEST_F(Check, EachFindingPointsAtItsNumber)
{
    struct row {
        int line;
        const char *text;
        int col; // 0: nothing to report
        const char *says;
    } rows[] = {
        {2, "0 0 0", 1, "the look direction (0, 0, 0) has no length"},
        {2, "0 -1 1e308", 1, "no length KORU can divide by"},
        {4, "2000 6", 1, "larger than 1024 x 768: it will be made at 1024 x 6"},
        {4, "8 800", 3, "it will be made at 8 x 768"},
        {4, "8 0", 3, "the picture size 8 x 0 has no dots"},
        {6, "0 0 -3 1", 1, "light 1 at (0, 0, -3) is inside primitive 1, a solid plane"},
        {6, "2 0 -0.25 1", 1, "is inside primitive 3, a solid box"},
        {6, "2 0 0.5 1", 0, "in the hole the group cuts: outside the solid"},
        {6, "0 0 0 1", 0, "inside glass"},
        {1, "0 -9 4.5", 0, "the eye under the floor with the light: it sees what is lit"},
        {8, "1 1 0.2 0.8 0 0 1 1 0 1 1 1 0 0 0 0 0 -1 200 200 200", 29, "normal (0, 0, 0)"},
        {8, "1 1 0.2 0.8 0 0 1 1 0 1 0 1 0 0 1 0 0 -1 200 200 200", 25,
         "the checker pattern has the width 0"},
        {8, "1 1 0.2 0.8 0 0 1 1 0 4 1 1 0 0 1 0 0 -1 200 200 200", 23, "pat 4 is no pattern"},
        {9, "3 3 0.1 0.1 0.5 0 20 0 0.8 0 1 1 1 1 1 0 0 0 220 220 220", 22,
         "glass with the refractive index 0"},
        {9, "4 1 0.1 0.1 0.5 0 20 1.5 0.8 0 1 1 0 0 0 0 0 0 220 220 220", 36,
         "the cone's semi-axes are all 0"},
        {10, "7 1 0.2 0.7 0 0 1 1 0 0 1 1 0.5 0.5 0.5 2 0 0 100 100 200", 1,
         "type 7 is no primitive type"},
        {10, "2 0 0.2 0.7 0 0 1 1 0 0 1 1 0.5 0.5 0.5 2 0 0 100 100 200", 3,
         "surf 0 is no surface code"},
        {13, "3 4 3 -1", 5, "primitive 3 is named twice in its group"},
        {13, "3 5 -1", 3, "5 is not a primitive number (1..4)"}, // the reader's
        {10, "2 1 0.25 0.7 o.5 0 1 1 0 0 1 1 0.5 0.5 0.5 2 0 0 100 100 200", 14,
         "primitive list: ks is not a number (\"o.5\") inside record 3"},
    };
    for (const row &r : rows) {
        std::vector<msg> f = findings(r.line, r.text);
        if (!r.col) {
            EXPECT_TRUE(f.empty()) << r.says << ": " << f[0].text;
            continue;
        }
        ASSERT_EQ(f.size(), 1u) << r.text << ": " << f[0].text << " / " << f.back().text;
        EXPECT_EQ(f[0].line, r.line) << f[0].text;
        EXPECT_EQ(f[0].col, r.col) << f[0].text;
        EXPECT_NE(f[0].text.find(r.says), std::string::npos) << f[0].text;
    }
}

// Without a map (a scene made in a program) the same findings come, without
// places; views cut short in a file are the reader's alone.
TEST_F(Check, WithoutAMapOrAFullView)
{
    findings(10, "7 1 0.2 0.7 0 0 1 1 0 0 1 1 0.5 0.5 0.5 2 0 0 100 100 200");
    msglist again;
    EXPECT_EQ(check_scene(sc, nullptr, again), 1);
    EXPECT_EQ(again.lines[0].line, 0);

    const std::string path = scratch("cut.RT");
    spit(path, "0 0 0\n0 0 0\n");
    sc = scene{};
    warn.clear();
    ASSERT_EQ(data_load(sc, path.c_str(), warn, &map), 1);
    check_scene(sc, &map, warn);
    ASSERT_EQ(warnings(), 1) << warn.lines[1].text;
    EXPECT_NE(warn.lines[0].text.find("where dlength should be"), std::string::npos);
}

// room.RT is written one record a line. Its lines are edited, or laid out
// anew, and check_layout says where they are read otherwise than they look.
TEST_F(Check, LinesThatAreNotReadAsTheyLook)
{
    const std::vector<std::string> room = [] {
        std::vector<std::string> v;
        std::string all = slurp(KORU_SOURCE_DIR "/samples/room.RT");
        for (size_t at = 0, nl; (nl = all.find('\n', at)) != all.npos; at = nl + 1)
            v.push_back(all.substr(at, nl - at));
        return v;
    }();
    auto edited = [&](int line, const std::string &text) {
        std::string s;
        for (size_t i = 0; i < room.size(); i++)
            s += ((int)i + 1 == line ? text : room[i]) + "\n";
        return s;
    };
    auto laid_out = [&](const char *between_numbers, int wrap) {
        std::string s;
        int n = 0;
        for (const std::string &l : room)
            for (size_t at = 0; at < l.size();) {
                const size_t end = std::min(l.find(' ', at), l.size());
                s += l.substr(at, end - at) + (++n % wrap ? between_numbers : "\n");
                at = end + 1;
            }
        return s;
    };
    const std::string line27 = room[26]; // primitive 19
    struct finding {
        int line, col;
        const char *says;
    };
    struct row {
        const char *what;
        std::string text;
        std::vector<finding> want;
    } rows[] = {
        {"four numbers short",
         edited(27, line27.substr(0, line27.rfind(" 3.2 "))),
         {{27, 50,
           "line 27: primitive 19 has 17 of its 21 numbers here (pos.z, col.r, col.g, col.b "
           "missing); the reader takes them from line 28"},
          {28, 5,
           "primitive 19: col.g is a whole number, so \"0.15\" is read as 0 and \".15\" is "
           "left for col.b"}}},
        {"a fraction in a whole number",
         edited(27, line27.substr(0, line27.rfind("220")) + "1450.15 60 50"),
         {{27, 58,
           "col.r is a whole number, so \"1450.15\" is read as 1450 and \".15\" is left "
           "for col.g"}}},
        {"two numbers more",
         edited(27, line27 + " 7 8"),
         {{27, 68,
           "line 27: primitive 19 has 2 numbers more than its 21 here; the reader takes them as "
           "type, surf of primitive 20"},
          {28, 10, "primitive 20: spare is a whole number"}}},
        {"a light short",
         edited(7, "4.5 1 6.2"),
         {{7, 7,
           "line 7: light 2 has 3 of its 4 numbers here (bright missing); the reader "
           "takes it from line 8"},
          {9, 5, "primitive 1: surf is a whole number"}}},
        {"one record over two lines",
         edited(27, "3 1 0.15 0.7 0.6 0 50 1\n0 0 1 1 0.6 0.6 0.6 "
                    "-4.5 4.5 3.2 220 60 50"),
         {}},
        {"all on one line", laid_out(" ", 1 << 30), {}},
        {"a number a line", laid_out("", 1), {}},
        {"seven numbers a line", laid_out(" ", 7), {}},
    };
    for (const row &r : rows) {
        msglist m;
        EXPECT_EQ(check_layout(r.text.data(), r.text.size(), m), (int)r.want.size()) << r.what;
        ASSERT_EQ(m.lines.size(), r.want.size()) << r.what << ": " << m.first();
        for (size_t i = 0; i < r.want.size(); i++) {
            EXPECT_EQ(m.lines[i].line, r.want[i].line) << r.what << ": " << m.lines[i].text;
            EXPECT_EQ(m.lines[i].col, r.want[i].col) << r.what << ": " << m.lines[i].text;
            EXPECT_NE(m.lines[i].text.find(r.want[i].says), std::string::npos)
                << r.what << ": " << m.lines[i].text;
        }
    }
}

TEST_F(Check, ExplainNamesEveryFieldAndItsLine)
{
    findings(13, "3 4 -1");
    const std::string text = explain_scene(sc, &map);
    for (const char *want : {
             "view (line 1)\n",
             "  vpnax vpnay vpnaz      0 -1 0.5",
             "  ixmx iymx              8 6 ",
             "light 1 (line 6)\n",
             "  bright                 1 ",
             "depth (line 7)\n",
             "primitive 1 (line 8): plane, opaque\n",
             "checker pattern",
             "primitive 2 (line 9): quadric, glass\n",
             "  geom.x geom.y geom.z   1 1 1                        semi-axes",
             "primitive 4 (line 11): quadric, opaque\n",
             "  geom.x geom.y geom.z   0.3 0.3 0.3 ",
             "  sense                  -1                           everything outside",
             "  partners               4 ",
             "groups\n  3 4 (line 13)\n",
         })
        EXPECT_NE(text.find(want), std::string::npos) << want << "\n" << text;
}

} // namespace
