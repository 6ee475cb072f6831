// The scene studio's text tools: every number of a scene's text found and
// named, fields changed in the text and nothing else, the outline, and the
// new scene's template.
#include "inputs.h"
#include "randscene.h"
#include "testscene.h"

#include "scene/check.h"
#include "scene/newscene.h"
#include "scene/templates.h"
#include "scene/numin.h"
#include "scene/outline.h"
#include "scene/rtwrite.h"
#include "scene/scenetext.h"
#include "scene/textedit.h"

#include <gtest/gtest.h>
#include <cmath>
#include <memory>

namespace {

struct reading {
    scene sc;
    scene_map map;
    scene_text st;
    msglist msgs;
};

std::unique_ptr<reading> read(const std::string &text)
{
    auto r = std::make_unique<reading>();
    data_load_text(r->sc, text.data(), text.size(), r->msgs, &r->map);
    index_scene_text(r->st, text.data(), text.size(), r->sc, r->map);
    return r;
}

// What the reader makes of the text of one number of field f of sc.
double token_value(const scene &sc, const field_ref &f, const std::string &token)
{
    numin in(token.data(), token.size());
    int i = 0;
    double d = 0;
    if (field_info(f).whole) {
        EXPECT_EQ(scan_int(in, i), 1) << token;
        return i;
    }
    EXPECT_EQ(scan_dbl(in, d), 1) << token;
    const int type = f.sec == SEC_PRIM ? sc.pri[f.index].type : 0;
    const bool axis = f.field >= P_GX && f.field <= P_GZ;
    return f.sec == SEC_PRIM && axis && (type == PRIM_QUADRIC || type == PRIM_CONE) ? axis_coef(d)
                                                                                    : d;
}

bool same(double a, double b) { return a == b || (a != a && b != b); }

// A random scene whose quadrics and cones have coefficients a semi-axis
// gives, as a file's have, laid out by the writer.
std::string random_text(rng_t &g, double s, int nprim, int nlight)
{
    scene_begin();
    random_scene(g, s, nprim, nlight);
    for (int i = 0; i < primmx; i++)
        if (pri[i].type == PRIM_QUADRIC || pri[i].type == PRIM_CONE)
            for (double *k : {&pri[i].geom.x, &pri[i].geom.y, &pri[i].geom.z})
                *k = *k ? axis_coef(std::copysign(1 / std::sqrt(std::fabs(*k)), *k)) : 0;
    std::string text;
    EXPECT_EQ(rt_text(tsc, text, twarn), 1) << twarn.first();
    return text;
}

// Every field of the model stands in the text where the index says, as the
// very number the model holds; the index is in text order.
void expect_indexed(const std::string &text, const reading &r, const std::string &what)
{
    int fields = 0;
    for (size_t k = 0; k < r.st.numbers.size(); k++) {
        const text_number &n = r.st.numbers[k];
        ASSERT_LE(n.span.end(), text.size()) << what;
        ASSERT_GT(n.span.len, 0u) << what;
        if (k) {
            ASSERT_GE(n.span.at, r.st.numbers[k - 1].span.end()) << what;
        }
        if (n.kind != NUM_FIELD)
            continue;
        fields++;
        const std::string tok = text.substr(n.span.at, n.span.len);
        // the model's count of lights is bounded
        if (!(n.field == field_ref{SEC_VIEW, 0, V_NLG})) {
            EXPECT_TRUE(same(token_value(r.sc, n.field, tok), field_number(r.sc, n.field)))
                << what << ": " << field_text(n.field) << " \"" << tok << "\"";
        }
        text_span s;
        ASSERT_TRUE(field_span(r.st, n.field, s)) << what;
        EXPECT_EQ(s.at, n.span.at);
    }
    const int lights = r.sc.nlg > 0 ? std::min(r.sc.nlg, LIGHT_MAX) : 0;
    const int view = r.map.view[V_ILVLMX].line ? VIEW_FIELDS : 0;
    if (view && r.map.records_ended) {
        EXPECT_EQ(fields, view + lights * LIGHT_FIELDS + r.sc.primmx * PRIM_FIELDS) << what;
    }
}

TEST(SceneText, EveryNumberOfEverySceneFileIsFoundWhereTheReaderReadIt)
{
    std::vector<std::string> files = inputs_under("samples/", ".RT");
    for (const auto &f : inputs_under("tests/degenerate/", ".RT"))
        files.push_back(f);
    for (const auto &f : inputs_under("fuzz/"))
        files.push_back(f);
    ASSERT_GT(files.size(), 6u);
    for (const std::string &path : files) {
        const std::string text = slurp(path);
        expect_indexed(text, *read(text), path);
    }
    // a layout of the author's own: CRLF, tabs, a record over three lines,
    // numbers with signs and exponents, an int where a real could stand
    const std::string odd = "0 0 +1.5\r\n0\t-1 .5e0\r\n\r\n10 4 8 6 1 1 2 3 0.5 2\r\n"
                            "3 3 0.1 0.2 0.3 7 5 1.5 0.5 2 0.25 1\r\n  2 0 -4\r\n1 2 3 10 20 30\r\n"
                            "2 1 0 0.5 0 0 10 0 0 1 0.5 -1 0.5 0.5 0.5 0 0 0 1 2 3 -1 1 2 -1 -1";
    const auto r = read(odd);
    EXPECT_TRUE(r->msgs.empty());
    expect_indexed(odd, *r, "odd layout");
    // random models as the writer lays them out
    for (unsigned seed = 1; seed <= 20; seed++) {
        rng_t g(seed);
        const std::string text = random_text(g, 1 + seed % 3, 1 + (int)seed % 9, 1 + (int)seed % 3);
        expect_indexed(text, *read(text), "seed " + std::to_string(seed));
    }
}

const char *GROUPED = "0 0 1.5\n0 -1 0.5\n10 4\n8 6\n1\n1 2 3 0.5\n2\n"
                      "3 3 0.1 0.2 0.3 7 5 1.5 0.5 2 0.25 1 2 0 -4 1 2 3 10 20 30\n"
                      "2 1 0 0.5 0 0 10 0 0 1 0.5 -1 0.5 0.5 0.5 0 0 0 1 2 3\n"
                      "1 1 0.2 0.8 0 0 1 1 0 0 1 1 0 0 1 0 0 -1 200 200 200\n"
                      "-1\n1 2 -1 7 -1 -1\n";

// The number under a cursor, named as explain names it; the numbers that
// end lists and the group lists' numbers are named too.
TEST(SceneText, NamesTheNumberUnderTheCursor)
{
    const std::string text = GROUPED;
    const auto r = read(text);
    struct {
        const char *find; // the cursor goes to the start of its first match, plus skip
        size_t skip;
        const char *name;
    } cases[] = {
        {"10 4", 0, "view, dlength: eye distance from the look point"},
        {"10 4", 2, "view, dlength: eye distance from the look point"}, // just after it
        {"10 4", 3, "view, wdu: view window width at the look point"},
        {"8 6", 0, "view, ixmx: picture width in dots"},
        {"1 2 3 0.5", 6, "light 1, bright: brightness"},
        {"\n2\n", 1, "depth, ilvlmx: reflections and refractions followed per dot"},
        {"0.3 7", 0, "primitive 1 (quadric), ks: specular weight"},
        {"2 0 -4", 0, "primitive 1 (quadric), geom.x: semi-axis, x (0: none)"},
        {"10 20 30", 3, "primitive 1 (quadric), col.g: colour, green (0 to 255)"},
        {"0.5 0.5 0.5", 0, "primitive 2 (box), geom.x: half size, x"},
        {"0 0 1 0 0 -1", 4, "primitive 3 (plane), geom.z: normal, z: out of the solid"},
        {"-1\n1 2", 0, "the end of the primitive list"},
        {"1 2 -1 7", 2, "group 1, member 2: primitive 2 (box)"},
        {"1 2 -1 7", 4, "the end of group 1"},
        {"7 -1 -1", 0, "group 2, member 1: 7 is no primitive number (1 to 3); left out"},
        {"-1 -1\n", 3, "the end of the groups"},
    };
    for (const auto &c : cases) {
        const size_t at = text.find(c.find);
        ASSERT_NE(at, std::string::npos) << c.find;
        const text_number *n = number_at(r->st, at + c.skip);
        ASSERT_NE(n, nullptr) << c.find;
        EXPECT_EQ(number_name(r->sc, *n), c.name) << c.find << " +" << c.skip;
    }
    EXPECT_EQ(number_at(r->st, text.find("10 4") + 2)->span.len, 2u);
    const auto blank = read("0 0 0\n\n\n0 0 1");
    EXPECT_EQ(number_at(blank->st, 7), nullptr); // between numbers

    // a group of more than MEMBER_MAX members: the 41st number is dropped
    std::string big = "0 0 0 0 0 1 10 4 8 6 0 0\n";
    for (int i = 0; i < 45; i++)
        big += "2 1 0 0 0 0 0 0 0 0 1 1 1 1 1 0 0 0 1 1 1\n";
    big += "-1\n";
    for (int i = 1; i <= 45; i++)
        big += std::to_string(i) + " ";
    big += "-1 -1\n";
    const auto b = read(big);
    std::vector<int> kinds;
    for (const text_number &n : b->st.numbers)
        if (n.kind != NUM_FIELD && n.kind != NUM_MEMBER)
            kinds.push_back(n.kind);
    EXPECT_EQ(kinds, (std::vector<int>{NUM_LIST_END, NUM_OVERFLOW, NUM_GROUP_END, NUM_GROUPS_END}));
    const text_number *last = number_at(b->st, big.find(" 45 ") + 1);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(number_name(b->sc, *last), "group 2, member 4: primitive 45 (box)");
}

// A text edit replaces exactly the characters of the numbers it names, and
// its undo gives back the text byte for byte.
TEST(FieldEdit, ChangesOnlyTheNumbersNamed)
{
    const std::string text =
        "0 0 +1.5\r\n0\t-1 .5e0\r\n\r\n10   4 8 6 1 1 2 3 0.5 2\r\n"
        "3 3 0.1 0.2 0.3 7 5 1.5 0.5 2 0.25 1\r\n  2 0 -4\r\n1 2 3 10 20 30\r\n"
        "-1 -1 trailing text is kept too";
    text_edit e;
    std::string why;
    ASSERT_EQ(field_edit(text, {{{SEC_PRIM, 0, P_G}, "200"}}, e, why), 1) << why;
    EXPECT_EQ(e.at, text.find("20 30"));
    EXPECT_EQ(e.old_text, "20");
    EXPECT_EQ(e.new_text, "200");
    std::string edited = text;
    ASSERT_TRUE(apply_edit(edited, e));
    std::string want = text;
    want.replace(text.find("20 30"), 2, "200");
    EXPECT_EQ(edited, want);
    EXPECT_EQ(read(edited)->sc.pri[0].col.g, 200);
    EXPECT_FALSE(apply_edit(edited, text_edit{e.at, "21", "2"})); // made for another text
    EXPECT_FALSE(apply_edit(edited, text_edit{edited.size() + 1, "", "2"}));
    ASSERT_TRUE(apply_edit(edited, undo_of(e)));
    EXPECT_EQ(edited, text);

    // the camera's numbers in one edit from the first to the last; the
    // semi-axis is written as the file gives it
    ASSERT_EQ(field_edit(text,
                         {{{SEC_VIEW, 0, V_RZ}, "2"},
                          {{SEC_VIEW, 0, V_WDU}, "4.25"},
                          {{SEC_VIEW, 0, V_RX}, "-0.5"},
                          {{SEC_PRIM, 0, P_GZ}, "-3"}},
                         e, why),
              1)
        << why;
    EXPECT_EQ(e.at, 0u);
    edited = text;
    ASSERT_TRUE(apply_edit(edited, e));
    EXPECT_EQ(edited, "-0.5 0 2\r\n0\t-1 .5e0\r\n\r\n10   4.25 8 6 1 1 2 3 0.5 2\r\n"
                      "3 3 0.1 0.2 0.3 7 5 1.5 0.5 2 0.25 1\r\n  2 0 -3\r\n1 2 3 10 20 30\r\n"
                      "-1 -1 trailing text is kept too");
    EXPECT_EQ(read(edited)->sc.pri[0].geom.z, -1.0 / 9);
    ASSERT_TRUE(apply_edit(edited, undo_of(e)));
    EXPECT_EQ(edited, text);

    // a field named twice takes the later value; no change is an empty edit
    ASSERT_EQ(
        field_edit(text, {{{SEC_PRIM, 0, P_NPOW}, "9"}, {{SEC_PRIM, 0, P_NPOW}, "12"}}, e, why), 1);
    EXPECT_EQ(e.old_text, "5");
    EXPECT_EQ(e.new_text, "12");
    ASSERT_EQ(field_edit(text, {}, e, why), 1);
    EXPECT_TRUE(e.old_text.empty() && e.new_text.empty());
}

// A model changed elsewhere (a camera moved by the mouse) goes back into
// the text number by number: only those whose value changed.
TEST(FieldEdit, WritesBackAChangedModel)
{
    const std::string text =
        "0 0 +1.5\r\n0\t-1 .5e0\r\n10 4 8 6 0 2\r\n"
        "3 3 0.1 0.2 0.3 7 5 1.5 0.5 2 0.25 1\r\n  2 0 -4 1 2 3 10 20 30 -1 -1";
    const auto r = read(text);
    scene moved = r->sc;
    moved.rx = 0.25;
    moved.vpnaz = 0.5; // as it was
    moved.dlength = 1.0 / 3;
    moved.pri[0].geom.x = axis_coef(3);
    const std::vector<field_ref> fields = {{SEC_VIEW, 0, V_RX},      {SEC_VIEW, 0, V_RY},
                                           {SEC_VIEW, 0, V_RZ},      {SEC_VIEW, 0, V_VPNAZ},
                                           {SEC_VIEW, 0, V_DLENGTH}, {SEC_PRIM, 0, P_GX}};
    text_edit e;
    std::string why;
    ASSERT_EQ(model_edit(text, moved, fields, e, why), 1) << why;
    std::string edited = text;
    ASSERT_TRUE(apply_edit(edited, e));
    EXPECT_EQ(edited, "0.25 0 +1.5\r\n0\t-1 .5e0\r\n0.3333333333333333 4 8 6 0 2\r\n"
                      "3 3 0.1 0.2 0.3 7 5 1.5 0.5 2 0.25 1\r\n  3 0 -4 1 2 3 10 20 30 -1 -1");
    EXPECT_EQ(read(edited)->sc.dlength, 1.0 / 3);

    moved.pri[0].geom.x = 2; // no semi-axis gives it
    EXPECT_EQ(model_edit(text, moved, fields, e, why), 0);
    EXPECT_EQ(why, "primitive[1].geom.x: no number in a file gives the value 2");
    EXPECT_EQ(model_edit(text, moved, {{SEC_LIGHT, 0, L_X}}, e, why), 0);
}

// What would not read back as written is refused, with one line naming the
// field.
TEST(FieldEdit, RefusesWhatWouldNotReadBack)
{
    const std::string text = GROUPED;
    const struct {
        field_ref f;
        const char *value, *says;
    } cases[] = {
        {{SEC_PRIM, 0, P_NPOW},
         "1.5",
         "primitive[1].npow is read as a whole number: \"1.5\" "
         "would be read as 1"},
        {{SEC_VIEW, 0, V_IXMX}, "99999999999", "view.ixmx: 99999999999 is beyond"},
        {{SEC_VIEW, 0, V_WDU}, "1e400", "view.wdu: 1e400 is too large"},
        {{SEC_VIEW, 0, V_RX}, "abc", "view.rx: \"abc\" is not a number"},
        {{SEC_VIEW, 0, V_RX}, "1 2", "view.rx: \"1 2\" is not a number"},
        {{SEC_VIEW, 0, V_RX}, " 1", "is not a number"},
        {{SEC_VIEW, 0, V_RX}, "", "view.rx: no value given"},
        {{SEC_PRIM, 1, P_R}, "x7", "primitive[2].col.r: \"x7\" is not a whole number"},
        {{SEC_VIEW, 0, V_NLG}, "2", "view.nlg=2 would change how the numbers after it are read"},
        {{SEC_PRIM, 2, P_TYPE}, "-1", "would change how the numbers after it are read"},
        {{SEC_PRIM, 3, P_KS}, "1", "primitive[4].ks: the scene has 3 primitives"},
        {{SEC_LIGHT, 1, L_BRIGHT}, "1", "light[2].bright: the scene has 1 light"},
    };
    for (const auto &c : cases) {
        text_edit e;
        std::string why;
        EXPECT_EQ(field_edit(text, {{c.f, c.value}}, e, why), 0) << c.value;
        EXPECT_NE(why.find(c.says), std::string::npos) << why;
    }
    text_edit e;
    std::string why;
    EXPECT_EQ(field_edit("0 0 0 0 0 1 10 4", {{{SEC_VIEW, 0, V_IXMX}, "8"}}, e, why), 0);
    EXPECT_EQ(why, "view.ixmx: the file ends before it");
    // a value that would run into the number after it
    EXPECT_EQ(field_edit("1.5.5 0 0 0 1 10 4 8 6 0 0 -1 -1", {{{SEC_VIEW, 0, V_RX}, "2"}}, e, why),
              0);
    EXPECT_NE(why.find("would change how the numbers after it are read"), std::string::npos);
    // type and nlg may change where the rest reads the same
    EXPECT_EQ(field_edit(text, {{{SEC_PRIM, 1, P_TYPE}, "3"}, {{SEC_VIEW, 0, V_NLG}, "1"}}, e, why),
              1)
        << why;
}

// Random values in random fields of random scenes: the edited text reads
// back as the scene with that one field changed, and nothing outside the
// edit moves.
TEST(FieldEdit, RandomEditsReadBackAsTheEditedScene)
{
    for (unsigned seed = 1; seed <= 60; seed++) {
        rng_t g(seed);
        const std::string text = random_text(g, 1.5, 1 + (int)seed % 7, 1 + (int)seed % 2);
        const auto before = read(text);
        field_ref f;
        f.sec = g.pick(3);
        f.index = f.sec == SEC_LIGHT ? g.pick(tsc.nlg) : f.sec == SEC_PRIM ? g.pick(tsc.primmx) : 0;
        f.field = g.pick(section_size(f.sec));
        if ((f.sec == SEC_VIEW && f.field == V_NLG) || (f.sec == SEC_PRIM && f.field == P_TYPE))
            continue; // these change the structure; refused above
        const std::string value =
            field_info(f).whole ? number_text(g.pick(600) - 100) : number_text(g.u(-50, 50));
        text_edit e;
        std::string why;
        ASSERT_EQ(field_edit(text, {{f, value}}, e, why), 1) << why;
        std::string edited = text;
        ASSERT_TRUE(apply_edit(edited, e));
        EXPECT_EQ(edited.substr(0, e.at), text.substr(0, e.at));
        EXPECT_EQ(edited.substr(e.at + e.new_text.size()), text.substr(e.at + e.old_text.size()));
        EXPECT_EQ(e.new_text, value);
        const auto after = read(edited);
        for (const text_number &n : before->st.numbers) {
            if (n.kind != NUM_FIELD)
                continue;
            const double want = n.field == f ? token_value(before->sc, f, value)
                                             : field_number(before->sc, n.field);
            EXPECT_TRUE(same(field_number(after->sc, n.field), want))
                << "seed " << seed << ": " << field_text(n.field);
        }
    }
}

TEST(FieldEdit, FieldNamesReadAsExplainNamesThem)
{
    for (int sec : {SEC_VIEW, SEC_LIGHT, SEC_PRIM})
        for (int k = 0; k < section_size(sec); k++) {
            const field_ref f{sec, sec == SEC_VIEW ? 0 : 6, k};
            field_ref back;
            std::string why;
            ASSERT_TRUE(parse_field(field_text(f).c_str(), back, why)) << field_text(f) << why;
            EXPECT_TRUE(back == f) << field_text(f);
        }
    const struct {
        const char *name;
        bool ok;
        field_ref f;
    } cases[] = {
        {"primitive[3].col.r", true, {SEC_PRIM, 2, P_R}},
        {"primitive 3.geom.y", true, {SEC_PRIM, 2, P_GY}},
        {"light[2].bright", true, {SEC_LIGHT, 1, L_BRIGHT}},
        {"view.dlength", true, {SEC_VIEW, 0, V_DLENGTH}},
        {"view.ilvlmx", true, {SEC_VIEW, 0, V_ILVLMX}},
        {"depth.ilvlmx", true, {SEC_VIEW, 0, V_ILVLMX}},
        {"depth.rx", false, {}},
        {"view.bright", false, {}},
        {"primitive[0].ks", false, {}},
        {"primitive[x].ks", false, {}},
        {"primitive[3]", false, {}},
        {"primitive.ks", false, {}},
        {"prim[3].ks", false, {}},
        {"light[2].col.r", false, {}},
        {"", false, {}},
    };
    for (const auto &c : cases) {
        field_ref f;
        std::string why;
        EXPECT_EQ(parse_field(c.name, f, why), c.ok) << c.name;
        if (c.ok)
            EXPECT_TRUE(f == c.f) << c.name;
        else
            EXPECT_FALSE(why.empty()) << c.name;
    }
    std::string why;
    field_ref f;
    parse_field("primitive[2].kss", f, why);
    EXPECT_NE(why.find("(type, surf, ka"), std::string::npos) << why;
}

TEST(Outline, CameraLightsAndPrimitivesByTheirGroups)
{
    // primitives 2 and 4 are cut by each other; 1, 3 and 5 stand alone
    const std::string text = "0 0 1.5\n0 -1 0.5\n10 4\n8 6\n2\n1 2 3 0.5\n4 5 6 1\n2\n"
                             "1 1 0.2 0.8 0 0 1 1 0 0 1 1 0 0 1 0 0 -1 200 200 200\n"
                             "3 1 0.1 0.1 0.5 0 20 1.5 0.8 0 1 1 1 1 1 0 0 0 220 220 220\n"
                             "2 1 0.1 0.1 0.5 0 20 1.5 0.8 0 1 1 1 1 1 0 0 0 220 220 220\n"
                             "2 1 0.1 0.1 0.5 0 20 1.5 0.8 0 1 -1 1 1 1 0 0 1 220 220 220\n"
                             "4 1 0.1 0.1 0.5 0 20 1.5 0.8 0 1 1 1 1 1 0 0 0 220 220 220\n"
                             "-1\n4 2 -1\n-1\n";
    const auto r = read(text);
    std::vector<outline_item> items;
    scene_outline(items, r->sc, r->map, r->st);
    const struct {
        int kind, depth;
        const char *label, *text;
    } want[] = {
        {OUT_CAMERA, 0, "camera", "0 0 1.5\n0 -1 0.5\n10 4\n8 6"},
        {OUT_LIGHT, 0, "light 1", "1 2 3 0.5"},
        {OUT_LIGHT, 0, "light 2", "4 5 6 1"},
        {OUT_DEPTH, 0, "depth", "2"},
        {OUT_PRIMITIVE, 0, "primitive 1 (plane)",
         "1 1 0.2 0.8 0 0 1 1 0 0 1 1 0 0 1 0 0 -1 200 200 200"},
        {OUT_GROUP, 0, "group 2 4", "4 2 -1"},
        {OUT_PRIMITIVE, 1, "primitive 2 (quadric)", "3 1 0.1"},
        {OUT_PRIMITIVE, 1, "primitive 4 (box)",
         "2 1 0.1 0.1 0.5 0 20 1.5 0.8 0 1 -1 1 1 1 0 0 1 220 220 220"},
        {OUT_PRIMITIVE, 0, "primitive 3 (box)", "2 1 0.1"},
        {OUT_PRIMITIVE, 0, "primitive 5 (cone)", "4 1 0.1"},
    };
    ASSERT_EQ(items.size(), std::size(want));
    for (size_t i = 0; i < items.size(); i++) {
        const outline_item &it = items[i];
        EXPECT_EQ(it.kind, want[i].kind) << i;
        EXPECT_EQ(it.depth, want[i].depth) << i;
        EXPECT_EQ(it.label, want[i].label) << i;
        const std::string got = text.substr(it.span.at, it.span.len);
        EXPECT_EQ(got.rfind(want[i].text, 0), 0u) << i << ": " << got;
        EXPECT_EQ(it.line, r->st.lines.place_of(it.span.at).line);
    }
    EXPECT_EQ(items[6].type, PRIM_QUADRIC);
    EXPECT_EQ(items[6].index, 1);
    EXPECT_EQ(items[6].number, 2);
    EXPECT_EQ(items[8].line, 11);
    EXPECT_EQ(items[5].line, 15);
}

// Every template reads cleanly and is laid out as the writer lays a file
// out; its picture (a pair for the stereo one) is a scene, enclosed, not
// black space. The first is the new scene, whose picture shows the sphere
// standing on the floor, lit.
TEST(NewScene, TemplatesReadCleanlyAndRender)
{
    ASSERT_GE(scene_template_count(), 5);
    EXPECT_STREQ(scene_template_at(0).text, new_scene_text);
    for (int i = 0; i < scene_template_count(); i++) {
        const scene_template &t = scene_template_at(i);
        EXPECT_EQ(find_scene_template(t.name), &t);
        const std::string text = t.text;
        const auto r = read(text);
        EXPECT_TRUE(r->msgs.empty()) << t.name << ": " << r->msgs.first();
        EXPECT_EQ(check_scene(r->sc, &r->map, r->msgs), 0) << t.name << ": " << r->msgs.first();
        std::string written;
        ASSERT_EQ(rt_text(r->sc, written, r->msgs), 1);
        EXPECT_EQ(written, text) << t.name;
        scene loaded;
        load_template(loaded, t);
        EXPECT_EQ(loaded.primmx, r->sc.primmx) << t.name;

        tsc = r->sc;
        ASSERT_EQ(ray_main(t.stereo), RAY_DONE) << t.name;
        const int w = tsc.ixmx, h = tsc.iymx;
        int black = 0;
        for (int k = 0; k < w * h; k++)
            black += gdatar[k] + gdatag[k] + gdatab[k] == 0;
        EXPECT_LT(black, w * h / 20) << t.name;
        if (i == 0) {
            const int centre = h / 2 * w + w / 2;
            EXPECT_GT(gdatar[centre], 2 * gdatab[centre]); // the orange sphere
            EXPECT_GT(gdatar[centre], 100);
        }
    }
    EXPECT_EQ(find_scene_template("none"), nullptr);
}

} // namespace
