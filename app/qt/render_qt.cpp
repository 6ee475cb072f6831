#include "render_qt.h"

#include "dlgunits.h"

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

namespace {

// The progress window. Closing it only asks the render to stop; it goes
// away when the render has returned.
class TraceDlg : public QDialog {
public:
    TraceDlg(QWidget *parent, render_job &r) : QDialog(parent), job(r)
    {
        set_modal_frame(this);
        setWindowTitle("Tracing");
        setWindowModality(Qt::ApplicationModal);
        auto *lay = new QVBoxLayout(this);
        text = new QLabel(this);
        bar = new QProgressBar(this);
        bar->setMinimumWidth(260);
        cancel = new QPushButton("Cancel", this);
        cancel->setObjectName("cancel");
        lay->addWidget(text);
        lay->addWidget(bar);
        lay->addWidget(cancel, 0, Qt::AlignHCenter);
        connect(cancel, &QPushButton::clicked, this, &TraceDlg::reject);
        show_progress();
    }
    void reject() override
    {
        job.cancel();
        cancel->setEnabled(false);
        text->setText("Stopping...");
    }
    void show_progress()
    {
        if (job.stopping())
            return;
        int rows = job.rows(), done = job.rows_done();
        bar->setMaximum(rows > 0 ? rows : 1);
        bar->setValue(done);
        text->setText(QString("%1 of %2 rows traced").arg(done).arg(rows));
    }

private:
    render_job &job;
    QLabel *text;
    QProgressBar *bar;
    QPushButton *cancel;
};

} // namespace

int run_beside(QWidget &dlg, int delay_ms, const std::function<void()> &progress,
               const std::function<int()> &work)
{
    std::atomic<bool> finished{false};
    int rc = 0;
    std::thread worker([&] {
        rc = work();
        finished = true;
    });
    QEventLoop loop;
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
    TraceDlg dlg(parent, job);
    return run_beside(
        dlg, seams.progress_delay_ms, [&] { dlg.show_progress(); },
        [&] { return seams.fn ? seams.fn(job) : job.run(); });
}
