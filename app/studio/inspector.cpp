#include "app/studio/inspector.h"

#include "scene/numin.h"

#include <cmath>
#include <cstdio>

namespace {

// The first field and the number of fields of an item's record.
bool record_fields(const outline_item &it, field_ref &first, int &count)
{
    switch (it.kind) {
    case OUT_CAMERA:
        first = field_ref{SEC_VIEW, 0, V_RX};
        count = V_IYMX + 1;
        return true;
    case OUT_LIGHT:
        first = field_ref{SEC_LIGHT, it.index, 0};
        count = LIGHT_FIELDS;
        return true;
    case OUT_DEPTH:
        first = field_ref{SEC_VIEW, 0, V_ILVLMX};
        count = 1;
        return true;
    case OUT_PRIMITIVE:
        first = field_ref{SEC_PRIM, it.index, 0};
        count = PRIM_FIELDS;
        return true;
    default:
        return false;
    }
}

// Decimals written after the point of a plain decimal number; -1 for one
// with an exponent or no digits.
int decimals_of(const std::string &text)
{
    if (text.find_first_of("eEnNiI") != std::string::npos)
        return -1;
    const size_t dot = text.find('.');
    return dot == std::string::npos ? 0 : (int)(text.size() - dot - 1);
}

} // namespace

std::vector<inspector_row> inspector_rows(const studio_reading &r, int item)
{
    std::vector<inspector_row> rows;
    field_ref f;
    int count = 0;
    if (item < 0 || item >= (int)r.outline.size() || !record_fields(r.outline[item], f, count))
        return rows;
    for (int k = 0; k < count; k++, f.field++) {
        text_span s;
        if (!field_span(r.st, f, s))
            continue; // the text ends before it
        const field_desc &d = field_info(f);
        inspector_row row{f,
                          field_name(f),
                          field_about(r.sc, f),
                          d.kind,
                          d.whole,
                          r.text.substr(s.at, s.len),
                          field_number(r.sc, f),
                          {}};
        const field_choice *list = nullptr;
        const int n = field_choices(f, &list);
        row.choices.assign(list, list + n);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string inspector_title(const studio_reading &r, int item)
{
    if (item < 0 || item >= (int)r.outline.size())
        return "";
    return r.outline[item].label;
}

std::string stepped_text(const std::string &text, bool whole, int steps)
{
    numin in(text.data(), text.size());
    int i = 0;
    double v = 0;
    // one number of the kind, and nothing after it
    if (!(whole ? scan_int(in, i) : scan_dbl(in, v)) || in.get() != EOF)
        return "";
    if (whole)
        return std::to_string((long long)i + steps);
    if (!std::isfinite(v))
        return "";
    int dec = decimals_of(text);
    if (dec < 0) { // 1e-3 and the like: a tenth of its size
        const double step =
            v != 0 ? std::pow(10.0, std::floor(std::log10(std::fabs(v)))) / 10 : 0.1;
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.6g", v + steps * step);
        return buf;
    }
    dec = dec < 1 ? 1 : dec;
    const double unit = std::pow(10.0, -dec);
    // in whole units of the last place, so that 0.1 + 0.2 gives "0.3"
    const double units = std::round(v / unit) + steps;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", dec, units * unit);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1); // "-0.0" is 0
    return s;
}
