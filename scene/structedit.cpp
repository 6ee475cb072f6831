#include "structedit.h"

#include "numin.h"
#include "rtwrite.h"
#include "scenetext.h"
#include "textruns.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>

namespace {

// One list of the group section as the reader takes it.
struct section_list {
    std::vector<int> members; // indices into scene_text::numbers
    int closer;               // the number that closed it: NUM_GROUP_END or NUM_OVERFLOW
};

std::string plural(int n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A text being edited: how it reads, and the changes made to it so far.
struct draft {
    const std::string &text;
    std::unique_ptr<text_reading> r;
    std::vector<section_list> groups;
    int list_end = -1, groups_end = -1; // indices of those numbers, when the text has them
    std::vector<splice> cuts;

    explicit draft(const std::string &t) : text(t), r(read_scene_text(t))
    {
        const std::vector<text_number> &n = r->st.numbers;
        for (int k = 0; k < (int)n.size(); k++) {
            if (n[k].kind == NUM_LIST_END)
                list_end = k;
            else if (n[k].kind == NUM_GROUPS_END)
                groups_end = k;
            else if (n[k].kind == NUM_MEMBER && n[k].member == 1)
                groups.push_back(section_list{{}, -1});
            if (n[k].kind == NUM_MEMBER)
                groups.back().members.push_back(k);
            else if (n[k].kind == NUM_GROUP_END || n[k].kind == NUM_OVERFLOW)
                groups.back().closer = k;
        }
    }

    const scene_text &st() const { return r->st; }
    int primmx() const { return r->sc.primmx; }
    int nlg() const { return std::max(r->sc.nlg, 0); }
    const text_number &number(int k) const { return r->st.numbers[k]; }
    std::string token(int k) const { return text.substr(number(k).span.at, number(k).span.len); }
    int prim_first(int i) const { return r->st.prim[i]; }
    int prim_last(int i) const { return r->st.prim[i] + PRIM_FIELDS - 1; }
    int light_first(int j) const { return r->st.light[j]; }
    int light_last(int j) const { return r->st.light[j] + LIGHT_FIELDS - 1; }

    // Whether the text reads to the end of its group section, with no
    // record or light the reader drops.
    bool whole(std::string &why) const;
    bool has_prim(int i, std::string &why) const;
    bool has_light(int j, std::string &why) const;
    bool has_group(int g, std::string &why) const;
    bool room_for_prim(std::string &why) const;
    bool room_for_light(std::string &why) const;
    // No group number that would go beyond the int range when the records
    // after a place move up by one.
    bool room_above(std::string &why) const;

    void replace(int k, const std::string &with)
    {
        cuts.push_back(splice{number(k).span.at, number(k).span.len, with});
    }
    void take_out(int first, int last)
    {
        const text_span s = run_stretch(text, r->st, first, last);
        cuts.push_back(splice{s.at, s.len, ""});
    }
    // Puts text in after the stretch of the run first..last.
    void put_after(int first, int last, const std::string &with)
    {
        cuts.push_back(splice{run_stretch(text, r->st, first, last).end(), 0, with});
    }
    std::string stretch_text(int first, int last) const
    {
        const text_span s = run_stretch(text, r->st, first, last);
        return text.substr(s.at, s.len);
    }
    void set_nlg(int n) { replace(r->st.view[V_NLG], number_text(n)); }

    // Gives each primitive number v of the group section the number f(v),
    // or takes it out where f(v) is 0 (only in list g, when g >= 0).
    void renumber(const std::function<int(int)> &f, int g = -1);
    // The edited text, checked to read back with the counts given.
    int finish(int prims, int lights, text_edit &out, std::string &why) const;
};

bool draft::whole(std::string &why) const
{
    const scene_text &s = r->st;
    if (r->sc.nlg > LIGHT_MAX) {
        why = "the file has " + std::to_string(r->sc.nlg) + " lights and KORU reads only " +
              std::to_string(LIGHT_MAX) + ": take the rest out by hand first";
        return false;
    }
    const bool dropped = std::any_of(s.numbers.begin(), s.numbers.end(),
                                     [](const text_number &n) { return n.kind == NUM_DROPPED; });
    if (dropped) {
        why = "the file has more than " + std::to_string(PRIM_MAX) +
              " primitives and KORU reads only those: take the rest out by hand first";
        return false;
    }
    if (groups_end < 0 || (int)s.light.size() != nlg() || s.view[V_ILVLMX] < 0) {
        why = "the text is not read to the end of its groups (its warnings say where it "
              "stops): complete it before adding or taking out records";
        return false;
    }
    // a copy put beside a number written with no blank before it ("1.5.5"
    // is 1.5 and .5) could run into its neighbour
    for (size_t k = 1; k < s.numbers.size(); k++)
        if (s.numbers[k].span.at == s.numbers[k - 1].span.end()) {
            const place p = s.lines.place_of(s.numbers[k].span.at);
            why = "line " + std::to_string(p.line) + ", column " + std::to_string(p.col) +
                  ": a number follows the one before with no blank between them; put one "
                  "there first";
            return false;
        }
    return true;
}

bool draft::has_prim(int i, std::string &why) const
{
    if (i >= 0 && i < (int)r->st.prim.size())
        return true;
    why = "primitive " + std::to_string(i + 1) + ": the scene has " +
          plural((int)r->st.prim.size(), "primitive", "primitives");
    return false;
}

bool draft::has_light(int j, std::string &why) const
{
    if (j >= 0 && j < (int)r->st.light.size())
        return true;
    why = "light " + std::to_string(j + 1) + ": the scene has " +
          plural((int)r->st.light.size(), "light", "lights");
    return false;
}

bool draft::has_group(int g, std::string &why) const
{
    if (g >= 0 && g < (int)groups.size())
        return true;
    why = "group " + std::to_string(g + 1) + ": the scene has " +
          plural((int)groups.size(), "group", "groups");
    return false;
}

bool draft::room_for_prim(std::string &why) const
{
    if (primmx() < PRIM_MAX)
        return true;
    why = "the scene has " + std::to_string(PRIM_MAX) +
          " primitives, as many as KORU reads: none can be added";
    return false;
}

bool draft::room_for_light(std::string &why) const
{
    if (nlg() < LIGHT_MAX)
        return true;
    why = "the scene has " + std::to_string(LIGHT_MAX) +
          " lights, as many as KORU reads: none can be added";
    return false;
}

bool draft::room_above(std::string &why) const
{
    for (const text_number &n : r->st.numbers)
        if (n.kind == NUM_MEMBER && n.value == INT_MAX) {
            why = "group " + std::to_string(n.group) + " names " + std::to_string(INT_MAX) +
                  ", beyond the numbers KORU counts to: take it out first";
            return false;
        }
    return true;
}

// v written in the form of a group member's text: a + and leading zeros
// are kept.
std::string renumbered(const std::string &old, int v)
{
    const bool plus = !old.empty() && old[0] == '+';
    const size_t width = old.size() - plus;
    std::string digits = std::to_string(v);
    if (width > 1 && old[plus] == '0' && digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return (plus ? "+" : "") + digits;
}

void draft::renumber(const std::function<int(int)> &f, int only)
{
    for (int g = 0; g < (int)groups.size(); g++) {
        if (only >= 0 && g != only)
            continue;
        const section_list &l = groups[g];
        std::vector<int> gone;
        for (int k : l.members) {
            const int v = number(k).value; // 0 names no primitive, and stays
            const int now = v >= 1 ? f(v) : v;
            if (v >= 1 && !now)
                gone.push_back(k);
            else if (now != v)
                replace(k, renumbered(token(k), now));
        }
        if (gone.empty())
            continue;
        if (gone.size() == l.members.size()) {
            take_out(l.members.front(), l.closer); // the list and its terminator
            continue;
        }
        for (size_t a = 0, b; a < gone.size(); a = b) { // each run of members taken out
            for (b = a + 1; b < gone.size() && gone[b] == gone[b - 1] + 1;)
                b++;
            take_out(gone[a], gone[b - 1]);
        }
        // the number the reader dropped after MEMBER_MAX members would now
        // be read as a member: it becomes the list's end
        if (number(l.closer).kind == NUM_OVERFLOW)
            replace(l.closer, "-1");
    }
}

int draft::finish(int prims, int lights, text_edit &out, std::string &why) const
{
    const std::string edited = apply_splices(text, cuts);
    const std::unique_ptr<text_reading> back = read_scene_text(edited);
    const bool ended = std::any_of(back->st.numbers.begin(), back->st.numbers.end(),
                                   [](const text_number &n) { return n.kind == NUM_GROUPS_END; });
    if (!ended || back->sc.primmx != prims || std::max(back->sc.nlg, 0) != lights) {
        why = "the edit would not read back as meant; the text is left as it was";
        return 0;
    }
    out = edit_between(text, edited);
    return 1;
}

// Each number of a record checked to read back as written.
bool numbers_fit(int sec, int index, const std::string *num, int count, std::string &why)
{
    for (int k = 0; k < count; k++)
        if (!value_fits(field_ref{sec, index, k}, num[k], why))
            return false;
    return true;
}

// Decimals after the point of a plain decimal number of at most 15
// significant digits; -1 for any other text.
int plain_decimals(const std::string &t)
{
    if (t.empty() || t.find_first_not_of("+-0123456789.") != std::string::npos)
        return -1;
    const size_t dot = t.find('.');
    const size_t first = t.find_first_not_of("+-0.");
    const bool dot_after = dot != std::string::npos && dot > first;
    const size_t digits = first == std::string::npos ? 0 : t.size() - first - dot_after;
    if (digits > 15)
        return -1;
    return dot == std::string::npos ? 0 : (int)(t.size() - dot - 1);
}

// The text of a + d, a written as a_text: exact in the decimals of both
// where both are plain decimals and the sum needs at most 15 significant
// digits, else to EDIT_DIGITS significant digits.
std::string sum_text(const std::string &a_text, double a, double d)
{
    const double s = a + d;
    const int da = plain_decimals(a_text), dd = plain_decimals(number_text(d));
    char buf[400]; // to_chars: locale-free
    const auto r =
        da >= 0 && dd >= 0 && std::isfinite(s)
            ? std::to_chars(buf, buf + sizeof buf, s, std::chars_format::fixed, std::max(da, dd))
            : std::to_chars_result{buf, std::errc::value_too_large};
    if (r.ec == std::errc()) {
        std::string t(buf, r.ptr);
        if (t.find('.') != std::string::npos) {
            t.erase(t.find_last_not_of('0') + 1);
            if (t.back() == '.')
                t.pop_back();
        }
        if (t == "-0")
            t = "0";
        if (plain_decimals(t) >= 0)
            return t;
    }
    return digits_text(s, EDIT_DIGITS);
}

} // namespace

int delete_primitive(const std::string &text, int i, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.has_prim(i, why))
        return 0;
    d.take_out(d.prim_first(i), d.prim_last(i));
    const int n = i + 1;
    d.renumber([n](int v) { return v == n ? 0 : v > n ? v - 1 : v; });
    return d.finish(d.primmx() - 1, d.nlg(), out, why);
}

int duplicate_primitive(const std::string &text, int i, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.has_prim(i, why) || !d.room_for_prim(why) || !d.room_above(why))
        return 0;
    d.put_after(d.prim_first(i), d.prim_last(i), d.stretch_text(d.prim_first(i), d.prim_last(i)));
    const int n = i + 1;
    d.renumber([n](int v) { return v > n ? v + 1 : v; });
    return d.finish(d.primmx() + 1, d.nlg(), out, why);
}

