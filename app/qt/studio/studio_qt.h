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
//     (F8), and field-name hints under the record at the cursor;
//   - the window's keys of its studio view (shortcuts.h).
//
// The studio is the live view's source (live_qt.h): the picture follows the
// text, a click on a dot selects its primitive (trace/pick.h), and a camera
// moved by hand is written into the camera record's numbers once it rests.
// Every finding of the reader and the checks is underlined where it
// stands and listed in full; the marks are made anew from each read of the
// text, and only from a read of the text the editor holds.
//
// The window hands the studio its commands (command() first, before() and
// after() around the others), the picture's mouse events and its painting.
#pragma once

#include "app/commands/pipeline.h"
#include "app/live/live_view.h"
#include "app/studio/studio_camera.h"
#include "app/session/worker.h"
#include "app/session/prefs.h"
#include "app/studio/studio_doc.h"
#include "app/studio/studio_select.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class MainWin;
class View;
class QAction;
class QDockWidget;
class QLineEdit;
class QMenu;
class QMouseEvent;
class QPainter;
class SceneEditor;
class OutlinePane;
class InspectorPane;
class MessagesPane;
struct session;

class Studio : public QObject, public studio_part, public live_source {
    Q_OBJECT
public:
    Studio(MainWin *win, session &s, live_view &driver, View *view);
    ~Studio() override;

    bool on() const;
    // Stops and waits for what runs beside the window (the silhouette's
    // search, a read of the text).
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

    void mouse(QMouseEvent *e);
    void paint(QPainter &p, bool rows_shown);

    SceneEditor *editor() const { return ed; }
    OutlinePane *outline() const { return out; }
    InspectorPane *inspector() const { return insp; }
    MessagesPane *messages() const { return msgs; }
    // The selection: an outline kind (OUT_*) and index; -1 when none.
    int selected_kind() const { return sel.kind; }
    int selected_index() const { return sel.index; }
    // The silhouette's dots are known for the picture shown.
    bool silhouette_ready() const;

    bool holding() const override;
    void file_changed() override;
    void camera_moved(unsigned fields) override;
    void camera_rested() override;

protected:
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void build_panes();
    QWidget *build_text();
    void turn_on();
    void turn_off();
    void show_menus(bool on);
    void show_follow();
    void fit_window(bool on);

    long long now() const { return clock.elapsed(); }
    void schedule();
    void read_due();
    void text_changed();
    void sync_editor(bool keep_view);
    std::string file_name() const;
    std::shared_ptr<studio_reading> latest();
    void show_reading(const std::shared_ptr<studio_reading> &r);
    void check_now();
    void read_beside();
    bool blank_text() const;

    void select(int kind, int index, bool select_text);
    // Nothing selected, anywhere; text_too: the text's selection goes as well
    // (its cursor stays).
    void clear_selection(bool text_too);
    void caret_moved();
    void show_hints();
    void edit_fields(const std::vector<field_value> &values);
    void write_camera(unsigned mask);
    void jump_to(int mark);
    void pick(QPoint at);
    void say(const std::string &text, bool keep = true);
    void start_ids();

    MainWin *win;
    session &s;
    live_view *driver;
    View *view;

    // panes, made when the studio first comes on
    QList<QDockWidget *> docks;
    SceneEditor *ed = nullptr;
    OutlinePane *out = nullptr;
    InspectorPane *insp = nullptr;
    MessagesPane *msgs = nullptr;
    QWidget *find_bar = nullptr;
    QLineEdit *find_field = nullptr;
    std::string dock_layout;                      // saveState, base64
    std::function<void()> fresh_layout;           // the panes' first sizes
    QByteArray classic_geometry, studio_geometry; // the window's in either view (saveGeometry)

    // the text and its reads
    QTimer read_timer;
    QElapsedTimer clock;
    bool quiet = false; // a change of the studio's own, which the model holds
    unsigned loads_seen = 0, saves_seen = 0;
    std::shared_ptr<studio_reading> shown_read, latest_read;
    worker reads; // the text read beside the window, for the panes

    // selection, the camera, commands
    studio_selection sel;
    unsigned camera_mask = 0;
    long selected_caret = -1; // where choosing an item put the cursor
    camera_fields camera_before{};
    QPoint press_at;
    bool pressed = false;
    bool rows = false; // a render's rows cover the picture

    // the silhouette: every dot's primitive, found beside the window
    worker ids_work;
    std::shared_ptr<const scene> ids_scene, computing;
    frame ids_frame{};
    std::vector<int> ids;
    QImage sil;
    std::vector<int> sil_chosen;
    const void *sil_scene = nullptr;
    int sil_zoom = 0;
};
