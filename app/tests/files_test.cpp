// The files the commands open and save, with scripted answers: the
// dialogs' names, the save question, pictures and scenes read and written,
// files named outside the dialogs.
#include "app/commands/actions.h"
#include "app/commands/commands.h"
#include "app/commands/named_file.h"
#include "app/commands/save_prompt.h"
#include "app/session/picture.h"
#include "app/tests/commands_fixture.h"
#include "base/msg.h"
#include "image/picfile.h"
#include "image/rgb.h"
#include "scene/rtread.h"
#include "scene/scene.h"

#include <cstring>
#include <fstream>
#include <sys/stat.h>

TEST_F(Commands, ImageDialogOffersTheSceneNameAsBmp)
{
    app_command(s, IDM_OPENBMP); // cancelled
    ui.files.push_back(type_ok("ROOM.RT"));
    app_command(s, IDM_OPENRT);
    app_command(s, IDM_SAVEBMP); // cancelled
    ASSERT_EQ(ui.offered.size(), 3u);
    EXPECT_EQ(ui.offered[0], "*.BMP");
    EXPECT_EQ(ui.offered[2], "ROOM.BMP");
    EXPECT_EQ(a.oldFName, "ROOM.RT"); // switched back after each dialog
}

TEST_F(Commands, SaveClearsDataChangeAndWritesTheFile)
{
    rendered();
    ui.files.push_back(type_ok("OUT.BMP"));
    app_command(s, IDM_SAVEBMP);
    EXPECT_EQ(a.data_change, 0);
    struct stat st;
    ASSERT_EQ(stat((tmp.path + "/OUT.BMP").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 54 + 6 * 24);
    EXPECT_EQ(a.szFName, tmp.path + "/OUT.BMP");
    EXPECT_EQ(ui.title, tmp.path + "/ROOM.RT"); // the title stays the scene's
}

TEST_F(Commands, PromptOnlyWhileBothFlagsAreSet)
{
    // no image: no question
    app_command(s, IDM_OPENBMP);
    EXPECT_EQ(app_close(s), 1);
    EXPECT_EQ(prompts(), 0);

    rendered();
    ui.answers = {ID_CANCEL};
    EXPECT_EQ(app_close(s), 0);
    EXPECT_EQ(prompts(), 1);
    EXPECT_EQ(ui.msgs[0].text, "Image is changed !  Do you save ?");
    EXPECT_EQ(ui.msgs[0].kind, MB_YESNOCANCEL);

    // Cancel on the prompt of a command: no dialog, nothing changed
    size_t dialogs = ui.offered.size();
    ui.answers = {ID_CANCEL};
    app_command(s, IDM_OPENRT);
    EXPECT_EQ(ui.offered.size(), dialogs);
    EXPECT_EQ(a.image_ready + a.data_change, 2);

    // saved: no more questions
    ui.answers = {ID_YES};
    ui.files.push_back(type_ok("A.BMP"));
    EXPECT_EQ(app_close(s), 1);
    EXPECT_EQ(a.data_change, 0);
    EXPECT_EQ(app_close(s), 1);
    EXPECT_EQ(prompts(), 3);
}

TEST_F(Commands, YesWithACancelledSaveGoesOn)
{
    rendered();
    ui.answers = {ID_YES};
    ui.files.push_back([](file_dlg &dlg) { FileOpenDlg_cancel(dlg); });
    EXPECT_EQ(save_or_not(s), 1);
    EXPECT_EQ(a.data_change, 1);
}

TEST_F(Commands, NoThenLoadingAnImageStillAsks)
{
    rendered();
    ui.files.push_back(type_ok("P.BMP"));
    app_command(s, IDM_SAVEBMP);
    a.data_change = 1; // as if rendered again

    ui.answers = {ID_NO};
    ui.files.push_back(type_ok("P.BMP"));
    app_command(s, IDM_OPENBMP);
    EXPECT_EQ(a.image_ready, 1);
    EXPECT_EQ(a.data_change, 1);
    ui.answers = {ID_CANCEL};
    EXPECT_EQ(app_close(s), 0);
    EXPECT_EQ(prompts(), 2);
}

// The dialog's scene counts even when it cannot be read (its title,
// rt_ready); a file named outside the dialog (the command line, a drop, a
// recent file) that cannot be opened is said once with the system's
// reason, leaves the recent files, and changes nothing else.
TEST_F(Commands, UnreadableOrFaultySceneIsReported)
{
    const unsigned serial = a.scene_serial;
    const std::string missing = tmp.path + "/missing.RT";
    a.recent_files = {missing, tmp.path + "/ROOM.RT"};
    a.szTmpFilePath = a.szFilePath = "/elsewhere/";
    testing::internal::CaptureStdout();
    EXPECT_EQ(open_file(s, missing.c_str()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot open \"" + missing + "\" !!\n");
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].text, "Cannot open \"" + missing + "\" !!\nNo such file or directory.");
    EXPECT_EQ(a.recent_files, std::vector<std::string>{tmp.path + "/ROOM.RT"});
    EXPECT_TRUE(a.rt_ready == 0 && ui.title == "KORU" && a.scene_serial == serial);
    EXPECT_TRUE(a.szFName.empty() && a.scene_file.empty() && a.oldFName == "*.RT");
    EXPECT_EQ(a.szTmpFilePath, "/elsewhere/");
    EXPECT_FALSE(app_enabled(a, IDM_MAKE));
    // a picture: the same
    a.recent_files = {tmp.path + "/gone.BMP"};
    open_file(s, (tmp.path + "/gone.BMP").c_str());
    ASSERT_EQ(ui.msgs.size(), 2u);
    EXPECT_NE(ui.msgs[1].text.find("No such file or directory"), std::string::npos);
    EXPECT_TRUE(a.recent_files.empty() && a.szFName.empty() && a.image_ready == 0);

    a.szTmpFilePath = tmp.path + "/";
    tmp.file("CUT.RT", "0 0 0 0 0 1 10 4 8 6 0 0 1 1");
    open_scene(s, (tmp.path + "/CUT.RT").c_str());
    ASSERT_EQ(ui.msgs.size(), 3u);
    EXPECT_NE(ui.msgs[2].text.find("inside record 1"), std::string::npos);
    EXPECT_EQ(a.scene_serial, serial + 1);
    EXPECT_EQ(a.oldFName, "CUT.RT");
    EXPECT_EQ(a.szTmpFilePath, tmp.path + "/");
    EXPECT_EQ(a.rt_ready, 1);
}

