#include "layout.h"

#include "fields.h"
#include "numin.h"
#include "rtread.h"
#include "scenetext.h"

#include "../base/msg.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Numbers of the view, the lights and the records looked at: enough for
// every record the tables hold. The layout of a file longer than that is
// judged by its beginning.
constexpr size_t NUMBERS_MAX = 4096;
constexpr size_t SHOW_MAX = 32; // bytes of a number shown
constexpr int NAMES_MAX = 4;    // fields named one by one; more are "first to last"

// What the reader reads a number as.
enum { AS_VIEW, AS_LIGHT, AS_PRIM, AS_LIST_END, AS_GROUP };

struct slot {
    int as = AS_VIEW;
    int index = 0; // a light or primitive, from 0; a group, from 1
    int field = 0; // V_*, L_*, P_*; a group's number, from 0
};

// A number read, or the read that failed, and the record it belongs to.
struct seen {
    int line = 0, col = 0;
    slot s;
    int rec = -1; // in walker::recs; -1: none
    bool failed = false;
};

// A light or a primitive record: its numbers are seen[first, first + count).
// One whose first read failed (or was never made) has none, and is not judged.
struct record {
    int as; // AS_LIGHT or AS_PRIM
    size_t first;
    int count = 0;
    bool cut = false; // a read inside it failed (seen[first + count])
};

int size_of(int as) { return as == AS_LIGHT ? (int)LIGHT_FIELDS : (int)PRIM_FIELDS; }

std::string owner(const slot &s)
{
    switch (s.as) {
    case AS_LIGHT:
        return "light " + std::to_string(s.index + 1);
    case AS_PRIM:
        return "primitive " + std::to_string(s.index + 1);
    case AS_GROUP:
        return "group " + std::to_string(s.index);
    default:
        return "";
    }
}

std::string field(const slot &s)
{
    switch (s.as) {
    case AS_LIGHT:
        return light_field[s.field];
    case AS_PRIM:
        return prim_field[s.field];
    case AS_LIST_END:
        return "the end of the primitive list";
    case AS_GROUP:
        return "number " + std::to_string(s.field + 1);
    default:
        return view_field[s.field];
    }
}

// "col.g of primitive 19", "ilvlmx".
std::string full_name(const slot &s)
{
    const std::string o = owner(s);
    return o.empty() ? field(s) : field(s) + " of " + o;
}

bool same_owner(const slot &a, const slot &b)
{
    return a.as == b.as && a.index == b.index && !owner(a).empty();
}

// The fields of v[from, to), all of one owner: "pos.z, col.r" or "ka to col.b".
std::string field_list(const std::vector<slot> &v, size_t from, size_t to)
{
    if (to - from > (size_t)NAMES_MAX)
        return field(v[from]) + " to " + field(v[to - 1]);
    std::string s;
    for (size_t i = from; i < to; i++)
        s += (i > from ? ", " : "") + field(v[i]);
    return s;
}

// "type, surf of primitive 20", "ilvlmx and type of primitive 1".
std::string name_list(const std::vector<slot> &v)
{
    std::string s;
    for (size_t i = 0, j; i < v.size(); i = j) {
        for (j = i + 1; j < v.size() && same_owner(v[i], v[j]);)
            j++;
        const std::string o = owner(v[i]);
        s += (i ? " and " : "") + field_list(v, i, j) + (o.empty() ? "" : " of " + o);
    }
    return s;
}

// Bytes of a text as a message shows them: printable ones as they are.
std::string shown(const char *p, size_t n)
{
    static const char hex[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n && i < SHOW_MAX; i++) {
        const unsigned char b = (unsigned char)p[i];
        if (b >= 0x20 && b < 0x7f && b != '"' && b != '\\')
            s += (char)b;
        else
            s += std::string("\\x") + hex[b >> 4] + hex[b & 15];
    }
    return n > SHOW_MAX ? s + "..." : s;
}

// One reading of a text, as the reader reads it, keeping what it saw.
struct walker {
    const char *text;
    size_t n;
    msglist &msgs;
    line_index lines;
    numin in;
    std::vector<seen> nums; // up to the primitive list's end
    std::vector<record> recs;
    bool keep = true;
    int found = 0;

    // A whole number that stopped at a '.', said at the next read, which
    // names what the rest is left for.
    bool dotted = false;
    seen dot;
    int dot_value = 0;
    size_t dot_at = 0, dot_len = 0; // where it stands; the length of what was read

