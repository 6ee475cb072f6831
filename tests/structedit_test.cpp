// Structural edits of a scene's text checked against the reader: random
// scenes with groups, laid out three ways, edited in their text and in
// memory; the limits; the group section's edge cases.
#include "randscene.h"
#include "testscene.h"

#include "scene/fields.h"
#include "scene/newscene.h"
#include "scene/numin.h"
#include "scene/rtwrite.h"
#include "scene/scenetext.h"
#include "scene/structedit.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <functional>

namespace {

using lists = std::vector<std::vector<int>>; // the group section: 1-based numbers

// A scene file as its parts, one a line; records indented by indent.
struct filed {
    std::vector<std::string> head, lights, records; // head: the view's four lines
    std::string depth;
    lists groups;
    std::string eol = "\n", indent;

    std::string text() const
    {
        std::string t;
        for (const std::string &l : head)
            t += l + eol;
        t += std::to_string(lights.size()) + eol;
        for (const std::string &l : lights)
            t += l + eol;
        t += depth + eol;
        for (const std::string &r : records)
            t += indent + r + eol;
        t += "-1" + eol;
        for (const std::vector<int> &g : groups) {
            for (int v : g)
                t += std::to_string(v) + " ";
            t += "-1" + eol;
        }
        return t + "-1" + eol;
    }
};

filed random_filed(rng_t &g)
{
    scene_begin();
    random_scene(g, 1.5, 1 + g.pick(12), g.pick(4));
    filed_axes();
    std::string text;
    EXPECT_EQ(rt_text(tsc, text, twarn), 1);
    std::vector<std::string> line;
    for (size_t at = 0, nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        line.push_back(text.substr(at, nl - at));
    filed f;
    f.head.assign(line.begin(), line.begin() + 4);
    f.lights.assign(line.begin() + 5, line.begin() + 5 + nlg);
    f.depth = line[5 + nlg];
    f.records.assign(line.begin() + 6 + nlg, line.begin() + 6 + nlg + primmx);
    // a primitive in two groups, twice in one, or alone in one
    for (int k = g.pick(5); k > 0; k--) {
        f.groups.emplace_back();
        for (int m = 1 + g.pick(5); m > 0; m--)
            f.groups.back().push_back(1 + g.pick(primmx));
    }
    return f;
}

// The same numbers with other blanks between them: several on a line, one
// record over lines, tabs and CRLF.
std::string scattered(rng_t &g, const std::string &text)
{
    static const char *const gaps[] = {" ", "  ", "\t", "\n", "\r\n", "\n  ", " \n"};
    std::string out;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find_first_of(" \t\r\n", at);
        out += text.substr(at, end - at);
        out += gaps[g.pick(7)];
        at = text.find_first_not_of(" \t\r\n", end);
    }
    return out + "\n";
}

std::unique_ptr<text_reading> reading(const std::string &text) { return read_scene_text(text); }

// What the reader gives each primitive from the lists.
void give_partners(scene &sc, const lists &ls)
{
    for (int i = 0; i < sc.primmx; i++)
        sc.pri[i].nmem = 0;
    for (const std::vector<int> &l : ls) {
        std::vector<int> m;
        for (int v : l)
            if (v >= 1 && v <= sc.primmx)
                m.push_back(v - 1);
        for (size_t i = 0; i < m.size(); i++) {
            primrec &p = sc.pri[m[i]];
            p.nmem = 0;
            for (size_t o = 0; o < m.size() && m.size() > 1; o++)
                if (o != i)
                    p.mem[p.nmem++] = m[o];
        }
    }
}

void expect_model(const scene &want, const scene &got, const std::string &what)
{
    ASSERT_EQ(got.primmx, want.primmx) << what;
    ASSERT_EQ(got.nlg, want.nlg) << what;
    for (int j = 0; j < want.nlg; j++)
        for (int k = 0; k < LIGHT_FIELDS; k++) {
            const field_ref f{SEC_LIGHT, j, k};
            EXPECT_EQ(field_number(got, f), field_number(want, f)) << what << field_text(f);
        }
    for (int i = 0; i < want.primmx; i++) {
        for (int k = 0; k < PRIM_FIELDS; k++) {
            const field_ref f{SEC_PRIM, i, k};
            EXPECT_EQ(field_number(got, f), field_number(want, f)) << what << field_text(f);
        }
        EXPECT_TRUE(same_partners(got.pri[i], want.pri[i])) << what << " partners of " << i + 1;
    }
}

// Records taken out of, or put into, a model; partners renumbered.
void remap_partners(scene &sc, const std::function<int(int)> &f) // f: -1 drops
{
    for (int i = 0; i < sc.primmx; i++) {
        primrec &p = sc.pri[i];
        int n = 0;
        for (int m = 0; m < p.nmem; m++)
            if (f(p.mem[m]) >= 0)
                p.mem[n++] = f(p.mem[m]);
        p.nmem = n;
    }
}

// The lists after primitive number n goes (0: none goes) and every
// number from `from` on moves by `by`; a list left empty goes.
lists renumbered(lists ls, int n, int from, int by)
{
    lists out;
    for (std::vector<int> &l : ls) {
        l.erase(std::remove(l.begin(), l.end(), n), l.end());
        for (int &v : l)
            v += v >= from ? by : 0;
        if (!l.empty())
            out.push_back(l);
    }
    return out;
}

// Runs one edit on text; in the lines layout the result is want's text
// byte for byte; in any layout it reads back as model.
struct checker {
    std::string text;
    bool lines; // text is filed's own text
    std::string what;