// In live view a picture that the followed file makes again with its own
// camera is not asked about; one of a camera moved by hand (the mouse,
// SETTING) is, once, until the camera is saved with the scene.
TEST_F(Commands, LiveViewAsksOnlyAboutAHandMovedCamera)
{
    ASSERT_EQ(open_scene(s, (tmp.path + "/ROOM.RT").c_str()), 1);
    a.live = true;
    auto live_frame = [&] { // as live view keeps an exact frame
        render_job job(a.model);
        ASSERT_EQ(job.run(), RAY_DONE);
        show_made(s, job);
        a.live_camera = a.camera_moves;
    };
    live_frame();
    EXPECT_TRUE(live_remakes(a));
    EXPECT_EQ(app_close(s), 1);
    EXPECT_EQ(prompts(), 0);

    a.camera_moves++; // moved by the mouse
    live_frame();
    ui.answers = {ID_NO};
    EXPECT_EQ(app_close(s), 1);
    EXPECT_EQ(app_close(s), 1);
    EXPECT_EQ(prompts(), 1);

    ui.on_setting = [](setting_form &f) {
        std::strcpy(f.text[2], "0.5");
        return 1;
    };
    app_command(s, IDM_SETTING); // a look point typed in
    live_frame();
    EXPECT_TRUE(picture_unsaved(a));
    ui.files.push_back(type_ok("MOVED.RT"));
    app_command(s, IDM_SAVERT); // the camera is the file's now
    EXPECT_FALSE(picture_unsaved(a));

    // Make Image's picture, or live view off: asked as ever
    app_command(s, IDM_MAKE);
    EXPECT_TRUE(picture_unsaved(a));
    live_frame();
    a.live = false;
    EXPECT_TRUE(picture_unsaved(a));
}

TEST_F(Commands, RefusedImageClearsImageReady)
{
    rendered();
    tmp.file("BAD.BMP", "not a bitmap");
    ui.answers = {ID_NO};
    ui.files.push_back(type_ok("BAD.BMP"));
    app_command(s, IDM_OPENBMP);
    EXPECT_EQ(a.model.ixmx, 0);
    EXPECT_EQ(a.image_ready, 0);
    ASSERT_EQ(ui.msgs.size(), 2u);
    EXPECT_NE(ui.msgs[1].text.find("BM"), std::string::npos);
}

