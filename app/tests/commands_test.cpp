// The commands' order of calls and flag changes, with scripted answers.
#include "script_ui.h"

#include "app/commands.h"
#include "app/display_port.h"
#include "image/picfile.h"
#include "image/rgb.h"
#include "image/safewrite.h"
#include "base/msg.h"
#include "scene/rtread.h"
#include "scene/scene.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

struct Commands : ::testing::Test {
    temp_dir tmp;
    script_ui ui;
    void SetUp() override
    {
        app_start();
        mode = 0;
        zoom_size = 100;
        safewrite_fail_after = -1;
        // as if a dialog had been closed with OK in tmp
        std::strcpy(szTmpFilePath, (tmp.path + "/").c_str());
        std::strcpy(szFilePath, szTmpFilePath);
        tmp.file("ROOM.RT", small_scene(8, 6));
    }
    // Open ROOM.RT and render it: a picture that is not saved.
    void rendered()
    {
        ui.files.push_back(type_ok("ROOM.RT"));
        app_command(ui, IDM_OPENRT);
        app_command(ui, IDM_MAKE);
        ASSERT_EQ(image_ready, 1);
        ASSERT_EQ(data_change, 1);
        ui.msgs.clear();
    }
    int prompts() const
    {
        int n = 0;
        for (auto &m : ui.msgs)
            n += m.caption == "Save or not !";
        return n;
    }
};

TEST_F(Commands, StartUpState)
{
    EXPECT_EQ(rt_ready + image_ready + data_change, 0);
    EXPECT_STREQ(szFileExt, ".RT");
    EXPECT_STREQ(oldFName, "*.RT");
}

TEST_F(Commands, ExtensionSwitchKeepsOnlyTheFirstPart)
{
    char name[PATH_BYTES] = "A.B.RT";
    set_ext(name, ".BMP");
    EXPECT_STREQ(name, "A.BMP");
    set_ext(name, ".RT");
    EXPECT_STREQ(name, "A.RT");
    std::strcpy(name, "NODOT");
    set_ext(name, ".BMP");
    EXPECT_STREQ(name, "NODOT.BMP");
}

TEST_F(Commands, RenderBeforeASceneDoesNothing)
{
    app_command(ui, IDM_MAKE);
    app_command(ui, IDM_MAKE3D);
    EXPECT_EQ(ui.renders, 0);
    EXPECT_EQ(ui.cursor_peak, 0);
    EXPECT_EQ(ui.invalidates, 0);
    EXPECT_EQ(image_ready, 0);
}

TEST_F(Commands, OpenSceneThenRenderFollowsTheFlagTable)
{
    ui.files.push_back(type_ok("ROOM")); // LOAD finds ROOM.RT
    app_command(ui, IDM_OPENRT);
    EXPECT_EQ(rt_ready, 1);
    EXPECT_EQ(image_ready, 0);
    EXPECT_EQ(ui.title, tmp.path + "/ROOM.RT");
    EXPECT_STREQ(szFName, (tmp.path + "/ROOM.RT").c_str());
    EXPECT_STREQ(oldFName, "ROOM.RT");
    EXPECT_EQ(ui.offered[0], "*.RT");

    // the render works on a copy; the picture's frame is written back
    model.vpnaz = 5;
    model.ixmx = 9;
    app_command(ui, IDM_MAKE3D);
    EXPECT_EQ(model.vpnaz, 1);
    EXPECT_EQ(model.ixmx, 8);
    EXPECT_EQ(model.uvec.x, 1);
    EXPECT_EQ(model.vvec.y, 1);
    EXPECT_EQ(ui.busy_seen, 1); // greyed while it ran, and back after
    EXPECT_EQ(ui.command_changes, 2);
    EXPECT_EQ(app_busy(), 0);
    EXPECT_EQ(image_ready, 1);
    EXPECT_EQ(data_change, 1);
    EXPECT_EQ(ui.cursor, 0);
    EXPECT_GT(ui.cursor_peak, 0);
    EXPECT_EQ(disp_grid_w(), 8);
    EXPECT_EQ(disp_grid_h(), 6);
    EXPECT_TRUE(ui.msgs.empty());
}

