#include "textedit.h"

#include "numin.h"
#include "rtwrite.h"
#include "scenetext.h"

#include "../base/msg.h"
#include "../base/sizes.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

using reading = text_reading;

std::unique_ptr<reading> read_text(const std::string &text) { return read_scene_text(text); }

std::string token(const std::string &text, const text_number &n)
{
    return text.substr(n.span.at, n.span.len);
}

// b, read from b_text, is a, read from a_text, with field f's number
// written as value and every other number as it was.
bool same_reading(const reading &a, const std::string &a_text, const reading &b,
                  const std::string &b_text, const field_ref &f, const std::string &value)
{
    if (a.st.numbers.size() != b.st.numbers.size() || a.sc.nlg != b.sc.nlg ||
        a.sc.primmx != b.sc.primmx || a.map.records_ended != b.map.records_ended)
        return false;
    for (size_t i = 0; i < a.st.numbers.size(); i++) {
        const text_number &x = a.st.numbers[i], &y = b.st.numbers[i];
        if (x.kind != y.kind || !(x.field == y.field) || x.group != y.group ||
            x.member != y.member || x.value != y.value)
            return false;
        const bool edited = x.kind == NUM_FIELD && x.field == f;
        if (token(b_text, y) != (edited ? value : token(a_text, x)))
            return false;
    }
    for (int i = 0; i < a.sc.primmx && i < PRIM_MAX; i++)
        if (!same_partners(a.sc.pri[i], b.sc.pri[i]))
            return false;
    return true;
}

// Why field f has no number in the text read.
std::string not_there(const reading &r, const field_ref &f)
{
    if (f.sec == SEC_LIGHT)
        return field_text(f) + ": the scene has " + std::to_string(r.st.light.size()) +
               (r.st.light.size() == 1 ? " light" : " lights");
    if (f.sec == SEC_PRIM)
        return field_text(f) + ": the scene has " + std::to_string(r.st.prim.size()) +
               (r.st.prim.size() == 1 ? " primitive" : " primitives");
    return field_text(f) + ": the file ends before it";
}

// A text the reader does not read (rtread.h) has no numbers to edit.
bool too_long(const std::string &text, std::string &why)
{
    if (text.size() <= (size_t)SCENE_FILE_MAX)
        return false;
    why = "the scene's text is more than the " + std::to_string(SCENE_FILE_MAX >> 20) +
          " MB KORU reads";
    return true;
}

} // namespace

bool apply_edit(std::string &text, const text_edit &e)
{
    if (e.at > text.size() || text.compare(e.at, e.old_text.size(), e.old_text) != 0)
        return false;
    text.replace(e.at, e.old_text.size(), e.new_text);
    return true;
}

text_edit undo_of(const text_edit &e) { return text_edit{e.at, e.new_text, e.old_text}; }

bool value_fits(const field_ref &f, const std::string &text, std::string &why)
{
    const std::string name = field_text(f);
    const bool whole = field_info(f).whole;
    numin in(text.data(), text.size());
    int i = 0;
    double d = 0;
    const bool ok = whole ? scan_int(in, i) : scan_dbl(in, d);
    const bool one = ok && in.at_line == 1 && in.at_col == 1 && in.get() == EOF;
    if (text.empty()) {
        why = name + ": no value given";
    } else if (whole && ok && in.at_col == 1 && !one && text.find_first_of(".eE") != text.npos) {
        why = name + " is read as a whole number: \"" + text + "\" would be read as " +
              std::to_string(i) + ", the rest as another number";
    } else if (!one) {
        why = name + ": \"" + text + "\" is not " + (whole ? "a whole number" : "a number");
    } else if (whole && in.clamped) {
        why = name + ": " + text + " is beyond the whole numbers KORU reads (" +
              std::to_string(INT_MIN) + " to " + std::to_string(INT_MAX) + ")";
    } else if (!whole && std::isinf(d) && text.find_first_of("iI") == text.npos) {
        why = name + ": " + text + " is too large: it would be read as " + (d > 0 ? "inf" : "-inf");
    } else {
        return true;
    }
    return false;
}

int field_edit(const std::string &text, const std::vector<field_value> &values, text_edit &out,
               std::string &why)
{
    if (too_long(text, why))
        return 0;
    const std::unique_ptr<reading> first = read_text(text);
    std::unique_ptr<reading> now;
    const reading *cur = first.get();
    std::string edited = text;
    size_t from = text.size(), to = 0; // the numbers changed, in text
    for (const field_value &v : values) {
        if (!value_fits(v.field, v.text, why))
            return 0;
        text_span was, at;
        if (!field_span(first->st, v.field, was) || !field_span(cur->st, v.field, at)) {
            why = not_there(*first, v.field);
            return 0;
        }
        std::string next_text = edited;
        next_text.replace(at.at, at.len, v.text);
        std::unique_ptr<reading> next = read_text(next_text);
        if (!same_reading(*cur, edited, *next, next_text, v.field, v.text)) {
            why = field_text(v.field) + "=" + v.text +
                  " would change how the numbers after it are read";
            if (v.field.sec == SEC_VIEW && v.field.field == V_NLG)
                why += " (the lights' records follow nlg: add or remove them by hand)";
            return 0;
        }
        edited.swap(next_text);
        now = std::move(next);
        cur = now.get();
        from = std::min(from, was.at);
        to = std::max(to, was.end());
    }
    out = text_edit{};
    if (from < to) {
        out.at = from;
        out.old_text = text.substr(from, to - from);
        out.new_text = edited.substr(from, edited.size() - (text.size() - to) - from);
    }
    return 1;
}

int model_edit(const std::string &text, const scene &sc, const std::vector<field_ref> &fields,
               text_edit &out, std::string &why)
{
    if (too_long(text, why))
        return 0;
    const std::unique_ptr<reading> now = read_text(text);
    std::vector<field_value> values;
    for (const field_ref &f : fields) {
        text_span s;
        if (!field_span(now->st, f, s)) {
            why = not_there(*now, f);
            return 0;
        }
        const double want = field_number(sc, f), has = field_number(now->sc, f);
        if (std::memcmp(&want, &has, sizeof want) == 0)
            continue;
        field_value v{f, field_number_text(sc, f)};
        if (v.text.empty()) {
            why = field_text(f) + ": no number in a file gives the value " + number_text(want);
            return 0;
        }
        values.push_back(v);
    }
    return field_edit(text, values, out, why);
}
