#include "harness.h"
#include "check.h"

#include "../cli/info_json.h"
#include "../base/msg.h"
#include "../image/display.h"
#include "../image/picfile.h"
#include "../image/rgb.h"
#include "../scene/check.h"
#include "../scene/explain.h"
#include "../scene/outline.h"
#include "../scene/rtread.h"
#include "../scene/scene.h"
#include "../scene/structedit.h"
#include "../scene/textedit.h"
#include "../trace/bounds.h"
#include "../trace/render.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

void broken(const char *what)
{
    std::fprintf(stderr, "harness: %s\n", what);
    std::abort();
}

namespace {

// The camera and size that a render reads or writes.
struct view {
    double vx, vy, vz;
    int w, h, depth;
    vec u, v;
};

view view_of(const scene &sc)
{
    return view{sc.vpnax, sc.vpnay, sc.vpnaz, sc.ixmx, sc.iymx, sc.ilvlmx, sc.uvec, sc.vvec};
}

void set_view(scene &sc, const view &s)
{
    sc.vpnax = s.vx, sc.vpnay = s.vy, sc.vpnaz = s.vz;
    sc.ixmx = s.w, sc.iymx = s.h, sc.ilvlmx = s.depth;
    sc.uvec = s.u, sc.vvec = s.v;
}

bool same_vec(const vec &a, const vec &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0; // bit for bit: NaN and -0 too
}

bool same_view(const view &a, const view &b)
{
    return same_vec({a.vx, a.vy, a.vz}, {b.vx, b.vy, b.vz}) && a.w == b.w && a.h == b.h &&
           a.depth == b.depth && same_vec(a.u, b.u) && same_vec(a.v, b.v);
}

void check_model(const scene &sc)
{
    CHECK(sc.primmx >= 0 && sc.primmx <= PRIM_MAX);
    CHECK(sc.nlg <= LIGHT_MAX);
    for (int i = 0; i < sc.primmx; i++) {
        CHECK(sc.pri[i].nmem >= 0 && sc.pri[i].nmem < MEMBER_MAX);
        for (int m = 0; m < sc.pri[i].nmem; m++)
            CHECK(sc.pri[i].mem[m] >= 0 && sc.pri[i].mem[m] < sc.primmx);
    }
}

void check_json(const scene &sc, const msglist &msgs)
{
    static std::string text; // its room kept from input to input
    info_json_text(text, sc, msgs);
    CHECK(!text.empty() && text.back() == '\n');
    CHECK(json_valid(text.data(), text.size()));
}

// Every line that names a place names one in the text of n bytes: a line
// of it and a column up to one past its end, or where the text ended.
void check_places(const msglist &msgs, const uint8_t *data, size_t n)
{
    static std::vector<size_t> starts; // where each line begins, and n + 1
    starts.clear();
    for (const msg &m : msgs.lines) {
        CHECK((m.line == 0) == (m.col == 0));
        if (!m.line)
            continue;
        if (starts.empty()) {
            starts.push_back(0);
            for (const uint8_t *p = data, *end = data + n;;) {
                const void *nl = std::memchr(p, '\n', (size_t)(end - p));
                if (!nl)
                    break;
                p = (const uint8_t *)nl + 1;
                starts.push_back((size_t)(p - data));
            }
            starts.push_back(n + 1);
        }
        CHECK(m.line >= 1 && (size_t)m.line < starts.size());
        const size_t len = starts[m.line] - starts[m.line - 1] - 1; // newline aside
        CHECK(m.col >= 1 && (size_t)m.col <= len + 1);
    }
}

// A tiny picture whose work stays small whatever the scene asks: at most
// 16 x 12 dots, depth at most 4 and lower while glass everywhere could
// make it too slow to fuzz. per_dot: dots traced for each dot of the
// picture (anti-aliasing, an anaglyph's two eyes).
void bound_view(scene &sc, int per_dot)
{
    if (sc.ixmx > 16)
        sc.ixmx = 16;
    if (sc.iymx > 12)
        sc.iymx = 12;
    if (sc.ilvlmx > 4)
        sc.ilvlmx = 4;
    long long dots = sc.ixmx > 0 && sc.iymx > 0 ? (long long)sc.ixmx * sc.iymx * per_dot : 0;
    long long tests = (long long)sc.primmx * (1 + (sc.nlg > 0 ? sc.nlg : 0));
    while (sc.ilvlmx > 0 && dots * ((2LL << sc.ilvlmx) - 1) * tests > 2000000)
        sc.ilvlmx--;
}

// A render of sc as the window makes one: when it is done, the frame is
// written back to sc and the picture kept in pic.
int render_kept(scene &sc, int stereo, const render_options &base, picture &pic)
{
    render_options opt = base;
    opt.stereo = stereo;
    render_job job(sc, opt);
    int rc = job.run();
    if (rc == RAY_DONE) {
        apply_frame(sc, job.view());
        pic = job.result();
    }
    return rc;
}

} // namespace

