#include "app/qt/anim/anim_qt.h"

#include "app/qt/dialogs/dlgunits.h"
#include "app/qt/window/view.h"
#include "app/session/session.h"
#include "base/msg.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProxyStyle>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace {

QString from_bytes(const std::string &s) { return QFile::decodeName(QByteArray::fromStdString(s)); }
std::string to_bytes(const QString &s) { return QFile::encodeName(s).toStdString(); }

struct place_du {
    const char *name; // object name, or the text of a static
    int x, y, w, h;
};

// The dialog's places in dialog units.
// clang-format off
const place_du AD_KEYS_LABEL = {"Key scenes, the current scene first:", 7, 7, 150, 8};
const place_du AD_KEYS = {"keys", 7, 17, 150, 50};
const place_du AD_ADD = {"add", 163, 17, 50, 14};
const place_du AD_REMOVE = {"remove", 163, 34, 50, 14};
const place_du AD_UP = {"up", 163, 51, 24, 14};
const place_du AD_DOWN = {"down", 189, 51, 24, 14};
const place_du AD_ORBIT = {"orbit", 7, 74, 110, 12};
const place_du AD_DEG = {"deg", 119, 73, 30, 12};
const place_du AD_DEG_LABEL = {"degrees", 152, 75, 40, 8};
const place_du AD_FRAMES_LABEL = {"Frames:", 7, 92, 40, 8};
const place_du AD_FRAMES = {"frames", 50, 90, 30, 12};
const place_du AD_FPS_LABEL = {"Frames a second:", 95, 92, 62, 8};
const place_du AD_FPS = {"fps", 160, 90, 30, 12};
const place_du AD_SIZE_LABEL = {"Size:", 7, 110, 40, 8};
const place_du AD_WIDTH = {"width", 50, 108, 30, 12};
const place_du AD_X_LABEL = {"x", 83, 110, 8, 8};
const place_du AD_HEIGHT = {"height", 92, 108, 30, 12};
const place_du AD_OUT_LABEL = {"Output:", 7, 128, 40, 8};
const place_du AD_OUT = {"out", 50, 126, 110, 12};
const place_du AD_BROWSE = {"browse", 163, 125, 50, 14};
const place_du AD_AA = {"", 7, 146, 200, 8};
const place_du AD_OK = {"ok", 50, 164, 50, 14};
const place_du AD_CANCEL = {"cancel", 120, 164, 50, 14};
constexpr int AD_W = 220, AD_H = 184;
// clang-format on

template <class W>
W *placed(W *w, const dlg_units &u, const place_du &at)
{
    w->setGeometry(du_rect(u, at.x, at.y, at.w, at.h));
    return w;
}