TEST_F(Commands, FailedSaveKeepsTheOldFileAndTheFlag)
{
    rendered();
    std::string old = tmp.file("KEEP.BMP", "old contents");
    safewrite_fail_after(10);
    ui.files.push_back(type_ok("KEEP.BMP"));
    app_command(s, IDM_SAVEBMP);
    EXPECT_EQ(a.data_change, 1);
    ASSERT_EQ(ui.msgs.size(), 1u);
    EXPECT_EQ(ui.msgs[0].caption, "Error !");
    EXPECT_EQ(slurp(old), "old contents");

    // the prompt's save fails: the caller stops
    ui.answers = {ID_YES};
    ui.files.push_back(type_ok("KEEP.BMP"));
    EXPECT_EQ(app_close(s), 0);
    safewrite_fail_after(-1);
}

// "Save *.RT(&W)": the scene with its moved camera, read back, renders to
// exactly the dots the window shows; the file becomes the scene's file.
TEST_F(Commands, SavedSceneRendersTheDotsShown)
{
    ASSERT_EQ(open_scene(s, (tmp.path + "/ROOM.RT").c_str()), 1);
    a.model.vpnax = 0.3; // moved by hand
    a.model.rx = -0.25;
    app_command(s, IDM_MAKE);
    ASSERT_EQ(a.image_ready, 1);
    const unsigned serial = a.scene_serial;
    app_command(s, IDM_SAVERT); // the dialog cancelled: the a.model is no file's
    EXPECT_EQ(a.scene_serial, serial);
    ui.files.push_back(type_ok("MOVED.RT"));
    app_command(s, IDM_SAVERT);
    EXPECT_EQ(a.scene_serial, serial + 1);
    const std::string path = tmp.path + "/MOVED.RT";
    EXPECT_EQ(ui.title, path);
    EXPECT_EQ(a.oldFName, "MOVED.RT");
    ASSERT_FALSE(a.recent_files.empty());
    EXPECT_EQ(a.recent_files[0], path);

    scene back;
    msglist msgs;
    ASSERT_EQ(data_load(back, path.c_str(), msgs), 1);
    EXPECT_TRUE(msgs.empty());
    render_job job(back);
    ASSERT_EQ(job.run(), RAY_DONE);
    const size_t n = (size_t)a.model.ixmx * a.model.iymx;
    ASSERT_EQ(job.result().r.size(), n);
    EXPECT_TRUE(std::equal(a.gdata->r, a.gdata->r + n, job.result().r.begin()));
    EXPECT_TRUE(std::equal(a.gdata->b, a.gdata->b + n, job.result().b.begin()));
}

// Files dropped on the window or picked from the recent files: the save
// prompt first, then a picture or a scene by its name.
TEST_F(Commands, OpenFileTakesPicturesAndScenesByName)
{
    rendered();
    ASSERT_EQ(a.data_change, 1);
    ui.answers = {ID_CANCEL};
    EXPECT_EQ(open_file(s, (tmp.path + "/ROOM.RT").c_str()), 0);
    EXPECT_EQ(ui.msgs.size(), 1u); // asked, and stopped
    ui.answers = {ID_NO};
    EXPECT_EQ(open_file(s, (tmp.path + "/ROOM.RT").c_str()), 1);
    EXPECT_EQ(a.rt_ready, 1);
    // one that cannot be opened is said at once, without the question
    a.data_change = 1;
    EXPECT_EQ(open_file(s, (tmp.path + "/GONE.RT").c_str()), 0);
    EXPECT_EQ(prompts(), 2);
    EXPECT_EQ(ui.msgs.size(), 3u);

    msglist msgs;
    ASSERT_EQ(
        save_picture((tmp.path + "/P.bmp").c_str(), *a.gdata, a.model.ixmx, a.model.iymx, msgs), 1);
    a.model.ixmx = 3;
    a.data_change = 0;
    open_file(s, (tmp.path + "/P.bmp").c_str());
    EXPECT_EQ(a.model.ixmx, 8);
    EXPECT_EQ(a.recent_files[0], tmp.path + "/P.bmp");
    EXPECT_EQ(a.scene_file, tmp.path + "/ROOM.RT"); // a picture is no scene file
}
