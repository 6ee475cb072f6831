#include "app/qt/window/render_qt.h"

#include "app/qt/dialogs/dlgunits.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

ProgressDlg::ProgressDlg(QWidget *parent, const char *title, std::function<void()> stop_job)
    : QDialog(parent), stop(std::move(stop_job))
{
    set_modal_frame(this);
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    auto *lay = new QVBoxLayout(this);
    text = new QLabel(this);
    bar = new QProgressBar(this);
    bar->setMinimumWidth(260);
    cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    cancel->setToolTip("Esc");
    lay->addWidget(text);
    lay->addWidget(bar);
    lay->addWidget(cancel, 0, Qt::AlignHCenter);
    connect(cancel, &QPushButton::clicked, this, &ProgressDlg::reject);
}

void ProgressDlg::reject()
{
    stopped = true;
    stop();
    cancel->setEnabled(false);
    text->setText("Stopping...");
}

void ProgressDlg::show_progress(const QString &line, int done, int total)
{
    bar->setMaximum(total);
    bar->setValue(done);
    text->setText(line);
}

int run_beside(QWidget &dlg, int delay_ms, const std::function<void()> &progress,
               const std::function<int()> &work)
{
    std::atomic<bool> finished{false};
    int rc = 0;
    QEventLoop loop;
    std::thread worker([&] {
        rc = work();
        finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer tick;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (finished) {
            loop.quit();
            return;
        }
        if (!dlg.isVisible() && clock.elapsed() >= delay_ms)
            dlg.show();
        progress();
    });
    tick.start(40);
    loop.exec(QEventLoop::AllEvents);
    worker.join();
    dlg.hide();
    return rc;
}

int run_render(QWidget *parent, render_job &job, const render_seams &seams)
{
    if (seams.hook)
        seams.hook(job);
    ProgressDlg dlg(parent, "Tracing", [&job] { job.cancel(); });
    const auto progress = [&] {
        if (job.stopping())
            return;
        const int rows = job.rows(), done = job.rows_done();
        dlg.show_progress(QString("%1 of %2 rows traced").arg(done).arg(rows), done,
                          rows > 0 ? rows : 1);
    };
    progress();
    return run_beside(dlg, seams.progress_delay_ms, progress,
                      [&] { return seams.fn ? seams.fn(job) : job.run(); });
}
