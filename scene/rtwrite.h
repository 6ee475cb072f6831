// rtwrite.h - the .RT scene file writer: the reader's inverse.
//
// rt_text makes the text of a .RT file that data_load (rtread.h) reads
// back into exactly the scene it was given: every number to the bit (-0,
// inf and nan with its sign and payload included), both counts, and each
// primitive's partner list. It is laid out as a person would write it:
//   rx ry rz
//   vpnax vpnay vpnaz
//   dlength wdu
//   ixmx iymx
//   nlg
//   x y z bright                  one line per light
//   ilvlmx
//   type surf ka kd ks spare npow refr trans pat patw sense gx gy gz px py pz r g b
//                                 one line per primitive
//   -1
//   1-based members ... -1        one line per group
//   -1
// A number is the shortest text that reads back as the same value; the
// coefficients of quadrics and cones go out as semi-axes the reader turns
// back into them. The groups are rebuilt from the partner lists, in an
// order that leaves each primitive with its own list when they are read.
//
// Only what a .RT file holds is written: primitives 0..primmx-1 and lights
// 0..nlg-1 (a negative nlg is written as it is, with no lights). length3d,
// uvec and vvec are not part of a .RT file, nor are the partner slots
// beyond nmem.
//
// Some models no file can give: a count beyond its table, a negative type
// (it would end the records), a signalling nan, a partner list no group
// section leaves, a coefficient no semi-axis makes. The last are many:
// sgn(v)/v^2 steps over about every other double (2 is not made, 0.25
// is) and makes none in 0 < |k| < 5.6e-309. rt_text then returns 0 with
// the reason in msgs rather than a file that reads back as something
// else. A scene the reader filled has none of them, and the SETTING
// dialog cannot make them; code that sets coefficients itself should
// make them from semi-axes as the reader does.
//
// Files are not this layer's business (scene/ uses base/ only); the window
// saves with the image layer's safe writer:
//   std::string text;
//   if (rt_text(sc, text, msgs))
//       ok = write_file_safely(path, (const unsigned char *)text.data(), text.size(), msgs);
#pragma once

#include "scene.h"

#include <string>

struct msglist;

// 1 with the file's text in text; 0 with the reason in msgs (text is then
// unspecified). axes, when given, holds for each primitive the semi-axes
// to write for a quadric or cone (scene_map::axes of the file read): each
// that makes the stored coefficient is written as it is, so the file says
// what was read or mixed, not merely something that reads the same.
int rt_text(const scene &sc, std::string &text, msglist &msgs, const vec *axes = nullptr);

// The shortest text the reader takes for exactly d, whatever the locale;
// empty for a signalling nan, which no text gives (a nan read is quiet).
std::string number_text(double d);
std::string number_text(int v);
// The text of d to `digits` significant digits, as a number set by hand
// is written: no noise digits of binary arithmetic (0.1 + 0.2 gives
// "0.3"), no trailing zeros; the shortest text that reads back as the
// rounded value. Empty for a nan or an infinity.
std::string digits_text(double d, int digits);
// The shortest text of a semi-axis the reader turns into exactly the
// quadric or cone coefficient k; empty when there is none.
std::string axis_text(double k);
