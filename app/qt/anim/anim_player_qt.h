// anim_player_qt.h - an animation written by Make Animation, played in
// the window's picture area.
//
// AnimPlayer shows the frames of a written file in the view (View::other)
// and puts a bar at the bottom of the window: Play / Pause, a frame
// slider, "Frame i of n" and Close. Space plays or pauses, Left and Right
// step a frame, Home and End go to the ends, Escape closes. Each frame is
// shown at the window's zoom and mode as they are now (anim_play.h).
#pragma once

#include "app/anim/anim_play.h"
#include "app/session/display_state.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

class QLabel;
class QMainWindow;
class QSlider;
class QToolBar;
class QToolButton;
class View;
struct session;

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
