#include "mainwin.h"

#include "../appstate.h"
#include "../cmdline.h"
#include "../commands.h"
#include "../display_port.h"
#include "dlgunits.h"
#include "filedlg_qt.h"
#include "live_qt.h"
#include "render_qt.h"
#include "setdlg_qt.h"

#include <QApplication>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <cstring>

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

namespace {

// Where the overlay shows: its picture, or the picture it stands for, at
// the zoom.
QSize overlay_size(const row_overlay &ov)
{
    int W, H;
    zoomed_size(ov.full_w ? ov.full_w : ov.img.width(), ov.full_h ? ov.full_h : ov.img.height(), W,
                H);
    return QSize(W, H);
}

} // namespace

View::View(QWidget *parent, row_overlay &o) : QWidget(parent), ov(o)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);
}

void View::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (image_ready) {
        // redraw at scale 1: what lies beyond the grid stays white
        int sw, sh, dw, dh;
        disp_copy(model.ixmx, model.iymx, 1, sw, sh, dw, dh);
        if (sw > 0 && sh > 0)
            p.drawImage(QRect(0, 0, dw, dh), grid_image(), QRect(0, 0, sw, sh));
    }
    std::lock_guard<std::mutex> lock(ov.m);
    ov.fresh = false;
    if (ov.shown && !ov.img.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.drawImage(QRect(QPoint(0, 0), overlay_size(ov)), ov.img);
    }
}

void View::mousePressEvent(QMouseEvent *e)
{
    if (on_mouse)
        on_mouse(e);
}

void View::mouseMoveEvent(QMouseEvent *e)
{
    if (on_mouse)
        on_mouse(e);
}

void View::mouseReleaseEvent(QMouseEvent *e)
{
    if (on_mouse)
        on_mouse(e);
}

void View::wheelEvent(QWheelEvent *e)
{
    if (on_wheel)
        on_wheel(e);
    else
        QWidget::wheelEvent(e);
}

void View::keyPressEvent(QKeyEvent *e)
{
    if (!on_key || !on_key(e))
        QWidget::keyPressEvent(e);
}

MainWin::MainWin()
{
    setWindowTitle("KORU");
    setWindowIcon(QIcon(":/koru/koru.xpm"));
    scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette pal = scroll->palette();
    pal.setColor(QPalette::Window, Qt::white);
    scroll->setPalette(pal);
    scroll->setBackgroundRole(QPalette::Window);
    area = new View(scroll, ov);
    scroll->setWidget(area);
    setCentralWidget(scroll);
    driver = std::make_unique<LiveDriver>(this);
    build_menu();
    setAcceptDrops(true);
    resize(OUTER_W, OUTER_H);
    fit_view();
    qApp->installEventFilter(this);

    // rows as they are traced, a few dozen times a second
    auto *tick = new QTimer(this);
    connect(tick, &QTimer::timeout, this, [this] {
        bool fresh;
        {
            std::lock_guard<std::mutex> lock(ov.m);
            fresh = ov.fresh;
        }
        if (fresh) {
            fit_view();
            area->update();
        }
    });
    tick->start(30);
}

MainWin::~MainWin() { qApp->removeEventFilter(this); }

