#include "render.h"

#include "screengrid.h"

#include <cstdio>
#include <cstring>
#include <pthread.h>
#include <thread>

namespace {

inline void store(unsigned char *r, unsigned char *g, unsigned char *b, int i, const colr &c)
{
    r[i] = (unsigned char)(unsigned)(c.r > 255 ? 255 : c.r);
    g[i] = (unsigned char)(unsigned)(c.g > 255 ? 255 : c.g);
    b[i] = (unsigned char)(unsigned)(c.b > 255 ? 255 : c.b);
}

// Rays nest on the stack as deeply as the scene's depth lets them, so each
// tracing thread gets a large stack (reserved address space, touched only
// as deep as the rays go), and shading stops the picture before it runs out.
constexpr size_t TRACE_STACK = (size_t)256 << 20;
constexpr size_t STACK_MARGIN = (size_t)1 << 20;

using work_fn = std::function<void(const char *floor)>;

void *trace_thread(void *fn)
{
    pthread_attr_t a;
    void *lo = nullptr;
    size_t size = 0;
    if (pthread_getattr_np(pthread_self(), &a) == 0) {
        pthread_attr_getstack(&a, &lo, &size);
        pthread_attr_destroy(&a);
    }
    const char *floor = lo && size > 2 * STACK_MARGIN ? (const char *)lo + STACK_MARGIN : nullptr;
    (*(work_fn *)fn)(floor);
    return nullptr;
}

// Runs fn on n threads of TRACE_STACK bytes (of the default size when so
// much cannot be had; on the caller when no thread can be made) and waits.
void run_threads(int n, work_fn &fn)
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

} // namespace

std::string ray_status_text(int rc, const scene &sc)
{
    char text[200];
    switch (rc) {
    case RAY_CANCELLED:
        return "stopped";
    case RAY_NOVIEW:
        if (sc.vpnax == 0 && sc.vpnay == 0 && sc.vpnaz == 0)
            return "the look direction (0, 0, 0) has no length";
        std::snprintf(text, sizeof text,
                      "the look direction (%g, %g, %g) has no length KORU can divide by", sc.vpnax,
                      sc.vpnay, sc.vpnaz);
        return text;
    case RAY_TOODEEP:
        std::snprintf(text, sizeof text, "reflections nest deeper than KORU can trace (depth %d)",
                      sc.ilvlmx);
        return text;
    default:
        return "";
    }
}

int render_threads_default()
{
    unsigned n = std::thread::hardware_concurrency();
    return n ? (int)n : 1;
}

render_job::render_job(const scene &sc, const render_options &opt) : sc_(sc), opt_(opt)
{
    stop_.outside = opt.cancel;
}

// Row y of the traced frame into r, g, b (trace_.neyes * trace_.w samples
// each): with the plain search dot by dot ...
void render_job::trace_row(plain_tracer &tr, int y, unsigned char *r, unsigned char *g,
                           unsigned char *b)
{
    const frame &f = trace_;
    int i = 0;
    for (int e = 0; e < f.neyes; e++)
        for (int x = 0; x < f.w; x++) {
            vec dir;
            colr c;
            make_eye(dir, f.eye[e], x, y, f);
            store(r, g, b, i++, calc_plain(tr, c, f.eye[e], dir, sc_.ilvlmx));
        }
}

