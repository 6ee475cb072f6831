#include "textruns.h"

#include <algorithm>

namespace {

// The blanks before and after number k: from the end of the number before
// (the start of the text) to it, and from it to the next (the text's end).
text_span gap_before(const scene_text &st, int k)
{
    const size_t from = k ? st.numbers[k - 1].span.end() : 0;
    return text_span{from, st.numbers[k].span.at - from};
}

text_span gap_after(const std::string &text, const scene_text &st, int k)
{
    const size_t from = st.numbers[k].span.end();
    const size_t to = k + 1 < (int)st.numbers.size() ? st.numbers[k + 1].span.at : text.size();
    return text_span{from, to - from};
}

size_t newline_in(const std::string &text, const text_span &s)
{
    const size_t at = text.find('\n', s.at);
    return at < s.end() ? at : std::string::npos;
}

size_t last_newline_in(const std::string &text, const text_span &s)
{
    if (!s.len)
        return std::string::npos;
    const size_t at = text.rfind('\n', s.end() - 1);
    return at != std::string::npos && at >= s.at ? at : std::string::npos;
}

} // namespace

text_span run_stretch(const std::string &text, const scene_text &st, int first, int last)
{
    const text_span before = gap_before(st, first), after = gap_after(text, st, last);
    const size_t line_start = last_newline_in(text, before);
    const size_t line_end = newline_in(text, after);
    const bool starts_line = line_start != std::string::npos || first == 0;
    if (starts_line && line_end != std::string::npos) {
        const size_t at = line_start == std::string::npos ? 0 : line_start + 1;
        return text_span{at, line_end + 1 - at};
    }
    if (starts_line) {
        const size_t at = st.numbers[first].span.at;
        return text_span{at, after.end() - at};
    }
    return text_span{before.at, st.numbers[last].span.end() - before.at};
}

std::string number_gap(const std::string &text, const scene_text &st, int first, int last)
{
    auto same_line = [&](int k) {
        const text_span g = gap_after(text, st, k);
        return g.len && newline_in(text, g) == std::string::npos;
    };
    int k = first;
    while (k < last && !same_line(k))
        k++;
    if (k >= last)
        for (k = 0; k + 1 < (int)st.numbers.size() && !same_line(k);)
            k++;
    if (k + 1 >= (int)st.numbers.size())
        return " ";
    const text_span g = gap_after(text, st, k);
    return text.substr(g.at, g.len);
}

std::string run_copy(const std::string &text, const scene_text &st, int first, int last,
                     const std::vector<std::string> &nums)
{
    const text_span s = run_stretch(text, st, first, last);
    std::string out = text.substr(s.at, st.numbers[first].span.at - s.at);
    if ((int)nums.size() == last - first + 1) {
        for (int k = first; k <= last; k++) {
            out += nums[k - first];
            const size_t to = k < last ? st.numbers[k + 1].span.at : s.end();
            const size_t from = st.numbers[k].span.end();
            out += text.substr(from, std::max(to, from) - from);
        }
        return out;
    }
    const std::string gap = number_gap(text, st, first, last);
    for (size_t k = 0; k < nums.size(); k++)
        out += (k ? gap : "") + nums[k];
    const size_t from = st.numbers[last].span.end();
    return out + text.substr(from, std::max(s.end(), from) - from);
}

std::string apply_splices(const std::string &text, std::vector<splice> s)
{
    std::stable_sort(s.begin(), s.end(),
                     [](const splice &a, const splice &b) { return a.at < b.at; });
    std::string out;
    size_t at = 0;
    for (const splice &p : s) {
        out.append(text, at, p.at - at);
        out += p.with;
        at = p.at + p.len;
    }
    out.append(text, at, std::string::npos);
    return out;
}

text_edit edit_between(const std::string &before, const std::string &after)
{
    size_t head = 0;
    const size_t shorter = std::min(before.size(), after.size());
    while (head < shorter && before[head] == after[head])
        head++;
    size_t tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        tail++;
    return text_edit{head, before.substr(head, before.size() - head - tail),
                     after.substr(head, after.size() - head - tail)};
}
