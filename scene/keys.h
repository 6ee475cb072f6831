// keys.h - the scenes between key scenes: every number of one .RT file
// moving towards its value in another of the same structure.
//
//   keyscene a, b;                         // each read with its map:
//   data_load(a.sc, "a.RT", msgs, &a.map); // a fresh scene, not one reused
//   keydiff d;
//   if (key_differs(a, b, d)) ...          // d: the first difference, and where
//   int seg; double u;
//   key_place(k, n, nkeys, seg, u);        // where frame k of n falls
//   key_mix(*keys[seg], *keys[seg + 1], u, sc, axes);
//   rt_text(sc, text, msgs, axes);         // the file of that scene (rtwrite.h)
//
// A key needs the map its file was read with (the places for messages, the
// semi-axes as written). A scene that was not read as it stands (one whose
// camera the window changed) becomes a key by way of its file: rt_text,
// then data_load_text into the keyscene with its map.
//
// Structure: key scenes mix when they have the same picture size (ixmx,
// iymx), numbers of lights and primitives and depth (ilvlmx), and record by
// record the same type, surf, spare, pat and sense and the same partners.
// key_differs walks both in file order and names the first field that
// differs, with its place in each file.
//
// Frame k of n over nkeys key scenes: t = k·(nkeys−1)/(n−1) (0 when n is
// 1), segment seg = floor(t) but the last one when t = nkeys−1, u = t − seg.
//
// Mixing a with b at u: a number read as a real becomes a + (b − a)·u, in
// double and in that order; one that is the same in both stays as it is
// (so -0 stays -0, and an infinity does not become a nan). A colour
// component or npow becomes a + (b − a)·u rounded to the nearest whole
// number, halves away from zero. Every other number is a's (the same in b
// by the structure). Quadrics and cones mix the semi-axes the files give
// (scene_map::axes), and their coefficients are made from the result as
// the reader makes them: writing the mixed scene with its semi-axes gives
// a file that reads back as exactly that scene. A key mixed with itself is
// itself.
#pragma once

#include "rtread.h"
#include "scene.h"

#include <string>

struct keyscene {
    scene sc;
    scene_map map;
};

// The first difference in structure: what differs ("primitive 3: surf",
// "the number of lights"), its value in each scene as text, and where it
// stands in each file (no place where the file has none).
struct keydiff {
    std::string what;
    std::string a, b;
    place at_a, at_b;
};

// true, with the first difference in d, when a and b cannot be mixed.
bool key_differs(const keyscene &a, const keyscene &b, keydiff &d);

// Where frame k (0..n-1) of n falls among nkeys key scenes (nkeys >= 1):
// between keys seg and seg + 1 (seg + 1 is seg itself for a single key),
// u of the way.
void key_place(int k, int n, int nkeys, int &seg, double &u);

// The scene u of the way from a to b, into sc; axes (PRIM_MAX entries)
// receives the geom of each primitive as a file gives it: semi-axes for
// quadrics and cones.
void key_mix(const keyscene &a, const keyscene &b, double u, scene &sc, vec *axes);

// The mixing of one number, as above.
double key_real(double a, double b, double u);
int key_whole(int a, int b, double u);
