#include "templates.h"

#include "../base/msg.h"
#include "newscene.h"
#include "rtread.h"

#include <cstring>

namespace {

// A rounded cube with three tunnels: a box, cut to a sphere, with three
// cylinders (sense -1) bored through along x, y and z.
const char csg_text[] = R"(0 0 0.8
0.45 -1 0.4
10 5
640 480
2
-5 -7 9 0.6
6 -4 7 0.3
2
1 1 0.2 0.7 0 0 1 1 0 1 1.5 1 0 0 1 0 0 0 110 130 160
2 1 0.15 0.7 0.4 0 30 1 0 0 1 1 0.8 0.8 0.8 0 0 0.8 240 165 50
3 1 0.15 0.7 0.4 0 30 1 0 0 1 1 1.1 1.1 1.1 0 0 0.8 240 165 50
3 1 0.15 0.7 0.4 0 30 1 0 0 1 -1 0 0.45 0.45 0 0 0.8 120 120 130
3 1 0.15 0.7 0.4 0 30 1 0 0 1 -1 0.45 0 0.45 0 0 0.8 120 120 130
3 1 0.15 0.7 0.4 0 30 1 0 0 1 -1 0.45 0.45 0 0 0 0.8 120 120 130
-1
2 3 4 5 6 -1
-1
)";

// A glass ball and a mirror ball before two coloured balls, on a dark
// checkerboard, with a wall behind the eye for the mirror to show.
const char glass_text[] = R"(0 0.5 1
0.3 -1 0.4
11 8
640 480
2
-5 -7 9 0.6
5 -3 8 0.35
5
1 1 0.25 0.8 0 0 1 1 0 1 1 1 0 0 1 0 0 0 30 45 80
1 1 0.25 0.65 0 0 1 1 0 0 1 1 0 -1 0 0 6 0 225 220 205
1 1 0.3 0.6 0 0 1 1 0 0 1 1 0 1 0 0 -16 0 200 200 190
3 3 0.02 0.08 0.1 0 100 1.5 0.85 0 1 1 1 1 1 -0.8 -0.5 1 240 245 250
3 2 0.04 0.12 0.85 0 100 1 0 0 1 1 0.9 0.9 0.9 1.6 1.6 0.9 220 225 230
3 1 0.15 0.7 0.5 0 40 1 0 0 1 1 0.5 0.5 0.5 -0.3 2 0.5 230 60 50
3 1 0.15 0.7 0.5 0 40 1 0 0 1 1 0.45 0.45 0.45 -2.6 1.2 0.45 60 200 80
-1
-1
)";

// Back row: a sphere, a one-sheet hyperboloid and a double cone; front
// row: a cylinder, a two-sheet hyperboloid (sense -1: the sheets' insides)
// and a cone. The infinite ones are cut by a box, the cone by a plane.
const char quadrics_text[] = R"(0 1 0.8
0.1 -1 0.75
14 10.5
640 480
2
-5 -7 9 0.6
6 -4 7 0.3
1
1 1 0.25 0.75 0 0 1 1 0 1 1 1 0 0 1 0 0 0 165 170 180
1 1 0.25 0.7 0 0 1 1 0 0 1 1 0 -1 0 0 5 0 180 190 205
3 1 0.15 0.7 0.5 0 40 1 0 0 1 1 1 1 1 -3 2.5 1 230 120 40
3 1 0.15 0.7 0.5 0 40 1 0 0 1 1 0.45 0.45 -0.6 0 2.5 1 90 170 110
2 1 0.15 0.7 0.5 0 40 1 0 0 1 1 1 1 1 0 2.5 1 90 170 110
4 1 0.15 0.7 0.5 0 40 1 0 0 1 1 0.7 0.7 -1 3 2.5 1 230 140 50
2 1 0.15 0.7 0.5 0 40 1 0 0 1 1 1 1 1 3 2.5 1 230 140 50
3 1 0.15 0.7 0.5 0 40 1 0 0 1 1 0.8 0.8 0 -3 -0.5 1 60 140 220
2 1 0.15 0.7 0.5 0 40 1 0 0 1 1 1 1 1 -3 -0.5 1 60 140 220
3 1 0.15 0.7 0.5 0 40 1 0 0 1 -1 0.35 -0.6 -0.6 0 -0.5 1 60 180 190
2 1 0.15 0.7 0.5 0 40 1 0 0 1 1 1 1 1 0 -0.5 1 60 180 190
4 1 0.15 0.7 0.5 0 40 1 0 0 1 1 0.5 0.5 -1 3 -0.5 2 215 160 80
1 1 0.15 0.7 0.5 0 40 1 0 0 1 1 0 0 1 3 -0.5 2 215 160 80
-1
4 5 -1
6 7 -1
8 9 -1
10 11 -1
12 13 -1
-1
)";

// Balls and a cone at different depths, kept near the look point so the
// pair fuses easily: two views of 400 x 300 side by side.
const char stereo_text[] = R"(0 0 1.2
0.15 -1 0.35
12 7
800 300
2
-5 -9 9 0.6
6 -7 10 0.25
2
1 1 0.2 0.75 0 0 1 1 0 1 1 1 0 0 1 0 0 0 200 200 210
1 1 0.3 0.65 0 0 1 1 0 0 1 1 0 -1 0 0 3 0 175 190 210
3 1 0.2 0.75 0.5 0 40 1 0 0 1 1 0.6 0.6 0.6 -1.8 -1.6 0.6 242 60 60
3 2 0.04 0.12 0.85 0 100 1 0 0 1 1 0.7 0.7 0.7 0 0 0.7 220 225 230
3 1 0.2 0.75 0.5 0 40 1 0 0 1 1 0.6 0.6 0.6 1.8 1.6 0.6 60 60 242
4 1 0.15 0.7 0.4 0 30 1 0 0 1 1 0.3 0.3 -0.9 -0.4 2.2 1.8 60 242 60
1 1 0.15 0.7 0.4 0 30 1 0 0 1 1 0 0 1 -0.4 2.2 1.8 60 242 60
-1
6 7 -1
-1
)";

const scene_template templates[] = {
    {"start", "A floor and a sphere",
     "a camera, a light, a checkered floor and a sphere: the scene New Scene starts from",
     new_scene_text, 0},
    {"csg", "A CSG piece",
     "a rounded cube with three tunnels: one group of a box, a sphere and three cylinders "
     "with sense -1",
     csg_text, 0},
    {"glass", "Glass and mirrors",
     "a glass ball and a mirror ball among coloured balls, traced five levels deep", glass_text, 0},
    {"quadrics", "The quadric gallery",
     "sphere, cylinder, hyperboloids of one and two sheets, a cone and a double cone, each "
     "limited by a box or a plane",
     quadrics_text, 0},
    {"stereo", "A stereo pair",
     "balls and a cone at different depths, for Make 3D Image (koru-cli render --stereo)",
     stereo_text, 1},
};

constexpr int template_count = sizeof templates / sizeof templates[0];

} // namespace

int scene_template_count() { return template_count; }

const scene_template &scene_template_at(int i) { return templates[i]; }

const scene_template *find_scene_template(const char *name)
{
    for (const scene_template &t : templates)
        if (!std::strcmp(t.name, name))
            return &t;
    return nullptr;
}

void load_template(scene &sc, const scene_template &t)
{
    msglist msgs;
    data_load_text(sc, t.text, std::strlen(t.text), msgs);
}
