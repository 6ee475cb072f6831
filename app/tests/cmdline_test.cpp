// koru's command line, read before the toolkit starts, and whether the
// window has a display to open on.
#include "app/session/cmdline.h"
#include "app/tests/script_ui.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

namespace {

int parse(std::vector<const char *> args, cmdline &c, std::string &err)
{
    args.insert(args.begin(), "koru");
    return parse_cmdline((int)args.size(), const_cast<char **>(args.data()), c, err);
}

} // namespace

namespace {

struct cmd_case {
    std::vector<const char *> args;
    int rc;
    bool live;
    int mode, zoom;
    const char *file, *err;
    const char *platform = "";
};

const cmd_case CMD_CASES[] = {
    {{}, CMD_RUN, false, -1, -1, "", ""},
    {{"--live", "--mode", "2", "--zoom", "150", "room.RT"}, CMD_RUN, true, 2, 150, "room.RT", ""},
    {{"pic.BMP", "--zoom", "50"}, CMD_RUN, false, -1, 50, "pic.BMP", ""},
    {{"--", "-odd.RT"}, CMD_RUN, false, -1, -1, "-odd.RT", ""},
    {{"--help"}, CMD_HELP, false, -1, -1, "", ""},
    {{"--mode", "3"}, CMD_BAD, false, -1, -1, "", "--mode takes a whole number from 0 to 2"},
    {{"--zoom", "401"}, CMD_BAD, false, -1, -1, "", "--zoom takes"},
    {{"--zoom", "1e2"}, CMD_BAD, false, -1, -1, "", "not \"1e2\""},
    {{"--zoom"}, CMD_BAD, false, -1, -1, "", "--zoom needs a value"},
    {{"--fast"}, CMD_BAD, false, -1, -1, "", "unknown option \"--fast\""},
    {{"a.RT", "b.RT"}, CMD_BAD, false, -1, -1, "", "one file only"},
    // the toolkit's own options and their values pass by
    {{"-platform", "offscreen", "--live", "-reverse", "-style=fusion", "--style", "x", "a.RT"},
     CMD_RUN,
     true,
     -1,
     -1,
     "a.RT",
     "",
     "offscreen"},
    {{"-display", ":1", "-qwindowgeometry", "9x9", "b.RT"}, CMD_RUN, false, -1, -1, "b.RT", ""},
    {{"a.RT", "-platform"}, CMD_BAD, false, -1, -1, "", "-platform needs a value"},
    {{"-platformx", "y"}, CMD_BAD, false, -1, -1, "", "unknown option \"-platformx\""},
};

} // namespace

TEST(CommandLine, OptionsValuesAndMistakes)
{
    for (auto &c : CMD_CASES) {
        cmdline cl;
        std::string err;
        const int rc = parse(c.args, cl, err);
        EXPECT_EQ(rc, c.rc) << err;
        if (rc == CMD_BAD) {
            EXPECT_NE(err.find(c.err), std::string::npos) << err;
            EXPECT_EQ(err.find('\n'), std::string::npos); // one line
            continue;
        }
        if (rc == CMD_RUN) {
            EXPECT_TRUE(cl.live == c.live && cl.mode == c.mode && cl.zoom == c.zoom &&
                        cl.file == c.file && cl.platform == c.platform);
        }
    }
    cmdline studio;
    std::string err;
    EXPECT_EQ(parse({"--studio", "room.RT"}, studio, err), CMD_RUN);
    EXPECT_TRUE(studio.studio && !studio.live && studio.file == "room.RT");
    EXPECT_TRUE(is_picture_name("a/b.png") && is_picture_name("X.BMP"));
    EXPECT_FALSE(is_picture_name("room.RT") || is_picture_name("bmp"));
}

TEST(CommandLine, DisplayOfThePlatformTheToolkitStarts)
{
    temp_dir run;
    const std::string with_socket = run.mkdir("with"), without = run.mkdir("without");
    run.file("with/wayland-0");
    struct {
        std::vector<const char *> args;
        std::map<std::string, std::string> env;
        bool present;
    } cases[] = {
        {{}, {}, false},
        {{}, {{"DISPLAY", ":0"}}, true},
        {{}, {{"DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}, false}, // set but empty
        {{"-display", ":1"}, {}, true},
        // a Wayland session, by its variables or its default socket
        {{}, {{"WAYLAND_DISPLAY", "wayland-1"}}, true},
        {{}, {{"WAYLAND_SOCKET", "5"}}, true},
        {{}, {{"XDG_RUNTIME_DIR", with_socket}}, true},
        {{}, {{"XDG_RUNTIME_DIR", without}}, false},
        // a platform named, by the environment or (first) the command line
        {{}, {{"QT_QPA_PLATFORM", "offscreen"}}, true},
        {{"-platform", "offscreen"}, {}, true},
        {{"-platform", "xcb"}, {{"QT_QPA_PLATFORM", "offscreen"}}, false},
        {{}, {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}, false},
        {{}, {{"QT_QPA_PLATFORM", "wayland-egl"}, {"DISPLAY", ":0"}}, false},
        {{}, {{"QT_QPA_PLATFORM", "wayland;xcb:nograb"}, {"DISPLAY", ":0"}}, true},
        {{}, {{"QT_QPA_PLATFORM", "eglfs"}}, true},
        {{}, {{"QT_QPA_PLATFORM", ";"}}, false},
    };
    for (auto &c : cases) {
        cmdline cl;
        std::string err;
        ASSERT_EQ(parse(c.args, cl, err), CMD_RUN);
        auto env = [&c](const char *name) -> const char * {
            auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(display_present(cl, env), c.present)
            << (c.env.empty() ? "" : c.env.begin()->first + "=" + c.env.begin()->second);
    }
}
