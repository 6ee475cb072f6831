#include "app/studio/studio_pick.h"

#include "app/session/appstate.h"
#include "image/display.h"
#include "scene/fields.h"
#include "scene/rtwrite.h"

#include <algorithm>

namespace {

int step_of(int zoom) { return 10000 / std::clamp(zoom, ZOOM_MIN, ZOOM_MAX); }

std::string coord(double v)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

} // namespace

int pick_source(const app_state &a, bool rows_shown, std::shared_ptr<const scene> &sc, frame &f)
{
    if (!a.image_ready)
        return PICK_NOTHING;
    if (rows_shown) { // a frame of the model covers the picture
        sc = std::make_shared<const scene>(a.model);
        return make_frame(*sc, 0, f) ? PICK_SCENE : PICK_NOTHING;
    }
    if (!a.made_scene)
        return PICK_FROM_FILE;
    sc = a.made_scene;
    f = a.made_frame;
    return PICK_SCENE;
}

bool view_dot(int zoom, int w, int h, int vx, int vy, int &x, int &y)
{
    int W, H;
    disp_size(w, h, zoom, W, H);
    if (vx < 0 || vy < 0 || vx >= W || vy >= H)
        return false;
    const int s = step_of(zoom);
    x = (int)((long long)vx * s / 100);
    y = (int)((long long)vy * s / 100);
    return x < w && y < h;
}

std::string pick_text(const scene &sc, int x, int y, const pick_hit &h)
{
    std::string t = "dot " + std::to_string(x) + ", " + std::to_string(y) + ": ";
    if (h.index < 0)
        return t + "background";
    return t + record_name(sc, field_ref{SEC_PRIM, h.index, P_TYPE}) + ", met at " +
           coord(h.point.x) + ", " + coord(h.point.y) + ", " + coord(h.point.z);
}

void silhouette(const std::vector<int> &ids, int w, int h, const std::vector<int> &chosen, int zoom,
                std::vector<unsigned char> &out, int &W, int &H)
{
    disp_size(w, h, zoom, W, H);
    out.assign((size_t)W * H, 0);
    if ((long long)w * h > (long long)ids.size() || chosen.empty())
        return;
    std::vector<char> wanted(PRIM_MAX, 0);
    for (int c : chosen)
        if (c >= 0 && c < PRIM_MAX)
            wanted[c] = 1;
    const int s = step_of(zoom);
    auto in = [&](int X, int Y) {
        if (X < 0 || Y < 0 || X >= W || Y >= H)
            return false;
        const int x = (int)((long long)X * s / 100), y = (int)((long long)Y * s / 100);
        if (x >= w || y >= h)
            return false;
        const int id = ids[(size_t)y * w + x];
        return id >= 0 && id < PRIM_MAX && wanted[id];
    };
    for (int Y = 0; Y < H; Y++)
        for (int X = 0; X < W; X++)
            if (in(X, Y))
                out[(size_t)Y * W + X] =
                    in(X - 1, Y) && in(X + 1, Y) && in(X, Y - 1) && in(X, Y + 1) ? 1 : 2;
}
