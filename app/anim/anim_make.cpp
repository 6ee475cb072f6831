#include "app/anim/anim_make.h"

#include "app/anim/anim_form.h"
#include "app/session/messages.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "base/msg.h"
#include "image/animfile.h"
#include "trace/anim.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

constexpr int UNWRITTEN = ANIM_REFUSED + 1; // the frames were made, their file not

bool pictures(int kind) { return kind == ANIM_NUMBERED || kind == ANIM_SINGLE; }

// What a run that gave no animation says; nothing for Cancel.
void report(session &s, int rc, const anim_job &job, const msglist &msgs)
{
    std::string text;
    if (rc == RAY_NOVIEW || rc == RAY_TOODEEP) {
        text = "Frame " + std::to_string(job.frame()) + ": " +
               ray_status_text(rc, job.frame_scene()) + ".\nNothing was written.";
    } else {
        text = warn_text("The animation was not written.", msgs);
    }
    ErrorMsg(s, text.c_str());
}

} // namespace

anim_output::anim_output(const std::string &name, double fps)
    : name_(name), fps_(fps), kind_(anim_kind(name.c_str()))
{
    if (!pictures(kind_))
        out_ = std::make_unique<anim_writer>(name.c_str(), fps);
}

anim_output::~anim_output()
{
    if (!done_)
        discard();
}

// Pictures go to a hidden folder beside their place first.
bool anim_output::start(msglist &msgs)
{
    const size_t slash = name_.rfind('/');
    const std::string folder = name_.substr(0, slash + 1); // no % (anim_form.h)
    std::string temp = folder + ".koru-anim-XXXXXX";
    if (!mkdtemp(&temp[0])) {
        msgs.add("cannot make a folder in \"%s\": %s", folder.c_str(), std::strerror(errno));
        return false;
    }
    temp_ = temp;
    out_ = std::make_unique<anim_writer>((temp_ + name_.substr(slash)).c_str(), fps_);
    return true;
}

int anim_output::add(long long k, const picture &pic, msglist &msgs)
{
    if (!out_ && !start(msgs))
        return 0;
    if (!out_->add(k, pic, msgs))
        return 0;
    if (pictures(kind_))
        written_.push_back(k);
    return 1;
}

int anim_output::finish(msglist &msgs, cancel_token &tok)
{
    // a WebP or GIF file checks the token before its rename; pictures
    // before the first of theirs
    const bool made = out_ && out_->finish(msgs, pictures(kind_) ? nullptr : &tok);
    if (!made || (pictures(kind_) && !tok.commit())) {
        discard();
        return 0;
    }
    // the pictures move into place, one rename each
    const std::string temp_name = temp_ + name_.substr(name_.rfind('/'));
    while (!written_.empty()) {
        std::string from = temp_name, to = name_;
        if (kind_ == ANIM_NUMBERED) {
            frame_name(temp_name.c_str(), written_.front(), from);
            frame_name(name_.c_str(), written_.front(), to);
        }
        if (std::rename(from.c_str(), to.c_str()) != 0) {
            msgs.add("cannot move a frame to \"%s\": %s", to.c_str(), std::strerror(errno));
            discard();
            return 0;
        }
        written_.erase(written_.begin());
    }
    if (!temp_.empty())
        rmdir(temp_.c_str());
    done_ = true;
    return 1;
}

void anim_output::discard()
{
    // a WebP or GIF not finished leaves nothing (anim_writer)
    out_.reset();
    const std::string temp_name = temp_ + name_.substr(name_.rfind('/'));
    for (long long k : written_) {
        std::string file = temp_name;
        if (kind_ == ANIM_NUMBERED)
            frame_name(temp_name.c_str(), k, file);
        std::remove(file.c_str());
    }
    written_.clear();
    if (!temp_.empty())
        rmdir(temp_.c_str());
    temp_.clear();
    done_ = true;
}

namespace {

// Everything the frames and their file need until the run has ended.
struct anim_run {
    explicit anim_run(const anim_request &r) : req(r), out(r.out, r.fps) {}
    anim_request req;
    anim_plan plan; // the job's: it lives as long
    std::unique_ptr<anim_job> job;
    anim_output out;
    msglist msgs;
};

std::shared_ptr<anim_run> plan_run(session &s, const anim_request &req)
{
    auto run = std::make_shared<anim_run>(req);
    anim_plan &plan = run->plan;
    for (const auto &k : req.keys)
        plan.keys.push_back(k.get());
    plan.frames = req.frames;
    plan.orbit = req.orbit;
    plan.orbit_deg = req.orbit_deg;
    anim_options opt;
    opt.render.aa = req.aa;
    opt.render.on_row = s.ui.row_display();
    opt.w = req.w;
    opt.h = req.h;
    run->job = std::make_unique<anim_job>(plan, opt); // a scene inside: off the stack
    return run;
}

// What a run that ended leaves: the player, or why there is nothing.
void ran(session &s, anim_run &run, int rc)
{
    if (rc == RAY_CANCELLED || run.job->token().cancelled())
        return; // out leaves nothing
    if (rc != RAY_DONE) {
        report(s, rc, *run.job, run.msgs);
        return;
    }
    msglist msgs;
    if (!s.ui.play_anim(run.req.out.c_str(), run.req.fps, run.req.frames, msgs))
        ErrorMsg(s, warn_text("The animation was written, but cannot be played.", msgs).c_str());
}

} // namespace

void make_animation(session &s)
{
    if (!s.app.rt_ready)
        return;
    anim_form f;
    anim_form_open(f, s.app);
    if (!s.ui.anim_dialog(f))
        return;
    const std::shared_ptr<anim_run> run = plan_run(s, f.req);

    // Render the frames, each taken as it is finished, then put the file
    // in place; a Cancel at any moment before that leaves nothing. The
    // frames and the file are made beside the window, and run lives
    // until the window hands it back
    anim_run *r = run.get();
    const auto take = [r](int k, const render_job &job) {
        return r->out.add(k, job.result(), r->msgs) == 1;
    };
    const auto finish = [r] {
        cancel_token &tok = r->job->token();
        return r->out.finish(r->msgs, tok) ? (int)RAY_DONE
               : tok.cancelled()           ? (int)RAY_CANCELLED
                                           : UNWRITTEN;
    };
    s.ui.wait_cursor(1);
    begin_job(s, [r] { r->job->cancel(); });
    s.ui.run_anim(*run->job, take, finish, [&s, run](int rc) {
        end_job(s);
        s.ui.wait_cursor(0);
        ran(s, *run, rc);
        job_done(s);
    });
}
