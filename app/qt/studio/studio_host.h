// studio_host.h - the main window as the studio sees it: where its panes
// dock, and the few things it asks of the window.
//
//   frame()                the window the panes dock in; its geometry and
//                          dock layout are kept for either view
//   show_view(view)        the window's items and keys of VIEW_STUDIO or
//                          VIEW_PICTURE (actions.h)
//   on_action(id, fn)      a menu item of the studio's own (ACT_WINDOW)
//   show_title()           the title again: its "*" follows the text
//   action(id), menu(m)    a menu item and a menu, built from actions.h
//   fill_menu(m, menu, f)  m gets the rows of menu flagged f (a context menu)
#pragma once

#include <functional>

class QAction;
class QMainWindow;
class QMenu;

struct studio_host {
    virtual QMainWindow *frame() = 0;
    virtual void show_view(int view) = 0;
    virtual void on_action(int id, std::function<void()> fn) = 0;
    virtual void show_title() = 0;
    virtual QAction *action(int id) const = 0;
    virtual QMenu *menu(int m) const = 0;
    virtual void fill_menu(QMenu *m, int menu, unsigned flag) = 0;
    virtual ~studio_host() = default;
};
