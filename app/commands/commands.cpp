#include "app/commands/commands.h"

#include "app/anim/anim_make.h"
#include "app/commands/actions.h"
#include "app/dialogs/config.h"
#include "app/dialogs/dirlist.h"
#include "app/dialogs/filedlg.h"
#include "app/dialogs/print.h"
#include "app/dialogs/scenesave.h"
#include "app/dialogs/setting.h"
#include "app/session/cmdline.h"
#include "app/session/messages.h"
#include "app/session/say.h"
#include "app/session/prefs.h"
#include "app/session/ui_port.h"
#include "app/studio/studio.h"
#include "base/cancel.h"
#include "base/msg.h"
#include "base/openread.h"
#include "image/picfile.h"
#include "image/safewrite.h"
#include "scene/rtread.h"
#include "scene/rtwrite.h"
#include "trace/frame.h"
#include "trace/render.h"

#include <cctype>
#include <cstdio>
#include <unistd.h>

namespace {

const char *const BMP_EXT = ".BMP";

void redisplay(session &s)
{
    s.ui.wait_cursor(1);
    disp_show(s.disp, *s.app.gdata, s.app.model.ixmx, s.app.model.iymx);
    s.ui.wait_cursor(0);
    s.ui.invalidate();
}

// The SAVE dialog and the write: -1 cancelled, 1 saved, 0 failed.
int save_image(session &s)
{
    app_state &a = s.app;
    // a file of no dots is no picture: nothing opens it again
    const std::string empty = no_dots(a.model.ixmx, a.model.iymx, "nothing to save");
    if (!empty.empty()) {
        ErrorMsg(s, empty.c_str());
        return 0;
    }
    int r = -1;
    make_pattern(a, BMP_EXT);
    set_ext(a.oldFName, BMP_EXT);
    if (CallFileSaveDlg(s.ui, a, a.szTmpFileSpec, BMP_EXT, a.szTmpFilePath, a.szTmpFileName)) {
        a.szFName = a.szTmpFilePath + a.szTmpFileName;
        msglist msgs;
        // a name ending in .PNG asks for a PNG file, any other a BMP file
        if (save_picture(a.szFName.c_str(), *a.gdata, a.model.ixmx, a.model.iymx, msgs)) {
            a.data_change = 0;
            add_recent(a.recent_files, a.szFName);
            r = 1;
        } else {
            ErrorMsg(s, warn_text("The picture was not saved.", msgs).c_str());
            r = 0;
        }
    }
    set_ext(a.oldFName, a.szFileExt.c_str());
    return r;
}

// The save prompt before a picture replaces the one shown. In studio view
// the text stays, and the picture is made again from it at will.
int save_or_not_picture(session &s) { return s.studio.on ? 1 : save_or_not(s); }

// Step 5 of "Open *.BMP(&O)", once szFName names the picture.
void load_picture(session &s)
{
    app_state &a = s.app;
    msglist msgs;
    int w, h;
    int rc = load_picture(a.szFName.c_str(), *a.gdata, w, h, msgs); // BMP or PNG, by its contents
    // a file that could not be opened changed nothing: what was shown
    // stays; a picture's size is also the scene's image size
    if (rc != RGB_NOFILE) {
        a.made_scene.reset(); // no scene made it
        a.model.ixmx = w;
        a.model.iymx = h;
        a.image_ready = a.model.ixmx != 0 ? 1 : 0;
        a.live_camera = 0;
    }
    if (rc == RGB_LOADED)
        add_recent(a.recent_files, a.szFName);
    else if (rc == RGB_NOFILE)
        remove_recent(a.recent_files, a.szFName);
    redisplay(s);
    if (rc != RGB_LOADED)
        ErrorMsg(s, warn_text("The picture was not loaded.", msgs).c_str());
    else if (!msgs.empty())
        ErrorMsg(s, warn_text("The picture is damaged.", msgs).c_str());
}

void cmd_open_bmp(session &s)
{
    app_state &a = s.app;
    if (!save_or_not_picture(s))
        return;
    make_pattern(a, BMP_EXT);
    set_ext(a.oldFName, BMP_EXT);
    if (CallFileOpenDlg(s.ui, a, a.szTmpFileSpec, BMP_EXT, a.szTmpFilePath, a.szTmpFileName)) {
        a.szFName = a.szTmpFilePath + a.szTmpFileName;
        load_picture(s);
    }
    set_ext(a.oldFName, a.szFileExt.c_str());
}

// The system's words in the reader's "cannot open "FILE": WHY".
std::string open_reason(const msglist &msgs)
{
    const std::string t = msgs.first();
    const size_t at = t.rfind("\": ");
    return at == std::string::npos ? t : t.substr(at + 3);
}

// A scene file that cannot be opened: the reader's line on the standard
// output, and one message with the reason.
void report_unopened(session &s, const std::string &name, const msglist &msgs)
{
    const std::string head = "Cannot open \"" + name + "\" !!";
    std::printf("%s\n", head.c_str());
    std::fflush(stdout);
    ErrorMsg(s, (head + "\n" + open_reason(msgs) + ".").c_str());
}

// The scene file in szFName could not be read, or not all of it.
void report_scene(session &s, int opened, const msglist &msgs)
{
    const std::string &name = s.app.szFName;
    if (!opened) {
        report_unopened(s, name, msgs);
    } else if (!msgs.empty()) {
        const std::string head = "\"" + name + "\" is not quite right:";
        ErrorMsg(s, warn_text(head, msgs, name.c_str()).c_str());
    }
}

// Steps 4 to 9 of "Open *.RT(&L)", once szTmpFilePath and szTmpFileName
// name the scene. Returns whether the file could be read.
int load_scene(session &s)
{
    app_state &a = s.app;
    a.szFName = a.szTmpFilePath + a.szTmpFileName;
    a.oldFName = a.szTmpFileName;
    s.ui.set_title(a.szFName.c_str());
    a.scene_file = a.szFName;
    msglist msgs;
    int opened = data_load(a.model, a.szFName.c_str(), msgs);
    a.rt_ready = 1;
    s.ui.commands_changed(); // the commands that need a scene
    report_scene(s, opened, msgs);
    if (opened) {
        add_recent(a.recent_files, a.szFName);
        a.scene_serial++;
        a.file_camera = a.camera_moves;
    } else {
        remove_recent(a.recent_files, a.szFName);
    }
    return opened;
}

// "Save *.RT(&W)": the scene model, camera and size as they stand, to a
// scene file chosen in the SAVE dialog, which becomes the scene's file.
void cmd_save_rt(session &s)
{
    app_state &a = s.app;
    std::string path;
    if (!ask_scene_path(s, a.scene_file, path))
        return;
    msglist msgs;
    std::string text;
    if (!rt_text(a.model, text, msgs) ||
        !write_file_safely(path.c_str(), (const unsigned char *)text.data(), text.size(), msgs)) {
        ErrorMsg(s, warn_text("The scene was not saved.", msgs).c_str());
        return;
    }
    a.szFName = path;
    a.oldFName = a.szTmpFileName;
    s.ui.set_title(a.szFName.c_str());
    a.scene_file = path;
    add_recent(a.recent_files, a.szFName);
    a.scene_serial++;
    a.file_camera = a.camera_moves;
}

// A file named outside the dialogs, made absolute; "" (and a message)
// when it is no file name.
std::string full_path(session &s, const char *path)
{
    char cwd[PATH_BYTES];
    std::string abs = path_resolve(getcwd(cwd, sizeof cwd) ? cwd : "/", path);
    if (abs.size() + 1 > (size_t)PATH_BYTES || abs.back() == '/' || !*path) {
        char text[200];
        std::snprintf(text, sizeof text, "\"%.120s\" is not a file name.", path);
        ErrorMsg(s, text);
        return "";
    }
    return abs;
}

// Whether a file named outside the dialogs can be opened. One that cannot
// is said once, with the system's reason, and leaves the recent files;
// the window's names, title and flags stay as they were.
bool openable(session &s, const std::string &path, bool scene)
{
    msglist msgs;
    if (std::FILE *f = open_to_read(path.c_str(), msgs)) {
        std::fclose(f);
        return true;
    }
    remove_recent(s.app.recent_files, path);
    if (scene)
        report_unopened(s, path, msgs);
    else
        ErrorMsg(s, warn_text("The picture was not loaded.", msgs).c_str());
    return false;
}

// An absolute file path split into szTmpFilePath and szTmpFileName, as the
// file dialog would hand them over.
void take_path(app_state &a, const std::string &abs)
{
    const size_t slash = abs.rfind('/');
    a.szTmpFilePath = a.szFilePath = abs.substr(0, slash + 1);
    a.szTmpFileName = abs.substr(slash + 1);
}

// A scene or a picture named outside the dialogs, known to open.
int open_scene_at(session &s, const std::string &abs)
{
    take_path(s.app, abs);
    return load_scene(s);
}

void open_picture_at(session &s, const std::string &abs)
{
    take_path(s.app, abs);
    s.app.szFName = abs;
    load_picture(s);
}

void cmd_open_rt(session &s)
{
    app_state &a = s.app;
    if (!save_or_not(s))
        return;
    make_pattern(a, a.szFileExt);
    if (!CallFileOpenDlg(s.ui, a, a.szTmpFileSpec, a.szFileExt.c_str(), a.szTmpFilePath,
                         a.szTmpFileName))
        return;
    load_scene(s);
}

// Whether the render would give dots: a size of no dots would blank the
// window and drop its picture, so it is refused with koru-cli's words.
bool render_has_dots(session &s, int stereo, bool anaglyph)
{
    frame f;
    if (!make_frame(s.app.model, stereo, f, anaglyph))
        return true; // no view: the render says so
    const std::string empty = no_dots(f.width, f.h, "nothing to render");
    if (empty.empty())
        return true;
    ErrorMsg(s, (empty + "\nSet it with Setting(T).").c_str());
    return false;
}

// A render beside the window, and Stop render's word on it: asked for
// before the picture is shown, even after its last row, it keeps the
// picture there was.
struct render_run {
    render_run(const scene &sc, const render_options &opt) : job(sc, opt) {}
    render_job job;
    cancel_token tok;
};

// What a render that ended shows: its picture, or why there is none.
void rendered(session &s, render_run &run, int rc)
{
    if (rc == RAY_DONE && !run.tok.commit())
        rc = RAY_CANCELLED;
    // a render stopped by the user, or too deep, keeps the previous picture
    // and the flags
    if (rc == RAY_CANCELLED)
        return;
    if (rc != RAY_DONE) {
        std::string text = ray_status_text(rc, s.app.model);
        text[0] = (char)std::toupper((unsigned char)text[0]);
        text += rc == RAY_NOVIEW ? ".\nSet it with Setting(T)."
                                 : ".\nLower the depth in the scene file.";
        ErrorMsg(s, text.c_str());
        return;
    }
    show_made(s, run.job);
}

void cmd_make(session &s, int stereo, bool anaglyph = false)
{
    if (!s.app.rt_ready || !render_has_dots(s, stereo, anaglyph))
        return;
    s.ui.wait_cursor(1);
    render_options opt;
    opt.stereo = stereo;
    opt.anaglyph = anaglyph;
    opt.aa = s.app.aa_level;
    opt.on_row = s.ui.row_display();
    auto run = std::make_shared<render_run>(s.app.model, opt);
    begin_job(s, [run] {
        run->tok.cancel();
        run->job.cancel();
    });
    s.ui.run_render(run->job, [&s, run](int rc) {
        end_job(s);
        s.ui.wait_cursor(0);
        rendered(s, *run, rc);
        job_done(s);
    });
}

// "Setting(&T)": a camera changed here is a camera moved by hand.
void cmd_setting(session &s)
{
    bool changed = false;
    if (CallDataSet(s, s.app.model, &changed) && changed)
        s.app.camera_moves++;
    s.ui.invalidate();
}

void cmd_about(session &s)
{
    static const char text[] = "     KORU for Windows95 Ver.1.10\n"
                               "Ray tracing by the KORU team";
    s.ui.message(text, "About KORU !", MB_INFO);
}

void cmd_print(session &s)
{
    app_state &a = s.app;
    if (!a.image_ready)
        return;
    InitPrint(s);
    redisplay(s);
}

} // namespace

