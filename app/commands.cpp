#include "commands.h"

#include "../base/msg.h"
#include "../image/picfile.h"
#include "../image/rgb.h"
#include "../image/safewrite.h"
#include "../scene/rtread.h"
#include "../scene/rtwrite.h"
#include "../trace/render.h"
#include "appstate.h"
#include "cmdline.h"
#include "prefs.h"
#include "dirlist.h"
#include "display_port.h"
#include "filedlg.h"
#include "print.h"
#include "settings.h"
#include "ui_port.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

const char *const about_text = "     KORU for Windows95 Ver.1.10\n"
                               "Ray tracing by the KORU team";

namespace {

int busy;

const char *const BMP_EXT = ".BMP";
const char *const RT_EXT = ".RT";

// The reader's lines after what went wrong, as one text; the lines of a
// scene file read as koru-cli writes them, "FILE:LINE:COL: warning: ...".
std::string warn_text(const std::string &head, const msglist &msgs, const char *file = nullptr)
{
    std::string t = head;
    for (const msg &m : msgs.lines)
        t += "\n" + (file ? msg_text(file, m) : m.text);
    if (msgs.lost)
        t += "\n(and " + std::to_string(msgs.lost) + " more)";
    return t;
}

void set_busy(ui_port &ui, int on)
{
    busy = on;
    ui.commands_changed();
}

void redisplay(ui_port &ui)
{
    ui.wait_cursor(1);
    disp_show(model.ixmx, model.iymx);
    ui.wait_cursor(0);
    ui.invalidate();
}

void make_pattern(const char *ext)
{
    if (!join3(szTmpFileSpec, PATH_BYTES, szTmpFilePath, "*", ext))
        join2(szTmpFileSpec, PATH_BYTES, "*", ext);
}

// The SAVE dialog and the write: -1 cancelled, 1 saved, 0 failed.
int save_image(ui_port &ui)
{
    int r = -1;
    make_pattern(BMP_EXT);
    set_ext(oldFName, BMP_EXT);
    if (CallFileSaveDlg(ui, szTmpFileSpec, BMP_EXT, szTmpFilePath, szTmpFileName)) {
        join2(szFName, PATH_BYTES, szTmpFilePath, szTmpFileName);
        msglist msgs;
        // a name ending in .PNG asks for a PNG file, any other a BMP file
        if (save_picture(szFName, gdata, model.ixmx, model.iymx, msgs)) {
            data_change = 0;
            add_recent(recent_files, szFName);
            r = 1;
        } else {
            ErrorMsg(ui, warn_text("The picture was not saved.", msgs).c_str());
            r = 0;
        }
    }
    set_ext(oldFName, szFileExt);
    return r;
}

// Step 5 of "Open *.BMP(&O)", once szFName names the picture.
void load_picture(ui_port &ui)
{
    msglist msgs;
    int w, h;
    int rc = load_picture(szFName, gdata, w, h, msgs); // BMP or PNG, by its contents
    // a file that could not be opened changed nothing: what was shown
    // stays; a picture's size is also the scene's image size
    if (rc != RGB_NOFILE) {
        model.ixmx = w;
        model.iymx = h;
        image_ready = model.ixmx != 0 ? 1 : 0;
    }
    if (rc == RGB_LOADED)
        add_recent(recent_files, szFName);
    redisplay(ui);
    if (rc != RGB_LOADED)
        ErrorMsg(ui, warn_text("The picture was not loaded.", msgs).c_str());
    else if (!msgs.empty())
        ErrorMsg(ui, warn_text("The picture is damaged.", msgs).c_str());
}

void cmd_open_bmp(ui_port &ui)
{
    if (!save_or_not(ui))
        return;
    make_pattern(BMP_EXT);
    set_ext(oldFName, BMP_EXT);
    if (CallFileOpenDlg(ui, szTmpFileSpec, BMP_EXT, szTmpFilePath, szTmpFileName)) {
        join2(szFName, PATH_BYTES, szTmpFilePath, szTmpFileName);
        load_picture(ui);
    }
    set_ext(oldFName, szFileExt);
}

// Steps 4 to 9 of "Open *.RT(&L)", once szTmpFilePath and szTmpFileName
// name the scene. Returns whether the file could be read.
int load_scene(ui_port &ui)
{
    join2(szFName, PATH_BYTES, szTmpFilePath, szTmpFileName);
    std::strcpy(oldFName, szTmpFileName);
    ui.set_title(szFName);
    scene_file = szFName;
    msglist msgs;
    int opened = data_load(model, szFName, msgs);
    rt_ready = 1;
    if (!opened) {
        char head[PATH_BYTES + 32];
        std::snprintf(head, sizeof head, "Cannot open \"%s\" !!", szFName);
        std::printf("%s\n", head);
        std::fflush(stdout);
        ErrorMsg(ui, head);
    } else if (!msgs.empty()) {
        std::string head = std::string("\"") + szFName + "\" is not quite right:";
        ErrorMsg(ui, warn_text(head, msgs, szFName).c_str());
    }
    if (opened) {
        add_recent(recent_files, szFName);
        scene_serial++;
    }
    return opened;
}

// "Save *.RT(&W)": the scene model, camera and size as they stand, to a
// scene file chosen in the SAVE dialog, which becomes the scene's file.
void cmd_save_rt(ui_port &ui)
{
    make_pattern(RT_EXT);
    if (!CallFileSaveDlg(ui, szTmpFileSpec, RT_EXT, szTmpFilePath, szTmpFileName))
        return;
    char path[PATH_BYTES];
    join2(path, PATH_BYTES, szTmpFilePath, szTmpFileName);
    msglist msgs;
    std::string text;
    if (!rt_text(model, text, msgs) ||
        !write_file_safely(path, (const unsigned char *)text.data(), text.size(), msgs)) {
        ErrorMsg(ui, warn_text("The scene was not saved.", msgs).c_str());
        return;
    }
    std::strcpy(szFName, path);
    std::strcpy(oldFName, szTmpFileName);
    ui.set_title(szFName);
    scene_file = path;
    add_recent(recent_files, szFName);
    scene_serial++;
}

// A file path split into szTmpFilePath and szTmpFileName, as the file
// dialog would hand them over; 0 when it is no file name.
int take_path(ui_port &ui, const char *path)
{
    char cwd[PATH_BYTES];
    std::string abs = path_resolve(getcwd(cwd, sizeof cwd) ? cwd : "/", path);
    size_t slash = abs.rfind('/');
    std::string dir = abs.substr(0, slash + 1), name = abs.substr(slash + 1);
    if (abs.size() + 1 > (size_t)PATH_BYTES || name.empty() || !*path) {
        char text[200];
        std::snprintf(text, sizeof text, "\"%.120s\" is not a file name.", path);
        ErrorMsg(ui, text);
        return 0;
    }
    std::strcpy(szTmpFilePath, dir.c_str());
    std::strcpy(szFilePath, dir.c_str());
    std::strcpy(szTmpFileName, name.c_str());
    return 1;
}

void cmd_open_rt(ui_port &ui)
{
    if (!save_or_not(ui))
        return;
    make_pattern(szFileExt);
    if (!CallFileOpenDlg(ui, szTmpFileSpec, szFileExt, szTmpFilePath, szTmpFileName))
        return;
    load_scene(ui);
}

void cmd_make(ui_port &ui, int stereo, bool anaglyph = false)
{
    if (!rt_ready)
        return;
    ui.wait_cursor(1);
    render_options opt;
    opt.stereo = stereo;
    opt.anaglyph = anaglyph;
    opt.aa = aa_level;
    opt.on_row = ui.row_display();
    render_job job(model, opt);
    set_busy(ui, 1);
    int rc = ui.run_render(job);
    set_busy(ui, 0);
    ui.wait_cursor(0);
    // a render stopped by the user, or too deep, keeps the previous picture
    // and the flags
    if (rc == RAY_CANCELLED)
        return;
    if (rc != RAY_DONE) {
        std::string text = ray_status_text(rc, model);
        text[0] = (char)std::toupper((unsigned char)text[0]);
        text += rc == RAY_NOVIEW ? ".\nSet it with Setting(T)."
                                 : ".\nLower the depth in the scene file.";
        ErrorMsg(ui, text.c_str());
        return;
    }
    show_made(ui, job);
}

} // namespace

