#include "render.h"

#include "../image/rgb.h"
#include "fast.h"
#include "shade.h"

#include <cstring>
#include <functional>
#include <pthread.h>
#include <thread>
#include <vector>

namespace {

// The picture is traced here and copied to the planes when complete.
unsigned char outr[PLANE_BYTES], outg[PLANE_BYTES], outb[PLANE_BYTES];

struct job {
    vec eye[2];   // one eye, or the pair of a stereo picture
    int neyes;
    int w;        // dots per eye per row (ixmx while tracing)
    int h;
    bool fast;    // the accelerated tracer is prepared for this scene
};

void store(long i, const colr &c)
{
    outr[i] = (unsigned char)(unsigned)(c.r > 255 ? 255 : c.r);
    outg[i] = (unsigned char)(unsigned)(c.g > 255 ? 255 : c.g);
    outb[i] = (unsigned char)(unsigned)(c.b > 255 ? 255 : c.b);
}

// make_eye's look point plus su * uvec, by column: the first two terms of
// its sum, which depend on x alone.
vec colpart[WIDTH_MAX];

void make_columns(int w)
{
    const double W = ixmx;
    for (int x = 0; x < w; x++) {
        double su = (x / W - 0.5) * wdu;
        colpart[x] = vec{rx + su * uvec.x, ry + su * uvec.y, rz + su * uvec.z};
    }
}

void trace_row(const job &jb, fast_tracer &tr, int y)
{
    long i = (long)y * jb.w * jb.neyes;
    if (!jb.fast) {
        for (int e = 0; e < jb.neyes; e++)
            for (int x = 0; x < jb.w; x++) {
                vec dir;
                colr c;
                make_eye(dir, jb.eye[e], x, y);
                store(i++, calc(c, jb.eye[e], dir, ilvlmx));
            }
        return;
    }
    // make_eye's sum in its own order, the column and row parts done once
    const double W = ixmx, H = iymx;
    const double sv = (H * 0.5 - y) * wdu / W;
    const vec rowpart{sv * vvec.x, sv * vvec.y, sv * vvec.z};
    for (int e = 0; e < jb.neyes; e++) {
        const vec &eye = jb.eye[e];
        for (int x = 0; x < jb.w; x++) {
            vec dir{colpart[x].x + rowpart.x - eye.x, colpart[x].y + rowpart.y - eye.y,
                    colpart[x].z + rowpart.z - eye.z};
            colr c;
            tr.tile = fast_tile(e, x, y);
            store(i++, calc_fast(tr, c, eye, dir, ilvlmx, e));
        }
    }
}

// Rays nest on the stack as deeply as the scene's depth lets them, so each
// tracing thread gets a large stack (reserved address space, touched only
// as deep as the rays go), and calc stops the picture before it runs out.
constexpr size_t TRACE_STACK = (size_t)256 << 20;
constexpr size_t STACK_MARGIN = (size_t)1 << 20;

void *trace_thread(void *fn)
{
    pthread_attr_t a;
    void *lo = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &a) == 0) {
        pthread_attr_getstack(&a, &lo, &size);
        pthread_attr_destroy(&a);
    }
    calc_stack_floor = lo && size > 2 * STACK_MARGIN ? (const char *)lo + STACK_MARGIN : nullptr;
    (*(std::function<void()> *)fn)();
    return nullptr;
}

// Runs fn on n threads of TRACE_STACK bytes (of the default size when so
// much cannot be had; on the caller when no thread can be made) and waits.
void run_threads(int n, std::function<void()> &fn)
{
    std::vector<pthread_t> ids;
    for (int t = 0; t < n; t++) {
        pthread_attr_t a;
        pthread_attr_init(&a);
        pthread_attr_setstacksize(&a, TRACE_STACK);
        pthread_t id;
        int rc = pthread_create(&id, &a, trace_thread, &fn);
        pthread_attr_destroy(&a);
        if (rc != 0)
            rc = pthread_create(&id, nullptr, trace_thread, &fn);
        if (rc == 0)
            ids.push_back(id);
    }
    if (ids.empty())
        trace_thread(&fn);
    for (pthread_t id : ids)
        pthread_join(id, nullptr);
}

