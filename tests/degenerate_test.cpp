// Scenes that ask for degenerate arithmetic or break the file's rules
// (tests/degenerate). Each loads, renders to the end, the same way with
// the plain search and on two threads on every kernel path, in one view
// and in stereo; koru-cli renders it
// (status 0) or refuses it in one line (status 1), draws its thumbnail or
// refuses that in one line, and lists it as JSON.
#include "../fuzz/harness.h"
#include "../image/rgb.h"
#include "../scene/rtread.h"
#include "testscene.h"
#include "../trace/render.h"
#include "child.h"
#include "inputs.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

const std::string DIR = KORU_SOURCE_DIR "/tests/degenerate/";

std::vector<std::string> scenes()
{
    std::vector<std::string> names;
    for (const std::string &path : inputs_under("tests/degenerate/", ".RT"))
        names.push_back(path.substr(DIR.size()));
    return names;
}

// The scenes koru-cli must refuse; every other one renders.
const std::set<std::string> refused = {
    "binary.RT",           // no numbers: no look direction
    "empty.RT",            // the same
    "huge-neg.RT",         // the look direction's length overflows
    "huge-pos.RT",         // the same
    "inf-look.RT",         // a look direction with an infinite component
    "int-range-size.RT",   // a width of -2147483648
    "mirror-room-deep.RT", // mirrors facing each other at depth 2147483647
    "unterminated-header.RT",
    "zero-look.RT",
};

std::string test_name(const testing::TestParamInfo<std::string> &p)
{
    std::string s = p.param.substr(0, p.param.size() - 3);
    std::replace(s.begin(), s.end(), '-', '_');
    return s;
}

class Degenerate : public testing::TestWithParam<std::string> {};

// Scenes whose rays nest hundreds of thousands deep.
bool deep(const std::string &name) { return name == "mirror-room-deep.RT"; }

TEST_P(Degenerate, RendersAlikeOnEveryPath)
{
    if (deep(GetParam()))
        SKIP_DEEP_UNDER_TSAN();
    scene_begin();
    ASSERT_EQ(data_load((DIR + GetParam()).c_str()), 1);
    const int w = ixmx, h = iymx, depth = ilvlmx;
    const double vx = vpnax, vy = vpnay, vz = vpnaz;
    int one = render_each_way(tsc, 0);
    ixmx = w, iymx = h, ilvlmx = depth;
    vpnax = vx, vpnay = vy, vpnaz = vz;
    int pair = render_each_way(tsc, 1);
    EXPECT_EQ(one, pair);
    if (refused.count(GetParam()))
        EXPECT_TRUE(one != RAY_DONE || ixmx <= 0 || iymx <= 0);
    else
        EXPECT_EQ(one, RAY_DONE);
}

TEST_P(Degenerate, KoruCliRendersOrRefusesInOneLine)
{
    if (deep(GetParam()))
        SKIP_DEEP_UNDER_TSAN();
    temp_dir tmp;
    const std::string out = tmp / "out.BMP";
    child_result r = run_cli({"render", DIR + GetParam(), out});
    ASSERT_EQ(r.signal, 0) << r.err;
    std::vector<std::string> errors = error_lines(r.err);
    if (refused.count(GetParam())) {
        EXPECT_EQ(r.status, 1) << r.err;
        ASSERT_EQ(errors.size(), 1u) << r.err;
        EXPECT_EQ(errors[0].rfind("koru-cli: ", 0), 0u) << errors[0];
        EXPECT_FALSE(exists(out));
    } else {
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(errors.empty()) << r.err;
        std::string bmp = slurp(out);
        ASSERT_GE(bmp.size(), 54u);
        EXPECT_EQ(bmp.substr(0, 2), "BM");
    }
    EXPECT_EQ(list_dir(tmp.path).size(), r.status == 0 ? 1u : 0u) << "a temporary file was left";
}

// A file manager's thumbnail of it is a PNG, or one line and no file: never
// a crash, and never a hang (the deadline ends the render; the test's own
// timeout would catch a hang).
TEST_P(Degenerate, KoruCliThumbnailsOrRefusesInOneLine)
{
    if (deep(GetParam()))
        SKIP_DEEP_UNDER_TSAN();
    temp_dir tmp;
    const std::string out = tmp / "thumb.png";
    child_result r = run_cli({"thumbnail", DIR + GetParam(), out, "--seconds", "1"});
    ASSERT_EQ(r.signal, 0) << r.err;
    ASSERT_TRUE(r.status == 0 || r.status == 1) << r.status << ": " << r.err;
    const std::vector<std::string> errors = error_lines(r.err);
    EXPECT_EQ(errors.size(), r.status == 0 ? 0u : 1u) << r.err;
    if (r.status == 0) {
        EXPECT_EQ(slurp(out).substr(1, 3), "PNG");
    }
    EXPECT_EQ(list_dir(tmp.path).size(), r.status == 0 ? 1u : 0u) << "a temporary file was left";
}

TEST_P(Degenerate, KoruCliListsValidJson)
{
    child_result r = run_cli({"info", DIR + GetParam()});
    ASSERT_EQ(r.signal, 0) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(json_valid(r.out.data(), r.out.size())) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Scenes, Degenerate, testing::ValuesIn(scenes()), test_name);

// With the eye in the view window (dlength 0) the dot whose window point is
// the look point gets a zero direction; it hits nothing and shows black,
// while its neighbours see the glass sphere around the eye.
TEST(DegenerateDots, ZeroDirectionShowsBlack)
{
    ASSERT_EQ(data_load((DIR + "dlength0.RT").c_str()), 1);
    ASSERT_EQ(ixmx % 2, 0);
    ASSERT_EQ(iymx % 2, 0);
    ASSERT_EQ(ray_main(0), RAY_DONE);
    auto dot = [](int x, int y) {
        int i = y * ixmx + x;
        return gdatar[i] + gdatag[i] + gdatab[i];
    };
    EXPECT_EQ(dot(ixmx / 2, iymx / 2), 0);
    EXPECT_GT(dot(ixmx / 2 - 1, iymx / 2), 0);
    EXPECT_GT(dot(ixmx / 2, iymx / 2 - 1), 0);
}

// The SETTING dialog takes any stereo eye offset.
TEST(DegenerateDots, StereoAtAnyEyeOffset)
{
    for (double off : {0.0, -2.0, 1e308, (double)INFINITY, (double)NAN}) {
        ASSERT_EQ(data_load((DIR + "box-sense0.RT").c_str()), 1);
        length3d = off;
        EXPECT_EQ(render_each_way(tsc, 1), RAY_DONE) << off;
    }
    length3d = 0.16;
}

} // namespace