void show_made(ui_port &ui, const render_job &job)
{
    keep_picture(job, model, gdata);
    disp_show(model.ixmx, model.iymx);
    image_ready = 1;
    data_change = 1;
    ui.invalidate();
}

int ErrorMsg(ui_port &ui, const char *text)
{
    ui.message(text, "Error !", MB_ERROR);
    return 0;
}

int OkMsg(ui_port &ui, const char *text)
{
    return ui.message(text, "Caution !", MB_OKCANCEL) == ID_OK ? 1 : 0;
}

int save_or_not(ui_port &ui)
{
    if (image_ready == 0 || data_change == 0)
        return 1;
    int a = ui.message("Image is changed !  Do you save ?", "Save or not !", MB_YESNOCANCEL);
    if (a == ID_YES)
        return save_image(ui) != 0; // a failed save keeps the picture
    return a == ID_NO;
}

int app_busy() { return busy; }

int app_enabled(int id) { return !busy || id == IDM_HELP || id == IDM_ABOUT; }

void app_command(ui_port &ui, int id)
{
    if (!app_enabled(id))
        return;
    switch (id) {
    case IDM_OPENBMP:
        cmd_open_bmp(ui);
        break;
    case IDM_SAVEBMP:
        save_image(ui);
        break;
    case IDM_EXIT:
        ui.close_window();
        break;
    case IDM_OPENRT:
        cmd_open_rt(ui);
        break;
    case IDM_MAKE:
        cmd_make(ui, 0);
        break;
    case IDM_MAKE3D:
        cmd_make(ui, 1);
        break;
    case IDM_ANAGLYPH:
        cmd_make(ui, 0, true);
        break;
    case IDM_AA1:
    case IDM_AA1 + 1:
    case IDM_AA1 + 2:
    case IDM_AA4:
        aa_level = id - IDM_AA1 + 1;
        break;
    case IDM_SETTING:
        CallDataSet(ui);
        ui.invalidate();
        break;
    case IDM_SAVERT:
        cmd_save_rt(ui);
        break;
    case IDM_HELP:
        ui.help();
        break;
    case IDM_ABOUT:
        ui.message(about_text, "About KORU !", MB_INFO);
        break;
    case IDM_PRINT:
        if (!image_ready)
            break;
        InitPrint(ui, model.ixmx, model.iymx);
        redisplay(ui);
        break;
    case IDM_CONFIG:
        if (CallConfSet(ui) && image_ready)
            redisplay(ui);
        break;
    }
}

int app_close(ui_port &ui)
{
    if (busy)
        return 0;
    return save_or_not(ui);
}

int open_scene(ui_port &ui, const char *path)
{
    if (busy || !take_path(ui, path))
        return 0;
    return load_scene(ui);
}

void open_picture(ui_port &ui, const char *path)
{
    if (busy || !take_path(ui, path))
        return;
    join2(szFName, PATH_BYTES, szTmpFilePath, szTmpFileName);
    load_picture(ui);
}

int open_file(ui_port &ui, const char *path)
{
    if (busy || !save_or_not(ui))
        return 0;
    if (is_picture_name(path)) {
        open_picture(ui, path);
        return 0;
    }
    return open_scene(ui, path);
}

void zoom_by(ui_port &ui, int dir)
{
    if (busy)
        return;
    zoom_size = dir == 0 ? 100 : zoom_step(zoom_size, dir);
    if (image_ready)
        redisplay(ui);
}

void set_mode(ui_port &ui, int m)
{
    if (busy || m < 0 || m > 2)
        return;
    mode = m;
    if (image_ready)
        redisplay(ui);
}
