#include "harness.h"

#include "../cli/info_json.h"
#include "../image/display.h"
#include "../image/rgb.h"
#include "../scene/rtread.h"
#include "../scene/scene.h"
#include "../trace/render.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void broken(const char *what)
{
    std::fprintf(stderr, "harness: %s\n", what);
    std::abort();
}

#define CHECK(c)                                                                          \
    do {                                                                                  \
        if (!(c))                                                                         \
            broken(#c);                                                                   \
    } while (0)

// The camera and size globals that a render reads or writes.
struct view {
    double vx, vy, vz;
    int w, h, depth;
    vec u, v;
};

view save_view() { return view{vpnax, vpnay, vpnaz, ixmx, iymx, ilvlmx, uvec, vvec}; }

void load_view(const view &s)
{
    vpnax = s.vx, vpnay = s.vy, vpnaz = s.vz;
    ixmx = s.w, iymx = s.h, ilvlmx = s.depth;
    uvec = s.u, vvec = s.v;
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

void check_model()
{
    CHECK(primmx >= 0 && primmx <= PRIM_MAX);
    CHECK(nlg <= LIGHT_MAX);
    for (int i = 0; i < primmx; i++) {
        CHECK(pri[i].nmem >= 0 && pri[i].nmem < MEMBER_MAX);
        for (int m = 0; m < pri[i].nmem; m++)
            CHECK(pri[i].mem[m] >= 0 && pri[i].mem[m] < primmx);
    }
}

void check_json()
{
    char *buf = nullptr;
    size_t len = 0;
    std::FILE *f = open_memstream(&buf, &len);
    CHECK(f);
    info_json(f);
    std::fclose(f);
    CHECK(len > 0 && buf[len - 1] == '\n');
    CHECK(json_valid(buf, len));
    std::free(buf);
}

// A tiny picture whose work stays small whatever the scene asks: at most
// 16 x 12 dots, depth at most 4 and lower while glass everywhere could
// make it too slow to fuzz.
void bound_view()
{
    if (ixmx > 16)
        ixmx = 16;
    if (iymx > 12)
        iymx = 12;
    if (ilvlmx > 4)
        ilvlmx = 4;
    long long dots = ixmx > 0 && iymx > 0 ? (long long)ixmx * iymx : 0;
    long long tests = (long long)primmx * (1 + (nlg > 0 ? nlg : 0));
    while (ilvlmx > 0 && dots * ((2LL << ilvlmx) - 1) * tests > 2000000)
        ilvlmx--;
}

unsigned char keep[3][PLANE_BYTES];

} // namespace

int render_twice(int stereo)
{
    const view before = save_view();
    render_ctl plain;
    plain.plain = true;
    int rc = ray_main(stereo, &plain);
    CHECK(rc == RAY_DONE || rc == RAY_NOVIEW || rc == RAY_TOODEEP);
    if (rc != RAY_DONE) {
        CHECK(same_view(before, save_view()));
        render_ctl two;
        two.threads = 2;
        CHECK(ray_main(stereo, &two) == rc);
        CHECK(same_view(before, save_view()));
        return rc;
    }
    CHECK(ixmx <= WIDTH_MAX && iymx <= HEIGHT_MAX);
    const view after = save_view();
    size_t n = ixmx > 0 && iymx > 0 ? (size_t)ixmx * iymx : 0;
    std::memcpy(keep[0], gdatar, n);
    std::memcpy(keep[1], gdatag, n);
    std::memcpy(keep[2], gdatab, n);

    load_view(before);
    render_ctl two;
    two.threads = 2;
    CHECK(ray_main(stereo, &two) == RAY_DONE);
    CHECK(same_view(after, save_view()));
    CHECK(std::memcmp(keep[0], gdatar, n) == 0);
    CHECK(std::memcmp(keep[1], gdatag, n) == 0);
    CHECK(std::memcmp(keep[2], gdatab, n) == 0);
    return rc;
}

const char *input_file(const char *name, const uint8_t *data, size_t n)
{
    // one file per name and process, made once
    struct slot {
        std::string name, path;
    };
    static slot slots[4];
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
        s->path = templ + "/" + name;
    }
    std::FILE *f = std::fopen(s->path.c_str(), "wb");
    CHECK(f);
    CHECK(std::fwrite(data, 1, n, f) == n);
    CHECK(std::fclose(f) == 0);
    return s->path.c_str();
}

void scene_input(const uint8_t *data, size_t n)
{
    scene_reset();
    CHECK(data_load(input_file("in.RT", data, n)) == 1);
    check_model();
    check_json();
    bound_view();
    // the SETTING dialog may set any stereo eye offset
    const double offsets[] = {0.16, 0, -2, 1e308, std::nan("")};
    length3d = offsets[(n / 2) % 5];
    CHECK(render_twice(n & 1) != RAY_TOODEEP);
}

namespace {

dotgrid grid;

// One conversion of a w x h picture at the current zoom_size and mode, and
// what painting and printing would take from it.
void convert(int w, int h)
{
    CHECK(show_dots(grid, w, h) == 1);
    int W, H;
    disp_size(w, h, zoom_size, W, H);
    CHECK(grid.w == W && grid.h == H);
    CHECK(W >= 0 && W <= WIDTH_MAX && H >= 0 && H <= HEIGHT_MAX);
    const unsigned most = grid.mode == 0 ? 7 : grid.mode == 1 ? 255 : 0xffffff;
    for (int i = 0; i < W * H; i++)
        CHECK(grid.dot[i] <= most);
    for (int y : {-1, 0, H - 1, H})
        for (int x : {-1, 0, W - 1, W})
            CHECK(dot_rgb(grid, x, y) <= 0xffffff);
    for (int scale : {0, 1, 3, INT_MAX}) {
        copyrect c = redraw_rect(grid, w, h, scale);
        CHECK(c.sw >= 0 && c.sw <= grid.w && c.sh >= 0 && c.sh <= grid.h);
        CHECK(c.dw >= c.sw && c.dh >= c.sh);
    }
}

} // namespace

void bmp_input(const uint8_t *data, size_t n)
{
    ixmx = 7, iymx = 5;
    int rc = load_rgb(input_file("in.BMP", data, n));
    CHECK(rc == RGB_LOADED || rc == RGB_REFUSED);
    if (rc == RGB_REFUSED) {
        CHECK(ixmx == 0 && iymx == 0);
        return;
    }
    CHECK(ixmx >= 1 && ixmx <= WIDTH_MAX && iymx >= 1 && iymx <= HEIGHT_MAX);

    // Each mode at a few zooms, one of them taken from the input (below 50
    // and above 400 too); the diffusion state runs on from one conversion
    // to the next, as in the window. A large picture gets one zoom, to keep
    // the fuzzer fast.
    const int zooms[] = {50, 155, 400, (int)(n * 7 % 460)};
    const bool small = ixmx * iymx <= 16384;
    for (int k = 0; k < 4; k++) {
        if (!small && k != (int)(n % 4))
            continue;
        for (int m : {0, 1, 2, 5}) {
            zoom_size = zooms[k];
            mode = m;
            convert(ixmx, iymx);
        }
    }
    // A size the SETTING dialog set after the load, up to beyond the planes.
    const int w = 1 + (n > 0 ? data[n - 1] * 8 : 0), h = 1 + (n > 1 ? data[n - 2] * 4 : 0);
    zoom_size = 50;
    mode = (int)(n % 3);
    convert(w, h);
    zoom_size = 100;
    mode = 0;
}
