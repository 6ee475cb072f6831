#include "rtwrite.h"

#include "numin.h"
#include "scene.h"

#include "../base/msg.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

uint64_t bits(double d)
{
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

bool reads_as(const char *s, double d)
{
    char *end;
    double v = c_strtod(s, &end);
    return *end == 0 && bits(v) == bits(d);
}

} // namespace

std::string number_text(double d)
{
    char buf[64];
    if (std::isnan(d)) {
        const uint64_t quiet = uint64_t(1) << 51, payload = bits(d) & (quiet - 1);
        std::snprintf(buf, sizeof buf, payload ? "%snan(0x%llx)" : "%snan",
                      std::signbit(d) ? "-" : "", (unsigned long long)payload);
        return (bits(d) & quiet) && reads_as(buf, d) ? buf : "";
    }
    // to_chars is locale-free; the shortest form should always read back,
    // 17 digits always do
    auto r = std::to_chars(buf, buf + sizeof buf - 1, d);
    *r.ptr = 0;
    if (reads_as(buf, d))
        return buf;
    r = std::to_chars(buf, buf + sizeof buf - 1, d, std::chars_format::general, 17);
    *r.ptr = 0;
    return reads_as(buf, d) ? buf : "";
}

std::string number_text(int v)
{
    char buf[16];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

std::string digits_text(double d, int digits)
{
    if (!std::isfinite(d))
        return "";
    // to_chars is locale-free, as c_strtod is
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf - 1, d, std::chars_format::scientific,
                           std::clamp(digits, 1, 17) - 1);
    *r.ptr = 0;
    return number_text(c_strtod(buf, nullptr));
}

namespace {

// Ulps on either side of 1/sqrt|k| where a semi-axis is looked for: the
// one k was made from is a few ulps away, even where v*v or 1/(v*v) is
// subnormal.
constexpr int AXIS_WINDOW = 256;

} // namespace

std::string axis_text(double k)
{
    double s0;
    int window = 0;
    if (k == 0 || std::isnan(k)) {
        s0 = k; // 0 and nan are kept as they are read
    } else if (std::isinf(k)) {
        s0 = std::copysign(1e-200, k); // its square is 0
    } else {
        s0 = std::copysign(1 / std::sqrt(std::fabs(k)), k);
        window = AXIS_WINDOW;
    }
    // |coef| falls as |v| grows, so the semi-axes that give k lie in one run
    std::string best;
    for (double dir : {HUGE_VAL, -HUGE_VAL}) {
        bool in = false;
        double s = s0;
        for (int i = 0; i <= window; i++, s = std::nextafter(s, dir)) {
            if (bits(axis_coef(s)) != bits(k)) {
                if (in)
                    break;
                continue;
            }
            in = true;
            std::string t = number_text(s);
            if (!t.empty() && (best.empty() || t.size() < best.size()))
                best = t;
        }
    }
    return best;
}

namespace {

using group = std::vector<int>;

// Does member g[j] come out of group g with exactly the partners of p?
bool leaves(const group &g, int j, const primrec &p)
{
    const int k = (int)g.size();
    if (k == 1)
        return p.nmem == 0;
    if (p.nmem != k - 1)
        return false;
    for (int o = 0, m = 0; o < k; o++)
        if (o != j && g[o] != p.mem[m++])
            return false;
    return true;
}

// Can g be read before the groups already chosen? Those decide the
// members marked done; every other member must come out with its own
// list, at its last place in g (the reader sets it at each place in turn).
bool fits(const group &g, const std::vector<char> &done, const scene &sc)
{
    for (int j = 0; j < (int)g.size(); j++) {
        int x = g[j];
        if (done[x] || std::find(g.begin() + j + 1, g.end(), x) != g.end())
            continue;
        if (!leaves(g, j, sc.pri[x]))
            return false;
    }
    return true;
}

// Groups that leave every primitive with its partner list, chosen from the
// last one back. The group that gave primitive p its list was that list
// with p put in at one place, so each open primitive (undecided, with
// partners) offers nmem + 1 groups to try. In any section that gives these
// lists, the last group holding an open primitive fits as soon as the
// undecided members it names that end with no partners are cleared by
// one-member groups after it; so when nothing fits, those clearings are
// taken, and the search sticks only where no section exists. Primitives
// no group decides end with none, as the reader starts each record.
bool rebuild_groups(const scene &sc, std::vector<group> &out)
{
    const int n = sc.primmx;
    std::vector<char> done(n, 0);
    std::vector<group> back; // last group first
    for (;;) {
        bool open = false, found = false;
        for (int p = n - 1; p >= 0 && !found; p--) {
            const primrec &r = sc.pri[p];
            if (done[p] || r.nmem == 0)
                continue;
            open = true;
            // p last first: the members of a group in order of their numbers
            group g(r.mem, r.mem + r.nmem);
            g.push_back(p);
            for (int i = r.nmem; i >= 0 && !found; i--) {
                if (i < r.nmem)
                    std::swap(g[i], g[i + 1]);
                found = fits(g, done, sc);
            }
            if (found) {
                for (int x : g)
                    done[x] = 1;
                back.push_back(g);
            }
        }
        if (found)
            continue;
        if (!open)
            break;
        bool cleared = false;
        for (int p = 0; p < n; p++) {
            if (done[p] || sc.pri[p].nmem == 0)
                continue;
            for (int m = 0; m < sc.pri[p].nmem; m++) {
                int x = sc.pri[p].mem[m];
                if (!done[x] && sc.pri[x].nmem == 0) {
                    done[x] = 1;
                    back.push_back({x});
                    cleared = true;
                }
            }
        }
        if (!cleared)
            return false;
    }
    out.assign(back.rbegin(), back.rend());
    return true;
}

struct writer {
    std::string &text;
    msglist &msgs;
    const char *what = ""; // the item being written, for messages
    int index = 0;         // its 1-based number, 0 for none
    bool ok = true;