QLabel *label(QWidget *dlg, const dlg_units &u, const place_du &at, const QString &text)
{
    auto *l = placed(new QLabel(text, dlg), u, at);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QLineEdit *edit(QWidget *dlg, const dlg_units &u, const place_du &at, const std::string &text)
{
    auto *e = placed(new QLineEdit(from_bytes(text), dlg), u, at);
    e->setObjectName(at.name);
    return e;
}

QPushButton *button(QWidget *dlg, const dlg_units &u, const place_du &at, const char *text)
{
    auto *b = placed(new QPushButton(text, dlg), u, at);
    b->setObjectName(at.name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

AnimDlg::AnimDlg(QWidget *parent, session &ses, anim_form &form) : QDialog(parent), s(ses), f(form)
{
    set_modal_frame(this);
    setWindowTitle("Make Animation");
    const dlg_units u = dialog_units(font());
    setFixedSize(du_size(u, AD_W, AD_H));

    // in tab order: the keys, the turn, the numbers, the output, OK
    label(this, u, AD_KEYS_LABEL, AD_KEYS_LABEL.name);
    keys = placed(new QListWidget(this), u, AD_KEYS);
    keys->setObjectName(AD_KEYS.name);
    auto *add = button(this, u, AD_ADD, "Add...");
    auto *remove = button(this, u, AD_REMOVE, "Remove");
    auto *up = button(this, u, AD_UP, "Up");
    auto *down = button(this, u, AD_DOWN, "Down");
    orbit = placed(new QCheckBox("Turn round the look point by", this), u, AD_ORBIT);
    orbit->setObjectName(AD_ORBIT.name);
    orbit->setChecked(f.orbit);
    deg = edit(this, u, AD_DEG, f.orbit_deg);
    label(this, u, AD_DEG_LABEL, AD_DEG_LABEL.name);
    label(this, u, AD_FRAMES_LABEL, AD_FRAMES_LABEL.name);
    frames = edit(this, u, AD_FRAMES, f.frames);
    label(this, u, AD_FPS_LABEL, AD_FPS_LABEL.name);
    fps = edit(this, u, AD_FPS, f.fps);
    label(this, u, AD_SIZE_LABEL, AD_SIZE_LABEL.name);
    width = edit(this, u, AD_WIDTH, f.width);
    label(this, u, AD_X_LABEL, AD_X_LABEL.name);
    height = edit(this, u, AD_HEIGHT, f.height);
    label(this, u, AD_OUT_LABEL, AD_OUT_LABEL.name);
    out = edit(this, u, AD_OUT, f.out);
    auto *browse = button(this, u, AD_BROWSE, "Browse...");
    label(this, u, AD_AA,
          QString("Anti-aliasing: %1 (as RayTrace's menu has it)")
              .arg(QString::fromUtf8(anim_aa_text(f.aa))));
    auto *ok = button(this, u, AD_OK, "OK");
    ok->setDefault(true);
    auto *cancel = button(this, u, AD_CANCEL, "Cancel");
    cancel->setToolTip("Esc");
    deg->setEnabled(f.orbit);
    connect(orbit, &QCheckBox::toggled, deg, &QWidget::setEnabled);

    // the buttons work on the form; the list and the output follow it
    auto on_key = [this](bool (*fn)(anim_form &, int, int), int dir) {
        const int row = keys->currentRow();
        if (fn(f, row, dir)) {
            sync();
            keys->setCurrentRow(std::clamp(row + dir, 1, (int)f.keys.size()));
        }
    };
    connect(add, &QPushButton::clicked, this, [this] {
        take_fields();
        if (anim_add_key(s, f))
            sync();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (anim_remove_key(f, keys->currentRow()))
            sync();
    });
    connect(up, &QPushButton::clicked, this, [on_key] { on_key(anim_move_key, -1); });
    connect(down, &QPushButton::clicked, this, [on_key] { on_key(anim_move_key, 1); });
    connect(browse, &QPushButton::clicked, this, [this] {
        take_fields();
        if (anim_browse_out(s, f))
            sync();
    });
    connect(ok, &QPushButton::clicked, this, &AnimDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &AnimDlg::reject);
    sync();
}

void AnimDlg::take_fields()
{
    f.orbit = orbit->isChecked();
    f.orbit_deg = to_bytes(deg->text());
    f.frames = to_bytes(frames->text());
    f.fps = to_bytes(fps->text());
    f.width = to_bytes(width->text());
    f.height = to_bytes(height->text());
    f.out = to_bytes(out->text());
}

// The list and the output as the form has them now.
void AnimDlg::sync()
{
    if (f.gen == seen)
        return;
    seen = f.gen;
    keys->clear();
    keys->addItem(f.scene_name.empty() ? QString("(the current scene)")
                                       : from_bytes(f.scene_name) + "  (as it is now)");
    for (const std::string &k : f.keys)
        keys->addItem(from_bytes(k));
    out->setText(from_bytes(f.out));
}

void AnimDlg::accept()
{
    take_fields();
    if (anim_form_ok(s, f))
        QDialog::accept();
}

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