TEST_F(Commands, ImageDialogOffersTheSceneNameAsBmp)
{
    app_command(ui, IDM_OPENBMP); // cancelled
    ui.files.push_back(type_ok("ROOM.RT"));
    app_command(ui, IDM_OPENRT);
    app_command(ui, IDM_SAVEBMP); // cancelled
    ASSERT_EQ(ui.offered.size(), 3u);
    EXPECT_EQ(ui.offered[0], "*.BMP");
    EXPECT_EQ(ui.offered[2], "ROOM.BMP");
    EXPECT_STREQ(oldFName, "ROOM.RT"); // switched back after each dialog
}

TEST_F(Commands, SaveClearsDataChangeAndWritesTheFile)
{
    rendered();
    ui.files.push_back(type_ok("OUT.BMP"));
    app_command(ui, IDM_SAVEBMP);
    EXPECT_EQ(data_change, 0);
    struct stat st;
    ASSERT_EQ(stat((tmp.path + "/OUT.BMP").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 54 + 6 * 24);
    EXPECT_STREQ(szFName, (tmp.path + "/OUT.BMP").c_str());
    EXPECT_EQ(ui.title, tmp.path + "/ROOM.RT"); // the title stays the scene's
}

TEST_F(Commands, PromptOnlyWhileBothFlagsAreSet)
{
    // no image: no question
    app_command(ui, IDM_OPENBMP);
    EXPECT_EQ(app_close(ui), 1);
    EXPECT_EQ(prompts(), 0);

    rendered();
    ui.answers = {ID_CANCEL};
    EXPECT_EQ(app_close(ui), 0);
    EXPECT_EQ(prompts(), 1);
    EXPECT_EQ(ui.msgs[0].text, "Image is changed !  Do you save ?");
    EXPECT_EQ(ui.msgs[0].kind, MB_YESNOCANCEL);

    // Cancel on the prompt of a command: no dialog, nothing changed
    size_t dialogs = ui.offered.size();
    ui.answers = {ID_CANCEL};
    app_command(ui, IDM_OPENRT);
    EXPECT_EQ(ui.offered.size(), dialogs);
    EXPECT_EQ(image_ready + data_change, 2);

    // saved: no more questions
    ui.answers = {ID_YES};
    ui.files.push_back(type_ok("A.BMP"));
    EXPECT_EQ(app_close(ui), 1);
    EXPECT_EQ(data_change, 0);
    EXPECT_EQ(app_close(ui), 1);
    EXPECT_EQ(prompts(), 3);
}

TEST_F(Commands, YesWithACancelledSaveGoesOn)
{
    rendered();
    ui.answers = {ID_YES};
    ui.files.push_back([](file_dlg &d) { FileOpenDlg_cancel(d); });
    EXPECT_EQ(save_or_not(ui), 1);
    EXPECT_EQ(data_change, 1);
}

TEST_F(Commands, NoThenLoadingAnImageStillAsks)
{
    rendered();
    ui.files.push_back(type_ok("P.BMP"));
    app_command(ui, IDM_SAVEBMP);
    data_change = 1; // as if rendered again

    ui.answers = {ID_NO};
    ui.files.push_back(type_ok("P.BMP"));
    app_command(ui, IDM_OPENBMP);
    EXPECT_EQ(image_ready, 1);
    EXPECT_EQ(data_change, 1);
    ui.answers = {ID_CANCEL};
    EXPECT_EQ(app_close(ui), 0);
    EXPECT_EQ(prompts(), 2);
}

TEST_F(Commands, CancelledRenderLeavesPictureAndFlags)
{
    rendered();
    std::vector<unsigned char> before(gdata.r, gdata.r + 48);
    unsigned gen = disp_grid_gen();
    data_change = 0;
    model.ixmx = 4;
    model.vpnaz = 3;
    ui.cancel_render = true;
    app_command(ui, IDM_MAKE);
    EXPECT_EQ(image_ready, 1);
    EXPECT_EQ(data_change, 0);
    EXPECT_EQ(model.ixmx, 4);
    EXPECT_EQ(model.vpnaz, 3);
    EXPECT_EQ(disp_grid_gen(), gen);
    EXPECT_EQ(std::vector<unsigned char>(gdata.r, gdata.r + 48), before);
    EXPECT_EQ(ui.cursor, 0);
    EXPECT_TRUE(ui.msgs.empty());
}

TEST_F(Commands, NoViewIsReportedAndChangesNothing)
{
    ui.files.push_back(type_ok("ROOM.RT"));
    app_command(ui, IDM_OPENRT);
    model.vpnax = model.vpnay = model.vpnaz = 0;
    app_command(ui, IDM_MAKE);
    EXPECT_EQ(image_ready + data_change, 0);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");
    EXPECT_EQ(ui.msgs[0].kind, MB_ERROR);
    EXPECT_EQ(ui.cursor, 0);
}

// Rays that nest deeper than a stack holds stop the render as a cancel
// does, and say so.
TEST_F(Commands, TooDeepIsReportedAndLeavesPictureAndFlags)
{
    rendered();
    std::vector<unsigned char> before(gdata.r, gdata.r + 48);
    unsigned gen = disp_grid_gen();
    data_change = 0;
    ui.render_rc = RAY_TOODEEP;
    app_command(ui, IDM_MAKE);
    EXPECT_EQ(image_ready, 1);
    EXPECT_EQ(data_change, 0);
    EXPECT_EQ(disp_grid_gen(), gen);
    EXPECT_EQ(std::vector<unsigned char>(gdata.r, gdata.r + 48), before);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");
    EXPECT_NE(ui.msgs[0].text.find("deeper"), std::string::npos);
    EXPECT_EQ(ui.cursor, 0);
}

TEST_F(Commands, UnreadableOrFaultySceneIsReportedButCounts)
{
    const unsigned serial = scene_serial;
    testing::internal::CaptureStdout();
    open_scene(ui, (tmp.path + "/missing.RT").c_str());
    EXPECT_EQ(scene_serial, serial); // the model holds no file's camera
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Cannot open \"" + tmp.path + "/missing.RT\" !!\n");
    EXPECT_EQ(rt_ready, 1);
    EXPECT_EQ(ui.title, tmp.path + "/missing.RT");
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_NE(ui.msgs[0].text.find("Cannot open \""), std::string::npos);

    tmp.file("CUT.RT", "0 0 0 0 0 1 10 4 8 6 0 0 1 1");
    open_scene(ui, (tmp.path + "/CUT.RT").c_str());
    ASSERT_EQ(ui.msgs.size(), 2u);
    EXPECT_NE(ui.msgs[1].text.find("inside record 1"), std::string::npos);
    EXPECT_EQ(scene_serial, serial + 1);
    EXPECT_STREQ(oldFName, "CUT.RT");
    EXPECT_STREQ(szTmpFilePath, (tmp.path + "/").c_str());
}

