#include "app/studio/studio_doc.h"

#include "scene/check.h"
#include "scene/layout.h"
#include "scene/rtread.h"

#include <algorithm>
#include <map>

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The column a byte of a line is shown at, tabs stopping every `tab`.
int shown_column(const std::string &text, size_t line_start, size_t at, int tab)
{
    int col = 0;
    for (size_t i = line_start; i < at; i++)
        col = text[i] == '\t' ? (col / tab + 1) * tab : col + 1;
    return col;
}

// Puts name on the first row where it can begin at col with a blank
// before it.
void place_name(std::vector<std::string> &rows, int col, const std::string &name)
{
    for (std::string &row : rows) {
        if (row.empty() || (int)row.size() + 1 <= col) {
            row.resize((size_t)col, ' ');
            row += name;
            return;
        }
    }
    rows.push_back(std::string((size_t)col, ' ') + name);
}

} // namespace

std::unique_ptr<studio_reading> read_studio_text(const std::string &text, const std::string &file)
{
    auto r = std::make_unique<studio_reading>();
    r->text = text;
    r->file = file;
    // Read, check and index the text
    data_load_text(r->sc, text.data(), text.size(), r->msgs, &r->map);
    check_scene(r->sc, &r->map, r->msgs);
    check_layout(text.data(), text.size(), r->msgs);
    index_scene_text(r->st, text.data(), text.size(), r->sc, r->map);
    scene_outline(r->outline, r->sc, r->map, r->st);
    r->complete = r->map.records_ended;

    // Place every finding in the text
    for (const msg &m : r->msgs.lines) {
        studio_mark k;
        k.line = m.line;
        k.col = m.col;
        k.text = msg_text(file.c_str(), m);
        text_span s;
        if (m.line > 0 && mark_span(text, r->st.lines, m.line, m.col, s)) {
            k.at = s.at;
            k.len = s.len;
        }
        r->marks.push_back(k);
    }
    if (r->msgs.lost) {
        studio_mark more;
        more.text = "(and " + std::to_string(r->msgs.lost) + " more)";
        r->marks.push_back(more);
    }

    // The numbers in order are the scene
    r->key = numbers_key(text, r->st);
    return r;
}

std::string numbers_key(const std::string &text, const scene_text &st)
{
    std::string key;
    for (const text_number &n : st.numbers)
        key.append(text, n.span.at, n.span.len).push_back(' ');
    return key;
}

bool mark_span(const std::string &text, const line_index &lines, int line, int col, text_span &out)
{
    size_t at = lines.offset(place{line, col > 0 ? col : 1});
    if (at >= text.size()) {
        // where the file ended: its last byte that is no blank
        at = text.size();
        while (at > 0 && blank(text[at - 1]))
            at--;
        if (at == 0)
            return false;
        out = text_span{at - 1, 1};
        return true;
    }
    size_t end = at;
    while (end < text.size() && !blank(text[end]))
        end++;
    out = text_span{at, end > at ? end - at : 1};
    return true;
}

std::string name_at(const studio_reading &r, size_t at)
{
    const text_number *n = number_at(r.st, at);
    return n ? number_name(r.sc, *n) : std::string();
}

int item_at(const studio_reading &r, size_t at)
{
    for (size_t i = 0; i < r.outline.size(); i++) {
        const text_span &s = r.outline[i].span;
        if (s.len && at >= s.at && at <= s.end())
            return (int)i;
    }
    return -1;
}

int find_item(const studio_reading &r, int kind, int index)
{
    for (size_t i = 0; i < r.outline.size(); i++)
        if (r.outline[i].kind == kind && r.outline[i].index == index)
            return (int)i;
    return -1;
}

std::vector<hint_line> field_hints(const studio_reading &r, int item, int tab)
{
    std::vector<hint_line> out;
    if (item < 0 || item >= (int)r.outline.size())
        return out;
    const outline_item &it = r.outline[item];
    if (it.kind == OUT_GROUP || !it.span.len)
        return out;
    std::map<int, std::vector<std::string>> rows; // by line
    for (const text_number &n : r.st.numbers) {
        if (n.kind != NUM_FIELD || n.span.at < it.span.at || n.span.end() > it.span.end())
            continue;
        const int line = r.st.lines.place_of(n.span.at).line;
        const size_t start = r.st.lines.start[line - 1];
        place_name(rows[line], shown_column(r.text, start, n.span.at, tab), field_name(n.field));
    }
    for (auto &lr : rows)
        out.push_back(hint_line{lr.first, std::move(lr.second)});
    return out;
}

int next_mark(const std::vector<studio_mark> &marks, size_t caret, bool selected)
{
    int first = -1;
    for (int i = 0; i < (int)marks.size(); i++) {
        if (!marks[i].len)
            continue;
        if (first < 0)
            first = i;
        if (marks[i].at > caret || (marks[i].at == caret && !selected))
            return i;
    }
    return first;
}

size_t moved_position(size_t pos, const text_edit &e)
{
    const size_t old_end = e.at + e.old_text.size();
    if (pos <= e.at)
        return pos;
    if (pos >= old_end)
        return pos - e.old_text.size() + e.new_text.size();
    return std::min(pos, e.at + e.new_text.size());
}
