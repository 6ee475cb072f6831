// render_qt.h - a render on worker threads while the window stays alive.
//
// run_render(parent, job, seams) runs job.run() on a thread and the event
// loop until it returns: the window keeps painting, and after a moment a
// modal "Tracing" window shows the rows done out of the rows, with a
// Cancel button (Escape and its close box cancel too) that stops the
// render. Returns the RAY_ code.
//
// run_beside(dlg, delay_ms, progress, work) is the way of it for any long
// job: work() on a thread of its own, the event loop until it returns, and
// dlg shown once delay_ms have passed (a quick job needs none), progress()
// called a few dozen times a second. Returns what work() returns.
//
// ProgressDlg is such a dlg: a line of text, a bar and Cancel. Cancel,
// Escape and its close box call stop() and say "Stopping..." (stopped is
// then true); it goes away when the job has returned.
#pragma once

#include "trace/render.h"

#include <QDialog>
#include <functional>

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

// Test seams, each window's own.
struct render_seams {
    std::function<void(render_job &)> hook; // sees the render as it starts
    std::function<int(render_job &)> fn;    // when set, runs in place of job.run()
    int progress_delay_ms = 300; // how long a render runs before the progress window shows
};

int run_render(QWidget *parent, render_job &job, const render_seams &seams);
int run_beside(QWidget &dlg, int delay_ms, const std::function<void()> &progress,
               const std::function<int()> &work);
