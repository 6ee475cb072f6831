// A click on the picture in studio view, without a window: the dot a
// point of the view shows, the silhouette of what is selected, what the
// status line says, and which scene a click picks from.
#include "app/session/appstate.h"
#include "app/studio/studio_pick.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(StudioPick, ViewDotsAndSilhouettes)
{
    int x, y;
    const int cases[][7] = {
        // zoom, w, h, vx, vy -> x, y
        {100, 8, 6, 3, 2, 3, 2},
        {200, 8, 6, 7, 5, 3, 2},
        {50, 8, 6, 3, 2, 6, 4},
        {400, 8, 6, 31, 23, 7, 5},
    };
    for (auto &c : cases) {
        ASSERT_TRUE(view_dot(c[0], c[1], c[2], c[3], c[4], x, y)) << c[0];
        EXPECT_EQ(x, c[5]);
        EXPECT_EQ(y, c[6]);
    }
    EXPECT_FALSE(view_dot(100, 8, 6, 8, 0, x, y));
    EXPECT_FALSE(view_dot(200, 8, 6, 0, 12, x, y));

    // a 2 x 2 block of primitive 1 in a 4 x 3 picture, at 200 %
    const std::vector<int> ids = {-1, 1, 1, -1, -1, 1, 1, 0, 0, 0, 0, 0};
    std::vector<unsigned char> d;
    int W, H;
    silhouette(ids, 4, 3, {1}, 200, d, W, H);
    ASSERT_TRUE(W == 8 && H == 6);
    EXPECT_EQ(d[0 * 8 + 1], 0);
    EXPECT_EQ(d[0 * 8 + 2], 2); // its top row is edge
    EXPECT_EQ(d[1 * 8 + 3], 1); // within
    EXPECT_EQ(d[3 * 8 + 5], 2);
    EXPECT_EQ(d[4 * 8 + 3], 0);
    silhouette(ids, 4, 3, {}, 200, d, W, H);
    EXPECT_EQ(std::count(d.begin(), d.end(), 0), 48);

    scene sc;
    sc.primmx = 2;
    sc.pri[1].type = PRIM_BOX;
    pick_hit h;
    h.index = 1;
    h.point = vec{1.5, -2, 0.25};
    EXPECT_EQ(pick_text(sc, 3, 4, h), "dot 3, 4: primitive 2 (box), met at 1.5, -2, 0.25");
    h.index = -1;
    EXPECT_EQ(pick_text(sc, 3, 4, h), "dot 3, 4: background");
}

// A click picks from the render that made the picture, from the model
// while a frame of it covers the picture, and from nothing without a
// picture or a scene that made it.
TEST(StudioPick, WhichSceneAClickPicksFrom)
{
    app_state a;
    std::shared_ptr<const scene> sc;
    frame f;
    EXPECT_EQ(pick_source(a, false, sc, f), PICK_NOTHING); // no picture
    a.image_ready = 1;
    EXPECT_EQ(pick_source(a, false, sc, f), PICK_FROM_FILE);

    a.model.vpnaz = 1;
    a.model.ixmx = 8, a.model.iymx = 6;
    auto made = std::make_shared<const scene>(a.model);
    a.made_scene = made;
    ASSERT_TRUE(make_frame(*made, 0, a.made_frame));
    a.made_frame.width = 99; // the picture's own frame, as the render gave it
    ASSERT_EQ(pick_source(a, false, sc, f), PICK_SCENE);
    EXPECT_EQ(sc, made);
    EXPECT_EQ(f.width, 99);

    a.model.ixmx = 12; // a live frame of the moved model covers it
    ASSERT_EQ(pick_source(a, true, sc, f), PICK_SCENE);
    EXPECT_NE(sc, made);
    EXPECT_EQ(f.width, 12);
    a.model.vpnaz = 0; // no view
    EXPECT_EQ(pick_source(a, true, sc, f), PICK_NOTHING);
}