TEST_F(Commands, RefusedImageClearsImageReady)
{
    rendered();
    tmp.file("BAD.BMP", "not a bitmap");
    ui.answers = {ID_NO};
    ui.files.push_back(type_ok("BAD.BMP"));
    app_command(ui, IDM_OPENBMP);
    EXPECT_EQ(model.ixmx, 0);
    EXPECT_EQ(image_ready, 0);
    ASSERT_EQ(ui.msgs.size(), 2u);
    EXPECT_NE(ui.msgs[1].text.find("BM"), std::string::npos);
}

TEST_F(Commands, FailedSaveKeepsTheOldFileAndTheFlag)
{
    rendered();
    std::string old = tmp.file("KEEP.BMP", "old contents");
    safewrite_fail_after = 10;
    ui.files.push_back(type_ok("KEEP.BMP"));
    app_command(ui, IDM_SAVEBMP);
    EXPECT_EQ(data_change, 1);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");
    std::ifstream in(old);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "old contents");

    // the prompt's save fails: the caller stops
    ui.answers = {ID_YES};
    ui.files.push_back(type_ok("KEEP.BMP"));
    EXPECT_EQ(app_close(ui), 0);
    safewrite_fail_after = -1;
}

TEST_F(Commands, ExitAsksForAClose)
{
    app_command(ui, IDM_EXIT);
    EXPECT_EQ(ui.closes, 1);
    app_command(ui, IDM_HELP);
    EXPECT_EQ(ui.helps, 1);
}

