#include "scenetext.h"

#include "numin.h"

#include "../base/msg.h"
#include "../base/sizes.h"

#include <algorithm>

void line_index::build(const char *text, size_t n)
{
    start.assign(1, 0);
    for (size_t i = 0; i < n; i++)
        if (text[i] == '\n')
            start.push_back(i + 1);
    size = n;
}

size_t line_index::offset(const place &p) const
{
    if (p.line < 1 || (size_t)p.line > start.size() || p.col < 1)
        return size;
    const size_t at = start[p.line - 1] + (size_t)(p.col - 1);
    const size_t next = (size_t)p.line < start.size() ? start[p.line] : size + 1;
    return at < next ? at : size;
}

place line_index::place_of(size_t at) const
{
    const size_t line = std::upper_bound(start.begin(), start.end(), at) - start.begin();
    return place{(int)line, (int)(at - start[line - 1] + 1)};
}

namespace {

// Reads numbers from offset `from` of a text as the reader does, knowing
// where each stands in the whole text.
struct tail_reader {
    const line_index &lines;
    size_t from;
    int base; // the line `from` is on
    numin in;

    tail_reader(const line_index &l, const char *text, size_t n, size_t at)
        : lines(l), from(at), base(l.place_of(at).line), in(text + at, n - at)
    {
    }
    // A place in the text read (line 1 begins at from) as an offset.
    size_t offset(int line, int col) const
    {
        return (line == 1 ? from : lines.start[base + line - 2]) + (size_t)(col - 1);
    }
    // One number of the kind given: its span in s; false at the end of
    // what can be read.
    bool number(bool whole, text_span &s, int &v)
    {
        double d;
        if (!(whole ? scan_int(in, v) : scan_dbl(in, d)))
            return false;
        s.at = offset(in.at_line, in.at_col);
        s.len = offset(in.line(), in.col()) - s.at;
        return true;
    }
};

// The end of the number of the kind given that begins at `at`.
size_t number_end(const line_index &lines, const char *text, size_t n, size_t at, bool whole)
{
    tail_reader r(lines, text, n, at);
    text_span s;
    int v;
    return r.number(whole, s, v) ? s.end() : at;
}

// What follows the last record: records beyond PRIM_MAX, the list's
// terminator and the groups, as the reader takes them.
void index_tail(scene_text &out, const char *text, size_t n, size_t from)
{
    tail_reader R(out.lines, text, n, from);
    text_span s;
    int t, v;
    auto put = [&](int kind, field_ref f = {}, int group = 0, int member = 0) {
        text_number num;
        num.span = s, num.kind = kind, num.field = f;
        num.group = group, num.member = member, num.value = t;
        out.numbers.push_back(num);
    };
    // records the table has no room for are read, and dropped
    if (!R.number(true, s, t))
        return;
    for (int i = PRIM_MAX; t >= 0; i++) {
        put(NUM_DROPPED, field_ref{SEC_PRIM, i, P_TYPE});
        for (int k = P_SURF; k < PRIM_FIELDS; k++) {
            const field_ref f{SEC_PRIM, i, k};
            if (!R.number(field_info(f).whole, s, v))
                return;
            put(NUM_DROPPED, f);
        }
        if (!R.number(true, s, t))
            return;
    }
    put(NUM_LIST_END);
    if (!R.number(true, s, t))
        return;
    for (int g = 1; t >= 0; g++) {
        for (int m = 1; t >= 0 && m <= MEMBER_MAX; m++) {
            put(NUM_MEMBER, {}, g, m);
            if (!R.number(true, s, t))
                return;
        }
        // a negative number ends the group; after MEMBER_MAX members the
        // number read is dropped unexamined
        put(t < 0 ? NUM_GROUP_END : NUM_OVERFLOW, {}, g);
        if (!R.number(true, s, t))
            return;
    }
    put(NUM_GROUPS_END);
}

} // namespace