void show_made(session &s, const render_job &job)
{
    app_state &a = s.app;
    keep_picture(job, a.model, *a.gdata);
    a.made_scene = std::make_shared<const scene>(job.model());
    a.made_frame = job.view();
    disp_show(s.disp, *a.gdata, a.model.ixmx, a.model.iymx);
    a.image_ready = 1;
    a.data_change = 1;
    a.live_camera = 0; // live view says when the picture is its own
    s.ui.invalidate();
}

bool live_remakes(const app_state &a)
{
    return a.live && a.live_camera != 0 && a.live_camera == a.camera_moves &&
           a.file_camera == a.camera_moves;
}

bool picture_unsaved(const app_state &a)
{
    return a.image_ready && a.data_change && !live_remakes(a);
}

int save_or_not(session &s)
{
    if (s.studio.on) // the text is what to keep (studio.h)
        return studio_keep_text(s);
    if (!picture_unsaved(s.app))
        return 1;
    int answer = s.ui.message("Image is changed !  Do you save ?", "Save or not !", MB_YESNOCANCEL);
    if (answer == ID_YES)
        return save_image(s) != 0; // a failed save keeps the picture
    // in live view every move makes a new picture: asked about once
    if (answer == ID_NO && s.app.live)
        s.app.data_change = 0;
    return answer == ID_NO;
}

