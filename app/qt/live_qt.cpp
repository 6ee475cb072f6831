#include "live_qt.h"

#include "../../base/msg.h"
#include "../../scene/rtread.h"
#include "../../trace/camera_moves.h"
#include "../../trace/render.h"
#include "../commands.h"

#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>
#include <QWheelEvent>
#include <string>

namespace {

constexpr unsigned LOOK_POINT = 1u << V_RX | 1u << V_RY | 1u << V_RZ;
constexpr unsigned LOOK_DIR = 1u << V_VPNAX | 1u << V_VPNAY | 1u << V_VPNAZ;

// The reader's first line, as koru-cli writes it, and how many more, for
// the status line.
std::string first_lines(const char *file, const msglist &msgs)
{
    if (msgs.lines.empty())
        return "";
    std::string t = msg_text(file, msgs.lines[0]);
    const int more = (int)msgs.lines.size() - 1 + msgs.lost;
    if (more > 0)
        t += " (and " + std::to_string(more) + " more)";
    return t;
}

} // namespace

LiveDriver::LiveDriver(QObject *parent, session &ses, row_overlay &o, QStatusBar *b)
    : QObject(parent), s(ses), ov(o), bar(b)
{
    bar->hide(); // until live view is on
    change_timer.setSingleShot(true);
    change_timer.setInterval(CHANGE_MS);
    rest_timer.setSingleShot(true);
    rest_timer.setInterval(REST_MS);
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, [this] { change_timer.start(); });
    // a new file renamed over the followed one: the folder changes
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!followed.isEmpty() && !watcher.files().contains(followed) &&
            QFileInfo::exists(followed))
            change_timer.start();
    });
    connect(&change_timer, &QTimer::timeout, this, [this] {
        watch(); // a replaced file is a new file to watch
        if (source) {
            source->file_changed();
            return;
        }
        if (st.file_changed() && job)
            job->cancel();
        pump();
    });
    connect(&rest_timer, &QTimer::timeout, this, [this] {
        st.rest();
        if (source)
            source->camera_rested();
        pump();
    });
}

LiveDriver::~LiveDriver()
{
    if (job)
        job->cancel();
    if (worker.joinable())
        worker.join();
}

void LiveDriver::set_on(bool on)
{
    s.app.live = on;
    update_on();
}

void LiveDriver::set_source(live_source *src)
{
    source = src;
    update_on();
}

void LiveDriver::source_changed()
{
    st.reloaded(true);
    pump();
}

void LiveDriver::drop_frame()
{
    if (job)
        job->cancel();
}

void LiveDriver::update_on()
{
    const bool on = s.app.live || source;
    if (on == st.on)
        return;
    if (on) {
        st.turn_on();
        bar->show();
        follow();
        pump();
    } else {
        if (st.turn_off())
            pause();
        followed.clear();
        watch();
        bar->hide();
    }
}

void LiveDriver::follow()
{
    const QString now =
        s.app.rt_ready && st.on ? QFile::decodeName(s.app.scene_file.c_str()) : QString();
    if (now == followed)
        return;
    followed = now;
    watch();
}

void LiveDriver::watch()
{
    if (!watcher.files().isEmpty())
        watcher.removePaths(watcher.files());
    if (!watcher.directories().isEmpty())
        watcher.removePaths(watcher.directories());
    if (followed.isEmpty())
        return;
    if (QFileInfo::exists(followed))
        watcher.addPath(followed);
    const QString dir = QFileInfo(followed).absolutePath();
    if (QFileInfo(dir).isDir())
        watcher.addPath(dir);
}

void LiveDriver::command_ran(int id)
{
    // a scene file read or written: its camera is the model's
    if (s.app.scene_serial != serial_seen) {
        serial_seen = s.app.scene_serial;
        st.remember_file_camera(s.app.model);
        hand_mask = 0;
    }
    follow();
    if (st.command_ran(id) && job)
        job->cancel();
    pump();
}

void LiveDriver::pause()
{
    if (!job)
        return;
    job->cancel();
    worker.join();
    end_frame(RAY_CANCELLED);
}

void LiveDriver::pump()
{
    while (!job && !(source && source->holding())) {
        const int a = st.next();
        if (a == LIVE_IDLE)
            return;
        if (a != LIVE_RELOAD)
            start(a);
        else if (!source) // a source keeps the scene itself
            reload();
    }
}

void LiveDriver::reload()
{
    msglist msgs;
    const QByteArray path = QFile::encodeName(followed);
    const int rc = st.reload_scene(s.app.model, path.constData(), msgs);
    if (rc == RELOAD_NOFILE) {
        // keep the last picture, and say why there is no new one
        say("cannot read " + std::string(path.constData()) + ": " + msgs.first());
    } else {
        std::string line = first_lines(path.constData(), msgs);
        if (rc == RELOAD_CUT)
            line += " - the last picture stays";
        say(line);
    }
    if (rc == RELOAD_READ && st.took_camera)
        s.app.file_camera = s.app.camera_moves; // the camera is the file's again
    st.reloaded(rc == RELOAD_READ);
}

