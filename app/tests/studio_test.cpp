// The studio's text kept with its file, without a window: the model
// follows a whole text, saves write it as typed and the question guards
// it, the file changed elsewhere, and the camera written back.
#include "app/commands/actions.h"
#include "app/commands/commands.h"
#include "app/commands/named_file.h"
#include "app/commands/save_prompt.h"
#include "app/studio/studio.h"
#include "app/studio/studio_camera.h"
#include "app/studio/text_save.h"
#include "app/tests/script_ui.h"
#include "base/msg.h"
#include "image/picfile.h"
#include "tests/write_limit.h"
#include "scene/newscene.h"
#include "scene/rtread.h"
#include "scene/textedit.h"
#include "trace/camera_moves.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Studio : ::testing::Test {
    temp_dir tmp;
    scripted w;
    studio_state &st = w.s.studio;
    std::string path;
    void SetUp() override
    {
        path = tmp.file("S.RT", small_scene(8, 6));
        st.on = true;
        ASSERT_EQ(open_scene(w.s, path.c_str()), 1);
        ASSERT_TRUE(studio_take_file(w.s));
    }
    void type(const std::string &from, const std::string &to)
    {
        const size_t at = st.text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        st.text.replace(at, from.size(), to);
        st.modified = true;
    }
};

} // namespace

// The text goes into the model only as a whole scene, and only when its
// numbers changed or the model's camera is not the text's; the stereo
// distance set in SETTING stays.
TEST_F(Studio, TheModelFollowsACompleteTextOnly)
{
    msglist m;
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_SAME); // what the file gave
    w.a.model.length3d = 0.3;
    type("200 100 50", "20 100 50");
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_READ);
    EXPECT_EQ(w.a.model.pri[0].col.r, 20);
    EXPECT_EQ(w.a.model.length3d, 0.3);
    type("\n-1\n-1\n", "\n-1\n  -1\n"); // blanks only
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_SAME);
    // the same numbers, and a camera moved by hand since (written into the
    // text and undone there): the text's camera again
    w.a.model.rx = 2;
    w.a.model.iymx = 3;
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_READ);
    EXPECT_EQ(w.a.model.rx, 0);
    EXPECT_EQ(w.a.model.iymx, 6);
    type("20 100 50\n-1\n  -1\n", "20 100 5"); // the list's end being typed
    EXPECT_EQ(studio_follow_text(w.s, m), FOLLOWED_CUT);
    EXPECT_EQ(w.a.model.pri[0].col.b, 50);
    EXPECT_FALSE(m.empty());
}

TEST_F(Studio, SaveWritesTheTextAsTypedAndTheQuestionGuardsIt)
{
    type("0 0 10 1", "0 0 10 1   \r");
    w.ui.answers = {ID_CANCEL};
    EXPECT_EQ(save_or_not(w.s), 0); // the picture's question is the text's here
    ASSERT_EQ(w.ui.msgs.size(), 1u);
    EXPECT_EQ(w.ui.msgs[0].caption, "Save the scene?");
    EXPECT_NE(slurp(path), st.text);

    w.ui.answers = {ID_YES};
    EXPECT_EQ(app_close(w.s), 1);
    EXPECT_EQ(slurp(path), st.text);
    EXPECT_FALSE(st.modified);
    EXPECT_EQ(st.saves, 1u);
    EXPECT_TRUE(st.follow.holding()); // the picture follows the save

    // unmodified: nothing asked
    w.ui.msgs.clear();
    EXPECT_EQ(app_close(w.s), 1);
    EXPECT_TRUE(w.ui.msgs.empty());

    // No drops it; a save that fails stops, and says why
    type("0 0 10 1", "0 0 9 1");
    w.ui.answers = {ID_NO};
    EXPECT_EQ(studio_keep_text(w.s), 1);
    safewrite_fail_after(0); // a full disk
    w.ui.answers = {ID_YES};
    EXPECT_EQ(studio_keep_text(w.s), 0);
    safewrite_fail_after(-1);
    EXPECT_TRUE(st.modified);
    EXPECT_EQ(w.ui.msgs.back().caption, "Error !");
    EXPECT_NE(slurp(path), st.text);
}

