// The window's dialogs and panes, headless: the LOAD dialog, CONFIG and
// its English, SETTING and its layout, printing to a PDF file, the wheel
// over a pane's fields, and Enter at the save and replace questions.
#include "app/dialogs/config.h"
#include "app/dialogs/setting.h"
#include "app/qt/dialogs/dlgunits.h"
#include "app/qt/dialogs/setdlg_qt.h"
#include "app/qt/window/i18n.h"
#include "app/tests/window_fixture.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPrinter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTranslator>
#include <QWheelEvent>
#include <cstdlib>

namespace {

// Double-clicks list entry row as a window system delivers it: click,
// press, double click, release.
void double_click(QListWidget *list, int row)
{
    QRect r = list->visualItemRect(list->item(row));
    EXPECT_FALSE(r.isEmpty());
    QWidget *vp = list->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, {}, r.center());
    QTest::mousePress(vp, Qt::LeftButton, {}, r.center());
    QMouseEvent dbl(QEvent::MouseButtonDblClick, r.center(), vp->mapToGlobal(r.center()),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(vp, &dbl);
    if (vp->isVisible())
        QTest::mouseRelease(vp, Qt::LeftButton, {}, r.center());
}

TEST_F(Window, LoadDialogTakesAPatternAndADoubleClick)
{
    tmp.mkdir("sub");
    on_modal([this](QWidget *w) {
        auto *field = w->findChild<QLineEdit *>("name");
        auto *ok = w->findChild<QPushButton *>("ok");
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        EXPECT_FALSE(ok->isEnabled());
        QTest::keyClicks(field, "*.RT");
        EXPECT_TRUE(ok->isEnabled());
        QTest::mouseClick(ok, Qt::LeftButton);
        auto *list = w->findChild<QListWidget *>("list");
        EXPECT_EQ(list->item(0)->text(), "T.RT");
        EXPECT_EQ(list->item(0)->toolTip(), "T.RT"); // a long name is shortened, whole here
        EXPECT_EQ(list->textElideMode(), Qt::ElideMiddle);
        // into [sub] and back up through [..], then the file
        auto *path = w->findChild<QLineEdit *>("path");
        double_click(list, 2);
        EXPECT_EQ(path->text().toStdString(), tmp.path + "/sub");
        EXPECT_EQ(field->text(), "*.RT");
        EXPECT_EQ(list->item(0)->text(), "[..]");
        double_click(list, 0);
        EXPECT_EQ(path->text().toStdString(), tmp.path);
        double_click(list, 0);
        if (w->isVisible())
            w->findChild<QPushButton *>("cancel")->click();
    });
    run(IDM_OPENRT);
    EXPECT_EQ(a->rt_ready, 1);
    EXPECT_EQ(a->szTmpFileName, "T.RT");
}

TEST_F(Window, ConfigModeActsAtOnceAndStaysAfterCancel)
{
    d->mode = 0;
    on_modal([this](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), "Configration");
        EXPECT_TRUE(w->findChild<QRadioButton *>("r102")->isChecked());
        EXPECT_EQ(w->findChild<QRadioButton *>("r104")->text(), "フルカラー");
        QTest::mouseClick(w->findChild<QRadioButton *>("r103"), Qt::LeftButton);
        EXPECT_EQ(d->mode, 1);
        QTest::mouseClick(w->findChild<QPushButton *>("cancel"), Qt::LeftButton);
    });
    run(IDM_CONFIG);
    EXPECT_EQ(d->mode, 1);
}