    walker(const char *t, size_t size, msglist &m) : text(t), n(size), msgs(m), in(t, size)
    {
        lines.build(t, size);
    }

    // Reads a number as s, for record rec (or none); its value into value.
    bool read(slot s, bool whole, int rec = -1, int *value = nullptr)
    {
        if (keep && nums.size() >= NUMBERS_MAX)
            return false;
        int v = 0;
        double d;
        const bool ok = whole ? scan_int(in, v) : scan_dbl(in, d);
        if (ok && s.as == AS_PRIM && s.field == P_TYPE && v < 0)
            s.as = AS_LIST_END;
        if (dotted)
            say_dot(s);
        if (keep)
            nums.push_back(seen{in.at_line, in.at_col, s, rec, !ok});
        if (rec >= 0 && ok)
            recs[rec].count++;
        else if (rec >= 0)
            recs[rec].cut = true;
        if (ok && whole)
            note_dot(s, v);
        if (value)
            *value = v;
        return ok;
    }

    // A record whose first number is the next read (or, when last is set,
    // the one just read).
    int begin(int as, bool last = false)
    {
        recs.push_back(record{as, nums.size() - (last ? 1 : 0)});
        if (last) {
            nums.back().rec = (int)recs.size() - 1;
            recs.back().count = 1;
        }
        return (int)recs.size() - 1;
    }

    void note_dot(const slot &s, int v)
    {
        const int c = in.get();
        in.unget(c);
        if (c != '.')
            return;
        dotted = true;
        dot = seen{in.at_line, in.at_col, s};
        dot_value = v;
        dot_at = lines.offset(place{in.at_line, in.at_col});
        dot_len = (size_t)(in.col() - in.at_col);
    }

    void say_dot(const slot &next)
    {
        dotted = false;
        const size_t rest = dot_at + dot_len; // the '.'
        size_t end = rest;
        while (end < n && end - rest < SHOW_MAX && !is_blank(text[end]))
            end++;
        const std::string o = owner(dot.s);
        const std::string subject = o.empty() ? field(dot.s) : o + ": " + field(dot.s);
        msgs.add_at(dot.line, dot.col,
                    "%s is a whole number, so \"%s\" is read as %d and \"%s\" is left for %s",
                    subject.c_str(), shown(text + dot_at, end - dot_at).c_str(), dot_value,
                    shown(text + rest, end - rest).c_str(),
                    (same_owner(dot.s, next) ? field(next) : full_name(next)).c_str());
        found++;
    }

    static bool is_blank(char c)
    {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    }
};

bool whole_field(int sec, int k) { return field_info(field_ref{sec, 0, k}).whole; }

// The text as the reader takes it: the view, the lights, the depth, the
// records up to the list's end (kept), then the groups.
void walk(walker &W)
{
    int nlg = 0;
    for (int k = V_RX; k <= V_NLG; k++)
        if (!W.read(slot{AS_VIEW, 0, k}, whole_field(SEC_VIEW, k), -1, k == V_NLG ? &nlg : nullptr))
            return;
    for (int j = 0; j < nlg; j++) {
        const int r = W.begin(AS_LIGHT);
        for (int k = 0; k < LIGHT_FIELDS; k++)
            if (!W.read(slot{AS_LIGHT, j, k}, false, r))
                return;
    }
    if (!W.read(slot{AS_VIEW, 0, V_ILVLMX}, true))
        return;
    for (int i = 0;; i++) {
        int t;
        if (!W.read(slot{AS_PRIM, i, P_TYPE}, true, -1, &t))
            return;
        if (t < 0)
            break;
        const int r = W.begin(AS_PRIM, true);
        for (int k = P_SURF; k < PRIM_FIELDS; k++)
            if (!W.read(slot{AS_PRIM, i, k}, whole_field(SEC_PRIM, k), r))
                return;
    }
    W.keep = false;
    int t, g = 1;
    if (!W.read(slot{AS_GROUP, g, 0}, true, -1, &t))
        return;
    while (t >= 0) {
        for (int m = 1; t >= 0 && m <= MEMBER_MAX; m++)
            if (!W.read(slot{AS_GROUP, g, m}, true, -1, &t))
                return;
        // the number after the group: a negative one ends the section
        if (!W.read(slot{AS_GROUP, ++g, 0}, true, -1, &t))
            return;
    }
}

// Judges the lines of the records read, where they are written one a line.
struct judge {
    walker &W;
    const std::vector<seen> &nums = W.nums;