TEST_F(Commands, AboutShowsItsTwoLines)
{
    app_command(ui, IDM_ABOUT);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "About KORU !");
    EXPECT_EQ(ui.msgs[0].text.substr(0, ui.msgs[0].text.find('\n')),
              "     KORU for Windows95 Ver.1.10");
}

TEST_F(Commands, ConfigRedisplaysOnlyWithAnImage)
{
    ui.on_config = [](config_form &f) {
        std::strcpy(f.zoom, "200");
        return 1;
    };
    app_command(ui, IDM_CONFIG);
    EXPECT_EQ(zoom_size, 200);
    EXPECT_EQ(ui.invalidates, 0);

    rendered();
    int before = ui.invalidates;
    app_command(ui, IDM_CONFIG);
    EXPECT_EQ(ui.invalidates, before + 1);
    EXPECT_EQ(disp_grid_w(), 16);
}

TEST_F(Commands, SettingRepaintsWithoutANewPicture)
{
    rendered();
    unsigned gen = disp_grid_gen();
    ui.on_setting = [](setting_form &f) {
        std::strcpy(f.text[0], "4");
        return 1;
    };
    int before = ui.invalidates;
    app_command(ui, IDM_SETTING);
    EXPECT_EQ(model.ixmx, 4);
    EXPECT_EQ(ui.invalidates, before + 1);
    EXPECT_EQ(disp_grid_gen(), gen);
}

TEST_F(Commands, PrintNeedsAnImageAndNamesTheDocument)
{
    app_command(ui, IDM_PRINT);
    EXPECT_EQ(ui.print_setups, 0);

    rendered();
    app_command(ui, IDM_PRINT);
    EXPECT_EQ(ui.docname, "KORU(" + tmp.path + "/ROOM.RT)");
    EXPECT_EQ(ui.printed_scale, 600); // 4800 / 8 and 6600 / 6
    EXPECT_EQ(ui.cursor, 0);

    // too small to have a dot at 50 %: told, no dialog
    model.ixmx = 1;
    zoom_size = 50;
    app_command(ui, IDM_PRINT);
    EXPECT_EQ(ui.print_setups, 1);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");

    // a page that cannot be written is reported
    model.ixmx = 8;
    ui.page_ok = false;
    app_command(ui, IDM_PRINT);
    EXPECT_EQ(ui.msgs.size(), 2u);
}

} // namespace