void app_command(session &s, int id)
{
    if (!app_enabled(s.app, id) || !studio_allows(s, id))
        return;
    switch (id) {
    case IDM_OPENBMP:
        cmd_open_bmp(s);
        break;
    case IDM_SAVEBMP:
        save_image(s);
        break;
    case IDM_EXIT:
        s.ui.close_window();
        break;
    case IDM_OPENRT:
        cmd_open_rt(s);
        break;
    case IDM_MAKE:
    case IDM_MAKE3D:
        cmd_make(s, id == IDM_MAKE3D);
        break;
    case IDM_ANAGLYPH:
        cmd_make(s, 0, true);
        break;
    case IDM_ANIMATE:
        make_animation(s);
        break;
    case IDM_SETTING:
        cmd_setting(s);
        break;
    case IDM_SAVERT:
        cmd_save_rt(s);
        break;
    case IDM_HELP:
        s.ui.help();
        break;
    case IDM_ABOUT:
        cmd_about(s);
        break;
    case IDM_PRINT:
        cmd_print(s);
        break;
    case IDM_CONFIG:
        if (CallConfSet(s.ui, s.disp) && s.app.image_ready)
            redisplay(s);
        break;
    }
    if (id >= IDM_AA1 && id <= IDM_AA4)
        s.app.aa_level = id - IDM_AA1 + 1;
    if (id >= IDM_NEWSCENE && id <= IDM_NEXTPROBLEM)
        studio_command(s, id);
}