int shift_primitive(const std::string &text, int i, int step, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.has_prim(i, why))
        return 0;
    const int j = i + (step < 0 ? -1 : 1);
    if (j < 0 || j >= d.primmx()) {
        why = "primitive " + std::to_string(i + 1) + " is the " + (j < 0 ? "first" : "last") +
              " in the list already";
        return 0;
    }
    auto record = [&](int k) {
        const size_t at = d.number(d.prim_first(k)).span.at;
        return text_span{at, d.number(d.prim_last(k)).span.end() - at};
    };
    const text_span a = record(i), b = record(j);
    d.cuts.push_back(splice{a.at, a.len, text.substr(b.at, b.len)});
    d.cuts.push_back(splice{b.at, b.len, text.substr(a.at, a.len)});
    const int n = i + 1, m = j + 1;
    d.renumber([n, m](int v) { return v == n ? m : v == m ? n : v; });
    return d.finish(d.primmx(), d.nlg(), out, why);
}

int add_primitive(const std::string &text, const prim_numbers &rec, text_edit &out,
                  std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.room_for_prim(why) || !d.room_above(why))
        return 0;
    if (!numbers_fit(SEC_PRIM, d.primmx(), rec.num, PRIM_FIELDS, why))
        return 0;
    numin type_in(rec.num[P_TYPE].data(), rec.num[P_TYPE].size());
    int type = 0;
    if (scan_int(type_in, type) && type < 0) {
        why = "type " + rec.num[P_TYPE] + " would end the primitive list";
        return 0;
    }
    const std::vector<std::string> nums(rec.num, rec.num + PRIM_FIELDS);
    // after the last record, or after the depth when there is none
    const int n = d.primmx();
    const int first = n ? d.prim_first(n - 1) : d.st().view[V_ILVLMX];
    const int last = n ? d.prim_last(n - 1) : first;
    d.put_after(first, last, run_copy(text, d.st(), first, last, nums));
    d.renumber([n](int v) { return v > n ? v + 1 : v; });
    return d.finish(n + 1, d.nlg(), out, why);
}