int render_each_way(scene &sc, int stereo, int aa, bool anaglyph)
{
    const view before = view_of(sc);
    render_options plain;
    plain.plain = true;
    plain.aa = aa;
    plain.anaglyph = anaglyph;
    picture a;
    int rc = render_kept(sc, stereo, plain, a);
    CHECK(rc == RAY_DONE || rc == RAY_NOVIEW || rc == RAY_TOODEEP);
    const view after = view_of(sc);
    if (rc != RAY_DONE)
        CHECK(same_view(before, after));
    else
        CHECK(sc.ixmx <= WIDTH_MAX && sc.iymx <= HEIGHT_MAX);

    // the accelerated tracer on two threads, on every path of the lights
    // this processor runs
    for (int path = KERNELS_SCALAR; path <= kernel_path_best(); path++) {
        render_options two;
        two.threads = 2;
        two.kernels = path;
        two.aa = aa;
        two.anaglyph = anaglyph;
        picture b;
        set_view(sc, before);
        CHECK(render_kept(sc, stereo, two, b) == rc);
        CHECK(same_view(after, view_of(sc)));
        if (rc == RAY_DONE) {
            CHECK(a.w == b.w && a.h == b.h);
            CHECK(a.r == b.r && a.g == b.g && a.b == b.b);
        }
    }
    return rc;
}

const char *input_file(const char *name, const uint8_t *data, size_t n)
{
    // one file per name and process, made once, in a folder of its own
    // that goes with the file when the process exits
    struct slot {
        std::string name, dir, path;
        ~slot()
        {
            if (!dir.empty()) {
                std::remove(path.c_str());
                rmdir(dir.c_str());
            }
        }
    };
    static slot slots[8];
    slot *s = nullptr;
    for (slot &t : slots)
        if (t.name == name || t.name.empty()) {
            s = &t;
            break;
        }
    CHECK(s);
    if (s->name.empty()) {
        const char *dir = std::getenv("TMPDIR");
        std::string templ = std::string(dir && *dir ? dir : "/tmp") + "/koru-fuzz-XXXXXX";
        CHECK(mkdtemp(&templ[0]));
        s->name = name;
        s->dir = templ;
        s->path = templ + "/" + name;
    }
    std::FILE *f = std::fopen(s->path.c_str(), "wb");
    CHECK(f);
    CHECK(n == 0 || std::fwrite(data, 1, n, f) == n); // an empty file: data may be null
    CHECK(std::fclose(f) == 0);
    return s->path.c_str();
}

