// Micro-benchmarks of the tracer's inner work: one intersection test per
// primitive type, a shadow search, and whole shaded rays on a glass scene,
// for the plain search and the accelerated tracer.
#include "base/msg.h"
#include "image/webp.h"
#include "scene/rtread.h"
#include "scene/keys.h"
#include "scene/scene.h"
#include "trace/anim.h"
#include "trace/crossp.h"
#include "trace/fast.h"
#include "trace/render.h"
#include "trace/shade.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// Rays from (0, 0, -10) toward points of the square |x|, |y| <= 1.5 at z = 0.
std::vector<vec> fan(int n)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-1.5, 1.5);
    std::vector<vec> d(n);
    for (auto &v : d)
        v = vec{u(rng), u(rng), 10};
    return d;
}

primrec shape(int type, vec geom)
{
    primrec p{};
    p.type = type;
    p.sense = 1;
    p.geom = geom;
    return p;
}

void crossp_bench(benchmark::State &st, primrec p)
{
    const auto dirs = fan(1024);
    const vec o{0, 0, -10};
    size_t i = 0;
    vec r;
    for (auto _ : st) {
        crossp(r, o, dirs[i++ & 1023], p, &p);
        benchmark::DoNotOptimize(r);
    }
    st.SetItemsProcessed(st.iterations());
}

void BM_crossp_plane(benchmark::State &st) { crossp_bench(st, shape(1, {0.1, 0.2, 1})); }
void BM_crossp_box(benchmark::State &st) { crossp_bench(st, shape(2, {1, 1, 1})); }
void BM_crossp_sphere(benchmark::State &st) { crossp_bench(st, shape(3, {1, 1, 1})); }
void BM_crossp_cone(benchmark::State &st) { crossp_bench(st, shape(4, {1, 1, -0.25})); }
BENCHMARK(BM_crossp_plane);
BENCHMARK(BM_crossp_box);
BENCHMARK(BM_crossp_sphere);
BENCHMARK(BM_crossp_cone);

scene sc;
frame fr;

// A bench scene with the frame of a 64 x 48 picture.
void load(const char *name)
{
    std::string path = std::string(KORU_BENCH_SCENES) + "/" + name + ".RT";
    msglist msgs;
    if (!data_load(sc, path.c_str(), msgs))
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
    sc.ixmx = 64, sc.iymx = 48;
    make_frame(sc, 0, fr);
}

// Primary rays over the whole window, as make_eye gives them.
std::vector<vec> primary(int n)
{
    std::vector<vec> d;
    for (int i = 0; i < n; i++) {
        vec v;
        make_eye(v, fr.eye[0], (i * 37) % fr.w, (i * 11) % fr.h, fr);
        d.push_back(v);
    }
    return d;
}