TEST_F(Studio, PicturesOpenWithoutAskingAndSaveRtAsksFirst)
{
    // a rendered picture and typed text: opening a picture keeps the text
    app_command(w.s, IDM_MAKE);
    type("0 0 10 1", "0 0 9 1");
    msglist m;
    ASSERT_EQ(save_picture((tmp.path + "/P.BMP").c_str(), *w.a.gdata, 8, 6, m), 1);
    EXPECT_EQ(open_file(w.s, (tmp.path + "/P.BMP").c_str()), 0);
    EXPECT_TRUE(w.ui.msgs.empty());
    EXPECT_EQ(w.a.made_scene, nullptr); // no scene made this picture

    // Save *.RT(W) would replace the text: asked first, Cancel stops
    w.ui.answers = {ID_CANCEL};
    w.ui.files.push_back(type_ok("W.RT"));
    app_command(w.s, IDM_SAVERT);
    EXPECT_EQ(w.ui.msgs.size(), 1u);
    EXPECT_EQ(w.ui.files.size(), 1u); // no dialog came
    EXPECT_TRUE(st.modified);
}

TEST_F(Studio, NewSceneAndSaveAs)
{
    w.ui.answers = {ID_NO};
    type("0 0 10 1", "0 0 9 1");
    app_command(w.s, IDM_NEWSCENE);
    EXPECT_EQ(st.text, new_scene_text);
    EXPECT_TRUE(st.file.empty() && w.a.scene_file.empty() && !st.modified);
    EXPECT_EQ(w.ui.title, NEW_SCENE_NAME);
    EXPECT_EQ(w.a.model.primmx, 2);
    EXPECT_EQ(w.a.rt_ready, 1);

    // typed into an empty studio: the scene's commands come with it
    scripted fresh;
    fresh.s.studio.on = true;
    fresh.s.studio.text = new_scene_text;
    msglist m;
    EXPECT_EQ(studio_follow_text(fresh.s, m), FOLLOWED_READ);
    EXPECT_EQ(fresh.a.rt_ready, 1);
    EXPECT_EQ(fresh.ui.command_changes, 1);
    EXPECT_TRUE(app_enabled(fresh.a, IDM_MAKE));

    // Save Scene without a file is Save Scene As. It offers a name that is
    // no file; another file is replaced only when Yes is said (No, the
    // default, opens the dialog again)
    tmp.file("untitled.RT", "");
    st.modified = true;
    w.ui.msgs.clear();
    w.ui.offered.clear();
    w.ui.files = {type_ok("S.RT"), type_ok("N.RT")};
    app_command(w.s, IDM_SAVESCENE);
    EXPECT_EQ(w.ui.offered, (std::vector<std::string>{"untitled-2.RT", "S.RT"}));
    ASSERT_EQ(w.ui.msgs.size(), 1u);
    EXPECT_EQ(w.ui.msgs[0].text, "\"S.RT\" exists.\nReplace it?");
    EXPECT_EQ(w.ui.msgs[0].kind, MB_REPLACE);
    EXPECT_EQ(slurp(path), small_scene(8, 6)); // S.RT as it was
    const std::string n = tmp.path + "/N.RT";
    EXPECT_EQ(st.file, n);
    EXPECT_EQ(w.a.scene_file, n);
    EXPECT_EQ(w.ui.title, n);
    EXPECT_EQ(slurp(n), new_scene_text);
    EXPECT_FALSE(studio_take_file(w.s)); // the text is that file's already
    EXPECT_EQ(w.a.recent_files.front(), n);

    // its own Save As offers its own name, and keeps it without asking;
    // Yes replaces another file
    w.ui.msgs.clear();
    w.ui.offered.clear();
    w.ui.files = {type_ok("N.RT")};
    app_command(w.s, IDM_SAVESCENEAS);
    EXPECT_EQ(w.ui.offered, std::vector<std::string>{"N.RT"});
    EXPECT_TRUE(w.ui.msgs.empty());
    w.ui.answers = {ID_YES};
    w.ui.files = {type_ok("S.RT")};
    app_command(w.s, IDM_SAVESCENEAS);
    EXPECT_EQ(slurp(path), new_scene_text);
    EXPECT_EQ(st.file, path);
}