int delete_light(const std::string &text, int j, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.has_light(j, why))
        return 0;
    d.take_out(d.light_first(j), d.light_last(j));
    d.set_nlg(d.nlg() - 1);
    return d.finish(d.primmx(), d.nlg() - 1, out, why);
}

int duplicate_light(const std::string &text, int j, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.has_light(j, why) || !d.room_for_light(why))
        return 0;
    d.put_after(d.light_first(j), d.light_last(j),
                d.stretch_text(d.light_first(j), d.light_last(j)));
    d.set_nlg(d.nlg() + 1);
    return d.finish(d.primmx(), d.nlg() + 1, out, why);
}

int add_light(const std::string &text, const light_numbers &l, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.room_for_light(why))
        return 0;
    if (!numbers_fit(SEC_LIGHT, d.nlg(), l.num, LIGHT_FIELDS, why))
        return 0;
    // after the last light, or after their count when there is none
    const int n = d.nlg();
    const int first = n ? d.light_first(n - 1) : d.st().view[V_NLG];
    const int last = n ? d.light_last(n - 1) : first;
    d.put_after(first, last, run_copy(text, d.st(), first, last, {l.num, l.num + LIGHT_FIELDS}));
    d.set_nlg(n + 1);
    return d.finish(d.primmx(), n + 1, out, why);
}

