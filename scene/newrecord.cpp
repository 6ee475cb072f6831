// The records the studio adds: a primitive of each shape, and a light.
#include "structedit.h"

#include "rtwrite.h"

#include <cstring>

const char *const shape_name[SHAPES] = {"plane", "box", "sphere", "ellipsoid", "cylinder", "cone"};

int shape_named(const char *name)
{
    for (int k = 0; k < SHAPES; k++)
        if (!std::strcmp(shape_name[k], name))
            return k;
    return -1;
}

namespace {

// type, surface and optics (surf ka kd ks spare npow refr trans pat patw
// sense), the semi-axes (or normal, or half sizes) for a size of 1, and
// the colour, by shape
struct shape_default {
    int type;
    const char *optics;
    double axes[3];
    int col[3];
};
// clang-format off
const shape_default defaults[SHAPES] = {
    {PRIM_PLANE,   "1 0.2 0.7 0 0 1 1 0 0 1 1",     {0, 0, 1},     {180, 180, 180}},
    {PRIM_BOX,     "1 0.15 0.7 0.3 0 20 1 0 0 1 1", {1, 1, 1},     {200, 160, 110}},
    {PRIM_QUADRIC, "1 0.15 0.7 0.5 0 40 1 0 0 1 1", {1, 1, 1},     {230, 120, 40}},
    {PRIM_QUADRIC, "1 0.15 0.7 0.5 0 40 1 0 0 1 1", {1.5, 1, 0.75}, {120, 170, 90}},
    {PRIM_QUADRIC, "1 0.15 0.7 0.5 0 40 1 0 0 1 1", {1, 1, 0},     {90, 140, 210}},
    {PRIM_CONE,    "1 0.15 0.7 0.5 0 40 1 0 0 1 1", {1, 1, -2},    {210, 190, 70}},
};
// clang-format on

} // namespace

prim_numbers new_primitive(int shape, const vec &at, double size)
{
    const shape_default &d = defaults[shape >= 0 && shape < SHAPES ? shape : SHAPE_SPHERE];
    prim_numbers p;
    p.num[P_TYPE] = number_text(d.type);
    const char *o = d.optics;
    for (int k = P_SURF; k <= P_SENSE; k++) {
        const char *end = std::strchr(o, ' ');
        p.num[k] = end ? std::string(o, end) : std::string(o);
        o = end ? end + 1 : o;
    }
    const double s = d.type == PRIM_PLANE ? 1 : size;
    const double place[3] = {at.x, at.y, at.z};
    for (int c = 0; c < 3; c++) {
        p.num[P_GX + c] = digits_text(d.axes[c] * s, EDIT_DIGITS);
        p.num[P_PX + c] = digits_text(place[c], EDIT_DIGITS);
        p.num[P_R + c] = number_text(d.col[c]);
    }
    return p;
}

light_numbers new_light(const vec &at, double bright)
{
    light_numbers l;
    const double v[LIGHT_FIELDS] = {at.x, at.y, at.z, bright};
    for (int k = 0; k < LIGHT_FIELDS; k++)
        l.num[k] = digits_text(v[k], EDIT_DIGITS);
    return l;
}
