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

// The writer is the reader's exact inverse: two models are the same when
// their files are.
void expect_model(const scene &want, const scene &got, const std::string &what)
{
    std::string a, b;
    EXPECT_EQ(rt_text(want, a, twarn), 1) << what;
    EXPECT_EQ(rt_text(got, b, twarn), 1) << what;
    EXPECT_EQ(b, a) << what;
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

using edit_fn = std::function<int(const std::string &, text_edit &, std::string &)>;
// An edit with its arguments: op(delete_primitive, 3).
template <class F, class... A>
edit_fn op(F f, A... a)
{
    return [=](const std::string &t, text_edit &e, std::string &y) { return f(t, a..., e, y); };
}

std::string edited(const std::string &text, const edit_fn &e, const std::string &what)
{
    text_edit ed;
    std::string why, out = text;
    EXPECT_EQ(e(text, ed, why), 1) << what << ": " << why;
    EXPECT_TRUE(apply_edit(out, ed)) << what;
    return out;
}

// Runs edits on text: in the lines layout each result is the edited
// file's text byte for byte; in any layout it reads back as the model
// edited in memory.
struct checker {
    std::string text;
    bool lines; // text is filed's own text
    std::string what;

    std::string check(const edit_fn &e, const filed &want, const scene &model)
    {
        const std::string out = edited(text, e, what);
        if (lines) {
            EXPECT_EQ(out, want.text()) << what;
        }
        expect_model(model, reading(out)->sc, what);
        return out;
    }
    // A copy taken out again gives back the bytes.
    void round_trip(const edit_fn &copy, const edit_fn &out)
    {
        EXPECT_EQ(edited(edited(text, copy, what), out, what), text) << what;
    }
};

double num(const std::string &s) { return c_strtod(s.c_str(), nullptr); }

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
            scene m = sc;
            give_partners(m, f.groups);
            expect_model(m, sc, "the lists as written");
            const int n = sc.primmx, i = g.pick(n), j = sc.nlg ? g.pick(sc.nlg) : 0;
            auto is = [&](const char *op) { C.what = "seed " + std::to_string(seed) + " " + op; };
            filed w = f;

            is("delete a primitive");
            w.records.erase(w.records.begin() + i);
            w.groups = renumbered(f.groups, i + 1, i + 2, -1);
            std::copy(m.pri + i + 1, m.pri + n, m.pri + i);
            m.primmx--;
            remap_partners(m, [i](int v) { return v == i ? -1 : v > i ? v - 1 : v; });
            C.check(op(delete_primitive, i), w, m);

            is("duplicate a primitive");
            w = f, m = sc;
            w.records.insert(w.records.begin() + i + 1, f.records[i]);
            w.groups = renumbered(f.groups, 0, i + 2, 1);
            std::copy_backward(m.pri + i, m.pri + n, m.pri + n + 1);
            m.primmx++;
            m.pri[i + 1].nmem = 0;
            remap_partners(m, [i](int v) { return v > i ? v + 1 : v; });
            C.check(op(duplicate_primitive, i), w, m);
            C.round_trip(op(duplicate_primitive, i), op(delete_primitive, i + 1));

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
                C.check(op(shift_primitive, a, 1), w, m);
            }

            is("add a primitive");
            const prim_numbers p = new_primitive(g.pick(SHAPES), g.v(3), 0.5);
            w = f, m = sc;
            std::string rec;
            for (const std::string &t : p.num)
                rec += (rec.empty() ? "" : " ") + t;
            w.records.push_back(rec);
            filed one = f; // the record read alone
            one.records = {rec}, one.groups = {};
            m.pri[m.primmx++] = reading(one.text())->sc.pri[0];
            C.check(op(add_primitive, p), w, m);

            is("add a light");
            const light_numbers l = new_light(g.v(5), 0.75);
            w = f, m = sc;
            w.lights.push_back(l.num[0] + " " + l.num[1] + " " + l.num[2] + " " + l.num[3]);
            m.lig[m.nlg++] = ligrec{{num(l.num[0]), num(l.num[1]), num(l.num[2])}, 0.75};
            C.check(op(add_light, l), w, m);

            if (sc.nlg) {
                is("delete a light");
                w = f, m = sc;
                w.lights.erase(w.lights.begin() + j);
                std::copy(m.lig + j + 1, m.lig + m.nlg, m.lig + j);
                m.nlg--;
                C.check(op(delete_light, j), w, m);
                is("duplicate a light");
                C.round_trip(op(duplicate_light, j), op(delete_light, j + 1));
            }

            is("make a group");
            std::vector<int> members;
            for (int k = 0; k < n; k++)
                if (g.pick(2))
                    members.push_back(k);
            w = f, m = sc;
            w.groups.emplace_back();
            for (int k : members)
                w.groups.back().push_back(k + 1);
            give_partners(m, w.groups);
            if (members.size() >= 2)
                C.check(op(make_group, members), w, m);

            if (f.groups.empty())
                continue;
            const int gr = g.pick((int)f.groups.size());
            is("ungroup");
            w = f, m = sc;
            w.groups.erase(w.groups.begin() + gr);
            give_partners(m, w.groups);
            C.check(op(ungroup, gr), w, m);

            is("take a member out");
            const int out = f.groups[gr][g.pick((int)f.groups[gr].size())] - 1;
            w = f, m = sc;
            std::vector<int> &list = w.groups[gr];
            list.erase(std::remove(list.begin(), list.end(), out + 1), list.end());
            if (list.empty())
                w.groups.erase(w.groups.begin() + gr);
            give_partners(m, w.groups);
            C.check(op(remove_from_group, gr, out), w, m);

            const int in = g.pick(n);
            if (std::count(f.groups[gr].begin(), f.groups[gr].end(), in + 1))
                continue;
            is("put a member in");
            w = f, m = sc;
            w.groups[gr].push_back(in + 1);
            give_partners(m, w.groups);
            C.check(op(add_to_group, gr, in), w, m);
        }
    }
}

