#include "drag.h"

namespace {

double dot3(const vec &a, const vec &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
vec sub(const vec &a, const vec &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec along(const vec &o, const vec &d, double t)
{
    return {o.x + d.x * t, o.y + d.y * t, o.z + d.z * t};
}

// The ray from eye e through the place (x, y) of the view window, as
// make_eye gives it for a dot's corner.
vec ray_through(const frame &f, int e, double x, double y)
{
    const double W = f.w, H = f.h;
    const double su = (x / W - 0.5) * f.wdu, sv = (H * 0.5 - y) * f.wdu / W;
    return sub(along(along(f.look, f.uvec, su), f.vvec, sv), f.eye[e]);
}

// Where the ray from eye e through (x, y) meets the plane through p that
// faces the camera; false when it never does.
bool on_plane(const frame &f, int e, const vec &p, double x, double y, vec &at)
{
    const vec d = ray_through(f, e, x, y);
    const double across = dot3(d, f.dir);
    const double t = dot3(sub(p, f.eye[e]), f.dir) / across;
    if (!(across < 0 && t > 0)) // the look direction points back to the eye
        return false;
    at = along(f.eye[e], d, t);
    return true;
}

} // namespace

bool dot_of_point(const frame &f, int e, const vec &p, double &x, double &y)
{
    // the point where the ray from the eye through p meets the view window
    const vec v = sub(p, f.eye[e]);
    const double towards = dot3(v, f.dir);
    if (!(towards < 0) || f.w <= 0 || !(f.wdu != 0))
        return false;
    const double t = dot3(sub(f.look, f.eye[e]), f.dir) / towards;
    const vec q = sub(along(f.eye[e], v, t), f.look);
    x = (dot3(q, f.uvec) / f.wdu + 0.5) * f.w;
    y = f.h * 0.5 - dot3(q, f.vvec) * f.w / f.wdu;
    return true;
}

bool drag_across(const frame &f, int e, const vec &p, double x0, double y0, double x1, double y1,
                 vec &by)
{
    vec from, to;
    if (!on_plane(f, e, p, x0, y0, from) || !on_plane(f, e, p, x1, y1, to))
        return false;
    by = sub(to, from);
    return true;
}

vec drag_depth(const frame &f, int e, const vec &p, double factor)
{
    const vec v = sub(p, f.eye[e]);
    return {v.x * (factor - 1), v.y * (factor - 1), v.z * (factor - 1)};
}
