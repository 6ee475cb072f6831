// studio_host.h - the main window as the studio sees it: where its panes
// dock, and the few things it asks of the window.
//
//   frame()                the window the panes dock in; its geometry and
//                          dock layout are kept for either view
//   show_view(view)        the window's items and keys of VIEW_STUDIO or
//                          VIEW_PICTURE (actions.h)
//   on_action(id, fn)      a menu item of the studio's own (ACT_WINDOW)
//   show_title()           the title again: its "*" follows the text
#pragma once

#include <functional>

class QMainWindow;

struct studio_host {
    virtual QMainWindow *frame() = 0;
    virtual void show_view(int view) = 0;
    virtual void on_action(int id, std::function<void()> fn) = 0;
    virtual void show_title() = 0;
    virtual ~studio_host() = default;
};