// Rows are handed out one at a time, so no thread idles while others end.
void trace_rows(const job &jb, render_ctl *ctl, int nthreads)
{
    std::atomic<int> next{0};
    std::function<void()> work = [&] {
        fast_tracer tr;
        for (;;) {
            if (calc_stop->load(std::memory_order_relaxed))
                break;
            int y = next.fetch_add(1);
            if (y >= jb.h)
                break;
            trace_row(jb, tr, y);
            if (ctl && ctl->row_done) {
                const int w = jb.w * jb.neyes;
                const long i = (long)y * w;
                ctl->row_done(ctl->row_arg, y, w, jb.h, outr + i, outg + i, outb + i);
            }
            if (ctl)
                ctl->rows_done.fetch_add(1, std::memory_order_relaxed);
        }
        if (ctl) {
            ctl->rays += tr.rays;
            ctl->shadow_rays += tr.shadow_rays;
        }
    };
    run_threads(nthreads, work);
}

} // namespace

int render_threads_default()
{
    unsigned n = std::thread::hardware_concurrency();
    return n ? (int)n : 1;
}

void make_eye(vec &dir, const vec &eye, int x, int y)
{
    const double W = ixmx, H = iymx;
    double su = (x / W - 0.5) * wdu;
    double sv = (H * 0.5 - y) * wdu / W;
    dir.x = rx + su * uvec.x + sv * vvec.x - eye.x;
    dir.y = ry + su * uvec.y + sv * vvec.y - eye.y;
    dir.z = rz + su * uvec.z + sv * vvec.z - eye.z;
}

int ray_main(int stereo, render_ctl *ctl)
{
    double len = std::sqrt(vpnax * vpnax + vpnay * vpnay + vpnaz * vpnaz);
    if (!(len > 0) || !std::isfinite(len))
        return RAY_NOVIEW;

    // what a cancelled picture puts back
    const double svx = vpnax, svy = vpnay, svz = vpnaz;
    const int sw = ixmx, sh = iymx;
    const vec su = uvec, sv = vvec;

    vpnax = vpnax / len;
    vpnay = vpnay / len;
    vpnaz = vpnaz / len;

    vec e{rx + vpnax * dlength, ry + vpnay * dlength, rz + vpnaz * dlength};

    if (vpnax == 0 && vpnay == 0) {
        uvec = vec{sgn(vpnaz), 0, 0};
        vvec = vec{0, 1, 0};
    } else {
        double l = std::sqrt(vpnax * vpnax + vpnay * vpnay);
        uvec = vec{-vpnay / l, vpnax / l, 0};
        vvec = vec{-vpnaz * uvec.y, vpnaz * uvec.x, l};
    }

    if (ixmx > WIDTH_MAX)
        ixmx = WIDTH_MAX;
    if (iymx > HEIGHT_MAX)
        iymx = HEIGHT_MAX;

    job jb;
    if (stereo) {
        ixmx = ixmx / 2;
        double off = dlength * length3d;
        vec t;
        vadd(jb.eye[0], e, vmul(t, uvec, off));
        vsub(jb.eye[1], e, vmul(t, uvec, off));
        jb.neyes = 2;
    } else {
        jb.eye[0] = e;
        jb.neyes = 1;
    }
    jb.fast = !(ctl && ctl->plain) && fast_prepare(jb.eye, jb.neyes);
    jb.w = ixmx;
    if (jb.fast)
        make_columns(jb.w);
    jb.h = ixmx > 0 && iymx > 0 ? iymx : 0;

    if (ctl) {
        ctl->rows_done = 0;
        ctl->rows = jb.h;
        ctl->rays = ctl->shadow_rays = 0;
    }
    int nthreads = ctl && ctl->plain ? 1 : ctl && ctl->threads > 0 ? ctl->threads
                                                                  : render_threads_default();
    if (nthreads > jb.h)
        nthreads = jb.h > 0 ? jb.h : 1;
    std::atomic<bool> own_stop{false};
    calc_stop = ctl ? &ctl->cancel : &own_stop;
    calc_deep = false;
    trace_rows(jb, ctl, nthreads);
    calc_stop = nullptr;

    if (stereo)
        ixmx = ixmx * 2;

    const bool deep = calc_deep.load();
    if (deep || (ctl && ctl->cancel.load())) {
        vpnax = svx;
        vpnay = svy;
        vpnaz = svz;
        ixmx = sw;
        iymx = sh;
        uvec = su;
        vvec = sv;
        if (deep && ctl)
            ctl->cancel = false; // set by calc, not by the caller
        return deep ? RAY_TOODEEP : RAY_CANCELLED;
    }
    if (ctl && !ctl->to_planes)
        return RAY_DONE;
    const size_t n = (size_t)jb.h * jb.w * jb.neyes;
    std::memcpy(gdatar, outr, n);
    std::memcpy(gdatag, outg, n);
    std::memcpy(gdatab, outb, n);
    return RAY_DONE;
}