    bool begins_line(size_t k) const { return k == 0 || nums[k - 1].line < nums[k].line; }
    // The next number read (or the read that failed) stands on a later line.
    bool ends_line(size_t k) const
    {
        return k + 1 >= nums.size() || nums[k + 1].line > nums[k].line;
    }
    int line_of(const record &r) const { return nums[r.first].line; }
    // The numbers of r on its first line.
    int on_first_line(const record &r) const
    {
        int h = 0;
        while (h < r.count && nums[r.first + h].line == line_of(r))
            h++;
        return h;
    }

    // At least half of the records that begin a line end on it.
    bool one_a_line() const
    {
        int begun = 0, whole = 0;
        for (const record &r : W.recs) {
            if (!r.count || !begins_line(r.first))
                continue;
            begun++;
            whole += r.count == size_of(r.as) && on_first_line(r) == r.count;
        }
        return whole > 0 && 2 * whole >= begun;
    }

    // From number k on, line L holds whole items only: records that end on
    // it, or, when singles, a number that is an item of its own (the depth)
    // alone on it; then perhaps the list's end, or a read the reader reports.
    bool whole_items(size_t k, int L, bool singles) const
    {
        while (k < nums.size() && nums[k].line == L) {
            const seen &x = nums[k];
            if (x.failed || x.s.as == AS_LIST_END)
                return true;
            if (x.rec < 0)
                return singles && begins_line(k) && ends_line(k);
            const record &q = W.recs[x.rec];
            const size_t end = q.first + q.count + (q.cut ? 1 : 0);
            if (nums[end - 1].line != L)
                return false;
            k = end;
        }
        return true;
    }

    // A record spread over lines on purpose ends its last line, and what
    // follows is read in step: the next line holds whole items.
    bool spread(const record &r) const
    {
        const size_t last = r.first + r.count - 1;
        return r.count == size_of(r.as) && ends_line(last) &&
               (last + 1 >= nums.size() || whole_items(last + 1, nums[last + 1].line, true));
    }

    void record_line(const record &r)
    {
        const int size = size_of(r.as);
        const size_t last = r.first + r.count - 1;
        const int h = on_first_line(r);
        if (h < r.count) {
            if (!spread(r))
                fewer(r, h);
        } else if (r.count == size && !ends_line(last) &&
                   !whole_items(last + 1, line_of(r), false)) {
            more(r);
        }
    }

    void fewer(const record &r, int h)
    {
        const int size = size_of(r.as);
        std::vector<slot> missing;
        for (int k = h; k < size; k++)
            missing.push_back(slot{r.as, nums[r.first].s.index, k});
        const seen &end = nums[r.first + h - 1];
        W.msgs.add_at(end.line, end.col,
                      "line %d: %s has %d of its %d numbers here (%s missing); the reader takes "
                      "%s from line %d",
                      end.line, owner(end.s).c_str(), h, size,
                      field_list(missing, 0, missing.size()).c_str(), size - h == 1 ? "it" : "them",
                      nums[r.first + h].line);
        W.found++;
    }

    void more(const record &r)
    {
        const size_t after = r.first + r.count;
        const int L = line_of(r);
        std::vector<slot> extra;
        for (size_t k = after; k < nums.size() && nums[k].line == L && !nums[k].failed; k++)
            extra.push_back(nums[k].s);
        const seen &at = nums[after];
        W.msgs.add_at(at.line, at.col,
                      "line %d: %s has %zu number%s more than its %d here; the reader takes %s "
                      "as %s",
                      L, owner(nums[r.first].s).c_str(), extra.size(), extra.size() == 1 ? "" : "s",
                      size_of(r.as), extra.size() == 1 ? "it" : "them", name_list(extra).c_str());
        W.found++;
    }

    void run()
    {
        if (!one_a_line())
            return;
        for (const record &r : W.recs)
            if (r.count && begins_line(r.first))
                record_line(r);
    }
};

} // namespace

int check_layout(const char *text, size_t n, msglist &msgs)
{
    msglist found;
    walker W(text, n, found);
    walk(W);
    judge{W}.run();
    // in file order
    std::stable_sort(found.lines.begin(), found.lines.end(), [](const msg &a, const msg &b) {
        return a.line != b.line ? a.line < b.line : a.col < b.col;
    });
    for (const msg &m : found.lines)
        msgs.add_at(m.line, m.col, "%s", m.text.c_str());
    msgs.lost += found.lost;
    return W.found;
}
