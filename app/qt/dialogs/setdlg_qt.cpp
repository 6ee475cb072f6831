#include "app/qt/dialogs/setdlg_qt.h"

#include "app/qt/dialogs/dlgunits.h"
#include "app/session/say.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QFontMetrics>
#include <algorithm>
#include <cstring>

namespace {

struct ctl {
    int id;           // 0: static text
    const char *text; // static text or button caption
    int x, y, w, h;
};

// SETTING in template order (also the tab order).
// clang-format off
const ctl setting_tmpl[] = {
    {1, "OK", 15, 91, 50, 14},
    {2, "Cancel", 86, 91, 50, 14},
    {0, "Dot size: X=", 10, 8, 44, 8},
    {101, nullptr, 55, 6, 22, 12},
    {102, nullptr, 93, 6, 22, 12},
    {103, nullptr, 55, 23, 22, 12},
    {0, "Look point: X=", 3, 25, 51, 8},
    {104, nullptr, 93, 23, 22, 12},
    {105, nullptr, 131, 23, 22, 12},
    {0, "Y=", 82, 8, 11, 7},
    {0, "Z=", 120, 25, 11, 8},
    {0, "Y=", 82, 25, 11, 7},
    {0, "Look dir.: X=", 9, 41, 46, 8},
    {106, nullptr, 55, 39, 22, 12},
    {107, nullptr, 93, 39, 22, 12},
    {108, nullptr, 131, 39, 22, 12},
    {0, "Z=", 120, 41, 11, 8},
    {0, "Y=", 82, 41, 11, 7},
    {0, "Look length:", 5, 57, 45, 8},
    {109, nullptr, 55, 56, 22, 12},
    {0, "3D distance:", 5, 74, 45, 8},
    {110, nullptr, 55, 73, 22, 12},
};

// The Japanese captions are shown as written under a Japanese locale and
// in English elsewhere (i18n.h).
const ctl config_tmpl[] = {
    {1, "OK", 12, 96, 50, 14},
    {2, "Cancel", 72, 96, 50, 14},
    {0, "Zoom(50-400%)", 9, 12, 60, 8},
    {101, nullptr, 70, 10, 26, 12},
    {0, "%", 99, 12, 8, 8},
    {0, QT_TRANSLATE_NOOP("ConfigDlg", "表示モード"), 9, 33, 41, 8},
    {102, QT_TRANSLATE_NOOP("ConfigDlg", "8色誤差拡散"), 60, 31, 60, 12},
    {103, QT_TRANSLATE_NOOP("ConfigDlg", "256色誤差拡散"), 60, 45, 66, 12},
    {104, QT_TRANSLATE_NOOP("ConfigDlg", "フルカラー"), 60, 59, 60, 12},
};
// clang-format on

QLabel *label(QWidget *dlg, const dlg_units &u, const ctl &c)
{
    auto *l = new QLabel(QString::fromUtf8(c.text), dlg);
    l->setGeometry(du_rect(u, c.x, c.y, c.w, c.h));
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QPushButton *button(QDialog *dlg, const dlg_units &u, const ctl &c)
{
    auto *b = new QPushButton(c.text, dlg);
    b->setGeometry(du_rect(u, c.x, c.y, c.w, c.h));
    if (c.id == 1) {
        b->setDefault(true);
        b->setObjectName("ok");
        QObject::connect(b, &QPushButton::clicked, dlg, &QDialog::accept);
    } else {
        b->setObjectName("cancel");
        b->setToolTip("Esc");
        QObject::connect(b, &QPushButton::clicked, dlg, &QDialog::reject);
    }
    return b;
}

QLineEdit *edit(QWidget *dlg, const dlg_units &u, const ctl &c, const char *text)
{
    auto *e = new QLineEdit(QString::fromUtf8(text), dlg);
    e->setObjectName(QString("f%1").arg(c.id));
    e->setGeometry(du_rect(u, c.x, c.y, c.w, c.h));
    e->setMaxLength(FIELD_BYTES - 1);
    e->setCursorPosition(0);
    return e;
}

void copy_text(char *dst, const QString &s)
{
    QByteArray b = s.toUtf8().left(FIELD_BYTES - 1);
    std::memcpy(dst, b.constData(), b.size());
    dst[b.size()] = 0;
}

} // namespace

namespace {

// The template's fields are 22 units wide, too narrow for most "%lf"
// values: every field is widened to show the longest of them in full, the
// controls right of the first and the second column of fields move over
// by the extra width, and the dialog grows by three times it.
constexpr int FIELD_DU = 22, COLUMN1_END = 77, COLUMN2_END = 115;

ctl widened(ctl c, int extra)
{
    const bool field = c.id >= 101 && c.id <= 110;
    if (c.x >= COLUMN2_END)
        c.x += 2 * extra;
    else if (c.x >= COLUMN1_END)
        c.x += extra;
    if (field)
        c.w += extra;
    return c;
}

} // namespace

SettingDlg::SettingDlg(QWidget *parent, setting_form &form, session &ses)
    : QDialog(parent), f(form), s(ses)
{
    set_modal_frame(this);
    setWindowTitle("Data setting");
    const dlg_units u = dialog_units(font());
    QLineEdit probe;
    const QFontMetrics fm(probe.font());
    int px = 0;
    for (int i = 0; i < SET_FIELDS; i++)
        px = std::max(px, fm.horizontalAdvance(QString::fromUtf8(f.text[i])));
    // the text, the frame and the margins of a line edit
    const int need = (px + 2 * fm.averageCharWidth() + 8) * 4 / u.bx + 1;
    const int extra = std::max(0, need - FIELD_DU);
    setFixedSize(du_size(u, 154 + 3 * extra, 108));
    for (const ctl &t : setting_tmpl) {
        const ctl c = widened(t, extra);
        if (c.id == 1 || c.id == 2)
            button(this, u, c);
        else if (c.id)
            field[c.id - 101] = edit(this, u, c, f.text[c.id - 101]);
        else
            label(this, u, c);
    }
}

void SettingDlg::accept()
{
    for (int i = 0; i < SET_FIELDS; i++)
        copy_text(f.text[i], field[i]->text());
    const std::string why = DataSet_refusal(f);
    if (why.empty()) {
        QDialog::accept();
        return;
    }
    ErrorMsg(s, why.c_str());
    // back to the dot size that has no dots
    QLineEdit *at = field[DataSet_size(f, 0) < 1 ? 0 : 1];
    at->setFocus();
    at->selectAll();
}

namespace {

constexpr int CONFIG_W = 133, CONFIG_H = 117;
constexpr int CONFIG_CTLS = sizeof config_tmpl / sizeof config_tmpl[0];
constexpr int MODE_LABEL = 5;            // config_tmpl's display-mode caption
constexpr int GAP_DU = 2, MARGIN_DU = 7; // between a caption and its buttons; at the right
constexpr int RADIO_X = 60;

// Units needed to show px pixels.
int du_of(const dlg_units &u, int px) { return (px * 4 + u.bx - 1) / u.bx; }

// CONFIG's controls with their captions, widened to show them in full:
// a caption wider than its place grows, and the mode buttons move right
// of a grown mode caption; returns the dialog's width.
int config_layout(const dlg_units &u, ctl (&c)[CONFIG_CTLS], const QString (&text)[CONFIG_CTLS],
                  QWidget *dlg)
{
    for (int i = 0; i < CONFIG_CTLS; i++) {
        if (!c[i].text || c[i].id == 1 || c[i].id == 2)
            continue; // a field, or a button of the template's size
        int px;
        if (c[i].id)
            px = QRadioButton(text[i], dlg).sizeHint().width();
        else
            px = QLabel(text[i], dlg).sizeHint().width();
        c[i].w = std::max(c[i].w, du_of(u, px));
    }
    const int shift = std::max(0, c[MODE_LABEL].x + c[MODE_LABEL].w + GAP_DU - RADIO_X);
    int width = CONFIG_W;
    for (ctl &k : c) {
        if (k.id >= 102 && k.id <= 104)
            k.x += shift;
        width = std::max(width, k.x + k.w + MARGIN_DU);
    }
    return width;
}

} // namespace

ConfigDlg::ConfigDlg(QWidget *parent, config_form &form) : QDialog(parent), f(form)
{
    set_modal_frame(this);
    setWindowTitle(tr("Configration"));
    const dlg_units u = dialog_units(font());
    ctl c[CONFIG_CTLS];
    QString text[CONFIG_CTLS];
    for (int i = 0; i < CONFIG_CTLS; i++) {
        c[i] = config_tmpl[i];
        text[i] = c[i].text ? QCoreApplication::translate("ConfigDlg", c[i].text) : QString();
    }
    setFixedSize(du_size(u, config_layout(u, c, text, this), CONFIG_H));
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < CONFIG_CTLS; i++) {
        if (c[i].id == 1 || c[i].id == 2) {
            button(this, u, c[i]);
        } else if (c[i].id == 101) {
            zoom = edit(this, u, c[i], f.zoom);
        } else if (c[i].id) {
            auto *r = new QRadioButton(text[i], this);
            r->setObjectName(QString("r%1").arg(c[i].id));
            r->setGeometry(du_rect(u, c[i].x, c[i].y, c[i].w, c[i].h));
            r->setChecked(c[i].id == f.checked);
            group->addButton(r, c[i].id);
        } else {
            QLabel *l = label(this, u, c[i]);
            l->setText(text[i]);
            if (i == MODE_LABEL)
                l->setObjectName("mode");
        }
    }
    // the mode changes as soon as a button is chosen, mouse or keyboard
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            ConfSet_radio(f, id);
    });
}

void ConfigDlg::accept()
{
    copy_text(f.zoom, zoom->text());
    QDialog::accept();
}
