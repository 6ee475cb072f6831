// studio_edits.h - the studio's structural edits in the window: the Edit
// menu's items from "Add Primitive" on, and the same items in the
// outline's and the picture's context menus. What applies, where a new
// primitive goes and what is selected after are the logic's
// (studio_struct.h); here they are asked for and shown.
//
// The outline's rows chosen (Ctrl and Shift choose several) are what an
// item works on. A right-click on the picture chooses the primitive under
// the mouse (or keeps the rows chosen, when it is one of them; nothing on
// background), and a primitive added from there goes to the point under
// the mouse. Each edit goes into the text as one step of undo; the outline
// shows the new text at once, its record is selected, and the picture
// follows as it follows typing. Ctrl+Z and Ctrl+Y in the outline and on the
// picture undo and redo in the text; Delete in the outline deletes the
// primitives chosen.
#pragma once

#include "app/studio/studio_struct.h"

#include <QObject>
#include <QPoint>

class StudioSelection;
class StudioText;
class View;
struct session;
struct studio_host;
struct studio_panes;

class StudioEdits : public QObject {
public:
    StudioEdits(session &s, studio_host &host, StudioText &text, StudioSelection &sel,
                const studio_panes &panes, View &view);
    // An item chosen from a menu.
    void run(int id);
    // The items greyed as what is chosen allows.
    void update_items();

private:
    void add_keys();
    void outline_menu(QPoint at);
    void picture_menu(QPoint at);
    void show_menu(QPoint global);
    struct_target outline_target() const;
    bool pick_target(QPoint at, struct_target &t);

    session &s;
    studio_host &host;
    StudioText &text;
    StudioSelection &sel;
    const studio_panes &panes;
    View &view;
    bool from_picture = false; // the picture's context menu is open
    struct_target picked;      // what it works on
};