int move_records(const std::string &text, const std::vector<record_ref> &records, const vec &by,
                 text_edit &out, std::string &why)
{
    draft d(text);
    std::vector<field_value> values;
    const double step[3] = {by.x, by.y, by.z};
    for (size_t k = 0; k < records.size(); k++) {
        const record_ref &rec = records[k];
        const bool prim = rec.sec == SEC_PRIM;
        if (prim ? !d.has_prim(rec.index, why) : !d.has_light(rec.index, why))
            return 0;
        auto same = [&](const record_ref &o) { return o.sec == rec.sec && o.index == rec.index; };
        if (std::any_of(records.begin(), records.begin() + k, same))
            continue;
        for (int c = 0; c < 3; c++) {
            const field_ref f{rec.sec, rec.index, (prim ? (int)P_PX : (int)L_X) + c};
            text_span s;
            if (step[c] == 0 || !field_span(d.st(), f, s))
                continue; // the reader's place for every field of a record it kept
            const std::string now = text.substr(s.at, s.len);
            values.push_back(field_value{f, sum_text(now, field_number(d.r->sc, f), step[c])});
        }
    }
    return field_edit(text, values, out, why);
}

int scale_primitive(const std::string &text, int i, double factor, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.has_prim(i, why))
        return 0;
    if (!(factor > 0) || !std::isfinite(factor)) {
        why = "a size is scaled by a positive number, not " + number_text(factor);
        return 0;
    }
    const int type = d.r->sc.pri[i].type;
    const std::string name = record_name(d.r->sc, field_ref{SEC_PRIM, i, P_TYPE});
    if (type != PRIM_BOX && type != PRIM_QUADRIC && type != PRIM_CONE) {
        why = name + (type == PRIM_PLANE ? ": a plane has no size" : ": no shape KORU draws");
        return 0;
    }
    // a quadric's and a cone's shape stands in the file as semi-axes
    const vec g = type == PRIM_BOX ? d.r->sc.pri[i].geom : d.r->map.axes[i];
    const double axis[3] = {g.x, g.y, g.z};
    std::vector<field_value> values;
    for (int c = 0; c < 3; c++)
        if (axis[c] != 0)
            values.push_back(field_value{field_ref{SEC_PRIM, i, P_GX + c},
                                         digits_text(axis[c] * factor, EDIT_DIGITS)});
    return field_edit(text, values, out, why);
}