int app_close(session &s)
{
    if (s.app.busy)
        return 0;
    return save_or_not(s);
}

int open_scene(session &s, const char *path)
{
    if (s.app.busy)
        return 0;
    const std::string abs = full_path(s, path);
    if (abs.empty() || !openable(s, abs, true))
        return 0;
    return open_scene_at(s, abs);
}

void open_picture(session &s, const char *path)
{
    if (s.app.busy)
        return;
    const std::string abs = full_path(s, path);
    if (abs.empty() || !openable(s, abs, false))
        return;
    open_picture_at(s, abs);
}

int open_file(session &s, const char *path)
{
    if (s.app.busy)
        return 0;
    // a file that cannot be opened is said before the question is asked
    const bool picture = is_picture_name(path);
    const std::string abs = full_path(s, path);
    if (abs.empty() || !openable(s, abs, !picture) ||
        !(picture ? save_or_not_picture(s) : save_or_not(s)))
        return 0;
    if (picture) {
        open_picture_at(s, abs);
        return 0;
    }
    return open_scene_at(s, abs);
}

void zoom_by(session &s, int dir)
{
    if (s.app.busy)
        return;
    s.disp.zoom_size = dir == 0 ? 100 : zoom_step(s.disp.zoom_size, dir);
    if (s.app.image_ready)
        redisplay(s);
}

void set_mode(session &s, int m)
{
    if (s.app.busy || m < 0 || m > 2)
        return;
    s.disp.mode = m;
    if (s.app.image_ready)
        redisplay(s);
}
