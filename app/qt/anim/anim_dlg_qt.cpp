#include "app/qt/anim/anim_dlg_qt.h"

#include "app/qt/dialogs/dlgunits.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
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
    build_keys(u);
    build_fields(u);
    build_buttons(u);
    sync();
}

// The key scenes and the buttons by them, which work on the form; the
// list follows it.
void AnimDlg::build_keys(const dlg_units &u)
{
    label(this, u, AD_KEYS_LABEL, AD_KEYS_LABEL.name);
    keys = placed(new QListWidget(this), u, AD_KEYS);
    keys->setObjectName(AD_KEYS.name);
    auto *add = button(this, u, AD_ADD, "Add...");
    auto *remove = button(this, u, AD_REMOVE, "Remove");
    auto *up = button(this, u, AD_UP, "Up");
    auto *down = button(this, u, AD_DOWN, "Down");
    connect(add, &QPushButton::clicked, this, [this] {
        take_fields();
        if (anim_add_key(s, f))
            sync();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (anim_remove_key(f, keys->currentRow()))
            sync();
    });
    connect(up, &QPushButton::clicked, this, [this] { move_key(-1); });
    connect(down, &QPushButton::clicked, this, [this] { move_key(1); });
}

void AnimDlg::move_key(int dir)
{
    const int row = keys->currentRow();
    if (anim_move_key(f, row, dir)) {
        sync();
        keys->setCurrentRow(std::clamp(row + dir, 1, (int)f.keys.size()));
    }
}

// The turn, the numbers and the output.
void AnimDlg::build_fields(const dlg_units &u)
{
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
    deg->setEnabled(f.orbit);
    connect(orbit, &QCheckBox::toggled, deg, &QWidget::setEnabled);
    connect(browse, &QPushButton::clicked, this, [this] {
        take_fields();
        if (anim_browse_out(s, f))
            sync();
    });
}

void AnimDlg::build_buttons(const dlg_units &u)
{
    auto *ok = button(this, u, AD_OK, "OK");
    ok->setDefault(true);
    auto *cancel = button(this, u, AD_CANCEL, "Cancel");
    cancel->setToolTip("Esc");
    connect(ok, &QPushButton::clicked, this, &AnimDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &AnimDlg::reject);
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
