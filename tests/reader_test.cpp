// The .RT scene file reader and the scene model it fills.
#include "scene/rtread.h"
#include "testscene.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace {

// Camera, size, no lights, depth 2: the part of a file before its records.
const char *HEAD = "0 0 0  0 0 1  10 4  8 6  0  2\n";

// One record: type, then the ten groups of fields.
std::string rec(int type, const char *geom = "1 1 1", const char *pos = "0 0 0",
                const char *col = "10 20 30")
{
    return std::to_string(type) + " 1  0.1 0.2 0.3  7 5  1.5 0.5  0 1  1  " + geom + "  " + pos +
           "  " + col + "\n";
}

// n sphere records numbered by their x position.
std::string recs(int n)
{
    std::string s;
    for (int i = 0; i < n; i++)
        s += rec(3, "1 1 1", (std::to_string(i + 1) + " 0 0").c_str());
    return s;
}

// The reader's tests read into the fixture's scene, its lines into warn.
struct Reader : scene_fixture {
    int load(const std::string &text, const char *name = "scene.rt")
    {
        std::string path = scratch(name);
        spit(path, text);
        warn.clear();
        return data_load(sc, path.c_str(), warn);
    }

    std::string mems(int i)
    {
        std::string s;
        for (int m = 0; m < sc.pri[i].nmem; m++)
            s += (m ? "," : "") + std::to_string(sc.pri[i].mem[m]);
        return s;
    }

    // Every partner list names primitives in use only.
    void expect_groups_sound()
    {
        for (int i = 0; i < sc.primmx; i++) {
            ASSERT_GE(sc.pri[i].nmem, 0);
            ASSERT_LT(sc.pri[i].nmem, MEMBER_MAX);
            for (int m = 0; m < sc.pri[i].nmem; m++) {
                EXPECT_GE(sc.pri[i].mem[m], 0) << "primitive " << i;
                EXPECT_LT(sc.pri[i].mem[m], sc.primmx) << "primitive " << i;
            }
        }
    }
};

} // namespace

TEST_F(Reader, FillsTheModelInFileOrder)
{
    ASSERT_EQ(load("1 2 3  4 5 6  7.5 8.25  320 200\n"
                   "2  1 2 3 0.5  -4 -5 -6 1e1\n"
                   "3\n"
                   "2 3 0.1 0.2 0.3 7 5 1.5 0.5 1 2.5 -1 1 2 3 4 5 6 10 20 30\n"
                   "-1 -1\n"),
              1);
    EXPECT_EQ(warnings(), 0);
    EXPECT_EQ(sc.rx, 1);
    EXPECT_EQ(sc.ry, 2);
    EXPECT_EQ(sc.rz, 3);
    EXPECT_EQ(sc.vpnax, 4);
    EXPECT_EQ(sc.vpnay, 5);
    EXPECT_EQ(sc.vpnaz, 6);
    EXPECT_EQ(sc.dlength, 7.5);
    EXPECT_EQ(sc.wdu, 8.25);
    EXPECT_EQ(sc.ixmx, 320);
    EXPECT_EQ(sc.iymx, 200);
    ASSERT_EQ(sc.nlg, 2);
    EXPECT_EQ(sc.lig[0].pos.x, 1);
    EXPECT_EQ(sc.lig[0].pos.z, 3);
    EXPECT_EQ(sc.lig[0].bright, 0.5);
    EXPECT_EQ(sc.lig[1].pos.y, -5);
    EXPECT_EQ(sc.lig[1].bright, 10);
    EXPECT_EQ(sc.ilvlmx, 3);
    ASSERT_EQ(sc.primmx, 1);
    const primrec &p = sc.pri[0];
    EXPECT_EQ(p.type, 2);
    EXPECT_EQ(p.surf, 3);
    EXPECT_EQ(p.ka, 0.1);
    EXPECT_EQ(p.kd, 0.2);
    EXPECT_EQ(p.ks, 0.3);
    EXPECT_EQ(p.spare, 7);
    EXPECT_EQ(p.npow, 5);
    EXPECT_EQ(p.refr, 1.5);
    EXPECT_EQ(p.trans, 0.5);
    EXPECT_EQ(p.pat, 1);
    EXPECT_EQ(p.patw, 2.5);
    EXPECT_EQ(p.sense, -1);
    EXPECT_EQ(p.geom.x, 1);
    EXPECT_EQ(p.geom.y, 2);
    EXPECT_EQ(p.geom.z, 3); // a box keeps them
    EXPECT_EQ(p.pos.x, 4);
    EXPECT_EQ(p.pos.y, 5);
    EXPECT_EQ(p.pos.z, 6);
    EXPECT_EQ(p.col.r, 10);
    EXPECT_EQ(p.col.g, 20);
    EXPECT_EQ(p.col.b, 30);
    EXPECT_EQ(p.nmem, 0);
}