// n boxes in a row and one list of the numbers 1 to members.
filed boxes(int n, int members)
{
    filed f;
    f.head = {"0 0 0", "0 -1 0", "10 4", "8 6"};
    f.depth = "2";
    for (int i = 1; i <= n; i++)
        f.records.push_back("2 1 0.2 0.8 0.5 0 10 1 0 0 1 1 1 1 1 " + std::to_string(i) +
                            " 0 0 200 100 50");
    f.groups = {{}};
    for (int i = 1; i <= members; i++)
        f.groups[0].push_back(i);
    return f;
}

// The limits, numbers out of range and a text the reader does not read to
// its end refuse an edit, with a line saying why.
TEST(StructEdit, RefusesWhatItCannotDoAndSaysWhy)
{
    const std::string full =
        slurp(KORU_SOURCE_DIR "/tests/degenerate/lights-100-prims-100-depth-20.RT");
    const std::string cut = slurp(KORU_SOURCE_DIR "/tests/degenerate/unterminated-groups.RT");
    std::string glued = new_scene_text;
    glued.replace(glued.find("40\n-1"), 4, "40-1");
    filed f = boxes(41, MEMBER_MAX);
    f.records[0][0] = '1'; // a plane
    const std::string forty = f.text();
    const prim_numbers ball = new_primitive(SHAPE_SPHERE, {0, 0, 0}, 1);
    prim_numbers ender = ball;
    ender.num[P_TYPE] = "-1";
    const struct {
        const std::string &text;
        edit_fn run;
        const char *says;
    } cases[] = {
        {full, op(add_primitive, ball), "the scene has 100 primitives"},
        {full, op(duplicate_primitive, 99), "the scene has 100 primitives"},
        {full, op(duplicate_light, 0), "the scene has 100 lights"},
        {full, op(add_light, new_light({}, 1)), "the scene has 100 lights"},
        {forty, op(add_to_group, 0, 40), "group 1 has 40 members"},
        {forty, op(add_to_group, 0, 3), "primitive 4 is in group 1 already"},
        {forty, op(remove_from_group, 0, 40), "primitive 41 is not in group 1"},
        {forty, op(make_group, std::vector<int>(41)), "a group is of 2 to 40 primitives, not 41"},
        {forty, op(make_group, std::vector<int>{4, 7, 4}), "primitive 5 would be named twice"},
        {forty, op(make_group, std::vector<int>{4, 41}),
         "primitive 42: the scene has 41 primitives"},
        {forty, op(delete_primitive, -1), "primitive 0: the scene has 41 primitives"},
        {forty, op(ungroup, 1), "group 2: the scene has 1 group"},
        {forty, op(delete_light, 0), "light 1: the scene has 0 lights"},
        {forty, op(shift_primitive, 40, 1), "primitive 41 is the last"},
        {forty, op(scale_primitive, 0, 2.0), "a plane has no size"},
        {forty, op(scale_primitive, 1, -2.0), "by a positive number"},
        {forty, op(add_primitive, ender), "type -1 would end the primitive list"},
        {cut, op(delete_primitive, 0), "not read to the end of its groups"},
        {glued, op(duplicate_primitive, 1), "line 9, column 55: a number follows"},
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
// first part does not bring the dropped number back.
TEST(StructEdit, AListCutAfterFortyMembersIsStillReadAsBefore)
{
    const std::string text = boxes(43, 45).text();
    const auto before = reading(text);
    // as the reader takes it: 1..40, 41 dropped, then 42 43 (44 and 45 are
    // no primitives)
    lists read = {{}, {42, 43, 44, 45}};
    for (int i = 1; i <= 40; i++)
        read[0].push_back(i);
    scene m = before->sc;
    give_partners(m, read);
    expect_model(m, before->sc, "the cut list");

    std::string out = edited(text, op(remove_from_group, 0, 4), "a member out");
    EXPECT_NE(out.find(" 40 -1 42 "), std::string::npos) << out;
    lists now = read;
    now[0].erase(now[0].begin() + 4);
    give_partners(m, now);
    expect_model(m, reading(out)->sc, "a member out");

    // 44 and 45 move up with the records, so they name none still
    out = edited(text, op(add_primitive, new_primitive(SHAPE_BOX, {1, 2, 3}, 1)), "in");
    EXPECT_NE(out.find(" 40 41 42 43 45 46 -1"), std::string::npos) << out;
}

// A move adds to the position exactly, in the decimals given, without the
// noise of binary sums (each record once however often listed); a scale
// keeps the shape's proportions.
TEST(StructEdit, MovesAndScalesChangeOnlyThoseNumbers)
{
    const std::string text = new_scene_text;
    std::string want = text;
    want.replace(want.find("-5 -7 9 "), 8, "-4.7 -7.25 9.05 ");
    want.replace(want.find("1 1 1 0 0 1 230"), 15, "1 1 1 0.3 -0.25 1.05 230");
    const std::vector<record_ref> moved = {{SEC_PRIM, 1}, {SEC_LIGHT, 0}, {SEC_PRIM, 1}};
    EXPECT_EQ(edited(text, op(move_records, moved, vec{0.1 + 0.2, -0.25, 0.05}), "move"), want);
    want = text;
    want.replace(want.find("1 1 1 0 0 1 230"), 5, "1.1 1.1 1.1");
    EXPECT_EQ(edited(text, op(scale_primitive, 1, 1.1), "scale"), want);
}

} // namespace