void LiveDriver::start(int k)
{
    const scene &model = s.app.model;
    frame f;
    const bool view = s.app.rt_ready && make_frame(model, 0, f);
    if (!view || f.width <= 0 || f.h <= 0) {
        // nothing to trace: no scene yet, no view, or no dots
        if (s.app.rt_ready && !view)
            say(ray_status_text(RAY_NOVIEW, model) + ": no picture");
        else if (s.app.rt_ready)
            say("the picture size " + std::to_string(f.width) + " x " + std::to_string(f.h) +
                " has no dots: no picture");
        st.frame_done(k, RAY_DONE);
        return;
    }
    render_options opt;
    if (k == LIVE_PREVIEW) {
        scene small = model;
        const int step = preview_step(f.width, f.h);
        small.ixmx = f.width / step > 0 ? f.width / step : 1;
        small.iymx = f.h / step > 0 ? f.h / step : 1;
        opt.on_row = overlay_rows(ov, f.width, f.h);
        job = std::make_unique<render_job>(small, opt);
    } else {
        opt.aa = s.app.aa_level;
        opt.on_row = overlay_rows(ov, 0, 0);
        job = std::make_unique<render_job>(model, opt);
    }
    const unsigned g = ++gen;
    render_job *j = job.get();
    worker = std::thread([this, j, g] {
        const int rc = j->run();
        QMetaObject::invokeMethod(
            this, [this, g, rc] { finished(g, rc); }, Qt::QueuedConnection);
    });
}

void LiveDriver::finished(unsigned g, int rc)
{
    if (g != gen || !job)
        return; // a frame pause() has already ended
    worker.join();
    end_frame(rc);
    pump();
}

void LiveDriver::end_frame(int rc)
{
    ++gen;
    const int kind = st.running;
    if (kind == LIVE_EXACT && rc == RAY_DONE) {
        overlay_clear(ov);
        show_made(s, *job); // and the window repaints
        s.app.live_camera = s.app.camera_moves;
    } else if (rc == RAY_NOVIEW || rc == RAY_TOODEEP) {
        say(ray_status_text(rc, job->model()) + ": no picture");
    }
    st.frame_done(kind, rc);
    job.reset();
}

void LiveDriver::moved(unsigned fields)
{
    s.app.camera_moves++;
    hand_mask |= fields;
    if (source)
        source->camera_moved(fields);
    rest_timer.start();
    if (st.moved() && job)
        job->cancel();
    pump();
}

void LiveDriver::mouse(QMouseEvent *e)
{
    if (!st.on || !s.app.rt_ready || s.app.busy)
        return;
    const QPoint p = e->position().toPoint();
    if (e->type() == QEvent::MouseButtonPress) {
        const bool pan_drag =
            e->button() == Qt::MiddleButton ||
            (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ShiftModifier));
        drag = pan_drag ? 2 : e->button() == Qt::LeftButton ? 1 : 0;
        last = p;
        return;
    }
    if (e->type() == QEvent::MouseButtonRelease) {
        drag = 0;
        return;
    }
    if (!drag || p == last)
        return;
    const QPoint d = p - last;
    last = p;
    if (drag == 1 ? orbit(s.app.model, d.x(), d.y()) : pan_by(d.x(), d.y()))
        moved(drag == 1 ? LOOK_DIR : LOOK_POINT);
}

void LiveDriver::wheel(QWheelEvent *e)
{
    if (!st.on || !s.app.rt_ready || s.app.busy) {
        e->ignore();
        return;
    }
    const double steps = e->angleDelta().y() / 120.0;
    if (steps == 0)
        return;
    const bool wide = e->modifiers() & Qt::ControlModifier;
    if (wide)
        widen(s.app.model, -steps);
    else
        dolly(s.app.model, steps);
    e->accept();
    moved(wide ? 1u << V_WDU : 1u << V_DLENGTH);
}

bool LiveDriver::key(QKeyEvent *e)
{
    if (!st.on || !s.app.rt_ready || s.app.busy)
        return false;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    int dx = 0, dy = 0;
    switch (e->key()) {
    case Qt::Key_Left:
        dx = -KEY_DOTS;
        break;
    case Qt::Key_Right:
        dx = KEY_DOTS;
        break;
    case Qt::Key_Up:
        dy = -KEY_DOTS;
        break;
    case Qt::Key_Down:
        dy = KEY_DOTS;
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
        if (e->modifiers() & Qt::ControlModifier)
            return false; // Ctrl+= and Ctrl+- step the zoom
        dolly(s.app.model, e->key() == Qt::Key_Minus ? -1 : 1);
        moved(1u << V_DLENGTH);
        return true;
    default:
        return false;
    }
    if (shift ? pan_by(dx, dy) : orbit(s.app.model, dx, dy))
        moved(shift ? LOOK_POINT : LOOK_DIR);
    return true;
}

bool LiveDriver::pan_by(int dx, int dy)
{
    // a dot on the screen is 100 / zoom dots of the picture
    frame f;
    int W, H;
    if (!make_frame(s.app.model, 0, f))
        return false;
    zoomed_size(s.disp, f.width, f.h, W, H);
    return W > 0 && pan(s.app.model, dx, dy, W);
}

void LiveDriver::say(const std::string &text)
{
    if (!st.on)
        return;
    // a line too long for the window: the whole of it as a tooltip, and
    // in the session's messages
    const QString line = QString::fromUtf8(text.c_str());
    bar->showMessage(line);
    bar->setToolTip(line);
    if (!text.empty())
        s.app.said.add(text);
}