    void fail(const char *why)
    {
        if (index)
            msgs.add("cannot write %s %d: %s", what, index, why);
        else
            msgs.add("cannot write %s: %s", what, why);
        ok = false;
    }
    void sep()
    {
        if (!text.empty() && text.back() != '\n')
            text += ' ';
    }
    void put(int v)
    {
        char buf[16];
        sep();
        text.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    void put(double v)
    {
        std::string t = number_text(v);
        if (t.empty())
            fail("a signalling nan, which no file gives");
        sep();
        text += t;
    }
    void put(const vec &v)
    {
        put(v.x);
        put(v.y);
        put(v.z);
    }
    // The semi-axis of coefficient k: the one given, when it makes k.
    void axis(double k, const double *given)
    {
        if (given && bits(axis_coef(*given)) == bits(k)) {
            put(*given);
            return;
        }
        std::string t = axis_text(k);
        if (t.empty()) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "no semi-axis gives the coefficient %.17g", k);
            fail(buf);
        }
        sep();
        text += t;
    }
    void line() { text += '\n'; }
};

} // namespace

int rt_text(const scene &sc, std::string &text, msglist &msgs, const vec *axes)
{
    text.clear();
    writer w{text, msgs};
    if (sc.primmx < 0 || sc.primmx > PRIM_MAX) {
        msgs.add("cannot write %d primitives: a file gives 0 to %d", sc.primmx, PRIM_MAX);
        return 0;
    }
    if (sc.nlg > LIGHT_MAX) {
        msgs.add("cannot write %d lights: a file gives at most %d", sc.nlg, LIGHT_MAX);
        return 0;
    }
    w.what = "the camera";
    w.put(sc.rx), w.put(sc.ry), w.put(sc.rz), w.line();
    w.put(sc.vpnax), w.put(sc.vpnay), w.put(sc.vpnaz), w.line();
    w.put(sc.dlength), w.put(sc.wdu), w.line();
    w.put(sc.ixmx), w.put(sc.iymx), w.line();
    w.put(sc.nlg), w.line();
    w.what = "light";
    for (int i = 0; i < sc.nlg; i++) {
        w.index = i + 1;
        w.put(sc.lig[i].pos), w.put(sc.lig[i].bright), w.line();
    }
    w.index = 0;
    w.put(sc.ilvlmx), w.line();

    w.what = "primitive";
    for (int i = 0; i < sc.primmx; i++) {
        const primrec &p = sc.pri[i];
        w.index = i + 1;
        if (p.type < 0)
            w.fail("a negative type ends the records");
        if (p.nmem < 0 || p.nmem >= MEMBER_MAX) {
            char buf[64];
            std::snprintf(buf, sizeof buf, "%d partners; a group gives 0 to %d", p.nmem,
                          MEMBER_MAX - 1);
            w.fail(buf);
        }
        for (int m = 0; m < p.nmem && m < MEMBER_MAX; m++)
            if (p.mem[m] < 0 || p.mem[m] >= sc.primmx)
                w.fail("a partner is not a primitive in use");
        w.put(p.type), w.put(p.surf), w.put(p.ka), w.put(p.kd), w.put(p.ks);
        w.put(p.spare), w.put(p.npow), w.put(p.refr), w.put(p.trans);
        w.put(p.pat), w.put(p.patw), w.put(p.sense);
        if (p.type == PRIM_QUADRIC || p.type == PRIM_CONE) {
            const vec *a = axes ? &axes[i] : nullptr;
            w.axis(p.geom.x, a ? &a->x : nullptr);
            w.axis(p.geom.y, a ? &a->y : nullptr);
            w.axis(p.geom.z, a ? &a->z : nullptr);
        } else {
            w.put(p.geom);
        }
        w.put(p.pos), w.put(p.col.r), w.put(p.col.g), w.put(p.col.b), w.line();
    }
    w.index = 0;
    w.put(-1), w.line();
    if (!w.ok)
        return 0;

    std::vector<group> groups;
    if (!rebuild_groups(sc, groups)) {
        msgs.add("cannot write the groups: no group section leaves the primitives with their "
                 "partner lists");
        return 0;
    }
    for (const group &g : groups) {
        for (int x : g)
            w.put(x + 1);
        w.put(-1), w.line();
    }
    w.put(-1), w.line();
    return 1;
}
