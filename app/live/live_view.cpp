#include "app/live/live_view.h"

#include "app/session/picture.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "base/msg.h"
#include "scene/rtread.h"
#include "trace/camera_moves.h"

namespace {

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

live_view::live_view(session &ses, live_port &p) : s(ses), port(p) {}

live_view::~live_view()
{
    if (job) {
        job->cancel();
        port.wait_frame();
    }
}

void live_view::set_on(bool on)
{
    s.app.live = on;
    update_on();
}

void live_view::set_source(live_source *src)
{
    source = src;
    update_on();
}

void live_view::source_changed()
{
    st.reloaded(true);
    pump();
}

void live_view::drop_frame()
{
    if (job)
        job->cancel();
}

void live_view::update_on()
{
    const bool on = s.app.live || source;
    if (on == st.on)
        return;
    if (on) {
        st.turn_on();
        port.shown(true);
        follow();
        pump();
    } else {
        if (st.turn_off())
            pause();
        followed.clear();
        port.watch(followed);
        port.shown(false);
    }
}

void live_view::follow()
{
    const std::string now = s.app.rt_ready && st.on ? s.app.scene_file : std::string();
    if (now == followed)
        return;
    followed = now;
    port.watch(followed);
}

void live_view::command_ran(int id)
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

void live_view::pause()
{
    if (!job)
        return;
    job->cancel();
    port.wait_frame();
    end_frame(RAY_CANCELLED);
}

void live_view::file_changed()
{
    if (source) {
        source->file_changed();
        return;
    }
    if (st.file_changed() && job)
        job->cancel();
    pump();
}

void live_view::rested()
{
    st.rest();
    if (source)
        source->camera_rested();
    pump();
}

void live_view::moved(unsigned fields)
{
    s.app.camera_moves++;
    hand_mask |= fields;
    if (source)
        source->camera_moved(fields);
    port.moving();
    if (st.moved() && job)
        job->cancel();
    pump();
}

void live_view::dragged()
{
    if (st.moved() && job)
        job->cancel();
    pump();
}

bool live_view::steering() const { return st.on && s.app.rt_ready && !s.app.busy; }

bool live_view::pan_by(int dx, int dy)
{
    // a dot on the screen is 100 / zoom dots of the picture
    frame f;
    int W, H;
    if (!make_frame(s.app.model, 0, f))
        return false;
    zoomed_size(s.disp, f.width, f.h, W, H);
    return W > 0 && pan(s.app.model, dx, dy, W);
}

void live_view::pump()
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

void live_view::reload()
{
    msglist msgs;
    const char *path = followed.c_str();
    const int rc = st.reload_scene(s.app.model, path, msgs);
    if (rc == RELOAD_NOFILE) {
        // keep the last picture, and say why there is no new one
        say("cannot read " + followed + ": " + msgs.first());
    } else {
        std::string line = first_lines(path, msgs);
        if (rc == RELOAD_CUT)
            line += " - the last picture stays";
        say(line);
    }
    if (rc == RELOAD_READ && st.took_camera)
        s.app.file_camera = s.app.camera_moves; // the camera is the file's again
    st.reloaded(rc == RELOAD_READ);
}

void live_view::start(int k)
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
        opt.on_row = port.frame_rows(f.width, f.h);
        job = std::make_unique<render_job>(small, opt);
    } else {
        opt.aa = s.app.aa_level;
        opt.on_row = port.frame_rows(0, 0);
        job = std::make_unique<render_job>(model, opt);
    }
    port.run_frame(*job, [this](int rc) {
        end_frame(rc);
        pump();
    });
}

void live_view::end_frame(int rc)
{
    const int kind = st.running;
    if (kind == LIVE_EXACT && rc == RAY_DONE) {
        port.clear_rows();
        show_made(s, *job); // and the window repaints
        s.app.live_camera = s.app.camera_moves;
    } else if (rc == RAY_NOVIEW || rc == RAY_TOODEEP) {
        say(ray_status_text(rc, job->model()) + ": no picture");
    }
    st.frame_done(kind, rc);
    job.reset();
}

void live_view::say(const std::string &text)
{
    if (st.on)
        ::say(s, text);
}