TEST_F(Reader, SemiAxesOfQuadricsAndConesBecomeCoefficients)
{
    load(std::string(HEAD) + rec(3, "2 0 -4") + rec(4, "1 1 -1") + rec(3, "2 2 2") +
         rec(1, "2 0 -4") + rec(0, "2 0 -4") + "-1 -1");
    ASSERT_EQ(sc.primmx, 5);
    EXPECT_EQ(sc.pri[0].geom.x, 0.25);
    EXPECT_EQ(sc.pri[0].geom.y, 0);
    EXPECT_EQ(sc.pri[0].geom.z, -0.0625);
    EXPECT_EQ(sc.pri[1].geom.x, 1);
    EXPECT_EQ(sc.pri[1].geom.y, 1);
    EXPECT_EQ(sc.pri[1].geom.z, -1);
    EXPECT_EQ(sc.pri[2].geom.x, 0.25);
    EXPECT_EQ(sc.pri[2].geom.z, 0.25);
    // planes and type 0 records keep what they read
    EXPECT_EQ(sc.pri[3].geom.x, 2);
    EXPECT_EQ(sc.pri[3].geom.z, -4);
    EXPECT_EQ(sc.pri[4].type, 0);
    EXPECT_EQ(sc.pri[4].geom.x, 2);
}

TEST_F(Reader, LineBreaksCarryNoMeaning)
{
    std::string text = std::string(HEAD) + rec(3, "2 0 -4") + rec(2) + "-1  1 2 -1 -1\n";
    std::string one = text, spread;
    for (char &c : one)
        if (c == '\n')
            c = ' ';
    for (char c : text)
        spread += c == ' ' ? std::string("\n\t \r\n") : std::string(1, c);

    sc = scene{};
    load(one);
    primrec a[2];
    std::memcpy(a, sc.pri, sizeof a);
    ASSERT_EQ(sc.primmx, 2);
    sc = scene{};
    load(spread);
    ASSERT_EQ(sc.primmx, 2);
    EXPECT_EQ(warnings(), 0);
    EXPECT_EQ(std::memcmp(a, sc.pri, sizeof a), 0);
    EXPECT_EQ(sc.pri[0].nmem, 1);
}

// "%d" takes the integer part of 1.5 and leaves ".5" for the next number.
TEST_F(Reader, FractionInAnIntegerPosition)
{
    load("0 0 0  0 0 1  10 4  8 6  1.5 3 4 5\n0\n-1 -1\n");
    EXPECT_EQ(sc.nlg, 1);
    EXPECT_EQ(sc.lig[0].pos.x, 0.5);
    EXPECT_EQ(sc.lig[0].pos.y, 3);
    EXPECT_EQ(sc.lig[0].pos.z, 4);
    EXPECT_EQ(sc.lig[0].bright, 5);
    EXPECT_EQ(sc.ilvlmx, 0);
    EXPECT_EQ(warnings(), 0);

    // ".5" where the next integer should be is no number: the reading stops
    sc = scene{};
    load(std::string("0 0 0  0 0 1  10 4  8 6  0  2.5\n") + rec(3) + "-1 -1\n");
    EXPECT_EQ(sc.ilvlmx, 2);
    EXPECT_EQ(sc.primmx, 0);
    EXPECT_TRUE(has_warning("primitive list")) << (warnings() ? warn.first() : "no warning");
}