    std::string edit(const std::function<int(const std::string &, text_edit &, std::string &)> &e)
    {
        text_edit ed;
        std::string why, out = text;
        EXPECT_EQ(e(text, ed, why), 1) << what << ": " << why;
        EXPECT_TRUE(apply_edit(out, ed)) << what;
        return out;
    }
    void expect(const std::string &out, const filed &want, const scene &model)
    {
        if (lines) {
            EXPECT_EQ(out, want.text()) << what;
        }
        expect_model(model, reading(out)->sc, what);
    }
};

TEST(StructEdit, RandomScenesEditedInTheTextReadAsEditedInMemory)
{
    for (unsigned seed = 1; seed <= 40; seed++) {
        rng_t g(seed);
        filed f = random_filed(g);
        if (seed % 3 == 1)
            f.eol = "\r\n", f.indent = "\t";
        for (int layout = 0; layout < 2; layout++) {
            checker C{layout ? scattered(g, f.text()) : f.text(), layout == 0, ""};
            const auto before = reading(C.text);
            const scene &sc = before->sc;
            scene model = sc;
            give_partners(model, f.groups);
            expect_model(model, sc, "the lists as written");
            const int n = sc.primmx, i = g.pick(n), j = sc.nlg ? g.pick(sc.nlg) : 0;
            auto is = [&](const char *op) { C.what = "seed " + std::to_string(seed) + " " + op; };

            is("delete");
            filed w = f;
            scene m = sc;
            w.records.erase(w.records.begin() + i);
            w.groups = renumbered(f.groups, i + 1, i + 2, -1);
            std::copy(m.pri + i + 1, m.pri + n, m.pri + i);
            m.primmx--;
            remap_partners(m, [i](int v) { return v == i ? -1 : v > i ? v - 1 : v; });
            C.expect(
                C.edit([i](auto &t, auto &e, auto &y) { return delete_primitive(t, i, e, y); }), w,
                m);

            is("duplicate, then delete the copy");
            w = f, m = sc;
            w.records.insert(w.records.begin() + i + 1, f.records[i]);
            w.groups = renumbered(f.groups, 0, i + 2, 1);
            std::copy_backward(m.pri + i, m.pri + n, m.pri + n + 1);
            m.primmx++;
            m.pri[i + 1].nmem = 0;
            remap_partners(m, [i](int v) { return v > i ? v + 1 : v; });
            const std::string twice =
                C.edit([i](auto &t, auto &e, auto &y) { return duplicate_primitive(t, i, e, y); });
            C.expect(twice, w, m);
            text_edit back;
            std::string why;
            ASSERT_EQ(delete_primitive(twice, i + 1, back, why), 1) << why;
            std::string again = twice;
            apply_edit(again, back);
            EXPECT_EQ(again, C.text) << C.what;

            if (n > 1) {
                is("move down the list");
                const int a = std::min(i, n - 2), b = a + 1;
                w = f, m = sc;
                std::swap(w.records[a], w.records[b]);
                for (std::vector<int> &l : w.groups)
                    for (int &v : l)
                        v = v == a + 1 ? b + 1 : v == b + 1 ? a + 1 : v;
                std::swap(m.pri[a], m.pri[b]);
                remap_partners(m, [a, b](int v) { return v == a ? b : v == b ? a : v; });
                C.expect(C.edit([a](auto &t, auto &e, auto &y) {
                    return shift_primitive(t, a, 1, e, y);
                }),
                         w, m);
            }

            is("add a primitive");
            const int shape = g.pick(SHAPES);
            const prim_numbers p = new_primitive(shape, g.v(3), 0.5);
            w = f, m = sc;
            std::string rec;
            for (const std::string &num : p.num)
                rec += (rec.empty() ? "" : " ") + num;
            w.records.push_back(rec);
            const auto alone = reading(f.text().substr(0, f.text().find(f.records[0])) + rec +
                                       f.eol + "-1" + f.eol + "-1" + f.eol);
            m.pri[m.primmx++] = alone->sc.pri[0];
            C.expect(C.edit([&p](auto &t, auto &e, auto &y) { return add_primitive(t, p, e, y); }),
                     w, m);
            EXPECT_EQ(alone->sc.pri[0].type, shape == SHAPE_PLANE  ? PRIM_PLANE
                                             : shape == SHAPE_BOX  ? PRIM_BOX
                                             : shape == SHAPE_CONE ? PRIM_CONE
                                                                   : PRIM_QUADRIC);

            is("add a light");
            const light_numbers lit = new_light(g.v(5), 0.75);
            w = f, m = sc;
            w.lights.push_back(lit.num[0] + " " + lit.num[1] + " " + lit.num[2] + " " + lit.num[3]);
            m.lig[m.nlg++] = ligrec{{c_strtod(lit.num[0].c_str(), nullptr),
                                     c_strtod(lit.num[1].c_str(), nullptr),
                                     c_strtod(lit.num[2].c_str(), nullptr)},
                                    0.75};
            C.expect(C.edit([&lit](auto &t, auto &e, auto &y) { return add_light(t, lit, e, y); }),
                     w, m);

            if (sc.nlg) {
                is("delete a light");
                w = f, m = sc;
                w.lights.erase(w.lights.begin() + j);
                std::copy(m.lig + j + 1, m.lig + m.nlg, m.lig + j);
                m.nlg--;
                C.expect(
                    C.edit([j](auto &t, auto &e, auto &y) { return delete_light(t, j, e, y); }), w,
                    m);
                is("duplicate a light, then delete the copy");
                const std::string two =
                    C.edit([j](auto &t, auto &e, auto &y) { return duplicate_light(t, j, e, y); });
                ASSERT_EQ(delete_light(two, j + 1, back, why), 1) << why;
                again = two;
                apply_edit(again, back);
                EXPECT_EQ(again, C.text) << C.what;
            }

            is("make a group");
            std::vector<int> members;
            for (int k = 0; k < n; k++)
                if (g.pick(2))
                    members.push_back(k);
            if (members.size() >= 2) {
                w = f, m = sc;
                w.groups.emplace_back();
                for (int k : members)
                    w.groups.back().push_back(k + 1);
                give_partners(m, w.groups);
                C.expect(
                    C.edit([&](auto &t, auto &e, auto &y) { return make_group(t, members, e, y); }),
                    w, m);
            }

            if (f.groups.empty())
                continue;
            const int gr = g.pick((int)f.groups.size());
            is("ungroup");
            w = f, m = sc;
            w.groups.erase(w.groups.begin() + gr);
            give_partners(m, w.groups);
            C.expect(C.edit([gr](auto &t, auto &e, auto &y) { return ungroup(t, gr, e, y); }), w,
                     m);

            is("take a member out");
            const int out = f.groups[gr][g.pick((int)f.groups[gr].size())] - 1;
            w = f, m = sc;
            std::vector<int> &l = w.groups[gr];
            l.erase(std::remove(l.begin(), l.end(), out + 1), l.end());
            if (l.empty())
                w.groups.erase(w.groups.begin() + gr);
            give_partners(m, w.groups);
            C.expect(C.edit([&](auto &t, auto &e, auto &y) {
                return remove_from_group(t, gr, out, e, y);
            }),
                     w, m);

            const int in = g.pick(n);
            if (std::count(f.groups[gr].begin(), f.groups[gr].end(), in + 1))
                continue;
            is("put a member in");
            w = f, m = sc;
            w.groups[gr].push_back(in + 1);
            give_partners(m, w.groups);
            C.expect(
                C.edit([&](auto &t, auto &e, auto &y) { return add_to_group(t, gr, in, e, y); }), w,
                m);
        }
    }
}

// The limits, numbers out of range and a text the reader does not read to
// its end refuse an edit, with a line saying why.
TEST(StructEdit, RefusesWhatItCannotDoAndSaysWhy)
{
    const std::string full =
        slurp(KORU_SOURCE_DIR "/tests/degenerate/lights-100-prims-100-depth-20.RT");
    const std::string cut = slurp(KORU_SOURCE_DIR "/tests/degenerate/unterminated-groups.RT");
    filed f;
    f.head = {"0 0 0", "0 -1 0", "10 4", "8 6"};
    f.depth = "2";
    f.groups.emplace_back();
    for (int i = 1; i <= 41; i++) {
        f.records.push_back("3 1 0.2 0.8 0.5 0 10 1 0 0 1 1 1 1 1 " + std::to_string(i) +
                            " 0 0 200 100 50");
        if (i <= MEMBER_MAX)
            f.groups[0].push_back(i);
    }
    f.records[0].replace(0, 1, "1");
    const std::string forty = f.text();
    const prim_numbers ball = new_primitive(SHAPE_SPHERE, {0, 0, 0}, 1);
    using edit = std::function<int(const std::string &, text_edit &, std::string &)>;
    const struct {
        const std::string &text;
        edit run;
        const char *says;
    } cases[] = {
        {full, [&](auto &t, auto &e, auto &y) { return add_primitive(t, ball, e, y); },
         "the scene has 100 primitives"},
        {full, [](auto &t, auto &e, auto &y) { return duplicate_primitive(t, 99, e, y); },
         "the scene has 100 primitives"},
        {full, [](auto &t, auto &e, auto &y) { return duplicate_light(t, 0, e, y); },
         "the scene has 100 lights"},
        {full, [](auto &t, auto &e, auto &y) { return add_light(t, new_light({}, 1), e, y); },
         "the scene has 100 lights"},
        {forty, [](auto &t, auto &e, auto &y) { return add_to_group(t, 0, 40, e, y); },
         "group 1 has 40 members"},
        {forty, [](auto &t, auto &e, auto &y) { return add_to_group(t, 0, 3, e, y); },
         "primitive 4 is in group 1 already"},
        {forty, [](auto &t, auto &e, auto &y) { return remove_from_group(t, 0, 40, e, y); },
         "primitive 41 is not in group 1"},
        {forty, [](auto &t, auto &e, auto &y) { return make_group(t, std::vector<int>(41), e, y); },
         "a group is of 2 to 40 primitives, not 41"},
        {forty,
         [](auto &t, auto &e, auto &y) {
             return make_group(t, {4, 7, 4}, e, y);
         },
         "primitive 5 would be named twice"},
        {forty,
         [](auto &t, auto &e, auto &y) {
             return make_group(t, {4, 41}, e, y);
         },
         "primitive 42: the scene has 41 primitives"},
        {forty, [](auto &t, auto &e, auto &y) { return delete_primitive(t, -1, e, y); },
         "primitive 0: the scene has 41 primitives"},
        {forty, [](auto &t, auto &e, auto &y) { return ungroup(t, 1, e, y); },
         "group 2: the scene has 1 group"},
        {forty, [](auto &t, auto &e, auto &y) { return delete_light(t, 0, e, y); },
         "light 1: the scene has 0 lights"},
        {forty, [](auto &t, auto &e, auto &y) { return shift_primitive(t, 40, 1, e, y); },
         "primitive 41 is the last"},
        {forty, [](auto &t, auto &e, auto &y) { return scale_primitive(t, 0, 2, e, y); },
         "a plane has no size"},
        {forty, [](auto &t, auto &e, auto &y) { return scale_primitive(t, 1, -2, e, y); },
         "by a positive number"},
        {forty,
         [&](auto &t, auto &e, auto &y) {
             prim_numbers p = ball;
             p.num[P_TYPE] = "-1";
             return add_primitive(t, p, e, y);
         },
         "type -1 would end the primitive list"},
        {cut, [](auto &t, auto &e, auto &y) { return delete_primitive(t, 0, e, y); },
         "not read to the end of its groups"},
    };
    for (const auto &c : cases) {
        text_edit e;
        std::string why;
        EXPECT_EQ(c.run(c.text, e, why), 0) << c.says;
        EXPECT_NE(why.find(c.says), std::string::npos) << why;
        EXPECT_EQ(why.find('\n'), std::string::npos) << why;
    }
    // what the limits leave room for is done
    text_edit e;
    std::string why;
    EXPECT_EQ(delete_primitive(full, 99, e, why), 1) << why;
    EXPECT_EQ(move_records(cut, {{SEC_PRIM, 1}}, {1, 0, 0}, e, why), 1) << why;
    EXPECT_EQ(e.new_text, "1.5");
}

// A list of more than MEMBER_MAX numbers: the reader drops the one after
// the 40th and the rest form another group. A member taken out of the
// first part does not bring the dropped number back; numbers that name no
// primitive still name none when records come.
TEST(StructEdit, AListCutAfterFortyMembersIsStillReadAsBefore)
{
    filed f;
    f.head = {"0 0 0", "0 -1 0", "10 4", "8 6"};
    f.depth = "2";
    f.groups.emplace_back();
    for (int i = 1; i <= 45; i++) {
        if (i <= 43)
            f.records.push_back("2 1 0.2 0.8 0.5 0 10 1 0 0 1 1 1 1 1 " + std::to_string(i) +
                                " 0 0 200 100 50");
        f.groups[0].push_back(i);
    }
    const std::string text = f.text();
    const auto before = reading(text);
    // as the reader takes it: 1..40, 41 dropped, then 42 43 (44 and 45 are
    // no primitives)
    lists read = {{}, {42, 43, 44, 45}};
    for (int i = 1; i <= 40; i++)
        read[0].push_back(i);
    scene m = before->sc;
    give_partners(m, read);
    expect_model(m, before->sc, "the cut list");

    text_edit e;
    std::string why, out = text;
    ASSERT_EQ(remove_from_group(text, 0, 4, e, why), 1) << why;
    apply_edit(out, e);
    EXPECT_NE(out.find(" 40 -1 42 "), std::string::npos) << out;
    lists now = read;
    now[0].erase(now[0].begin() + 4);
    give_partners(m, now);
    expect_model(m, reading(out)->sc, "a member out");

    out = text;
    ASSERT_EQ(delete_primitive(text, 4, e, why), 1) << why;
    apply_edit(out, e);
    m = before->sc;
    std::copy(m.pri + 5, m.pri + 43, m.pri + 4);
    m.primmx--;
    now = renumbered(now, 0, 6, -1);
    give_partners(m, now);
    expect_model(m, reading(out)->sc, "a primitive out");

    out = text;
    ASSERT_EQ(add_primitive(text, new_primitive(SHAPE_BOX, {1, 2, 3}, 1), e, why), 1) << why;
    apply_edit(out, e);
    EXPECT_NE(out.find(" 43 45 46 -1"), std::string::npos) << out;
    const auto added = reading(out);
    m = before->sc;
    m.pri[m.primmx++] = added->sc.pri[43];
    give_partners(m, renumbered(read, 0, 44, 1));
    expect_model(m, added->sc, "a primitive in");
}

// A move adds to the position exactly, in the decimals given, without the
// noise of binary sums; a scale keeps the shape's proportions.
TEST(StructEdit, MovesAndScalesChangeOnlyThoseNumbers)
{
    const std::string text = new_scene_text;
    const auto check = [&](const text_edit &e, const char *old_text, const char *new_text) {
        std::string out = text;
        ASSERT_TRUE(apply_edit(out, e));
        std::string want = text;
        want.replace(want.find(old_text), std::strlen(old_text), new_text);
        EXPECT_EQ(out, want);
    };
    text_edit e;
    std::string why;
    ASSERT_EQ(move_records(text, {{SEC_PRIM, 1}, {SEC_LIGHT, 0}, {SEC_PRIM, 1}},
                           {0.1 + 0.2, -0.25, 0.05}, e, why),
              1)
        << why;
    check(e,
          "-5 -7 9 1\n3\n1 1 0.2 0.7 0 0 1 1 0 1 1.5 1 0 0 1 0 0 0 110 130 160\n"
          "3 1 0.15 0.7 0.5 0 40 1 0 0 1 1 1 1 1 0 0 1 ",
          "-4.7 -7.25 9.05 1\n3\n1 1 0.2 0.7 0 0 1 1 0 1 1.5 1 0 0 1 0 0 0 110 130 160\n"
          "3 1 0.15 0.7 0.5 0 40 1 0 0 1 1 1 1 1 0.3 -0.25 1.05 ");
    ASSERT_EQ(scale_primitive(text, 1, 1.1, e, why), 1) << why;
    check(e, "1 1 1 0 0 1 230", "1.1 1.1 1.1 0 0 1 230");
    ASSERT_EQ(move_records(text, {{SEC_PRIM, 0}}, {1e-9, 0, 0}, e, why), 1) << why;
    check(e, "0 0 1 0 0 0 110", "0 0 1 1e-09 0 0 110");
}

} // namespace
