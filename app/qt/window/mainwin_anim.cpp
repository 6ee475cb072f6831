// The main window's part in Make Animation: its dialog, the run of the
// frames and the player (anim_dlg_qt.h, anim_player_qt.h), kept apart from
// mainwin.cpp.
#include "app/qt/anim/anim_dlg_qt.h"
#include "app/qt/anim/anim_player_qt.h"
#include "app/qt/window/mainwin.h"
#include "base/msg.h"

int MainWin::anim_dialog(anim_form &f)
{
    AnimDlg dlg(this, sess, f);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

namespace {

// The progress bar's steps over a run of frames.
constexpr int PARTS = 1000;

} // namespace

void MainWin::run_anim(anim_job &job, const frame_fn &on_frame, std::function<int()> finish,
                       std::function<void(int)> done)
{
    close_player(); // the frames' rows show as they are traced
    progress = std::make_unique<JobProgress>(
        this, "Making animation", seams.progress_delay_ms, [this] { stop_job(sess); },
        [&job](ProgressDlg &dlg) {
            if (dlg.stopped)
                return;
            const int n = job.last() - job.first() + 1;
            const int made = job.frames_done();
            const QString line = made < n ? QString("Frame %1 of %2").arg(made + 1).arg(n)
                                          : QString("Writing the file...");
            dlg.show_progress(line, (int)(job.progress() * PARTS), PARTS);
        });
    const anim_seams hooks = anim_seam;
    const auto run = [&job, on_frame, finish, hooks] {
        const int rc = job.run([&](int k, const render_job &r) {
            if (hooks.frame)
                hooks.frame(k);
            return on_frame(k, r);
        });
        if (rc != RAY_DONE)
            return rc;
        if (hooks.writing)
            hooks.writing();
        return finish();
    };
    jobs.start(
        run,
        [this, done](int rc) {
            job_ended();
            done(rc);
        },
        [&job] { job.cancel(); });
}

bool MainWin::play_anim(const char *path, double fps, int frames, msglist &msgs)
{
    close_player();
    player = std::make_unique<AnimPlayer>(this, area, sess);
    player->shown = [this] { invalidate(); };
    // closed after the click that asks for it has been handled
    player->on_close = [this] {
        QMetaObject::invokeMethod(this, &MainWin::close_player, Qt::QueuedConnection);
    };
    if (player->open(path, fps, frames, msgs))
        return true;
    close_player();
    return false;
}

void MainWin::close_player()
{
    if (!player)
        return;
    player.reset();
    invalidate();
}
