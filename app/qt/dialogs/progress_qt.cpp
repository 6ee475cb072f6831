#include "app/qt/dialogs/progress_qt.h"

#include "app/qt/dialogs/dlgunits.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int TICK_MS = 40; // the progress shown anew

} // namespace

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

JobProgress::JobProgress(QWidget *parent, const char *title, int delay, std::function<void()> stop,
                         std::function<void(ProgressDlg &)> show)
    : dlg(std::make_unique<ProgressDlg>(parent, title, std::move(stop))), update(std::move(show)),
      delay_ms(delay)
{
    clock.start();
    update(*dlg);
    connect(&timer, &QTimer::timeout, this, [this] { tick(); });
    timer.start(TICK_MS);
}

JobProgress::~JobProgress() { dlg->hide(); }

void JobProgress::tick()
{
    if (!dlg->isVisible() && clock.elapsed() >= delay_ms)
        dlg->show();
    update(*dlg);
}