TEST_F(Reader, LightCounts)
{
    load("0 0 0  0 0 1  10 4  8 6  0  4 " + rec(3) + "-1 -1");
    EXPECT_EQ(sc.nlg, 0);
    EXPECT_EQ(sc.ilvlmx, 4); // the number after a count of 0 is the depth
    EXPECT_EQ(sc.primmx, 1);

    sc = scene{};
    load("0 0 0  0 0 1  10 4  8 6  -3  4 " + rec(3) + "-1 -1");
    EXPECT_EQ(sc.nlg, -3); // a negative count reads none and stays
    EXPECT_EQ(sc.ilvlmx, 4);
    EXPECT_EQ(sc.primmx, 1);
}

TEST_F(Reader, EmptyPrimitiveListAndTypeZero)
{
    load(std::string(HEAD) + "-5 -1");
    EXPECT_EQ(sc.primmx, 0);
    EXPECT_EQ(warnings(), 0);

    sc = scene{};
    load(std::string(HEAD) + rec(0) + "-1 -1");
    EXPECT_EQ(sc.primmx, 1);
    EXPECT_EQ(sc.pri[0].type, 0);
}

TEST_F(Reader, GroupsGivePartnersInListOrder)
{
    load(std::string(HEAD) + recs(5) + "-1  1 2 3 -1  5 -1  -1");
    EXPECT_EQ(mems(0), "1,2");
    EXPECT_EQ(mems(1), "0,2");
    EXPECT_EQ(mems(2), "0,1");
    EXPECT_EQ(sc.pri[3].nmem, 0);
    EXPECT_EQ(sc.pri[4].nmem, 0); // a group of one
    EXPECT_EQ(warnings(), 0);

    // positions are skipped, not values: primitive 1 becomes its own partner
    sc = scene{};
    load(std::string(HEAD) + recs(3) + "-1  1 2 1 -1 -1");
    EXPECT_EQ(mems(0), "0,1");
    EXPECT_EQ(mems(1), "0,0");

    // a later group rewrites a member's list; the earlier partners keep it
    sc = scene{};
    load(std::string(HEAD) + recs(3) + "-1  1 2 -1 2 3 -1 -1");
    EXPECT_EQ(mems(0), "1");
    EXPECT_EQ(mems(1), "2");
    EXPECT_EQ(mems(2), "1");

    // a record that no group of this file names has no partners
    load(std::string(HEAD) + recs(3) + "-1 -1", "second.rt");
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(sc.pri[i].nmem, 0) << i;
}

TEST_F(Reader, FortyMembersAndMore)
{
    std::string forty, fortyfive;
    for (int i = 1; i <= 40; i++)
        forty += std::to_string(i) + " ";
    fortyfive = forty + "41 42 43 44 45 ";

    // exactly 40, then its terminator, then a further group
    sc = scene{};
    load(std::string(HEAD) + recs(50) + "-1  " + forty + "-1 46 47 -1 -1");
    ASSERT_EQ(sc.primmx, 50);
    EXPECT_EQ(sc.pri[0].nmem, 39);
    EXPECT_EQ(sc.pri[0].mem[0], 1);
    EXPECT_EQ(sc.pri[0].mem[38], 39);
    EXPECT_EQ(sc.pri[39].nmem, 39);
    EXPECT_EQ(sc.pri[39].mem[38], 38);
    EXPECT_EQ(mems(45), "46");
    EXPECT_EQ(mems(46), "45");
    EXPECT_EQ(warnings(), 0);

    // 45: the first 40, the 41st lost, 42 to 45 a group of their own
    sc = scene{};
    load(std::string(HEAD) + recs(50) + "-1  " + fortyfive + "-1 -1 " + rec(3));
    EXPECT_EQ(sc.pri[0].nmem, 39);
    EXPECT_EQ(sc.pri[39].nmem, 39);
    EXPECT_EQ(sc.pri[40].nmem, 0);
    EXPECT_EQ(mems(41), "42,43,44");
    EXPECT_EQ(mems(44), "41,42,43");
    EXPECT_EQ(sc.pri[45].nmem, 0);
    EXPECT_TRUE(has_warning("more than 40"));
    expect_groups_sound();
}

