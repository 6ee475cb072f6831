// studio_qt.h - the scene studio in KORU's window: the scene's text in a
// code editor, its outline, an inspector and its problems in panes around
// the picture, which follows the text (studio.h, studio_follow.h).
//
// Studio view is off until "Studio(U)" (RayTrace) or `koru --studio` turns
// it on, and remembered. Off, the window is what it always was: no panes,
// the same menus (with "New Scene(N)" and "Studio(U)" in RayTrace). On:
//   - the panes "Scene text", "Outline", "Inspector" and "Messages", laid
//     out where the user last left them;
//   - in RayTrace, "Save Scene" (Ctrl+S; Save *.BMP takes Ctrl+Shift+S),
//     "Save Scene As..." and the choice "Follow": as I type / on save;
//   - an Edit menu: undo, redo, find (Ctrl+F, F3, Shift+F3), Next Problem
//     (F8), field-name hints under the record at the cursor, and the
//     structural edits, also in the outline's and the picture's context
//     menus;
//   - the window's keys of its studio view (actions.h); Ctrl+Z and Ctrl+Y
//     on the picture are the text's undo and redo (studio_selection.h).
//
// The studio is the live view's source (live_view.h): the picture follows
// the text, a click on a dot selects its primitive (trace/pick.h), and a
// camera moved by hand is written into the camera record's numbers once
// it rests. Every finding of the reader and the checks is underlined where
// it stands and listed in full; the marks are made anew from each read of
// the text, and only from a read of the text the editor holds.
//
// Studio is a thin controller over parts with one job each: the panes and
// the window around them (studio_docks.h), the text mirrored and read
// (studio_text.h), the selection and its outline on the picture
// (studio_selection.h, studio_silhouette.h), the camera written back
// (studio_camera_qt.h), a click on the picture (studio_pick_qt.h), the
// structural edits of the Edit and context menus (studio_edits.h) and the
// scene shaped there with the mouse and keys (studio_mouse_qt.h). It
// hears of the commands (pipeline.h's studio_part) and of live view
// (live_source); it asks the window through studio_host.h, and is given
// the picture's mouse events and its painting.
#pragma once

#include "app/commands/pipeline.h"
#include "app/live/live_view.h"
#include "app/qt/studio/pause_clock.h"
#include "app/qt/studio/studio_docks.h"

#include <QObject>
#include <memory>

class QKeyEvent;
class QMouseEvent;
class QPainter;
class QWheelEvent;
class StudioCamera;
class StudioEdits;
class StudioMouse;
class StudioPick;
class StudioSelection;
class StudioText;
class View;
struct prefs;
struct session;

class Studio : public QObject, public studio_part, public live_source {
public:
    Studio(studio_host &host, session &s, live_view &live, View &view);
    ~Studio() override;

    bool on() const;
    // Stops and waits for what runs beside the window (a read of the
    // text, the silhouette's search).
    void stop_work();
    // The Edit menu's items, the editor's own, handed to the window.
    void add_items();

    // Told of the commands (pipeline.h).
    void set_on(bool on) override;
    void next_problem() override;
    void before(int id) override;
    void after(int id) override;

    void load_prefs(const prefs &p);
    void save_prefs(prefs &p);

    // The picture's mouse, wheel and keys; true when the studio took them
    // (studio_mouse_qt.h), and the camera is not to have them.
    bool mouse(QMouseEvent *e);
    bool wheel(QWheelEvent *e);
    bool key(QKeyEvent *e);
    void paint(QPainter &p, bool rows_shown) const;
    // The window's picture, its zoom or mode changed.
    void picture_changed();

    SceneEditor *editor() const { return docks.made().ed; }
    OutlinePane *outline() const { return docks.made().out; }
    InspectorPane *inspector() const { return docks.made().insp; }
    MessagesPane *messages() const { return docks.made().msgs; }
    // The selection: an outline kind (OUT_*) and index; -1 when none.
    int selected_kind() const;
    int selected_index() const;
    // The silhouette's dots are known for the picture shown.
    bool silhouette_ready() const;
    // Something runs beside the window: a read of the text, the silhouette.
    bool working() const;
    // The typing pause's clock, which a test may hold (pause_clock.h).
    PauseClock &typing_clock() { return clock; }

    bool holding() const override;
    void file_changed() override;
    void camera_moved(unsigned fields) override;
    void camera_rested() override;

private:
    void build();
    void connect_panes(const studio_panes &p);
    void turn_on();
    void turn_off();

    studio_host &host;
    session &s;
    live_view &live;
    View &view;
    StudioDocks docks;
    PauseClock clock;
    // made with the panes, the first time the studio comes on
    std::unique_ptr<StudioText> text;
    std::unique_ptr<StudioSelection> sel;
    std::unique_ptr<StudioCamera> camera;
    std::unique_ptr<StudioPick> picker;
    std::unique_ptr<StudioEdits> edits;
    std::unique_ptr<StudioMouse> hands;
};