// Outside a Japanese locale (C and an unset LANG too) the English
// translation is loaded: every translation built into the program loads,
// and in it CONFIG shows no Japanese text, nothing cut off; under a
// Japanese locale the captions are the documented ones, and the studio's
// structural edits are named in Japanese.
TEST_F(Window, ConfigSpeaksEnglishOutsideJapan)
{
    EXPECT_EQ(translation_for(QLocale("ja_JP")), ":/i18n/koru_ja.qm");
    for (const char *name : {"en_US", "de_DE", "C"})
        EXPECT_EQ(translation_for(QLocale(name)), ":/i18n/koru_en.qm") << name;
    const QStringList qms = QDir(":/i18n").entryList();
    EXPECT_TRUE(qms.contains("koru_en.qm"));
    auto japanese = [](const QString &t) {
        for (QChar c : t)
            if (c.unicode() >= 0x3000 && c.unicode() <= 0xffef)
                return true;
        return false;
    };
    config_form f;
    ConfSet_open(f, *d);
    for (const QString &qm : qms) {
        QTranslator t;
        ASSERT_TRUE(t.load(":/i18n/" + qm)) << qm.toStdString();
        if (qm == "koru_ja.qm") {
            EXPECT_EQ(t.translate("Menu", "Make Group"), "グループを作成");
            continue;
        }
        ASSERT_TRUE(QCoreApplication::installTranslator(&t));
        ConfigDlg dlg(win, f);
        QStringList texts{dlg.windowTitle()};
        for (QAbstractButton *b : dlg.findChildren<QAbstractButton *>())
            texts << b->text();
        for (QLabel *l : dlg.findChildren<QLabel *>())
            texts << l->text();
        for (const QString &t : texts)
            EXPECT_FALSE(japanese(t)) << qm.toStdString() << ": " << t.toStdString();
        if (qm == "koru_en.qm") {
            EXPECT_EQ(dlg.windowTitle(), "Configuration");
            EXPECT_TRUE(texts.contains("Display mode") && texts.contains("8-colour diffusion") &&
                        texts.contains("256-colour diffusion") && texts.contains("Full colour"));
        }
        const QLabel *mode = dlg.findChild<QLabel *>("mode");
        EXPECT_GE(mode->width(), mode->sizeHint().width());
        for (QRadioButton *r : dlg.findChildren<QRadioButton *>()) {
            EXPECT_GE(r->width(), r->sizeHint().width()) << r->text().toStdString();
            EXPECT_LE(r->geometry().right(), dlg.width());
            EXPECT_GT(r->x(), mode->geometry().right());
        }
        QCoreApplication::removeTranslator(&t);
    }
    ConfigDlg ja(win, f);
    EXPECT_EQ(ja.windowTitle(), "Configration");
    EXPECT_EQ(ja.findChild<QRadioButton *>("r103")->text(), "256色誤差拡散");
}

// A dot size of 0 is refused in SETTING with the dialog left open; the
// picture stays as it was.
TEST_F(Window, SettingRefusesNoDots)
{
    open_and_render();
    const unsigned gen = d->gen;
    on_modal([this](QWidget *w) {
        auto *x = w->findChild<QLineEdit *>("f101");
        x->selectAll();
        QTest::keyClicks(x, "0");
        QTest::mouseClick(w->findChild<QPushButton *>("ok"), Qt::LeftButton);
        EXPECT_TRUE(w->isVisible());
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].rfind("The picture size 0 x 12 has no dots; nothing to render.\n", 0),
                  0u);
        EXPECT_TRUE(x->hasFocus() && x->selectedText() == "0");
        QTest::keyClicks(x, "8");
        QTest::mouseClick(w->findChild<QPushButton *>("ok"), Qt::LeftButton);
    });
    run(IDM_SETTING);
    EXPECT_EQ(a->model.ixmx, 8);
    EXPECT_TRUE(a->image_ready == 1 && d->gen == gen);
    expect_shows_its_grid(*win);
}

// The template's places, with the fields widened to show their values in
// full: nothing is cut off, nothing overlaps.
TEST_F(Window, SettingIsLaidOutInDialogUnits)
{
    a->model.rx = -123456.789012;
    a->model.vpnaz = 1e9;
    setting_form f;
    DataSet_open(f, a->model);
    SettingDlg dlg(win, f, win->state());
    dlg_units u = dialog_units(dlg.font());
    EXPECT_EQ(dlg.height(), du_size(u, 154, 108).height());
    QLineEdit *f110 = dlg.findChild<QLineEdit *>("f110");
    EXPECT_EQ(f110->geometry().topLeft(), du_rect(u, 55, 73, 22, 12).topLeft());
    EXPECT_EQ(f110->text(), "0.160000");
    int right = 0;
    for (int id = 101; id <= 110; id++) {
        QLineEdit *e = dlg.findChild<QLineEdit *>(QString("f%1").arg(id));
        EXPECT_GT(e->width() - 6, e->fontMetrics().horizontalAdvance(e->text())) << id;
        EXPECT_LE(e->geometry().right(), dlg.width()) << id;
        if (id == 103 || id == 104 || id == 105) {
            EXPECT_GT(e->x(), right) << id; // the columns stay apart
            right = e->geometry().right();
        }
    }
    EXPECT_EQ(dlg.windowTitle(), "Data setting");
}

