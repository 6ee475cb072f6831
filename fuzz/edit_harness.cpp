// edit_input (harness.h): field edits of a scene's text.
#include "check.h"
#include "harness.h"

#include "../base/msg.h"
#include "../scene/fields.h"
#include "../scene/numin.h"
#include "../scene/rtread.h"
#include "../scene/scenetext.h"
#include "../scene/textedit.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr size_t EDITS_MAX = 8; // each edit reads the text twice

// A text read as the studio reads it (about 60 KB: off the stack).
struct reading {
    scene sc;
    scene_map map;
    scene_text st;
};

std::unique_ptr<reading> read_text(const std::string &text)
{
    auto r = std::make_unique<reading>();
    msglist msgs;
    data_load_text(r->sc, text.data(), text.size(), msgs, &r->map);
    index_scene_text(r->st, text.data(), text.size(), r->sc, r->map);
    return r;
}

// One "FIELD=VALUE" line; a field name that does not parse is refused in
// one line and dropped.
void add_edit(const std::string &line, std::vector<field_value> &values)
{
    const size_t eq = line.find('=');
    field_ref f;
    std::string why;
    if (eq == std::string::npos || !parse_field(line.substr(0, eq).c_str(), f, why)) {
        CHECK(eq == std::string::npos || (!why.empty() && why.find('\n') == std::string::npos));
        return;
    }
    if (values.size() < EDITS_MAX)
        values.push_back({f, line.substr(eq + 1)});
}

// The edits and the text of an input.
void split(const std::string &in, std::vector<field_value> &values, std::string &text)
{
    const size_t sep = in.compare(0, 3, "%%\n") == 0 ? 0 : in.find("\n%%\n");
    if (sep == std::string::npos) {
        text = in;
        for (const char *e : {"view.wdu=2", "light[1].bright=0.5", "primitive[1].col.r=200"})
            add_edit(e, values);
        return;
    }
    text = in.substr(sep == 0 ? 3 : sep + 4);
    for (size_t at = 0; at < sep;) {
        const size_t nl = std::min(in.find('\n', at), sep);
        add_edit(in.substr(at, nl - at), values);
        at = nl + 1;
    }
}

// The number a value's text reads as, for field f.
double value_of(const field_ref &f, const std::string &text)
{
    numin in(text.data(), text.size());
    int i = 0;
    double d = 0;
    if (field_info(f).whole)
        return scan_int(in, i) ? i : 0;
    return scan_dbl(in, d) ? d : 0;
}

bool is_axis(const scene &sc, const field_ref &f)
{
    return f.sec == SEC_PRIM &&
           (sc.pri[f.index].type == PRIM_QUADRIC || sc.pri[f.index].type == PRIM_CONE) &&
           f.field >= P_GX && f.field <= P_GZ;
}

double axis(const vec &v, int field) { return field == P_GX ? v.x : field == P_GY ? v.y : v.z; }

// An edit made: the text with exactly the edited numbers replaced, which
// reads back with those numbers and every other as it was, and whose undo
// gives the text back.
void check_edit(const std::string &text, const reading &was, const std::vector<field_value> &values,
                const text_edit &e)
{
    // each field's last value, at its place in the text, from the end
    std::vector<std::pair<text_span, const field_value *>> last;
    for (const field_value &v : values) {
        text_span s;
        CHECK(field_span(was.st, v.field, s));
        auto same = [&](const auto &p) { return p.first.at == s.at; };
        auto it = std::find_if(last.begin(), last.end(), same);
        if (it != last.end())
            it->second = &v;
        else
            last.push_back({s, &v});
    }
    std::sort(last.begin(), last.end(),
              [](const auto &a, const auto &b) { return a.first.at > b.first.at; });
    std::string expect = text;
    for (const auto &p : last)
        expect.replace(p.first.at, p.first.len, p.second->text);

    std::string got = text;
    CHECK(apply_edit(got, e));
    CHECK(got == expect);
    std::string back = got;
    CHECK(apply_edit(back, undo_of(e)) && back == text);

    // read back: the edited numbers as their values say, every other kept
    const std::unique_ptr<reading> now = read_text(got);
    std::vector<field_ref> edited;
    for (const auto &p : last) {
        const field_ref &f = p.second->field;
        edited.push_back(f);
        // the model keeps the lights it read, not nlg as written (an edit
        // of it stands only where the lights are cut short anyway)
        if (f.sec == SEC_VIEW && f.field == V_NLG)
            continue;
        const double v = value_of(f, p.second->text);
        CHECK(same_bits(is_axis(now->sc, f) ? axis(now->map.axes[f.index], f.field)
                                            : field_number(now->sc, f),
                        v));
    }
    CHECK(now->map.records_ended == was.map.records_ended);
    CHECK(same_numbers(was.sc, now->sc, was.map.axes, now->map.axes, &edited));
}

// The camera moved as the mouse moves it, to numbers taken from the
// input, and written into the text: the text then reads back to that
// camera, every other number kept.
void move_camera(const std::string &text, const reading &was, const uint8_t *data, size_t n)
{
    static const double steps[] = {0, 1, -1, 0.1, 1e-7, 3.5e10, 1e300, -0.0};
    auto moved = std::make_unique<scene>(was.sc);
    std::vector<field_ref> camera;
    for (int k = V_RX; k <= V_WDU; k++) {
        const field_ref f{SEC_VIEW, 0, k};
        camera.push_back(f);
        const uint8_t b = n ? data[(size_t)k * 7 % n] : 0;
        double *v[] = {&moved->rx,    &moved->ry,    &moved->rz,      &moved->vpnax,
                       &moved->vpnay, &moved->vpnaz, &moved->dlength, &moved->wdu};
        if (b & 1)
            *v[k] = *v[k] * (1 + steps[b >> 5]) + steps[(b >> 1) & 7];
    }
    text_edit e;
    std::string why;
    if (!model_edit(text, *moved, camera, e, why)) {
        CHECK(!why.empty() && why.find('\n') == std::string::npos);
        return;
    }
    std::string got = text;
    CHECK(apply_edit(got, e));
    const std::unique_ptr<reading> now = read_text(got);
    CHECK(same_numbers(*moved, now->sc, was.map.axes, now->map.axes));
}

} // namespace

void edit_input(const uint8_t *data, size_t n)
{
    std::vector<field_value> values;
    std::string text;
    split(std::string((const char *)data, n), values, text);
    const std::unique_ptr<reading> was = read_text(text);
    text_edit e;
    std::string why;
    if (field_edit(text, values, e, why))
        check_edit(text, *was, values, e);
    else
        CHECK(!why.empty() && why.find('\n') == std::string::npos);
    move_camera(text, *was, data, n);
}