TEST_F(Studio, TheFileChangedOnDisk)
{
    EXPECT_EQ(studio_file_changed(w.s), DISK_SAME);
    const unsigned loads = st.loads;
    tmp.file("S.RT", small_scene(8, 6, "1 2 3"));
    EXPECT_EQ(studio_file_changed(w.s), DISK_TAKEN);
    EXPECT_EQ(st.text, small_scene(8, 6, "1 2 3"));
    EXPECT_EQ(st.loads, loads + 1);
    type("1 2 3", "4 5 6");
    tmp.file("S.RT", small_scene(8, 6, "7 8 9"));
    EXPECT_EQ(studio_file_changed(w.s), DISK_KEPT);
    EXPECT_NE(st.text.find("4 5 6"), std::string::npos);

    // another scene opened: its text is taken after the question
    const std::string u = tmp.file("U.RT", small_scene(4, 4));
    w.ui.answers = {ID_NO};
    EXPECT_EQ(open_file(w.s, u.c_str()), 1);
    EXPECT_TRUE(studio_take_file(w.s));
    EXPECT_EQ(st.text, small_scene(4, 4));
    EXPECT_EQ(st.file, u);

    // off: unsaved text is asked about, and the file's comes back after No
    type("4 4", "5 4");
    w.ui.answers = {ID_CANCEL, ID_NO};
    EXPECT_EQ(studio_turn_off(w.s), 0);
    EXPECT_TRUE(st.on);
    EXPECT_EQ(studio_turn_off(w.s), 1);
    EXPECT_FALSE(st.on || st.modified);
    EXPECT_TRUE(studio_take_file(w.s));
    EXPECT_EQ(st.text, small_scene(4, 4));
}

// A camera moved by hand changes only the numbers it moved.
TEST_F(Studio, TheCameraMovedByHandIsWrittenIntoItsNumbers)
{
    const std::string before = st.text;
    ASSERT_TRUE(pan(w.a.model, 8, 0, 8));
    dolly(w.a.model, 1);
    const double ry = w.a.model.ry;
    studio_round_camera(w.a.model, 1u << V_RX | 1u << V_RY | 1u << V_RZ | 1u << V_DLENGTH);
    EXPECT_NEAR(w.a.model.ry, ry, 1e-6 * std::fabs(ry));
    EXPECT_EQ(w.a.model.dlength, 9); // 10 * 0.9, in seven digits
    text_edit e;
    std::string why;
    ASSERT_EQ(
        studio_camera_edit(w.s, 1u << V_RX | 1u << V_RY | 1u << V_RZ | 1u << V_DLENGTH, e, why), 1)
        << why;
    ASSERT_TRUE(apply_edit(st.text, e));
    scene back;
    msglist m;
    data_load_text(back, st.text.data(), st.text.size(), m);
    EXPECT_EQ(back.rx, w.a.model.rx);
    EXPECT_EQ(back.dlength, w.a.model.dlength);
    EXPECT_EQ(back.vpnaz, 1);
    // the numbers not moved are the text's again, not a render's
    const double rx = w.a.model.rx;
    w.a.model.vpnaz = 0.5;
    studio_text_camera(w.s, 1u << V_RX | 1u << V_RY | 1u << V_RZ | 1u << V_DLENGTH);
    EXPECT_EQ(w.a.model.vpnaz, 1);
    EXPECT_EQ(w.a.model.rx, rx);
    EXPECT_LE(st.text.find('\n', st.text.find('\n') + 1), 40u); // short numbers
    // the lines after the camera are as they were
    EXPECT_EQ(st.text.substr(st.text.find("\n1\n")), before.substr(before.find("\n1\n")));
    // nothing moved: no edit
    ASSERT_EQ(studio_camera_edit(w.s, 1u << V_WDU, e, why), 1);
    EXPECT_TRUE(e.old_text.empty() && e.new_text.empty());
}

// The camera fields a command changed, bit for bit: SETTING's are written
// back, those it left alone are not.
TEST_F(Studio, TheFieldsSettingChanged)
{
    const camera_fields before = camera_of(w.a.model);
    EXPECT_EQ(camera_changes(before, w.a.model), 0u);
    w.a.model.ry = 0.5;
    w.a.model.iymx = 7;
    w.a.model.rz = -0.0; // the same number, other bits: rewritten
    EXPECT_EQ(camera_changes(before, w.a.model), 1u << V_RY | 1u << V_RZ | 1u << V_IYMX);
}