void MainWin::build_menu()
{
    menuBar()->setNativeMenuBar(false); // the menu belongs in the window
    auto add = [this](QWidget *to, const char *caption, int id) {
        auto *a = new QAction(QString::fromUtf8(caption), this);
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] { command(id); });
        to->addAction(a);
        return a;
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
        return m;
    };
    file_menu = popup("File(F)", {{"Open *.BMP(&O)", IDM_OPENBMP},
                                  {"Save *.BMP(&S)", IDM_SAVEBMP},
                                  {nullptr, 0},
                                  {"Exit(&X)", IDM_EXIT}});
    QMenu *rt = popup("RayTrace(&R)", {{"Open *.RT(&L)", IDM_OPENRT},
                                       {"Save *.RT(&W)", IDM_SAVERT},
                                       {"Make Image(&I)", IDM_MAKE},
                                       {"Make 3D Image(&3)", IDM_MAKE3D},
                                       {"Make Anaglyph(&G)", IDM_ANAGLYPH},
                                       {nullptr, 0},
                                       {"Live view(&V)", IDM_LIVE},
                                       {"Setting(&T)", IDM_SETTING}});
    action(IDM_LIVE)->setCheckable(true);
    // Anti-aliasing: a choice of one, before Live view
    QMenu *aa = new QMenu("Anti-aliasing", rt);
    aa->menuAction()->setData(0);
    auto *aa_group = new QActionGroup(this);
    const char *aa_names[] = {"Off", "2×2", "3×3", "4×4"};
    for (int n = 0; n < 4; n++) {
        QAction *a = add(aa, aa_names[n], IDM_AA1 + n);
        a->setCheckable(true);
        a->setChecked(n == 0);
        aa_group->addAction(a);
    }
    rt->insertMenu(action(IDM_LIVE), aa);
    add(menuBar(), "Printer(&P)", IDM_PRINT);
    add(menuBar(), "Config(&C)", IDM_CONFIG);
    popup("Help(&H)", {{"Help(&H)", IDM_HELP}, {"About(&A)", IDM_ABOUT}});

    // "File(F)" has no mnemonic of its own; Alt+F opens it all the same
    QAction *file = menuBar()->actions().first();
    auto *alt_f = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F), this);
    connect(alt_f, &QShortcut::activated, this, [this, file] { menuBar()->setActiveAction(file); });

    // Config without its dialog
    auto key = [this](QKeySequence k, std::function<void()> fn) {
        auto *sc = new QShortcut(k, this);
        connect(sc, &QShortcut::activated, this, [this, fn] {
            driver->pause();
            acting(fn);
            driver->command_ran(0); // a paused frame starts again
        });
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoom_by(*this, 1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { zoom_by(*this, 1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { zoom_by(*this, -1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { zoom_by(*this, 0); });
    key(QKeySequence(Qt::CTRL | Qt::Key_1), [this] { set_mode(*this, 0); });
    key(QKeySequence(Qt::CTRL | Qt::Key_2), [this] { set_mode(*this, 1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_3), [this] { set_mode(*this, 2); });
    build_recent();
}

void MainWin::build_recent()
{
    for (QAction *a : recent_actions) {
        file_menu->removeAction(a);
        a->deleteLater();
    }
    recent_actions.clear();
    for (size_t i = 0; i < recent_files.size(); i++) {
        const QString path = QFile::decodeName(recent_files[i].c_str());
        // "&1 /path/ROOM.RT": the number chooses it from the keyboard
        QString shown = path;
        QString caption = QString("&%1 %2").arg(i + 1).arg(shown.replace("&", "&&"));
        auto *a = new QAction(caption, this);
        a->setObjectName(QString("recent%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, path] { drop_file(path); });
        recent_actions.push_back(a);
    }
    if (!recent_actions.isEmpty()) {
        QAction *sep = new QAction(this);
        sep->setSeparator(true);
        recent_actions.push_back(sep);
    }
    // between Save and Exit
    file_menu->insertActions(action(IDM_EXIT), recent_actions);
}

void MainWin::set_aa(int level)
{
    aa_level = level;
    remembered.aa = level;
    action(IDM_AA1 + level - 1)->setChecked(true);
}

void MainWin::command_live(bool on)
{
    action(IDM_LIVE)->setChecked(on);
    driver->set_on(on);
    remembered.live = on;
}

void MainWin::command(int id)
{
    if (!app_enabled(id))
        return;
    if (id == IDM_LIVE) {
        command_live(action(IDM_LIVE)->isChecked());
        return;
    }
    // a live frame goes on only when nothing else wants the picture
    if (id != IDM_HELP && id != IDM_ABOUT)
        driver->pause();
    acting([this, id] { app_command(*this, id); });
    if (id >= IDM_AA1 && id <= IDM_AA4)
        remembered.aa = aa_level; // the menu's group has ticked it
    driver->command_ran(id);
}

// act, then what it may have changed that the window keeps: the zoom and
// the mode the user chose (remembered), the recent files, the followed
// file.
void MainWin::acting(const std::function<void()> &act)
{
    const int zoom_before = zoom_size, mode_before = mode;
    act();
    if (zoom_size != zoom_before)
        remembered.zoom = zoom_size;
    if (mode != mode_before)
        remembered.mode = mode;
    build_recent();
    fit_view();
    driver->follow();
}

// A scene opened outside the menu: its picture is made at once, by the
// live view when it is on.
void MainWin::opened(int scene, int read)
{
    if (scene && read && !driver->state().on)
        app_command(*this, IDM_MAKE);
    driver->command_ran(scene ? IDM_OPENRT : IDM_OPENBMP);
}

void MainWin::drop_file(const QString &path)
{
    driver->pause();
    const QByteArray name = QFile::encodeName(path);
    const int scene = !is_picture_name(name.toStdString());
    int read = 0;
    acting([&] { read = open_file(*this, name.constData()); });
    opened(scene, read);
}

void MainWin::open_start_file(const std::string &path)
{
    const int scene = !is_picture_name(path);
    int read = 0;
    acting([&] {
        if (scene)
            read = open_scene(*this, path.c_str());
        else
            open_picture(*this, path.c_str());
    });
    opened(scene, read);
}

void MainWin::dragEnterEvent(QDragEnterEvent *e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile() && !app_busy())
        e->acceptProposedAction();
}

void MainWin::dropEvent(QDropEvent *e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    e->acceptProposedAction();
    const QString path = urls.first().toLocalFile();
    // after the drop has ended: the save prompt may ask
    QTimer::singleShot(0, this, [this, path] { drop_file(path); });
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
    if (fitted || geometry_restored)
        return;
    QSize frame = frameGeometry().size() - geometry().size();
    if (frame.width() < 0 || frame.height() < 0 || frame.width() > 200 || frame.height() > 200)
        return;
    resize(OUTER_W - frame.width(), OUTER_H - frame.height());
    if (!frame.isNull())
        fitted = true;
}

// The picture area is as large as the picture at its zoom: the scroll
// bars show when that is more than the window shows.
void MainWin::fit_view()
{
    QSize want(0, 0);
    if (image_ready) {
        int sw, sh, dw, dh;
        disp_copy(model.ixmx, model.iymx, 1, sw, sh, dw, dh);
        want = QSize(dw, dh);
    }
    {
        std::lock_guard<std::mutex> lock(ov.m);
        if (ov.shown && !ov.img.isNull())
            want = want.expandedTo(overlay_size(ov));
    }
    want = want.expandedTo(QSize(1, 1));
    if (area->size() != want)
        area->resize(want);
}

void MainWin::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    QTimer::singleShot(0, this, [this] { fit_outer_size(); });
    QTimer::singleShot(300, this, [this] { fit_outer_size(); });
}

// Dialogs and the help window open fully on the screen they are on.
bool MainWin::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::Show && o->isWidgetType()) {
        auto *w = static_cast<QWidget *>(o);
        if (w->isWindow() && (qobject_cast<QDialog *>(w) || w == helpwin))
            QTimer::singleShot(0, w, [w] { keep_on_screen(w); });
    }
    return QMainWindow::eventFilter(o, e);
}

void MainWin::closeEvent(QCloseEvent *e)
{
    driver->pause();
    if (!app_close(*this)) {
        e->ignore();
        driver->command_ran(0); // a paused frame starts again
        return;
    }
    e->accept();
    driver->set_on(false);
    save_prefs();
    if (helpwin)
        helpwin->close();
}

void MainWin::load_prefs()
{
    QSettings qs;
    std::map<std::string, std::string> kv;
    for (const QString &k : qs.allKeys())
        kv[k.toStdString()] = qs.value(k).toString().toStdString();
    remembered = prefs_from(kv);
    zoom_size = remembered.zoom;
    mode = remembered.mode;
    recent_files = remembered.recent;
    set_aa(remembered.aa);
    if (!remembered.folder.empty() && remembered.folder.size() < (size_t)PATH_BYTES &&
        QFileInfo(QString::fromStdString(remembered.folder)).isDir()) {
        std::strcpy(szTmpFilePath, remembered.folder.c_str());
        std::strcpy(szFilePath, remembered.folder.c_str());
    }
    if (!remembered.geometry.empty())
        geometry_restored =
            restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(remembered.geometry)));
    if (geometry_restored)
        keep_on_screen(this);
    build_recent();
    if (remembered.live) {
        action(IDM_LIVE)->setChecked(true);
        driver->set_on(true);
    }
}

void MainWin::save_prefs()
{
    remembered.recent = recent_files;
    remembered.folder = szTmpFilePath;
    remembered.live = driver->state().on;
    remembered.geometry = saveGeometry().toBase64().toStdString();
    QSettings qs;
    for (const auto &kv : prefs_to(remembered))
        qs.setValue(QString::fromStdString(kv.first), QString::fromStdString(kv.second));
}

void MainWin::set_run_config(int zoom, int m)
{
    if (zoom >= 0)
        zoom_size = zoom;
    if (m >= 0)
        mode = m;
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
    int rc = ::run_render(this, job);
    overlay_off();
    return rc;
}

row_fn MainWin::row_display() { return rows_to_overlay(0, 0); }

row_fn MainWin::rows_to_overlay(int full_w, int full_h)
{
    unsigned job;
    {
        std::lock_guard<std::mutex> lock(ov.m);
        job = ++ov.job;
    }
    row_overlay *o = &ov;
    return [o, job, full_w, full_h](int y, int w, int h, const unsigned char *r,
                                    const unsigned char *g, const unsigned char *b) {
        std::lock_guard<std::mutex> lock(o->m);
        if (o->job != job)
            return; // a render that was left behind
        // the first row of a render replaces what the last one showed
        if (o->img.width() != w || o->img.height() != h || o->full_w != full_w ||
            o->full_h != full_h || !o->shown) {
            o->img = QImage(w, h, QImage::Format_ARGB32);
            o->img.fill(Qt::transparent);
            o->full_w = full_w;
            o->full_h = full_h;
            o->shown = true;
        }
        auto *line = reinterpret_cast<QRgb *>(o->img.scanLine(y));
        for (int x = 0; x < w; x++)
            line[x] = qRgb(r[x], g[x], b[x]);
        o->fresh = true;
    };
}

void MainWin::overlay_off()
{
    {
        std::lock_guard<std::mutex> lock(ov.m);
        ov.shown = false;
        ov.img = QImage();
        ++ov.job;
    }
    fit_view();
    area->update();
}

void MainWin::status(const char *text)
{
    if (!driver->state().on)
        return;
    statusBar()->showMessage(QString::fromUtf8(text));
}

void MainWin::commands_changed()
{
    for (QAction *a : findChildren<QAction *>())
        if (int id = a->data().toInt())
            a->setEnabled(app_enabled(id));
}

void MainWin::beep() { QApplication::beep(); }

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
    fit_view();
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