TEST_F(Reader, ASceneWithoutGroupsClearsEarlierPartners)
{
    load(std::string(HEAD) + recs(4) + "-1  1 2 3 4 -1 -1");
    ASSERT_EQ(sc.pri[3].nmem, 3);
    load(std::string(HEAD) + recs(4) + "-1 -1", "plain.rt");
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(sc.pri[i].nmem, 0) << i;
}

TEST_F(Reader, GroupNumbersOutsideThePrimitivesAreLeftOut)
{
    load(std::string(HEAD) + recs(3) + "-1  1 0 4 2 1000000 -1  99 -1  -1");
    EXPECT_EQ(sc.primmx, 3);
    EXPECT_GE(warnings(), 1);
    expect_groups_sound();
    EXPECT_EQ(sc.pri[2].nmem, 0);
}

TEST_F(Reader, AListWithoutItsTerminatorKeepsWhatWasRead)
{
    // end of file after two complete records
    sc = scene{};
    load(std::string(HEAD) + recs(2));
    EXPECT_EQ(sc.primmx, 2);
    EXPECT_TRUE(has_warning("primitive list"));
    EXPECT_TRUE(has_warning("2 records"));

    // text that is no number, and a record cut short
    sc = scene{};
    load(std::string(HEAD) + recs(2) + "3 1 0.5 oops");
    EXPECT_EQ(sc.primmx, 2);
    EXPECT_TRUE(has_warning("primitive list"));

    sc = scene{};
    load(std::string(HEAD) + recs(2) + "end");
    EXPECT_EQ(sc.primmx, 2);
    EXPECT_EQ(warnings(), 1);

    // an open group is still a group
    sc = scene{};
    load(std::string(HEAD) + recs(3) + "-1  1 2");
    EXPECT_EQ(mems(0), "1");
    EXPECT_EQ(mems(1), "0");
    EXPECT_TRUE(has_warning("group 1"));

    // a missing end of the group section, or no group section at all
    sc = scene{};
    load(std::string(HEAD) + recs(3) + "-1");
    EXPECT_EQ(sc.primmx, 3);
    EXPECT_TRUE(has_warning("group section"));
    sc = scene{};
    load(std::string(HEAD) + recs(3) + "-1  2 3 -1");
    EXPECT_EQ(mems(1), "2");
    EXPECT_TRUE(has_warning("group section"));

    // lights cut short
    sc = scene{};
    load("0 0 0  0 0 1  10 4  8 6  3  1 2 3 4  5 6 7");
    EXPECT_EQ(sc.nlg, 1);
    EXPECT_EQ(sc.primmx, 0);
    EXPECT_TRUE(has_warning("light list"));

    // the start of the file only
    sc = scene{};
    load("0 0 0  0 0");
    EXPECT_EQ(sc.primmx, 0);
    EXPECT_EQ(sc.nlg, 0);
    EXPECT_EQ(warnings(), 1);
}

