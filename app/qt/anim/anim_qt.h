// anim_qt.h - Make Animation in the window: its dialog, the run of its
// frames with a progress window, and the player in the picture area.
//
// AnimDlg shows an anim_form (anim_form.h) laid out in dialog units:
// the key scenes' list with Add... (KORU's LOAD dialog), Remove, Up and
// Down; the turn; frames; frames a second; the size; the output with
// Browse... (KORU's SAVE dialog); the anti-aliasing. OK hands the fields
// to anim_form_ok and closes only when it accepts them. Controls are
// named for tests: "keys", "add", "remove", "up", "down", "orbit", "deg",
// "frames", "fps", "width", "height", "out", "browse", "ok", "cancel".
//
// AnimPlayer shows the frames of a written file in the view (View::other)
// and puts a bar at the bottom of the window: Play / Pause, a frame
// slider, "Frame i of n" and Close. Space plays or pauses, Left and Right
// step a frame, Home and End go to the ends, Escape closes. Each frame is
// shown at the window's zoom and mode as they are now (anim_play.h).
#pragma once

#include "app/anim/anim_form.h"
#include "app/anim/anim_play.h"
#include "app/session/display_state.h"
#include "trace/anim.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMainWindow;
class QSlider;
class QToolBar;
class QToolButton;
class View;

class AnimDlg : public QDialog {
    Q_OBJECT
public:
    AnimDlg(QWidget *parent, session &s, anim_form &f);
    void accept() override;

private:
    void take_fields();
    void sync();
    session &s;
    anim_form &f;
    QListWidget *keys;
    QCheckBox *orbit;
    QLineEdit *deg, *frames, *fps, *width, *height, *out;
    unsigned seen = ~0u;
};

class AnimPlayer : public QObject {
public:
    // The bar goes into win; frames show in view at the zoom and mode of s.
    AnimPlayer(QMainWindow *win, View *view, const session &s);
    ~AnimPlayer() override;

    // 1 when the file can be played, its first frame shown and playing;
    // 0 with the reason in msgs.
    int open(const std::string &path, double fps, int frames, msglist &msgs);
    void play();
    void pause();
    void toggle();
    void seek(int k);
    void step(int d);
    int frame() const { return p.k; }
    bool playing() const { return p.playing; }
    QToolBar *bar() const { return tools; }
    // The display of the frame shown, at the window's zoom and mode now.
    const display_state &display();
    int width() const { return w; }
    int height() const { return h; }

    std::function<void()> shown;    // a frame was put on show
    std::function<void()> on_close; // Close or Escape

private:
    void show(int k);
    void rebuild();
    void tick();
    void show_state();

    const session &s;
    View *view;
    QToolBar *tools;
    QToolButton *play_btn;
    QSlider *slider;
    QLabel *label;
    anim_frames frames;
    anim_play p;
    picture pic;
    std::unique_ptr<planes> pl = std::make_unique<planes>();
    display_state disp;
    int w = 0, h = 0, shown_k = -1;
    QTimer timer;
    QElapsedTimer clock;
    bool setting = false; // the slider is being set, not moved
};
