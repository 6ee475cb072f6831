// Dragging a point of the scene: it shows where the eye's ray through its
// dot meets it, and a drag keeps it under the mouse, across the screen or
// toward the eye, on cameras of every kind.
#include "trace/drag.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct camera {
    double look[3], dir[3], dlength, wdu;
    int w, h, stereo;
};

const camera CAMERAS[] = {
    {{0, 0, 0}, {0, 0, 1}, 10, 6, 40, 30, 0},             // from straight above
    {{0, 2, 1.6}, {0.35, -1, 0.32}, 11, 10, 800, 600, 0}, // a room's
    {{1, -2, 3}, {-3, 0.5, 0.01}, 4, 2.5, 320, 240, 1},   // a pair, nearly level
    {{5, 5, 5}, {0, -1, 0}, 100, 80, 64, 48, 0},          // looking along -y
};

vec plus(const vec &a, const vec &b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
double dist(const vec &a, const vec &b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

frame frame_of(const camera &c)
{
    auto sc = std::make_unique<scene>();
    sc->rx = c.look[0], sc->ry = c.look[1], sc->rz = c.look[2];
    sc->vpnax = c.dir[0], sc->vpnay = c.dir[1], sc->vpnaz = c.dir[2];
    sc->dlength = c.dlength, sc->wdu = c.wdu;
    sc->ixmx = c.w, sc->iymx = c.h;
    frame f;
    EXPECT_TRUE(make_frame(*sc, c.stereo, f));
    return f;
}

} // namespace

TEST(Drag, ThePointStaysUnderTheMouse)
{
    for (const camera &c : CAMERAS)
        for (int e = 0; e < (c.stereo ? 2 : 1); e++) {
            const frame f = frame_of(c);
            // points about the look point, in front of the eye
            for (const vec off : {vec{0, 0, 0}, vec{0.3, -0.2, 0.1}, vec{-1, 1, -0.5}}) {
                const vec p =
                    plus(f.look, {off.x * c.wdu / 4, off.y * c.wdu / 4, off.z * c.wdu / 4});
                double x, y;
                ASSERT_TRUE(dot_of_point(f, e, p, x, y));
                // the eye's ray through (x, y) passes through p
                vec by;
                ASSERT_TRUE(drag_across(f, e, p, x, y, x, y, by));
                EXPECT_LT(dist(by, {0, 0, 0}), 1e-12);
                for (const double m : {1.0, -7.5, 20.25}) {
                    ASSERT_TRUE(drag_across(f, e, p, x, y, x + m, y - 2 * m, by));
                    double x1, y1;
                    ASSERT_TRUE(dot_of_point(f, e, plus(p, by), x1, y1));
                    EXPECT_NEAR(x1, x + m, 1e-6);
                    EXPECT_NEAR(y1, y - 2 * m, 1e-6);
                    // across: no nearer to the eye's plane, no farther
                    const double along = by.x * f.dir.x + by.y * f.dir.y + by.z * f.dir.z;
                    EXPECT_NEAR(along, 0, 1e-9 * c.wdu);
                }
                // toward and away from the eye: still under the mouse
                for (const double k : {0.5, 1.5}) {
                    const vec q = plus(p, drag_depth(f, e, p, k));
                    double x1, y1;
                    ASSERT_TRUE(dot_of_point(f, e, q, x1, y1));
                    EXPECT_NEAR(x1, x, 1e-6);
                    EXPECT_NEAR(y1, y, 1e-6);
                    EXPECT_NEAR(dist(q, f.eye[e]), k * dist(p, f.eye[e]), 1e-9 * c.dlength);
                }
            }
            // behind the eye nothing shows
            const vec behind = plus(f.eye[e], f.dir);
            double x, y;
            EXPECT_FALSE(dot_of_point(f, e, behind, x, y));
        }
}
