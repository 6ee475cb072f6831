#include "setdlg_qt.h"

#include "dlgunits.h"

#include <QButtonGroup>
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

const ctl config_tmpl[] = {
    {1, "OK", 12, 96, 50, 14},
    {2, "Cancel", 72, 96, 50, 14},
    {0, "Zoom(50-400%)", 9, 12, 60, 8},
    {101, nullptr, 70, 10, 26, 12},
    {0, "%", 99, 12, 8, 8},
    {0, "表示モード", 9, 33, 41, 8},
    {102, "8色誤差拡散", 60, 31, 60, 12},
    {103, "256色誤差拡散", 60, 45, 66, 12},
    {104, "フルカラー", 60, 59, 60, 12},
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

SettingDlg::SettingDlg(QWidget *parent, setting_form &form) : QDialog(parent), f(form)
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
    QDialog::accept();
}

ConfigDlg::ConfigDlg(QWidget *parent, config_form &form) : QDialog(parent), f(form)
{
    set_modal_frame(this);
    setWindowTitle("Configration");
    const dlg_units u = dialog_units(font());
    setFixedSize(du_size(u, 133, 117));
    auto *group = new QButtonGroup(this);
    for (const ctl &c : config_tmpl) {
        if (c.id == 1 || c.id == 2) {
            button(this, u, c);
        } else if (c.id == 101) {
            zoom = edit(this, u, c, f.zoom);
        } else if (c.id) {
            auto *r = new QRadioButton(QString::fromUtf8(c.text), this);
            r->setObjectName(QString("r%1").arg(c.id));
            r->setGeometry(du_rect(u, c.x, c.y, c.w, c.h));
            r->setChecked(c.id == f.checked);
            group->addButton(r, c.id);
        } else {
            label(this, u, c);
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
