// ui_port.h - everything the logic asks of the window system, in one small
// interface: the Qt window implements it, tests script it. With the parts
// a window registers in its session, it is the only way back from the
// logic to the window.
//
// message() is the message box: kind picks the buttons and icon, the
// answer is one of the ID_ values. The dialog runners show a dialog over
// its toolkit-free state (filedlg.h, setting.h, config.h) and return 1 for
// OK, 0 for Cancel. run_render(job, done) runs a render beside the
// window, showing its progress and offering to stop it (stop_job,
// session.h), and once it has ended calls done with its RAY_ code, on the
// window's thread; the job lives until then. commands_changed() says that
// the commands available (app_enabled) or ticked may have changed;
// refresh(), after every command (pipeline.h), that the recent files,
// the view's size, the title and the menus may have. row_display()
// gives a function that shows the rows of the render about to start as
// they are traced (or none). print_setup() shows the print dialog (0:
// cancelled) and gives the printable area in device dots; print_page()
// copies the display grid of d to one page as redraw(w, h, scale) does,
// at the top-left, enlarged without smoothing. status() shows text on the
// status line, the whole of it as its tooltip (say.h says what goes
// there).
//
// New Scene(N) first asks which template to start from:
// new_scene_dialog() shows the chooser over the form (new_scene.h), 1 OK,
// 0 Cancel.
//
// Make Animation (anim_make.h): anim_dialog() shows its dialog over the
// form (1 OK, 0 Cancel); run_anim() runs job.run(on_frame) as run_render()
// runs a render, with its progress, and once every frame is handed over
// finish() (the file written), still beside the window and still with
// Cancel; done then has the run's RAY_ code when that is not RAY_DONE,
// else finish()'s. play_anim() shows the file written in the player;
// false (msgs says why) when it cannot be played.
#pragma once

#include "trace/anim.h"

#include <functional>

struct anim_form;
struct new_scene_form;
struct file_dlg;
struct setting_form;
struct config_form;
struct display_state;
struct msglist;

enum {
    MB_ERROR,       // OK, question icon ("Error !")
    MB_YESNOCANCEL, // Yes, No and Cancel, exclamation icon
    MB_INFO,        // OK, information icon
    MB_REPLACE,     // Yes and No, exclamation icon, No the default
};

enum { ID_OK = 1, ID_CANCEL = 2, ID_YES = 6, ID_NO = 7 };

struct ui_port {
    virtual int message(const char *text, const char *caption, int kind) = 0;
    virtual int file_dialog(file_dlg &d) = 0;
    virtual int setting_dialog(setting_form &f) = 0;
    virtual int config_dialog(config_form &f) = 0;
    virtual void run_render(render_job &job, std::function<void(int)> done) = 0;
    virtual void commands_changed() = 0;
    virtual row_fn row_display() = 0;
    virtual int print_setup(const char *docname, int &pw, int &ph) = 0;
    // 1 printed, 0 failed (msgs says why)
    virtual int print_page(const display_state &d, int w, int h, int scale, msglist &msgs) = 0;
    virtual void set_title(const char *title) = 0;
    virtual void wait_cursor(int on) = 0;
    virtual void invalidate() = 0; // repaint the whole client area
    virtual void refresh() = 0;    // show what a command may have changed
    virtual void help() = 0;
    virtual void guide() = 0; // the guide with its pictures (guide_file.h)
    virtual int new_scene_dialog(new_scene_form &f) = 0;
    virtual void close_window() = 0; // a close request, as the close box sends
    virtual int anim_dialog(anim_form &f) = 0;
    virtual void run_anim(anim_job &job, const frame_fn &on_frame, std::function<int()> finish,
                          std::function<void(int)> done) = 0;
    virtual bool play_anim(const char *path, double fps, int frames, msglist &msgs) = 0;
    virtual void status(const char *text) = 0;
    virtual ~ui_port() = default;
};