void scene_input(const uint8_t *data, size_t n)
{
    static scene sc; // 35 KB: out of the stack
    sc = scene{};
    msglist msgs;
    CHECK(data_load(sc, input_file("in.RT", data, n), msgs) == 1);
    check_model(sc);
    check_json(sc, msgs);
    // one input in three anti-aliased, one in five an anaglyph
    const int aa = n % 3 == 2 ? 2 : 1;
    const bool anaglyph = n % 5 == 3;
    bound_view(sc, aa * aa * (anaglyph ? 2 : 1));
    // the SETTING dialog may set any stereo eye offset
    const double offsets[] = {0.16, 0, -2, 1e308, std::nan("")};
    sc.length3d = offsets[(n / 2) % 5];
    CHECK(render_each_way(sc, n & 1, aa, anaglyph) != RAY_TOODEEP);
}

// The start-up state of what a file sets, the tables aside: the reader
// writes every field of each light and record it counts, and nothing
// reads beyond the counts, so clearing 35 KB per input buys nothing.
static void fresh_view(scene &sc)
{
    static const scene start{};
    sc.primmx = start.primmx, sc.nlg = start.nlg;
    sc.rx = start.rx, sc.ry = start.ry, sc.rz = start.rz;
    sc.vpnax = start.vpnax, sc.vpnay = start.vpnay, sc.vpnaz = start.vpnaz;
    sc.dlength = start.dlength, sc.wdu = start.wdu;
    sc.ixmx = start.ixmx, sc.iymx = start.iymx, sc.ilvlmx = start.ilvlmx;
    sc.uvec = start.uvec, sc.vvec = start.vvec, sc.length3d = start.length3d;
}

namespace {

// The studio's view of the same text: every number in it, in order, found
// again by its place and named; the outline within the text; a field
// changed and changed back.
void studio_text(const scene &sc, const scene_map &map, const uint8_t *data, size_t n)
{
    static scene_text st;
    const char *text = (const char *)data;
    index_scene_text(st, text, n, sc, map);
    size_t end = 0;
    for (const text_number &t : st.numbers) {
        CHECK(t.span.len > 0 && t.span.at >= end && t.span.end() <= n);
        end = t.span.end();
        CHECK(number_at(st, t.span.at) == &t);
        CHECK(!number_name(sc, t).empty());
    }
    static std::vector<outline_item> items;
    scene_outline(items, sc, map, st);
    for (const outline_item &it : items)
        CHECK(it.span.end() <= n);
    const std::string before(text, n);
    std::string after = before;
    text_edit e;
    std::string why;
    if (field_edit(before, {{field_ref{SEC_VIEW, 0, V_WDU}, "2"}}, e, why)) {
        CHECK(apply_edit(after, e));
        CHECK(apply_edit(after, undo_of(e)) && after == before);
    }
    // a record copied and the copy deleted gives back the bytes; a group
    // made and unmade too (on one input in 8: each reads the text anew)
    if (n % 8 || sc.primmx < 2)
        return;
    // a group number written as "+5" or "09" comes back as "+5", but as
    // "9" by way of "10"
    const bool plain = std::all_of(st.numbers.begin(), st.numbers.end(), [&](auto &t) {
        return t.kind != NUM_MEMBER ||
               before.substr(t.span.at, t.span.len) == std::to_string(t.value);
    });
    after = before;
    if (duplicate_primitive(before, 0, e, why) && plain) {
        CHECK(apply_edit(after, e));
        CHECK(delete_primitive(after, 1, e, why) && apply_edit(after, e) && after == before);
    }
    if (make_group(before, {1, 0}, e, why)) {
        after = before;
        CHECK(apply_edit(after, e));
        const int g = (int)std::count_if(st.numbers.begin(), st.numbers.end(), [](auto &t) {
            return t.kind == NUM_GROUP_END || t.kind == NUM_OVERFLOW;
        });
        CHECK(ungroup(after, g, e, why) && apply_edit(after, e) && after == before);
    }
}

} // namespace