void index_scene_text(scene_text &out, const char *text, size_t n, const scene &sc,
                      const scene_map &map)
{
    out.lines.build(text, n > (size_t)SCENE_FILE_MAX ? 0 : n);
    out.lines.size = n;
    out.numbers.clear();
    out.light.clear();
    out.prim.clear();
    std::fill(std::begin(out.view), std::end(out.view), -1);
    if (n > (size_t)SCENE_FILE_MAX)
        return; // a text the reader does not read (rtread.h)
    auto add = [&](const field_ref &f, const place &p) {
        if (!p.line)
            return false;
        text_number num;
        num.field = f;
        num.span.at = out.lines.offset(p);
        num.span.len =
            number_end(out.lines, text, n, num.span.at, field_info(f).whole) - num.span.at;
        if (!num.span.len)
            return false; // where a read failed: no number stands there
        out.numbers.push_back(num);
        return true;
    };
    for (int k = 0; k < V_ILVLMX; k++)
        if (add(field_ref{SEC_VIEW, 0, k}, map.view[k]))
            out.view[k] = (int)out.numbers.size() - 1;
    const int nlg = std::clamp(sc.nlg, 0, LIGHT_MAX);
    for (int j = 0; j < nlg && map.light[j][L_X].line; j++) {
        out.light.push_back((int)out.numbers.size());
        for (int k = 0; k < LIGHT_FIELDS; k++)
            add(field_ref{SEC_LIGHT, j, k}, map.light[j][k]);
    }
    if (add(field_ref{SEC_VIEW, 0, V_ILVLMX}, map.view[V_ILVLMX]))
        out.view[V_ILVLMX] = (int)out.numbers.size() - 1;
    const int primmx = std::clamp(sc.primmx, 0, PRIM_MAX);
    for (int i = 0; i < primmx && map.prim[i][P_TYPE].line; i++) {
        out.prim.push_back((int)out.numbers.size());
        for (int k = 0; k < PRIM_FIELDS; k++)
            add(field_ref{SEC_PRIM, i, k}, map.prim[i][k]);
    }
    if (map.records_ended && out.view[V_ILVLMX] >= 0)
        index_tail(out, text, n, out.numbers.back().span.end());
}

const text_number *number_at(const scene_text &t, size_t at)
{
    auto after = std::upper_bound(t.numbers.begin(), t.numbers.end(), at,
                                  [](size_t a, const text_number &n) { return a < n.span.at; });
    if (after == t.numbers.begin())
        return nullptr;
    const text_number &n = *(after - 1);
    return at <= n.span.end() ? &n : nullptr;
}

bool field_span(const scene_text &t, const field_ref &f, text_span &out)
{
    int i = -1;
    if (f.sec == SEC_VIEW && f.field >= 0 && f.field < VIEW_FIELDS)
        i = t.view[f.field];
    else if (f.sec == SEC_LIGHT && f.index >= 0 && f.index < (int)t.light.size())
        i = t.light[f.index] + f.field;
    else if (f.sec == SEC_PRIM && f.index >= 0 && f.index < (int)t.prim.size())
        i = t.prim[f.index] + f.field;
    if (i < 0 || i >= (int)t.numbers.size() || !(t.numbers[i].field == f))
        return false;
    out = t.numbers[i].span;
    return true;
}

std::string number_name(const scene &sc, const text_number &n)
{
    const std::string g = "group " + std::to_string(n.group);
    switch (n.kind) {
    case NUM_FIELD:
        return record_name(sc, n.field) + ", " + field_name(n.field) + ": " +
               field_about(sc, n.field);
    case NUM_LIST_END:
        return "the end of the primitive list";
    case NUM_MEMBER:
        if (n.value < 1 || n.value > sc.primmx)
            return g + ", member " + std::to_string(n.member) + ": " + std::to_string(n.value) +
                   " is no primitive number (1 to " + std::to_string(sc.primmx) + "); left out";
        return g + ", member " + std::to_string(n.member) + ": " +
               record_name(sc, field_ref{SEC_PRIM, n.value - 1, P_TYPE});
    case NUM_GROUP_END:
        return "the end of " + g;
    case NUM_OVERFLOW:
        return g + ": the number after member " + std::to_string(MEMBER_MAX) +
               ", dropped (a group takes at most " + std::to_string(MEMBER_MAX) + ")";
    case NUM_GROUPS_END:
        return "the end of the groups";
    default:
        return "primitive " + std::to_string(n.field.index + 1) + ", " + field_name(n.field) +
               ": beyond the first " + std::to_string(PRIM_MAX) + " primitives, not used";
    }
}

std::unique_ptr<text_reading> read_scene_text(const std::string &text)
{
    auto r = std::make_unique<text_reading>();
    msglist msgs;
    data_load_text(r->sc, text.data(), text.size(), msgs, &r->map);
    index_scene_text(r->st, text.data(), text.size(), r->sc, r->map);
    return r;
}
