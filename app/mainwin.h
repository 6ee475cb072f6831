// mainwin.h - KORU's main window: the menu "KORU", the picture at the
// client area's top-left on white, and the ui_port the commands use.
//
// Each menu action carries its command id (action(id) finds it) and hands
// it to app_command. Painting copies the cached display grid; the cache
// is rebuilt in one block when the grid changes. The test hooks replace
// the print dialog (print_hook configures the printer and says OK or
// Cancel) and the message boxes (message_hook answers instead of a box).
#pragma once

#include "ui_port.h"

#include <QImage>
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QPrinter;
class QTextBrowser;

class View : public QWidget {
    Q_OBJECT
public:
    explicit View(QWidget *parent);

protected:
    void paintEvent(QPaintEvent *) override;
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
    QTextBrowser *help_window() const { return helpwin; }

    std::function<bool(QPrinter &)> print_hook;
    std::function<int(const char *text, const char *caption, int kind)> message_hook;

    int message(const char *text, const char *caption, int kind) override;
    int file_dialog(file_dlg &d) override;
    int setting_dialog(setting_form &f) override;
    int config_dialog(config_form &f) override;
    int run_render(render_job &job) override;
    void commands_changed() override;
    int print_setup(const char *docname, int &pw, int &ph) override;
    int print_page(int w, int h, int scale, msglist &msgs) override;
    void beep() override;
    void set_title(const char *title) override;
    void wait_cursor(int on) override;
    void invalidate() override;
    void help() override;
    void close_window() override;

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void build_menu();
    void fit_outer_size();
    View *area;
    QTextBrowser *helpwin = nullptr;
    std::unique_ptr<QPrinter> printer;
    bool fitted = false;
};
