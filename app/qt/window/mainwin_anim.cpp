// The main window's part in Make Animation: its dialog, the run of the
// frames and the player (anim_qt.h), kept apart from mainwin.cpp.
#include "app/qt/window/mainwin.h"
#include "app/session/messages.h"
#include "base/msg.h"

int MainWin::anim_dialog(anim_form &f)
{
    AnimDlg dlg(this, sess, f);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

int MainWin::run_anim(anim_job &job, const frame_fn &on_frame, const std::function<int()> &finish)
{
    close_player(); // the frames' rows show as they are traced
    esc_stops([&job] { job.cancel(); });
    const int rc = ::run_anim(this, job, on_frame, finish, seams, anim_seam);
    esc_stops(nullptr);
    overlay_off();
    return rc;
}

void MainWin::play_anim(const char *path, double fps, int frames)
{
    close_player();
    player = std::make_unique<AnimPlayer>(this, area, sess);
    player->shown = [this] { invalidate(); };
    // closed after the click that asks for it has been handled
    player->on_close = [this] {
        QMetaObject::invokeMethod(this, &MainWin::close_player, Qt::QueuedConnection);
    };
    msglist msgs;
    if (!player->open(path, fps, frames, msgs)) {
        close_player();
        ErrorMsg(*this,
                 warn_text("The animation was written, but cannot be played.", msgs).c_str());
    }
}

void MainWin::close_player()
{
    if (!player)
        return;
    player.reset();
    invalidate();
}
