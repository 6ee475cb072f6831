// Picking: the primitive a dot shows is the one its primary ray meets first,
// in one view and in a stereo pair, dot by dot and for the whole picture.
#include "randscene.h"
#include "testscene.h"

#include "trace/pick.h"

#include <gtest/gtest.h>

namespace {

using Pick = scene_fixture;

// The nearest hit, searched here on its own: every primitive in index order,
// a strictly smaller squared distance below FAR, types outside 1..4 never.
int nearest_by_hand(const scene &sc, const vec &o, const vec &d, vec &at)
{
    double best = FAR;
    int hit = -1;
    for (int i = 0; i < sc.primmx; i++) {
        if (!known_type(sc.pri[i].type))
            continue;
        vec p;
        crossp(p, o, d, sc.pri[i], sc.pri);
        const double d2 =
            (p.x - o.x) * (p.x - o.x) + (p.y - o.y) * (p.y - o.y) + (p.z - o.z) * (p.z - o.z);
        if (d2 < best) {
            best = d2;
            hit = i;
            at = p;
        }
    }
    return hit;
}

// Random scenes in which every surface shows some colour: a dot is black
// exactly where its ray meets nothing. The last primitive is a twin of the
// first, which it never shows: a tie goes to the lower index.
void colourful_scene(scene &sc, rng_t &r)
{
    random_scene(sc, r, 1, 2 + r.pick(20), 1 + r.pick(3));
    for (int i = 0; i < sc.primmx; i++) {
        colr &c = sc.pri[i].col;
        c = colr{std::max(c.r, 10), std::max(c.g, 10), std::max(c.b, 10)};
    }
    sc.pri[sc.primmx] = sc.pri[0];
    sc.primmx++;
    look(sc, r.v(1), r.v(1), 14, 8, 31, 18, 2);
}

TEST_F(Pick, EveryDotShowsTheFirstPrimitiveItsRayMeets)
{
    int shown = 0;
    for (int k = 0; k < 16; k++) {
        rng_t r(100 + k);
        sc = scene{};
        colourful_scene(sc, r);
        const int stereo = k % 2;
        const scene model = sc;
        frame f;
        ASSERT_TRUE(make_frame(model, stereo, f));
        ASSERT_EQ(make_image(stereo), RAY_DONE); // the picture, with the accelerated tracer
        std::vector<int> ids;
        pick_dots(model, f, ids);
        ASSERT_EQ(ids.size(), (size_t)(f.width * f.h));
        for (int y = 0; y < f.h; y++)
            for (int x = 0; x < f.width; x++) {
                pick_hit h;
                ASSERT_TRUE(pick_dot(model, stereo, x, y, h));
                // the left half of a pair is the eye moved along +uvec
                const int eye = stereo && x >= f.w ? 1 : 0;
                vec dir, at{FAR, FAR, FAR};
                make_eye(dir, f.eye[eye], x - eye * f.w, y, f);
                const int want = nearest_by_hand(model, f.eye[eye], dir, at);
                ASSERT_EQ(h.index, want) << "scene " << k << " dot " << x << "," << y;
                EXPECT_EQ(h.eye, eye);
                EXPECT_EQ(std::memcmp(&h.point, &at, sizeof at), 0);
                EXPECT_EQ(ids[y * f.width + x], want);
                EXPECT_NE(h.index, model.primmx - 1); // the twin
                const int i = y * f.width + x;
                EXPECT_EQ(pl.r[i] + pl.g[i] + pl.b[i] == 0, want < 0)
                    << "scene " << k << " dot " << x << "," << y;
                shown += want >= 0;
            }
    }
    EXPECT_GT(shown, 16 * 31 * 18 / 4);
}

TEST_F(Pick, OnlyDotsOfThePicture)
{
    add(sc, sphere(1));
    look(sc, {0, 0, 0}, {0, -1, 0}, 10, 4, 7, 5);
    pick_hit h;
    EXPECT_TRUE(pick_dot(sc, 0, 3, 2, h));
    EXPECT_EQ(h.index, 0);
    EXPECT_TRUE(pick_dot(sc, 0, 0, 0, h));
    EXPECT_EQ(h.index, -1);
    EXPECT_EQ(h.point.x, FAR);
    for (auto [x, y] : {std::pair{7, 0}, {0, 5}, {-1, 0}, {0, -1}})
        EXPECT_FALSE(pick_dot(sc, 0, x, y, h)) << x << "," << y;
    EXPECT_TRUE(pick_dot(sc, 1, 5, 4, h)); // the pair is 6 dots wide
    EXPECT_FALSE(pick_dot(sc, 1, 6, 0, h));
    sc.vpnay = 0;
    EXPECT_FALSE(pick_dot(sc, 0, 3, 2, h)); // no look direction
    frame none;
    sc.ixmx = 0;
    sc.vpnay = -1;
    ASSERT_TRUE(make_frame(sc, 0, none));
    std::vector<int> ids{1, 2};
    pick_dots(sc, none, ids);
    EXPECT_TRUE(ids.empty());
}

} // namespace
