#include "pick.h"

#include "fast.h"
#include "shade.h"

namespace {

// The eye and the column within its half of picture column x.
int eye_of(const frame &f, int &x)
{
    if (f.neyes < 2 || f.width == f.w)
        return 0; // one view, or an anaglyph
    const int e = x / f.w;
    x -= e * f.w;
    return e;
}

} // namespace

bool pick_dot(const scene &sc, const frame &f, int x, int y, pick_hit &out)
{
    if (x < 0 || x >= f.width || y < 0 || y >= f.h || f.w <= 0)
        return false;
    out = pick_hit{};
    out.eye = eye_of(f, x);
    vec dir;
    make_eye(dir, f.eye[out.eye], x, y, f);
    out.index = nearest_plain(sc, f.eye[out.eye], dir, out.point);
    if (out.index < 0)
        out.point = vec{FAR, FAR, FAR};
    return true;
}

bool pick_dot(const scene &sc, int stereo, int x, int y, pick_hit &out)
{
    frame f;
    return make_frame(sc, stereo, f) && pick_dot(sc, f, x, y, out);
}

bool pick_dots(const scene &sc, const frame &f, std::vector<int> &ids,
               const std::atomic<bool> *stop)
{
    ids.clear();
    if (f.width <= 0 || f.h <= 0 || f.w <= 0)
        return true;
    ids.resize((size_t)f.width * (size_t)f.h, -1);
    fast_prep_ptr prep = fast_prepare(sc, f);
    std::unique_ptr<fast_tracer> tr;
    if (prep)
        tr = std::make_unique<fast_tracer>(sc, *prep);
    size_t i = 0;
    for (int y = 0; y < f.h; y++) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        for (int x = 0; x < f.width; x++) {
            int col = x;
            const int e = eye_of(f, col);
            vec dir, h;
            make_eye(dir, f.eye[e], col, y, f);
            if (tr) {
                tr->tile = fast_tile(*prep, e, col, y);
                ids[i++] = tr->nearest(f.eye[e], dir, e, h);
            } else {
                ids[i++] = nearest_plain(sc, f.eye[e], dir, h);
            }
        }
    }
    return true;
}