TEST_F(Reader, TablesAreBounded)
{
    std::string lights;
    for (int i = 0; i < 105; i++)
        lights += std::to_string(i) + " 0 0 1\n";
    sc = scene{};
    load("0 0 0  0 0 1  10 4  8 6  105\n" + lights + "3\n" + recs(2) + "-1  1 2 -1 -1");
    EXPECT_EQ(sc.nlg, LIGHT_MAX);
    EXPECT_EQ(sc.lig[99].pos.x, 99);
    EXPECT_EQ(sc.ilvlmx, 3); // the rest of the file keeps its meaning
    EXPECT_EQ(sc.primmx, 2);
    EXPECT_EQ(mems(0), "1");
    EXPECT_TRUE(has_warning("105 lights"));

    sc = scene{};
    load(std::string(HEAD) + recs(105) + "-1  1 2 -1 104 105 -1 -1");
    EXPECT_EQ(sc.primmx, PRIM_MAX);
    EXPECT_EQ(sc.pri[99].pos.x, 100);
    EXPECT_EQ(mems(0), "1");
    EXPECT_EQ(sc.nlg, 0);
    EXPECT_TRUE(has_warning("105 primitives"));
    expect_groups_sound();
}

TEST_F(Reader, AFileThatCannotBeOpenedChangesNothing)
{
    load(std::string(HEAD) + recs(2) + "-1 -1");
    const std::string path = scratch("missing.rt");
    // the reader says why to its caller and prints nothing itself
    testing::internal::CaptureStdout();
    EXPECT_EQ(data_load(sc, path.c_str(), warn), 0);
    EXPECT_TRUE(has_warning(("cannot open \"" + path + "\": No such file").c_str()));
    EXPECT_EQ(sc.primmx, 2);
    EXPECT_EQ(sc.ixmx, 8);

    EXPECT_EQ(data_load(sc, scratch.dir.c_str(), warn), 0); // a directory
    EXPECT_TRUE(has_warning("it is a directory"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(sc.primmx, 2);
}

// Each line names the field and where in the file it went wrong: the
// first byte of the offending text, or where the file ended.
TEST_F(Reader, MessagesNameTheFieldAndItsPlace)
{
    const std::string R1 = rec(3); // one record on line 2
    struct row {
        std::string text;
        int line, col;
        const char *says;
    } rows[] = {
        {"0 0 0  0 0 1  10 4  8 6  0  2\n3 1  0.1 0.2 abc", 2, 14,
         "primitive list: ks is not a number (\"abc\") inside record 1"},
        {"0 0 0  0 0 1\n10 4\n  8 x6 0 2\n", 3, 5, "view settings: iymx is not a number (\"x6\")"},
        {"0 0 0  0 0 1  10 4  8 6\n", 2, 1, "the file ends where nlg should be"},
        {"0 0 0  0 0 1  10 4  8 6  2\n1 2 3 4\n5 6 7", 3, 6, "where bright of light 2 should"},
        {"0 0 0  0 0 1  10 4  8 6  0  2\n" + R1, 3, 1, "the file ends after 1 record;"},
        {"0 0 0  0 0 1  10 4  8 6  0  2\n" + R1 + "-1 1\n", 4, 1,
         "group 1: the file ends after 1 member;"},
        {"0 0 0  0 0 1  10 4  8 6  0  2\n" + R1 + "-1 1\t2 -1\n", 3, 6,
         "group 1: 2 is not a primitive number (1..1)"},
        {"0 0 0  0 0 1  10 4  8 6  0  2\n" + R1 + "-1 1 -1 end", 3, 9,
         "group section: \"end\" after 1 group is not a number"},
        {"0 0 0  0 0 1  10 4  99999999999 6  0  2\n" + R1 + "-1 -1", 1, 21,
         "ixmx is beyond the int range"},
        {"0 0 0  0 0 1  10 4  8 6  0  2.5\n" + R1 + "-1 -1", 1, 30,
         "primitive list: \".5\" after 0 records is not a number"},
        {"0 0 0  0 0 1  10 4  8 6  0  2\n3 1 0.1 0.2 0.3 7 5 1.5 0.5 0 1 1 1 1 1 0 0 0 10 20 "
         "\x01\x7f",
         2, 53, "col.b is not a number (\"\\x01\\x7f\")"},
    };
    for (const row &r : rows) {
        sc = scene{};
        ASSERT_EQ(load(r.text), 1);
        ASSERT_GE(warnings(), 1) << r.says;
        const msg &m = warn.lines[0];
        EXPECT_EQ(m.line, r.line) << m.text;
        EXPECT_EQ(m.col, r.col) << m.text;
        EXPECT_NE(m.text.find(r.says), std::string::npos) << m.text;
        EXPECT_EQ(msg_text("NAME", m).rfind("NAME:" + std::to_string(r.line) + ":" +
                                                std::to_string(r.col) + ": warning: ",
                                            0),
                  0u);
    }
}

// The map notes where each kept number stands, so checks can point at it.
TEST_F(Reader, TheMapHoldsThePlacesOfTheNumbers)
{
    static scene_map map;
    const std::string text =
        "0 0 0  0 0 1  10 4\n8 6  1\n 1 2 3 4\n2\n" + rec(2) + rec(3) + "-1\n1 2 1 -1 -1\n";
    std::string path = scratch("map.rt");
    spit(path, text);
    sc = scene{};
    ASSERT_EQ(data_load(sc, path.c_str(), warn, &map), 1);
    EXPECT_EQ(warnings(), 0);
    EXPECT_EQ(map.view[V_IYMX].line, 2);
    EXPECT_EQ(map.view[V_IYMX].col, 3);
    EXPECT_EQ(map.light[0][L_BRIGHT].line, 3);
    EXPECT_EQ(map.light[0][L_BRIGHT].col, 8);
    EXPECT_EQ(map.view[V_ILVLMX].line, 4);
    EXPECT_EQ(map.prim[1][P_TYPE].line, 6);
    EXPECT_EQ(map.prim[1][P_TYPE].col, 1);
    EXPECT_EQ(map.prim[1][P_KS].col, 14);
    EXPECT_EQ(map.prim[2][P_TYPE].line, 0); // no record 3
    EXPECT_EQ(map.group[0].line, 8);
    EXPECT_EQ(map.twice[0].col, 5); // primitive 1 named again
    EXPECT_EQ(map.twice[1].line, 0);

    // the same text from memory reads the same; so does a file read in
    // several pieces, with its lines across their seams
    std::string longer = "0 0 0  0 0 1  10 4\n8 6  1\n 1 2 3 4\n2\n";
    for (int i = 0; i < 120; i++)
        longer += std::string(i % 7, '\n') + rec(2, "1 1 1", "0 0 0", i % 2 ? "1 2 3" : "4 5\n6");
    longer += "-1\n1 2 1 x\n";
    for (const std::string &t : {text, longer}) {
        static scene_map again;
        static scene other;
        msglist mine;
        spit(path, t);
        ASSERT_EQ(data_load(sc, path.c_str(), warn, &map), 1);
        ASSERT_EQ(data_load_text(other, t.data(), t.size(), mine, &again), 1);
        EXPECT_EQ(std::memcmp(&map, &again, sizeof map), 0);
        EXPECT_EQ(std::memcmp(&other.pri, &sc.pri, sizeof other.pri), 0);
        ASSERT_EQ(mine.lines.size(), warn.lines.size());
        for (size_t k = 0; k < mine.lines.size(); k++)
            EXPECT_EQ(msg_text("f", mine.lines[k]), msg_text("f", warn.lines[k]));
    }
    EXPECT_GT(longer.size(), 4096u);
    EXPECT_EQ(warnings(), 2); // 120 records, then a group cut short at its end
    EXPECT_EQ(warn.lines.back().line, (int)std::count(longer.begin(), longer.end(), '\n'));
    EXPECT_EQ(warn.lines.back().col, 7);
}
