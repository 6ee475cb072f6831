// progress_qt.h - the progress window of a job that runs beside the
// window (a render, an animation: session/worker.h).
//
// ProgressDlg is a modal window with a line of text, a bar and Cancel.
// Cancel, Escape and its close box call stop() and say "Stopping..."
// (stopped is then true).
//
// JobProgress shows one for as long as it lives: after delay_ms (a quick
// job needs none), its line and bar set by update() a few dozen times a
// second, from the moment it is made. The window keeps working meanwhile:
// no event loop of its own runs.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;

class ProgressDlg : public QDialog {
public:
    ProgressDlg(QWidget *parent, const char *title, std::function<void()> stop);
    void reject() override;
    void show_progress(const QString &line, int done, int total);
    bool stopped = false;

private:
    std::function<void()> stop;
    QLabel *text;
    QProgressBar *bar;
    QPushButton *cancel;
};

class JobProgress : public QObject {
public:
    JobProgress(QWidget *parent, const char *title, int delay_ms, std::function<void()> stop,
                std::function<void(ProgressDlg &)> update);
    ~JobProgress() override;

private:
    void tick();

    std::unique_ptr<ProgressDlg> dlg;
    std::function<void(ProgressDlg &)> update;
    int delay_ms;
    QTimer timer;
    QElapsedTimer clock;
};