// "Save *.RT(&W)": the scene with its moved camera, read back, renders to
// exactly the dots the window shows; the file becomes the scene's file.
TEST_F(Commands, SavedSceneRendersTheDotsShown)
{
    ASSERT_EQ(open_scene(ui, (tmp.path + "/ROOM.RT").c_str()), 1);
    model.vpnax = 0.3; // moved by hand
    model.rx = -0.25;
    app_command(ui, IDM_MAKE);
    ASSERT_EQ(image_ready, 1);
    const unsigned serial = scene_serial;
    app_command(ui, IDM_SAVERT); // the dialog cancelled: the model is no file's
    EXPECT_EQ(scene_serial, serial);
    ui.files.push_back(type_ok("MOVED.RT"));
    app_command(ui, IDM_SAVERT);
    EXPECT_EQ(scene_serial, serial + 1);
    const std::string path = tmp.path + "/MOVED.RT";
    EXPECT_EQ(ui.title, path);
    EXPECT_STREQ(oldFName, "MOVED.RT");
    ASSERT_FALSE(recent_files.empty());
    EXPECT_EQ(recent_files[0], path);

    scene back;
    msglist msgs;
    ASSERT_EQ(data_load(back, path.c_str(), msgs), 1);
    EXPECT_TRUE(msgs.empty());
    render_job job(back);
    ASSERT_EQ(job.run(), RAY_DONE);
    const size_t n = (size_t)model.ixmx * model.iymx;
    ASSERT_EQ(job.result().r.size(), n);
    EXPECT_TRUE(std::equal(gdata.r, gdata.r + n, job.result().r.begin()));
    EXPECT_TRUE(std::equal(gdata.b, gdata.b + n, job.result().b.begin()));
}

// Files dropped on the window or picked from the recent files: the save
// prompt first, then a picture or a scene by its name.
TEST_F(Commands, OpenFileTakesPicturesAndScenesByName)
{
    rendered();
    ASSERT_EQ(data_change, 1);
    ui.answers = {ID_CANCEL};
    EXPECT_EQ(open_file(ui, (tmp.path + "/ROOM.RT").c_str()), 0);
    EXPECT_EQ(ui.msgs.size(), 1u); // asked, and stopped
    ui.answers = {ID_NO};
    EXPECT_EQ(open_file(ui, (tmp.path + "/ROOM.RT").c_str()), 1);
    EXPECT_EQ(rt_ready, 1);

    msglist msgs;
    ASSERT_EQ(save_picture((tmp.path + "/P.bmp").c_str(), gdata, model.ixmx, model.iymx, msgs), 1);
    model.ixmx = 3;
    data_change = 0;
    open_file(ui, (tmp.path + "/P.bmp").c_str());
    EXPECT_EQ(model.ixmx, 8);
    EXPECT_EQ(recent_files[0], tmp.path + "/P.bmp");
    EXPECT_EQ(scene_file, tmp.path + "/ROOM.RT"); // a picture is no scene file
}

// Pictures in PNG by the name typed; Make Anaglyph(G) and Anti-aliasing
// make the render job's pictures, and the size stays the scene's.
TEST_F(Commands, PngAnaglyphAndAntiAliasing)
{
    rendered();
    const std::vector<unsigned char> made(gdata.r, gdata.r + 48);
    ui.files.push_back(type_ok("P.PNG"));
    app_command(ui, IDM_SAVEBMP);
    EXPECT_EQ(data_change, 0);
    std::ifstream f(tmp.path + "/P.PNG", std::ios::binary);
    char sig[4] = {};
    f.read(sig, 4);
    EXPECT_EQ(std::string(sig + 1, 3), "PNG");
    std::memset(gdata.r, 0, 48);
    ui.files.push_back(type_ok("P.PNG"));
    app_command(ui, IDM_OPENBMP);
    EXPECT_EQ(std::vector<unsigned char>(gdata.r, gdata.r + 48), made);

    auto expect_made_by = [&](render_options opt) {
        render_job job(model, opt);
        ASSERT_EQ(job.run(), RAY_DONE);
        const size_t n = job.result().r.size();
        EXPECT_EQ(n, (size_t)model.ixmx * model.iymx);
        EXPECT_TRUE(std::equal(gdata.g, gdata.g + n, job.result().g.begin()));
    };
    app_command(ui, IDM_AA1 + 2); // 3 x 3
    EXPECT_EQ(aa_level, 3);
    app_command(ui, IDM_MAKE);
    render_options aa3;
    aa3.aa = 3;
    expect_made_by(aa3);
    app_command(ui, IDM_AA1);
    app_command(ui, IDM_ANAGLYPH);
    EXPECT_EQ(model.ixmx, 8);
    render_options ana;
    ana.anaglyph = true;
    expect_made_by(ana);
}
