// mainwin.h - KORU's main window: the menu "KORU", the picture at the
// top-left of a white, scrolling client area, and the ui_port the commands
// use.
//
// Each menu action carries its command id (action(id) finds it) and hands
// it to app_command. Painting copies the cached display grid; the cache
// is rebuilt in one block when the grid changes. While a render runs, the
// rows it has traced are drawn over the picture (in full colour, at the
// zoom), and a preview of the live view is drawn enlarged to the size of
// the picture it stands for.
//
// The window also takes files dropped on it, lists the recent files in
// the File menu, steps the zoom with Ctrl+= / Ctrl+- / Ctrl+0 and picks
// the display mode with Ctrl+1 / 2 / 3, and remembers its settings between
// runs (prefs.h) in the platform's usual place (QSettings). Live view and
// the mouse's camera are in live_qt.h.
//
// The test hooks replace the print dialog (print_hook configures the
// printer and says OK or Cancel) and the message boxes (message_hook
// answers instead of a box).
#pragma once

#include "../prefs.h"
#include "../ui_port.h"

#include <QImage>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <mutex>

class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QScrollArea;
class QTextBrowser;
class LiveDriver;

// The rows a render has traced so far, for the window to show while it
// runs; written by the tracing threads, read by the painter.
struct row_overlay {
    std::mutex m;
    QImage img;     // the render's picture: rows not yet traced are clear
    int full_w = 0; // the size of the picture it stands for (a preview
    int full_h = 0; // is smaller), 0: its own
    bool shown = false;
    bool fresh = false; // a row came since the last repaint
    unsigned job = 0;   // which render the rows belong to
};

class View : public QWidget {
    Q_OBJECT
public:
    View(QWidget *parent, row_overlay &ov);
    std::function<void(QMouseEvent *)> on_mouse;
    std::function<void(QWheelEvent *)> on_wheel;
    std::function<bool(QKeyEvent *)> on_key;

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    row_overlay &ov;
};

// The display grid as a picture, rebuilt only when the grid changed.
const QImage &grid_image();

class MainWin : public QMainWindow, public ui_port {
    Q_OBJECT
public:
    MainWin();
    ~MainWin() override;
    QAction *action(int id) const;
    View *view() const { return area; }
    QScrollArea *scroller() const { return scroll; }
    QTextBrowser *help_window() const { return helpwin; }
    LiveDriver *live() const { return driver.get(); }

    // Settings between runs: read them (before the window shows) and apply
    // them; save them (the window does at its close).
    void load_prefs();
    void save_prefs();
    // The command line's zoom and mode hold for this run only.
    void set_run_config(int zoom, int mode);
    // Runs a command as the menu does, with the live view told.
    void command(int id);
    // Opens a file as a drop does (the save prompt first).
    void drop_file(const QString &path);
    // The file named on the command line: a picture is opened, a scene
    // opened and its picture made at once (by the live view when it is on).
    void open_start_file(const std::string &path);
    // Turns live view on or off, as its menu item does.
    void command_live(bool on);
    // Anti-aliasing 1 (Off) to 4, as its menu items set it.
    void set_aa(int level);

    std::function<bool(QPrinter &)> print_hook;
    std::function<int(const char *text, const char *caption, int kind)> message_hook;

    int message(const char *text, const char *caption, int kind) override;
    int file_dialog(file_dlg &d) override;
    int setting_dialog(setting_form &f) override;
    int config_dialog(config_form &f) override;
    int run_render(render_job &job) override;
    void commands_changed() override;
    row_fn row_display() override;
    int print_setup(const char *docname, int &pw, int &ph) override;
    int print_page(int w, int h, int scale, msglist &msgs) override;
    void beep() override;
    void set_title(const char *title) override;
    void wait_cursor(int on) override;
    void invalidate() override;
    void help() override;
    void close_window() override;
    void status(const char *text) override;

    // The row overlay: rows of the render that starts next go to the
    // returned function; full_w x full_h is the size of the picture they
    // stand for (0: their own).
    row_fn rows_to_overlay(int full_w, int full_h);
    void overlay_off();

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void build_menu();
    void build_recent();
    void fit_outer_size();
    void fit_view();
    void acting(const std::function<void()> &act);
    void opened(int scene, int read);
    View *area;
    QScrollArea *scroll;
    QMenu *file_menu = nullptr;
    QList<QAction *> recent_actions;
    QTextBrowser *helpwin = nullptr;
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<LiveDriver> driver;
    row_overlay ov;
    prefs remembered;
    bool fitted = false;
    bool geometry_restored = false;
};
