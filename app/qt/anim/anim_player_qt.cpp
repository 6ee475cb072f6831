#include "app/qt/anim/anim_player_qt.h"

#include "app/qt/window/view.h"
#include "app/session/session.h"
#include "base/msg.h"

#include <QLabel>
#include <QMainWindow>
#include <QProxyStyle>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {

// A slider that a click moves to the place clicked, not a page towards it.
class JumpClickStyle : public QProxyStyle {
public:
    explicit JumpClickStyle(QObject *owner) { setParent(owner); }
    int styleHint(StyleHint hint, const QStyleOption *opt, const QWidget *w,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, opt, w, ret);
    }
};

} // namespace

AnimPlayer::AnimPlayer(QMainWindow *win, View *v, const session &ses) : s(ses), view(v)
{
    tools = new QToolBar("Animation", win);
    tools->setObjectName("player");
    tools->setMovable(false);
    tools->setFloatable(false);
    play_btn = new QToolButton(tools);
    play_btn->setObjectName("play");
    play_btn->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    slider = new QSlider(Qt::Horizontal, tools);
    slider->setObjectName("frame");
    slider->setStyle(new JumpClickStyle(tools)); // a click goes to the frame clicked
    label = new QLabel(tools);
    label->setObjectName("frameno");
    auto *close = new QToolButton(tools);
    close->setObjectName("close");
    close->setText("Close");
    tools->addWidget(play_btn);
    tools->addWidget(slider);
    tools->addWidget(label);
    tools->addWidget(close);
    win->addToolBar(Qt::BottomToolBarArea, tools);

    connect(play_btn, &QToolButton::clicked, this, [this] { toggle(); });
    connect(slider, &QSlider::valueChanged, this, [this](int k) {
        if (!setting)
            seek(k);
    });
    connect(close, &QToolButton::clicked, this, [this] {
        if (on_close)
            on_close();
    });
    auto key = [this](QKeySequence k, std::function<void()> fn) {
        auto *sc = new QShortcut(k, tools);
        connect(sc, &QShortcut::activated, this, fn);
    };
    key(QKeySequence(Qt::Key_Space), [this] { toggle(); });
    key(QKeySequence(Qt::Key_Left), [this] { step(-1); });
    key(QKeySequence(Qt::Key_Right), [this] { step(1); });
    key(QKeySequence(Qt::Key_Home), [this] { seek(0); });
    key(QKeySequence(Qt::Key_End), [this] { seek(p.n - 1); });
    key(QKeySequence(Qt::Key_Escape), [this] {
        if (on_close)
            on_close();
    });
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, [this] { tick(); });
    clock.start();
}

AnimPlayer::~AnimPlayer()
{
    view->other = nullptr;
    delete tools;
}

int AnimPlayer::open(const std::string &path, double f_ps, int n, msglist &msgs)
{
    if (!frames.open(path, f_ps, n, msgs))
        return 0;
    p = anim_play();
    p.n = n;
    p.fps = f_ps;
    if (!frames.get(0, pic, msgs))
        return 0;
    setting = true;
    slider->setRange(0, n - 1);
    setting = false;
    // the slider keeps its length whatever the frame's number
    label->setMinimumWidth(
        label->fontMetrics().horizontalAdvance(QString(" Frame %1 of %1 ").arg(n)));
    show(0);
    view->other = [this](int &ww, int &hh) {
        ww = w;
        hh = h;
        return &display();
    };
    if (shown)
        shown();
    play();
    return 1;
}

const display_state &AnimPlayer::display()
{
    if (disp.zoom_size != s.disp.zoom_size || disp.mode != s.disp.mode)
        rebuild();
    return disp;
}

// The frame through the window's display conversion, from the start-up
// diffusion.
void AnimPlayer::rebuild()
{
    disp.zoom_size = s.disp.zoom_size;
    disp.mode = s.disp.mode;
    gk_reset(disp.diff);
    disp_show(disp, *pl, w, h);
}

void AnimPlayer::show(int k)
{
    msglist msgs;
    if (!frames.get(k, pic, msgs)) {
        pause();
        label->setText(QString("Frame %1 cannot be read: %2").arg(k + 1).arg(msgs.first()));
        return;
    }
    to_planes(pic, *pl);
    w = pic.w;
    h = pic.h;
    shown_k = k;
    rebuild();
    show_state();
    if (shown)
        shown();
}

void AnimPlayer::show_state()
{
    setting = true;
    slider->setValue(p.k);
    setting = false;
    label->setText(QString("Frame %1 of %2").arg(p.k + 1).arg(p.n));
    const bool on = p.playing;
    play_btn->setText(on ? "Pause" : "Play");
    play_btn->setIcon(
        tools->style()->standardIcon(on ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

void AnimPlayer::tick()
{
    const long long due = play_tick(p, clock.elapsed());
    if (p.k != shown_k)
        show(p.k);
    if (p.playing)
        timer.start((int)std::max(1LL, due - clock.elapsed()));
}

void AnimPlayer::play()
{
    play_start(p, clock.elapsed());
    show_state();
    tick();
}

void AnimPlayer::pause()
{
    play_pause(p);
    timer.stop();
    show_state();
}

void AnimPlayer::toggle()
{
    if (p.playing)
        pause();
    else
        play();
}

void AnimPlayer::seek(int k)
{
    play_seek(p, k, clock.elapsed());
    if (p.k != shown_k)
        show(p.k);
    show_state();
    if (p.playing)
        tick();
}

void AnimPlayer::step(int d)
{
    pause();
    seek(p.k + d);
}
