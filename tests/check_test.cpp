// What loads but cannot be meant: check_scene's findings and where they
// point, and explain_scene's reading of a file.
#include "scene/check.h"
#include "scene/explain.h"
#include "testscene.h"

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

static scene_map map;

// The scene with line `line` (1-based) replaced by text, loaded and checked;
// reader and check lines together.
std::vector<msg> findings(int line = 0, const std::string &text = "")
{
    std::string file;
    for (size_t i = 0; i < CLEAN.size(); i++)
        file += ((int)i + 1 == line ? text : CLEAN[i]) + "\n";
    const std::string path = scratch("check.RT");
    spit(path, file);
    scene_begin();
    EXPECT_EQ(data_load(tsc, path.c_str(), twarn, &map), 1);
    check_scene(tsc, &map, twarn);
    return twarn.lines;
}

TEST(Check, ACleanSceneHasNothingToReport)
{
    // (tests/samples.cmake has koru-cli check every sample too)
    std::vector<msg> f = findings();
    EXPECT_TRUE(f.empty()) << f[0].text;
}

TEST(Check, EachFindingPointsAtItsNumber)
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
TEST(Check, WithoutAMapOrAFullView)
{
    findings(10, "7 1 0.2 0.7 0 0 1 1 0 0 1 1 0.5 0.5 0.5 2 0 0 100 100 200");
    msglist again;
    EXPECT_EQ(check_scene(tsc, nullptr, again), 1);
    EXPECT_EQ(again.lines[0].line, 0);

    const std::string path = scratch("cut.RT");
    spit(path, "0 0 0\n0 0 0\n");
    scene_begin();
    ASSERT_EQ(data_load(tsc, path.c_str(), twarn, &map), 1);
    check_scene(tsc, &map, twarn);
    ASSERT_EQ(warnings(), 1) << twarn.lines[1].text;
    EXPECT_NE(twarn.lines[0].text.find("where dlength should be"), std::string::npos);
}

TEST(Check, ExplainNamesEveryFieldAndItsLine)
{
    findings(13, "3 4 -1");
    const std::string text = explain_scene(tsc, &map);
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