// ... and with the prepared scene a few dots side by side at once.
void render_job::trace_row(fast_tracer &tr, int y, unsigned char *r, unsigned char *g,
                           unsigned char *b)
{
    const frame &f = trace_;
    int i = 0;
    // make_eye's sum in its own order, the column and row parts done once
    const double W = f.w, H = f.h;
    const double sv = (H * 0.5 - y) * f.wdu / W;
    const vec rowpart{sv * f.vvec.x, sv * f.vvec.y, sv * f.vvec.z};
    for (int e = 0; e < f.neyes; e++) {
        const vec &eye = f.eye[e];
        // the tiles are the picture's: a traced dot takes the tile of the
        // dot it falls in (the tiles' margin holds at any fraction of a dot)
        const int tilerow = fast_tile(*prep_, e, 0, y / aa_);
        static_assert(TILE_W % SHADOW_GROUP == 0, "a tile holds whole groups: they share its list");
        for (int x = 0; x < f.w; x += SHADOW_GROUP) {
            const int n = f.w - x < SHADOW_GROUP ? f.w - x : SHADOW_GROUP;
            vec dir[SHADOW_GROUP];
            int tile[SHADOW_GROUP];
            colr c[SHADOW_GROUP];
            for (int k = 0; k < n; k++) {
                const vec &cp = colpart_[x + k];
                dir[k] = vec{cp.x + rowpart.x - eye.x, cp.y + rowpart.y - eye.y,
                             cp.z + rowpart.z - eye.z};
                tile[k] = tilerow >= 0 ? tilerow + tilecol_[x + k] : -1;
            }
            calc_fast_group(tr, c, eye, dir, tile, n, sc_.ilvlmx, e);
            for (int k = 0; k < n; k++)
                store(r, g, b, i++, c[k]);
        }
    }
}

// Row y of the picture into r, g, b (frame_.width samples each): traced
// straight in when nothing is averaged or laid over; otherwise aa_ rows of
// the traced frame summed in sums, averaged, and for an anaglyph the two
// eyes' channels taken apart. false when stopped.
template <class TR>
bool render_job::make_row(TR &tr, int y, unsigned char *r, unsigned char *g, unsigned char *b,
                          std::vector<unsigned char> &traced, std::vector<unsigned> &sums)
{
    const int n = aa_;
    if (n == 1 && !opt_.anaglyph) {
        trace_row(tr, y, r, g, b);
        return true;
    }
    const int ew = frame_.w, eyes = frame_.neyes;
    const int per = n * ew; // traced samples per eye
    const int tw = eyes * per, sw = eyes * ew;
    traced.resize((size_t)tw * 3);
    sums.assign((size_t)sw * 3, 0);
    unsigned char *tr_r = traced.data(), *tr_g = tr_r + tw, *tr_b = tr_g + tw;
    unsigned *sr = sums.data(), *sg = sr + sw, *sb = sg + sw;
    for (int k = 0; k < n; k++) {
        if (stop_.halt())
            return false;
        trace_row(tr, y * n + k, tr_r, tr_g, tr_b);
        for (int e = 0; e < eyes; e++)
            for (int x = 0; x < per; x++) {
                const int i = e * per + x, o = e * ew + x / n;
                sr[o] += tr_r[i];
                sg[o] += tr_g[i];
                sb[o] += tr_b[i];
            }
    }
    const unsigned nn = (unsigned)(n * n), half = nn / 2;
    auto avg = [&](unsigned sum) { return (unsigned char)((sum + half) / nn); };
    if (!opt_.anaglyph) {
        for (int i = 0; i < sw; i++) {
            r[i] = avg(sr[i]);
            g[i] = avg(sg[i]);
            b[i] = avg(sb[i]);
        }
    } else {
        // red from the eye moved along -uvec, green and blue from the other
        for (int x = 0; x < ew; x++) {
            r[x] = avg(sr[ew + x]);
            g[x] = avg(sg[x]);
            b[x] = avg(sb[x]);
        }
    }
    return true;
}

