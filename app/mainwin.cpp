#include "mainwin.h"

#include "appstate.h"
#include "commands.h"
#include "display_port.h"
#include "filedlg_qt.h"
#include "render_qt.h"
#include "setdlg_qt.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QShortcut>
#include <QTextBrowser>
#include <QTimer>

namespace {

constexpr int OUTER_W = 640, OUTER_H = 480;

struct menu_item {
    const char *caption; // nullptr: a separator
    int id;
};

} // namespace

const QImage &grid_image()
{
    static QImage img;
    static unsigned gen = ~0u;
    if (gen != disp_grid_gen()) {
        gen = disp_grid_gen();
        int w = disp_grid_w(), h = disp_grid_h();
        img = QImage(w > 0 ? w : 1, h > 0 ? h : 1, QImage::Format_RGB888);
        img.fill(Qt::white);
        if (w > 0 && h > 0)
            disp_grid_rgb(img.bits(), (int)img.bytesPerLine());
    }
    return img;
}

View::View(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void View::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (!image_ready)
        return;
    // redraw at scale 1: what lies beyond the grid stays white
    int sw, sh, dw, dh;
    disp_copy(model.ixmx, model.iymx, 1, sw, sh, dw, dh);
    if (sw > 0 && sh > 0)
        p.drawImage(QRect(0, 0, dw, dh), grid_image(), QRect(0, 0, sw, sh));
}

MainWin::MainWin()
{
    setWindowTitle("KORU");
    setWindowIcon(QIcon(":/koru/koru.xpm"));
    area = new View(this);
    setCentralWidget(area);
    build_menu();
    resize(OUTER_W, OUTER_H);
}

MainWin::~MainWin() = default;

void MainWin::build_menu()
{
    menuBar()->setNativeMenuBar(false); // the menu belongs in the window
    auto add = [this](QWidget *to, const char *caption, int id) {
        auto *a = new QAction(QString::fromUtf8(caption), this);
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] { app_command(*this, id); });
        to->addAction(a);
    };
    auto popup = [&](const char *caption, std::initializer_list<menu_item> items) {
        QMenu *m = menuBar()->addMenu(QString::fromUtf8(caption));
        m->menuAction()->setData(0);
        for (const menu_item &it : items) {
            if (it.caption)
                add(m, it.caption, it.id);
            else
                m->addSeparator();
        }
    };
    popup("File(F)", {{"Open *.BMP(&O)", IDM_OPENBMP}, {"Save *.BMP(&S)", IDM_SAVEBMP},
                      {nullptr, 0}, {"Exit(&X)", IDM_EXIT}});
    popup("RayTrace(&R)", {{"Open *.RT(&L)", IDM_OPENRT}, {"Make Image(&I)", IDM_MAKE},
                           {"Make 3D Image(&3)", IDM_MAKE3D}, {nullptr, 0},
                           {"Setting(&T)", IDM_SETTING}});
    add(menuBar(), "Printer(&P)", IDM_PRINT);
    add(menuBar(), "Config(&C)", IDM_CONFIG);
    popup("Help(&H)", {{"Help(&H)", IDM_HELP}, {"About(&A)", IDM_ABOUT}});

    // "File(F)" has no mnemonic of its own; Alt+F opens it all the same
    QAction *file = menuBar()->actions().first();
    auto *alt_f = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F), this);
    connect(alt_f, &QShortcut::activated, this, [this, file] {
        menuBar()->setActiveAction(file);
    });
}

QAction *MainWin::action(int id) const
{
    for (QAction *a : findChildren<QAction *>())
        if (a->data().toInt() == id && !a->menu())
            return a;
    return nullptr;
}

// The window's outer size, frame and title bar included, is 640 x 480
// once the window manager has put its frame around it.
void MainWin::fit_outer_size()
{
    if (fitted)
        return;
    QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() < 0 || frame.height() < 0 || frame.width() > 200 || frame.height() > 200)
        return;
    resize(OUTER_W - frame.width(), OUTER_H - frame.height());
    if (!frame.isNull())
        fitted = true;
}

void MainWin::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    QTimer::singleShot(0, this, [this] { fit_outer_size(); });
    QTimer::singleShot(300, this, [this] { fit_outer_size(); });
}

void MainWin::closeEvent(QCloseEvent *e)
{
    if (!app_close(*this)) {
        e->ignore();
        return;
    }
    e->accept();
    if (helpwin)
        helpwin->close();
}

int MainWin::message(const char *text, const char *caption, int kind)
{
    if (message_hook)
        return message_hook(text, caption, kind);
    QMessageBox box(this);
    box.setWindowTitle(QString::fromUtf8(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromUtf8(text));
    switch (kind) {
    case MB_ERROR:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MB_OKCANCEL:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNOCANCEL:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    default:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return ID_OK;
    case QMessageBox::Yes:
        return ID_YES;
    case QMessageBox::No:
        return ID_NO;
    default:
        return ID_CANCEL;
    }
}

int MainWin::file_dialog(file_dlg &d)
{
    FileDlgQt dlg(this, d, load_save);
    dlg.exec();
    return d.result == 1 ? 1 : 0;
}

int MainWin::setting_dialog(setting_form &f)
{
    SettingDlg dlg(this, f);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

int MainWin::config_dialog(config_form &f)
{
    ConfigDlg dlg(this, f);
    return dlg.exec() == QDialog::Accepted ? 1 : 0;
}

int MainWin::run_render(render_job &job)
{
    return ::run_render(this, job);
}

void MainWin::commands_changed()
{
    for (QAction *a : findChildren<QAction *>())
        if (int id = a->data().toInt())
            a->setEnabled(app_enabled(id));
}

void MainWin::beep()
{
    QApplication::beep();
}

void MainWin::set_title(const char *title)
{
    // "[*]" would be taken for the changed-document mark
    QString t = QFile::decodeName(title);
    t.replace("[*]", "[*][*]");
    setWindowTitle(t);
}

void MainWin::wait_cursor(int on)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MainWin::invalidate()
{
    area->update();
}

void MainWin::help()
{
    if (!helpwin) {
        helpwin = new QTextBrowser(this);
        helpwin->setWindowFlags(Qt::Window);
        helpwin->setWindowTitle("KORU Help");
        helpwin->setWindowIcon(windowIcon());
        helpwin->setOpenExternalLinks(false);
        helpwin->resize(620, 520);
        auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), helpwin);
        connect(esc, &QShortcut::activated, helpwin, &QWidget::close);
    }
    // always at the contents
    helpwin->setSource(QUrl("qrc:/koru/help.html"));
    helpwin->scrollToAnchor("contents");
    helpwin->show();
    helpwin->raise();
    helpwin->activateWindow();
}

void MainWin::close_window()
{
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}