TEST_F(Window, PrintsTheGridEnlargedOnAPdfPage)
{
    open_and_render();
    std::string pdf = tmp.path + "/page.pdf";
    win->print_hook = [pdf](QPrinter &p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(QString::fromStdString(pdf));
        p.setFullPage(true);
        p.setPageMargins(QMarginsF(0, 0, 0, 0));
        p.setResolution(72);
        p.setPageSize(QPageSize(QPageSize::A4));
        return true;
    };
    run(IDM_PRINT);
    ASSERT_TRUE(QFile::exists(QString::fromStdString(pdf)));
    if (std::system("command -v pdftocairo >/dev/null") != 0)
        GTEST_SKIP() << "pdftocairo is not installed";
    std::string png = tmp.path + "/page";
    ASSERT_EQ(std::system(("pdftocairo -png -r 72 -singlefile " + pdf + " " + png).c_str()), 0);
    QImage page(QString::fromStdString(png + ".png"));
    ASSERT_EQ(page.size(), QSize(595, 842));
    // 595 / 16 = 37 and 842 / 12 = 70: each dot is a 37 x 37 block
    for (int y : {0, 11})
        for (int x : {0, 15}) {
            int i = y * 16 + x;
            QRgb want = qRgb(a->gdata->r[i], a->gdata->g[i], a->gdata->b[i]);
            EXPECT_EQ(page.pixel(x * 37 + 1, y * 37 + 1), want);
            EXPECT_EQ(page.pixel(x * 37 + 35, y * 37 + 35), want);
        }
    EXPECT_EQ(page.pixel(16 * 37 + 1, 5), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(5, 12 * 37 + 1), qRgb(255, 255, 255));
}

// Over a pane's fields the wheel is left to the pane (Qt hands an event
// nobody accepted to the parent, which scrolls); it steps a field only
// while the field has the keyboard focus.
TEST_F(Window, TheWheelStepsOnlyTheFieldBeingTyped)
{
    QScrollArea pane;
    auto *inside = new QWidget;
    auto *typing = new QLineEdit(inside); // where the focus is
    auto *spin = new QSpinBox(inside);
    auto *choice = new QComboBox(inside);
    spin->setRange(-10, 10);
    choice->addItems({"a", "b", "c"});
    spin->move(0, 40);
    choice->move(0, 80);
    pane.setWidget(inside);
    pane.show();
    typing->setFocus();
    QApplication::processEvents();
    const auto wheel = [](QWidget *w) {
        const QPointF at(5, 5);
        QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
        return e.isAccepted();
    };
    EXPECT_FALSE(wheel(spin));
    EXPECT_FALSE(wheel(choice));
    EXPECT_EQ(spin->value(), 0);
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_EQ(spin->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(choice->focusPolicy(), Qt::StrongFocus);
    spin->setFocus();
    choice->setFocus();
    EXPECT_TRUE(wheel(choice));
    EXPECT_EQ(choice->currentIndex(), 1);
}

// Enter answers the save prompt with Yes, and never replaces a file.
TEST_F(Window, EnterNeverReplacesAFile)
{
    win->message_hook = nullptr;
    for (int kind : {(int)MB_YESNOCANCEL, (int)MB_REPLACE}) {
        on_modal([](QWidget *box) { QTest::keyClick(box, Qt::Key_Return); });
        EXPECT_EQ(win->message("text", "caption", kind), kind == MB_REPLACE ? ID_NO : ID_YES);
    }
}

} // namespace