int make_group(const std::string &text, const std::vector<int> &members, text_edit &out,
               std::string &why)
{
    draft d(text);
    if (!d.whole(why))
        return 0;
    if (members.size() < 2 || members.size() > (size_t)MEMBER_MAX) {
        why = "a group is of 2 to " + std::to_string(MEMBER_MAX) + " primitives, not " +
              std::to_string(members.size());
        return 0;
    }
    std::vector<std::string> nums;
    for (size_t k = 0; k < members.size(); k++) {
        if (!d.has_prim(members[k], why))
            return 0;
        if (std::find(members.begin(), members.begin() + k, members[k]) != members.begin() + k) {
            why = "primitive " + std::to_string(members[k] + 1) +
                  " would be named twice in the group";
            return 0;
        }
        nums.push_back(number_text(members[k] + 1));
    }
    nums.push_back("-1");
    // after the last list, or after the primitive list's end when there is none
    const int first = d.groups.empty() ? d.list_end : d.groups.back().members.front();
    const int last = d.groups_end - 1;
    d.put_after(first, last, run_copy(text, d.st(), first, last, nums));
    return d.finish(d.primmx(), d.nlg(), out, why);
}

int add_to_group(const std::string &text, int g, int i, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.has_group(g, why) || !d.has_prim(i, why))
        return 0;
    const section_list &l = d.groups[g];
    const std::string name = "group " + std::to_string(g + 1);
    for (int k : l.members)
        if (d.number(k).value == i + 1) {
            why = "primitive " + std::to_string(i + 1) + " is in " + name + " already";
            return 0;
        }
    if ((int)l.members.size() >= MEMBER_MAX) {
        why = name + " has " + std::to_string(MEMBER_MAX) + " members, as many as a group takes";
        return 0;
    }
    const int last = l.members.back();
    d.put_after(last, last, run_copy(text, d.st(), last, last, {number_text(i + 1)}));
    return d.finish(d.primmx(), d.nlg(), out, why);
}

int remove_from_group(const std::string &text, int g, int i, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.has_group(g, why) || !d.has_prim(i, why))
        return 0;
    const std::vector<int> &m = d.groups[g].members;
    if (std::none_of(m.begin(), m.end(), [&](int k) { return d.number(k).value == i + 1; })) {
        why = "primitive " + std::to_string(i + 1) + " is not in group " + std::to_string(g + 1);
        return 0;
    }
    const int n = i + 1;
    d.renumber([n](int v) { return v == n ? 0 : v; }, g);
    return d.finish(d.primmx(), d.nlg(), out, why);
}

int ungroup(const std::string &text, int g, text_edit &out, std::string &why)
{
    draft d(text);
    if (!d.whole(why) || !d.has_group(g, why))
        return 0;
    d.take_out(d.groups[g].members.front(), d.groups[g].closer);
    return d.finish(d.primmx(), d.nlg(), out, why);
}
