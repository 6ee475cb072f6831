// mainwin.h - KORU's main window: the menu "KORU", the picture at the
// top-left of a white, scrolling client area (view.h), and the ui_port
// the commands use.
//
// The window owns its session (session.h): the application state and the
// display state that the commands, the dialogs, printing and the live view
// work on. Two windows in one process keep two sessions apart. It
// registers its parts in the session: live view (live_qt.h), the studio
// (studio_qt.h) and itself as the animation player's holder.
//
// The window decides no order: a menu item or a key hands its id to
// run_command (pipeline.h), a drop or a recent file to open_dropped, and
// the close box asks close_asked; the logic then tells the window what to
// show through ui_port. The menus and keys are built from one table
// (actions.h, actions_qt.h), each item found again by its id (action(id)).
// While a job runs beside the window (a render, an animation), its rows
// are drawn over the picture and its progress window shows after a
// moment.
//
// The window also takes files dropped on it, lists the recent files in
// the File menu, and remembers its settings between runs (prefs.h,
// remember.h) in the platform's usual place (QSettings). A click on the
// status line shows the session's messages, whole (messages_window).
//
// The test hooks replace the print dialog (print_hook configures the
// printer and says OK or Cancel), the message boxes (message_hook answers
// instead of a box) and parts of the jobs (seams.h).
#pragma once

#include "app/commands/pipeline.h"
#include "app/qt/dialogs/print_qt.h"
#include "app/qt/dialogs/progress_qt.h"
#include "app/qt/studio/studio_host.h"
#include "app/qt/window/seams.h"
#include "app/qt/window/view.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "app/session/worker.h"

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>

class ActionSet;
class AnimPlayer;
class GuideWin;
class LiveQt;
class QAction;
class QPlainTextEdit;
class QPrinter;
class QScrollArea;
class QTextBrowser;
class Studio;

class MainWin : public QMainWindow, public ui_port, public player_part, public studio_host {
    Q_OBJECT
public:
    MainWin();
    ~MainWin() override;
    session &state() { return sess; }
    QAction *action(int id) const override;
    QMenu *menu(int m) const override;
    void fill_menu(QMenu *m, int menu, unsigned flag) override;
    View *view() const { return area; }
    QScrollArea *scroller() const { return scroll; }
    QTextBrowser *help_window() const { return helpwin; }
    GuideWin *guide_window() const { return guidewin; }
    QPlainTextEdit *messages_window() const { return saidwin; }
    live_view *live() const;
    Studio *studio() const { return studio_.get(); }

    // Settings between runs: read them (before the window shows) and apply
    // them; save them (the window does at its close).
    void load_prefs();
    void save_prefs();
    // The command line's zoom and mode hold for this run only.
    void set_run_config(int zoom, int mode);
    // Runs a command as the menu does.
    void command(int id);
    // Opens a file as a drop does (the save prompt first).
    void drop_file(const QString &path);
    // The file named on the command line: a picture is opened, a scene
    // opened and its picture made at once (by the live view when it is on).
    void open_start_file(const std::string &path);
    // Turns live view on or off, as its menu item does.
    void command_live(bool on);
    // Gives the menu items and the other keys their keys in a view of the
    // window (actions.h); show_view shows its items too.
    void apply_shortcuts(int view);
    void show_view(int view) override;
    // A menu item of the window's own (ACT_WINDOW) runs fn.
    void on_action(int id, std::function<void()> fn) override;
    QMainWindow *frame() override { return this; }
    // The session's messages, whole, in a window of their own.
    void show_messages();
    // The title as set_title last gave it, with "*" while what is shown is
    // unsaved (shown_unsaved, save_prompt.h).
    void show_title() override;

    // The guide Help's Guide opens: beside the program or where it is
    // installed (guide_file.h); "" when it was found in neither.
    QString guide_path;

    std::function<bool(QPrinter &)> print_hook;
    std::function<int(const char *text, const char *caption, int kind)> message_hook;
    render_seams seams;
    anim_seams anim_seam;

    // The animation player, while it is open (anim_player_qt.h); closing it shows
    // the window's picture again.
    AnimPlayer *anim_player() const { return player.get(); }
    void close_player() override;

    int message(const char *text, const char *caption, int kind) override;
    int file_dialog(file_dlg &d) override;
    int setting_dialog(setting_form &f) override;
    int config_dialog(config_form &f) override;
    void run_render(render_job &job, std::function<void(int)> done) override;
    void commands_changed() override;
    row_fn row_display() override;
    int print_setup(const char *docname, int &pw, int &ph) override;
    int print_page(const display_state &d, int w, int h, int scale, msglist &msgs) override;
    void set_title(const char *title) override;
    void wait_cursor(int on) override;
    void invalidate() override;
    void refresh() override;
    void help() override;
    void guide() override;
    int new_scene_dialog(new_scene_form &f) override;
    void close_window() override;
    int anim_dialog(anim_form &f) override;
    void run_anim(anim_job &job, const frame_fn &on_frame, std::function<int()> finish,
                  std::function<void(int)> done) override;
    bool play_anim(const char *path, double fps, int frames, msglist &msgs) override;
    void status(const char *text) override;

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void build_view();
    void build_menu();
    void build_recent();
    void run_action(int id);
    void fit_outer_size();
    void fit_view();
    void overlay_off();
    void job_ended();

    session sess{*this};
    row_overlay ov;
    GridImage grid;
    PagePrinter pages;
    View *area;
    QScrollArea *scroll;
    ActionSet *acts = nullptr;
    std::map<int, std::function<void()>> own_actions;
    QList<QAction *> recent_actions;
    QTextBrowser *helpwin = nullptr;
    GuideWin *guidewin = nullptr;
    QPlainTextEdit *saidwin = nullptr;
    std::unique_ptr<LiveQt> driver;
    std::unique_ptr<Studio> studio_; // after driver: it goes first
    QString title = "KORU";
    bool fitted = false;
    bool geometry_restored = false;
    std::unique_ptr<AnimPlayer> player;
    // the job that runs beside the window (a render, an animation), and
    // its progress
    worker jobs;
    std::unique_ptr<JobProgress> progress;
};
