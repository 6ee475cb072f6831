// scene.h - the scene model: fixed tables of primitives and lights, the
// camera and the image size, as one plain value.
//
// The reader (rtread.h) fills a scene, the SETTING dialog edits the camera
// and the size, the tracer reads a copy of it; a render hands back the
// frame it derived (the unit look direction, uvec and vvec, the clamped
// size), and the caller decides what to write back. Nothing here is
// allocated: a new file overwrites the tables in place, and copying a scene
// (about 35 KB) is cheap next to tracing it, but is never done per ray.
//
// Geometry by type, with X, Y, Z relative to pos:
//   1 plane    geom = normal N            surface (X,Y,Z).N = 0, solid .N <= 0
//   2 box      geom = half sizes          axis-aligned, solid |X|<=hx, ...
//   3 quadric  geom = Kx, Ky, Kz          Kx X^2 + Ky Y^2 + Kz Z^2 = 1 (<= 1)
//   4 cone     geom = Kx, Ky, Kz          Kx X^2 + Ky Y^2 + Kz Z^2 = 0 (<= 0)
// For types 3 and 4 the file gives signed semi-axes v, stored as sgn(v)/v^2.
// sense > 0 is the solid, sense <= 0 its closed complement.
#pragma once

#include "../base/vec.h"

// What the reader makes of a signed semi-axis v of a quadric or cone:
// sgn(v)/v^2 (0 stays 0). The writer looks for the v that gives a stored
// coefficient through this very function.
inline double axis_coef(double v) { return v != 0 ? sgn(v) / times2(v) : v; }

constexpr int PRIM_MAX = 100;
constexpr int LIGHT_MAX = 100;
constexpr int MEMBER_MAX = 40;

constexpr double FAR = 1e10;      // no-hit marker coordinate and distance bound
constexpr double HIT_EPS = 1e-10; // smallest accepted ray parameter

// Primitive types, as the file writes them.
enum { PRIM_PLANE = 1, PRIM_BOX = 2, PRIM_QUADRIC = 3, PRIM_CONE = 4 };
// Surface kinds with secondary rays; every other value is opaque.
enum { SURF_MIRROR = 2, SURF_GLASS = 3 };
// Surface patterns; every other value is plain.
enum { PAT_PLAIN = 0, PAT_CHECKER = 1, PAT_STRIPES = 2, PAT_DIAGONAL = 3 };

// A type outside 1..4 is read without complaint but is never hit: it
// neither shows, blocks nor dims.
inline bool known_type(int type) { return type >= PRIM_PLANE && type <= PRIM_CONE; }

struct primrec {
    int type; // PRIM_PLANE, PRIM_BOX, PRIM_QUADRIC or PRIM_CONE
    int surf; // SURF_MIRROR, SURF_GLASS, other opaque
    double ka, kd, ks;
    int spare;    // read from the file, used by nothing
    int npow;     // specular exponent
    double refr;  // refractive index (glass)
    double trans; // transmittance in shadow tests (glass)
    int pat;      // PAT_CHECKER on x and y, PAT_STRIPES across y, PAT_DIAGONAL, other plain
    double patw;  // pattern cell width
    int sense;    // > 0 solid, <= 0 complement
    vec geom;
    vec pos;
    colr col;
    int nmem;            // partners: the other members of the group
    int mem[MEMBER_MAX]; // 0-based indices of the partners
};

// The same partners, in the same order.
inline bool same_partners(const primrec &a, const primrec &b)
{
    if (a.nmem != b.nmem)
        return false;
    for (int m = 0; m < a.nmem && m < MEMBER_MAX; m++)
        if (a.mem[m] != b.mem[m])
            return false;
    return true;
}

struct ligrec {
    vec pos;
    double bright;
};

// A default scene is the start-up state: everything zero, length3d 0.16.
struct scene {
    primrec pri[PRIM_MAX] = {};
    ligrec lig[LIGHT_MAX] = {};
    int primmx = 0; // primitives in use
    int nlg = 0;    // lights in use (a negative count reads and uses none)

    double rx = 0, ry = 0, rz = 0;          // look point, centre of the view window
    double vpnax = 0, vpnay = 0, vpnaz = 0; // from the look point towards the eye
    double dlength = 0;                     // eye distance from the look point
    double wdu = 0;                         // view window width at the look point
    int ixmx = 0, iymx = 0;                 // image size in dots
    int ilvlmx = 0;                         // secondary ray generations per dot
    vec uvec{0, 0, 0}, vvec{0, 0, 0};       // screen right and up of the last picture
    double length3d = 0.16;                 // stereo eye offset, fraction of dlength
};