// Rows are handed out a few at a time (ROW_GROUP), so no thread idles
// long while others end, and a caller writing rows to a file can write a
// group at once.
void render_job::trace_rows(int nthreads)
{
    const int w = frame_.width, h = rows_.load();
    std::atomic<int> next{0};
    // the prepared scene's grids come first (every eye has one), shared out
    // as the rows are; whoever builds the last one finishes it, and
    // everyone waits for that
    const int grids = prep_ ? fast_prepare_grids(*prep_) : 0;
    std::atomic<int> next_grid{0}, grids_done{0};
    std::atomic<bool> prepared{grids == 0};
    work_fn work = [&](const char *floor) {
        for (int t; (t = next_grid.fetch_add(1)) < grids;) {
            fast_prepare_grid(*prep_, t);
            if (grids_done.fetch_add(1) + 1 == grids) {
                fast_prepare_end(*prep_);
                prepared.store(true, std::memory_order_release);
            }
        }
        while (!prepared.load(std::memory_order_acquire))
            std::this_thread::yield();
        auto go = [&](auto &tr) {
            tr.stop = &stop_;
            tr.floor = floor;
            std::vector<unsigned char> own(opt_.keep ? 0 : (size_t)w * 3), traced;
            std::vector<unsigned> sums;
            for (int y = 0, end = 0;; y++) {
                if (stop_.halt())
                    break;
                if (y == end) {
                    y = next.fetch_add(ROW_GROUP);
                    end = y + ROW_GROUP < h ? y + ROW_GROUP : h;
                }
                if (y >= h)
                    break;
                unsigned char *r, *g, *b;
                if (opt_.keep) {
                    const size_t at = (size_t)y * w;
                    r = pic_.r.data() + at, g = pic_.g.data() + at, b = pic_.b.data() + at;
                } else {
                    r = own.data(), g = r + w, b = g + w;
                }
                if (!make_row(tr, y, r, g, b, traced, sums))
                    break;
                if (opt_.on_row && !stop_.halt())
                    opt_.on_row(y, w, h, r, g, b);
                rows_done_.fetch_add(1, std::memory_order_relaxed);
            }
            rays_ += tr.rays;
            shadow_rays_ += tr.shadow_rays;
        };
        if (prep_) {
            fast_tracer tr(sc_, *prep_);
            go(tr);
        } else {
            plain_tracer tr(sc_);
            go(tr);
        }
    };
    run_threads(nthreads, work);
}

int render_job::run()
{
    aa_ = opt_.aa < 1 ? 1 : opt_.aa > AA_MAX ? AA_MAX : opt_.aa;
    if (!make_frame(sc_, opt_.stereo, frame_, opt_.anaglyph))
        return RAY_NOVIEW;
    trace_ = scaled_frame(frame_, aa_);
    const int h = frame_.w > 0 && frame_.h > 0 ? frame_.h : 0;
    // prepared for the picture's frame: the same eyes, tiles of its size
    if (!opt_.plain && h > 0)
        prep_ = fast_prepare_begin(sc_, frame_, opt_.kernels); // finished by trace_rows
    if (prep_) {
        const frame &f = trace_;
        colpart_.resize((size_t)f.w);
        tilecol_.resize((size_t)f.w);
        const double W = f.w;
        for (int x = 0; x < f.w; x++) {
            tilecol_[x] = x / aa_ / TILE_W;
            double su = (x / W - 0.5) * f.wdu;
            colpart_[x] =
                vec{f.look.x + su * f.uvec.x, f.look.y + su * f.uvec.y, f.look.z + su * f.uvec.z};
        }
    }
    if (opt_.keep && h > 0)
        pic_.resize(frame_.width, h);
    rows_done_ = 0;
    rays_ = shadow_rays_ = 0;
    rows_ = h;

    int nthreads = opt_.plain ? 1 : opt_.threads > 0 ? opt_.threads : render_threads_default();
    // no more threads than groups of rows to hand out
    const int groups = (h + ROW_GROUP - 1) / ROW_GROUP;
    if (nthreads > groups)
        nthreads = groups > 0 ? groups : 1;
    if (h > 0)
        trace_rows(nthreads);

    if (stop_.deep.load())
        return RAY_TOODEEP;
    if (stop_.halt())
        return RAY_CANCELLED;
    return RAY_DONE;
}

void keep_picture(const render_job &r, scene &sc, planes &pl)
{
    apply_frame(sc, r.view());
    to_planes(r.result(), pl);
}

int preview_step(int w, int h)
{
    int step = 1;
    while (w > 0 && h > 0 && (long long)(w / step) * (h / step) > PREVIEW_DOTS)
        step++;
    return step;
}
