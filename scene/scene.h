// scene.h - the scene model: fixed tables of primitives and lights, the
// camera and the image size, as plain global data.
//
// The reader (rtread.h) fills it, the SETTING dialog edits the camera and
// the size, the tracer reads it; the render driver normalises the look
// direction, clamps the size and writes uvec and vvec before each picture.
// Nothing here is allocated: a new scene overwrites the tables in place.
//
// Geometry by type, with X, Y, Z relative to pos:
//   1 plane    geom = normal N            surface (X,Y,Z).N = 0, solid .N <= 0
//   2 box      geom = half sizes          axis-aligned, solid |X|<=hx, ...
//   3 quadric  geom = Kx, Ky, Kz          Kx X^2 + Ky Y^2 + Kz Z^2 = 1 (<= 1)
//   4 cone     geom = Kx, Ky, Kz          Kx X^2 + Ky Y^2 + Kz Z^2 = 0 (<= 0)
// For types 3 and 4 the file gives signed semi-axes v, stored as sgn(v)/v^2.
// sense > 0 is the solid, sense <= 0 its closed complement.
#pragma once

#include "../trace/vec.h"

constexpr int PRIM_MAX = 100;
constexpr int LIGHT_MAX = 100;
constexpr int MEMBER_MAX = 40;

constexpr double FAR = 1e10;      // no-hit marker coordinate and distance bound
constexpr double HIT_EPS = 1e-10; // smallest accepted ray parameter

constexpr int WIDTH_MAX = 1024;
constexpr int HEIGHT_MAX = 768;

struct primrec {
    int type;     // 1 plane, 2 box, 3 quadric, 4 cone
    int surf;     // 2 mirror, 3 transparent, other opaque
    double ka, kd, ks;
    int spare;    // read from the file, used by nothing
    int npow;     // specular exponent
    double refr;  // refractive index (surf 3)
    double trans; // transmittance in shadow tests (surf 3)
    int pat;      // 0 plain, 1 checker, 2 stripes across y, 3 diagonal
    double patw;  // pattern cell width
    int sense;    // > 0 solid, <= 0 complement
    vec geom;
    vec pos;
    colr col;
    int nmem;             // partners: the other members of the group
    int mem[MEMBER_MAX];  // 0-based indices of the partners
};

struct ligrec {
    vec pos;
    double bright;
};

extern primrec pri[PRIM_MAX];
extern ligrec lig[LIGHT_MAX];
extern int primmx; // primitives in use
extern int nlg;    // lights in use (a negative count reads and uses none)

extern double rx, ry, rz;          // look point, centre of the view window
extern double vpnax, vpnay, vpnaz; // from the look point towards the eye
extern double dlength;             // eye distance from the look point
extern double wdu;                 // view window width at the look point
extern int ixmx, iymx;             // image size in dots
extern int ilvlmx;                 // secondary ray generations per dot
extern vec uvec, vvec;             // screen right and up, set by ray_main
extern double length3d;            // stereo eye offset, fraction of dlength

// Back to the start-up state: everything zero, length3d 0.16.
void scene_reset();