void reader_input(const uint8_t *data, size_t n)
{
    static scene sc; // 35 KB: out of the stack
    static scene_map map;
    fresh_view(sc);
    msglist msgs, found;
    CHECK(data_load_text(sc, (const char *)data, n, msgs, &map) == 1);
    check_model(sc);
    check_places(msgs, data, n);
    check_json(sc, msgs);
    for (int i = 0; i < sc.primmx; i++) {
        aabb box;
        prim_bounds(box, sc, i);
    }
    check_scene(sc, &map, found);
    check_places(found, data, n);
    static std::string text;
    explain_scene(text, sc, &map);
    CHECK(!text.empty() && text.back() == '\n');
    studio_text(sc, map, data, n);
}

namespace {

dotgrid grid;
planes pl;
diffusion diff;

// One conversion of a w x h picture at zoom and mode, and what painting
// and printing would take from it.
void convert(int w, int h, int zoom, int mode)
{
    CHECK(show_dots(grid, diff, pl, w, h, zoom, mode) == 1);
    int W, H;
    disp_size(w, h, zoom, W, H);
    CHECK(grid.w == W && grid.h == H);
    CHECK(W >= 0 && W <= WIDTH_MAX && H >= 0 && H <= HEIGHT_MAX);
    const unsigned most = grid.mode == 0 ? 7 : grid.mode == 1 ? 255 : 0xffffff;
    for (int i = 0; i < W * H; i++)
        CHECK(grid.dot[i] <= most);
    for (int y : {-1, 0, H - 1, H})
        for (int x : {-1, 0, W - 1, W})
            CHECK(dot_rgb(grid, x, y) <= 0xffffff);
    for (int scale : {0, 1, 3, INT_MAX}) {
        copyrect c = redraw_rect(grid, w, h, zoom, scale);
        CHECK(c.sw >= 0 && c.sw <= grid.w && c.sh >= 0 && c.sh <= grid.h);
        CHECK(c.dw >= c.sw && c.dh >= c.sh);
    }
}

} // namespace

namespace {

// The bytes as a picture file: RGB_LOADED with a valid size, or
// RGB_REFUSED with 0 x 0 and the planes untouched (as far as a mark at
// their start shows).
int decode(const uint8_t *data, size_t n, int &w, int &h)
{
    constexpr unsigned char MARK = 0xa5;
    pl.r[0] = pl.g[0] = pl.b[0] = MARK;
    w = 7, h = 5;
    msglist msgs;
    const int rc = load_picture(input_file("in.picture", data, n), pl, w, h, msgs);
    CHECK(rc == RGB_LOADED || rc == RGB_REFUSED);
    if (rc == RGB_REFUSED) {
        CHECK(w == 0 && h == 0);
        CHECK(pl.r[0] == MARK && pl.g[0] == MARK && pl.b[0] == MARK);
        CHECK(msgs.lines.size() == 1);
    } else {
        CHECK(w >= 1 && w <= WIDTH_MAX && h >= 1 && h <= HEIGHT_MAX);
    }
    return rc;
}

} // namespace

void picture_input(const uint8_t *data, size_t n)
{
    int w, h;
    decode(data, n, w, h);
}

void display_input(const uint8_t *data, size_t n)
{
    int ixmx, iymx;
    if (decode(data, n, ixmx, iymx) != RGB_LOADED)
        return;

    // Each mode at a few zooms, one of them taken from the input (below 50
    // and above 400 too); the diffusion state runs on from one conversion
    // to the next, as in the window. A large picture gets one zoom, to keep
    // the fuzzer fast.
    const int zooms[] = {50, 155, 400, (int)(n * 7 % 460)};
    const bool small = ixmx * iymx <= 16384;
    for (int k = 0; k < 4; k++) {
        if (!small && k != (int)(n % 4))
            continue;
        for (int m : {0, 1, 2, 5})
            convert(ixmx, iymx, zooms[k], m);
    }
    // A size the SETTING dialog set after the load, up to beyond the planes.
    const int w = 1 + (n > 0 ? data[n - 1] * 8 : 0), h = 1 + (n > 1 ? data[n - 2] * 4 : 0);
    convert(w, h, 50, (int)(n % 3));
}
