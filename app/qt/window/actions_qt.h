// actions_qt.h - the window's menus and keys, built once from the table
// (commands/actions.h): each menu item a QAction, each key without one a
// QShortcut, each found again by its id.
//
//   ActionSet acts(win, [](int id) { ... });   // the menu bar of win, and
//                                              // what an item or key does
//   acts.action(IDM_MAKE)->setEnabled(false);
//   acts.show_view(VIEW_STUDIO);               // the studio's items, its keys
//   acts.refresh(s);                           // greyed and ticked as s has it
//   acts.fill(m, MENU_EDIT, ACT_CHOSEN);       // m gets Edit's structural items
//
// The choices of one menu (ACT_ONE_OF) tick one at a time. The studio's
// items are made with the others and shown only in its view. The
// structural edits (ACT_CHOSEN) are greyed by the studio as its menus open,
// not by refresh.
#pragma once

#include <QObject>
#include <functional>
#include <map>

class QAction;
class QMainWindow;
class QMenu;
class QShortcut;
struct session;

class ActionSet : public QObject {
public:
    ActionSet(QMainWindow *win, std::function<void(int)> run);
    QAction *action(int id) const;
    QMenu *menu(int m) const;
    // The items and keys of a view of the window (VIEW_PICTURE,
    // VIEW_STUDIO); apply_keys gives the keys alone.
    void show_view(int view);
    void apply_keys(int view);
    void refresh(const session &s);
    // Adds to m the rows of menu that have flag: their items, submenus and
    // separators, the same actions as there.
    void fill(QMenu *m, int menu, unsigned flag) const;

private:
    void add_row(QMainWindow *win, int row);

    std::function<void(int)> run;
    std::map<int, QAction *> actions; // by id; the menus' own by -MENU_*
    std::map<int, QMenu *> menus;
    std::map<int, QShortcut *> keys;
};
