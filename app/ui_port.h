// ui_port.h - everything the commands ask of the window system, in one
// small interface: the Qt window implements it, tests script it.
//
// message() is the message box: kind picks the buttons and icon, the
// answer is one of the ID_ values. The dialog runners show a dialog over
// its toolkit-free state (filedlg.h, settings.h) and return 1 for OK, 0
// for Cancel. run_render() runs a render without blocking the window,
// showing its progress and offering to cancel it, and returns its RAY_
// code. commands_changed() says that the commands available (app_enabled)
// may have changed. row_display() gives a function that shows the rows of
// the render about to start as they are traced (or none). status() puts a
// line at the bottom of the window (empty: none). print_setup() shows the
// print dialog (0: cancelled) and gives the printable area in device dots;
// print_page() copies the display grid to one page as redraw(w, h, scale)
// does, at the top-left, enlarged without smoothing.
#pragma once

#include "../trace/render.h"

struct file_dlg;
struct setting_form;
struct config_form;
struct msglist;

enum {
    MB_ERROR,       // OK, question icon ("Error !")
    MB_OKCANCEL,    // OK and Cancel, exclamation icon ("Caution !")
    MB_YESNOCANCEL, // Yes, No and Cancel, exclamation icon
    MB_INFO,        // OK, information icon
};

enum { ID_OK = 1, ID_CANCEL = 2, ID_YES = 6, ID_NO = 7 };

struct ui_port {
    virtual int message(const char *text, const char *caption, int kind) = 0;
    virtual int file_dialog(file_dlg &d) = 0;
    virtual int setting_dialog(setting_form &f) = 0;
    virtual int config_dialog(config_form &f) = 0;
    virtual int run_render(render_job &job) = 0;
    virtual void commands_changed() = 0;
    virtual row_fn row_display() = 0;
    virtual void status(const char *text) = 0;
    virtual int print_setup(const char *docname, int &pw, int &ph) = 0;
    virtual int print_page(int w, int h, int scale, msglist &msgs) = 0; // 1 printed, 0 failed
    virtual void beep() = 0;
    virtual void set_title(const char *title) = 0;
    virtual void wait_cursor(int on) = 0;
    virtual void invalidate() = 0; // repaint the whole client area
    virtual void help() = 0;
    virtual void close_window() = 0; // a close request, as the close box sends
    virtual ~ui_port() = default;
};