void BM_calc_glass_plain(benchmark::State &st)
{
    load("glass");
    const auto dirs = primary(1024);
    const vec e = fr.eye[0];
    size_t i = 0;
    colr c;
    for (auto _ : st) {
        calc(c, e, dirs[i++ & 1023], sc.ilvlmx, sc);
        benchmark::DoNotOptimize(c);
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_calc_glass_plain);

void BM_calc_glass_fast(benchmark::State &st)
{
    load("glass");
    const auto dirs = primary(1024);
    const vec e = fr.eye[0];
    fast_prep_ptr prep = fast_prepare(sc, fr);
    fast_tracer tr(sc, *prep);
    size_t i = 0;
    colr c;
    for (auto _ : st) {
        calc_fast(tr, c, e, dirs[i++ & 1023], sc.ilvlmx, -1);
        benchmark::DoNotOptimize(c);
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_calc_glass_fast);

// Shadow searches toward the points that primary rays hit in the heavy scene.
void BM_shadow_heavy(benchmark::State &st)
{
    load("heavy");
    const vec e = fr.eye[0];
    fast_prep_ptr prep = fast_prepare(sc, fr);
    fast_tracer tr(sc, *prep);
    struct target {
        vec h;
        int hit;
    };
    std::vector<target> ts;
    for (const vec &d : primary(1024)) {
        vec h;
        int hit = tr.nearest(e, d, -1, h);
        if (hit >= 0)
            ts.push_back({h, hit});
    }
    size_t i = 0;
    for (auto _ : st) {
        const target &t = ts[i++ % ts.size()];
        vec lv;
        vsub(lv, t.h, sc.lig[0].pos);
        double f;
        const double dl2 = vlength2(lv);
        benchmark::DoNotOptimize(tr.lit(0, t.h, t.hit, lv, dl2, std::sqrt(dl2), f));
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_shadow_heavy);

// The live view's frames of each sample at 640 x 480 on two threads: a
// preview (every preview_step-th dot, as the window traces it while the
// camera moves) and the exact picture that follows at rest. A preview
// must stay well under 30 ms, whole job included.
void live_frame(benchmark::State &st, const std::string &file, bool preview)
{
    scene s;
    msglist msgs;
    if (!data_load(s, file.c_str(), msgs)) {
        st.SkipWithError("cannot load the sample");
        return;
    }
    s.ixmx = 640, s.iymx = 480;
    const int step = preview ? preview_step(640, 480) : 1;
    s.ixmx /= step, s.iymx /= step;
    render_options opt;
    opt.threads = 2;
    for (auto _ : st) {
        render_job job(s, opt);
        benchmark::DoNotOptimize(job.run());
    }
}

// A turntable of each sample at 320 x 240 on two threads, as koru-cli
// animate --orbit 360 makes it: each frame's scene, its picture, and the
// picture encoded into the WebP animation. Items are frames.
void turntable(benchmark::State &st, const std::string &file)
{
    keyscene key;
    msglist msgs;
    if (!data_load(key.sc, file.c_str(), msgs, &key.map)) {
        st.SkipWithError("cannot load the sample");
        return;
    }
    anim_plan plan;
    plan.keys = {&key};
    plan.frames = 24;
    plan.orbit = true;
    plan.orbit_deg = 360;
    render_options opt;
    opt.threads = 2;
    static scene sc;
    static vec axes[PRIM_MAX];
    webp_anim out(24);
    int k = 0;
    for (auto _ : st) {
        anim_scene(plan, k++ % plan.frames, sc, axes);
        sc.ixmx = 320, sc.iymx = 240;
        render_job job(sc, opt);
        job.run();
        benchmark::DoNotOptimize(out.add(job.result(), msgs));
    }
    st.SetItemsProcessed(st.iterations());
}

// What a picture costs before its first ray: the accelerations of each
// bench scene for its eye and lights.
void prepare(benchmark::State &st, const std::string &file)
{
    scene s;
    msglist msgs;
    frame f;
    if (!data_load(s, file.c_str(), msgs) || !make_frame(s, 0, f)) {
        st.SkipWithError("cannot load the scene");
        return;
    }
    for (auto _ : st)
        benchmark::DoNotOptimize(fast_prepare(s, f));
}

const int registered = [] {
    for (const char *name : {"simple", "csg", "heavy", "glass"}) {
        const std::string file = std::string(KORU_BENCH_SCENES) + "/" + name + ".RT";
        benchmark::RegisterBenchmark((std::string("BM_prepare/") + name).c_str(),
                                     [file](benchmark::State &st) { prepare(st, file); })
            ->Unit(benchmark::kMicrosecond);
    }
    for (const char *name : {"room", "csg", "quadrics", "glass", "mirrors", "stereo"}) {
        const std::string file = std::string(KORU_SAMPLES) + "/" + name + ".RT";
        for (bool preview : {true, false})
            benchmark::RegisterBenchmark(
                (std::string(preview ? "BM_live_preview/" : "BM_live_exact/") + name).c_str(),
                [file, preview](benchmark::State &st) { live_frame(st, file, preview); })
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    }
    for (const char *name : {"room", "csg", "quadrics", "glass", "mirrors", "stereo"}) {
        const std::string file = std::string(KORU_SAMPLES) + "/" + name + ".RT";
        benchmark::RegisterBenchmark((std::string("BM_turntable/") + name).c_str(),
                                     [file](benchmark::State &st) { turntable(st, file); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
