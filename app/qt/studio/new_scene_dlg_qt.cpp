#include "app/qt/studio/new_scene_dlg_qt.h"

#include "app/qt/dialogs/dlgunits.h"
#include "app/qt/window/to_window.h"
#include "scene/templates.h"
#include "trace/thumbnail.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

namespace {

// The templates' titles and lines in Japanese; their English translations
// are the templates' own (scene/templates.cpp).
struct ja_text {
    const char *name, *title, *about;
};
// clang-format off
const ja_text JA[] = {
    {"start", QT_TRANSLATE_NOOP("NewSceneDlg", "床と球"),
     QT_TRANSLATE_NOOP("NewSceneDlg", "カメラ、光源、市松模様の床と球: New Scene がいつも作ってきたシーン")},
    {"csg", QT_TRANSLATE_NOOP("NewSceneDlg", "CSG の部品"),
     QT_TRANSLATE_NOOP("NewSceneDlg", "三本のトンネルが通った角の丸い立方体: 箱、球、sense -1 の円柱三本からなる一つのグループ")},
    {"glass", QT_TRANSLATE_NOOP("NewSceneDlg", "ガラスと鏡"),
     QT_TRANSLATE_NOOP("NewSceneDlg", "色とりどりの球の中にガラスの球と鏡の球。反射と屈折を五段まで追う")},
    {"quadrics", QT_TRANSLATE_NOOP("NewSceneDlg", "二次曲面の見本"),
     QT_TRANSLATE_NOOP("NewSceneDlg", "球、円柱、一葉と二葉の双曲面、円錐と二重円錐。それぞれ箱か平面で切り取ってある")},
    {"stereo", QT_TRANSLATE_NOOP("NewSceneDlg", "ステレオペア"),
     QT_TRANSLATE_NOOP("NewSceneDlg", "奥行きの違う球と円錐。Make 3D Image (koru-cli render --stereo) で見る")},
};
// clang-format on

// A template's title and line, in the language of the window.
void texts_of(const scene_template &t, QString &title, QString &about)
{
    title = QString::fromUtf8(t.title);
    about = QString::fromUtf8(t.about);
    for (const ja_text &j : JA)
        if (!std::strcmp(j.name, t.name)) {
            title = QCoreApplication::translate("NewSceneDlg", j.title);
            about = QCoreApplication::translate("NewSceneDlg", j.about);
        }
}

constexpr int THUMB_W = NEW_SCENE_THUMB, THUMB_H = NEW_SCENE_THUMB * 3 / 4;
constexpr int LIST_W_DU = 300, ROW_GAP = 10; // every template in view

// pic in the middle of a thumbnail's box.
QPixmap boxed(const picture &pic)
{
    QPixmap px(THUMB_W, THUMB_H);
    px.fill(Qt::white);
    if (pic.w <= 0 || pic.h <= 0)
        return px;
    QImage img(pic.w, pic.h, QImage::Format_RGB888);
    for (int y = 0; y < pic.h; y++) {
        uchar *row = img.scanLine(y);
        for (int x = 0; x < pic.w; x++) {
            const size_t k = (size_t)y * pic.w + x;
            row[3 * x] = pic.r[k];
            row[3 * x + 1] = pic.g[k];
            row[3 * x + 2] = pic.b[k];
        }
    }
    QPainter p(&px);
    p.drawImage((THUMB_W - pic.w) / 2, (THUMB_H - pic.h) / 2, img);
    return px;
}

} // namespace

NewSceneDlg::NewSceneDlg(QWidget *parent, new_scene_form &form)
    : QDialog(parent), f(form), thumbs(to_window())
{
    set_modal_frame(this);
    setWindowTitle(tr("新規シーン"));
    const dlg_units u = dialog_units(font());
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel(tr("始めるシーンを選んでください:"), this));
    list = new QListWidget(this);
    list->setObjectName("templates");
    list->setIconSize(QSize(THUMB_W, THUMB_H));
    list->setWordWrap(true);
    list->setSpacing(2);
    list->setMinimumSize(du_size(u, LIST_W_DU, 0).width(),
                         scene_template_count() * (THUMB_H + ROW_GAP) + 2 * list->frameWidth());
    for (int i = 0; i < scene_template_count(); i++) {
        QString title, line;
        texts_of(scene_template_at(i), title, line);
        auto *item = new QListWidgetItem(QIcon(boxed(picture{})), title, list);
        item->setToolTip(line);
    }
    lay->addWidget(list);
    about = new QLabel(this);
    about->setObjectName("about");
    about->setWordWrap(true);
    lay->addWidget(about);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("ok");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancel");
    lay->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewSceneDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, this, &NewSceneDlg::accept);
    connect(list, &QListWidget::currentRowChanged, this,
            [this](int row) { about->setText(row >= 0 ? list->item(row)->toolTip() : ""); });
    list->setCurrentRow(f.chosen);
    list->setFocus();
    make_thumbnail(0);
}

NewSceneDlg::~NewSceneDlg() { thumbs.stop(); }

void NewSceneDlg::accept()
{
    f.chosen = list->currentRow();
    QDialog::accept();
}

void NewSceneDlg::make_thumbnail(int i)
{
    if (i >= scene_template_count())
        return;
    thumbs.start([this, i] { return new_scene_thumbnail(i, NEW_SCENE_THUMB, &stop, made); },
                 [this, i](int rc) { show_thumbnail(i, rc); }, [this] { stop = true; });
}

void NewSceneDlg::show_thumbnail(int i, int rc)
{
    if (rc != THUMB_NONE) {
        list->item(i)->setIcon(QIcon(boxed(made)));
        shown++;
        emit thumbnail_shown(i);
    }
    make_thumbnail(i + 1);
}
