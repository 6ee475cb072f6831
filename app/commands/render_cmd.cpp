#include "app/commands/render_cmd.h"

#include "app/session/messages.h"
#include "app/session/picture.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "base/cancel.h"
#include "trace/frame.h"
#include "trace/render.h"

#include <cctype>
#include <memory>

namespace {

// Whether the render would give dots: a size of no dots would blank the
// window and drop its picture, so it is refused with koru-cli's words.
bool render_has_dots(session &s, int stereo, bool anaglyph)
{
    frame f;
    if (!make_frame(s.app.model, stereo, f, anaglyph))
        return true; // no view: the render says so
    const std::string empty = no_dots(f.width, f.h, "nothing to render");
    if (empty.empty())
        return true;
    ErrorMsg(s, (empty + "\nSet it with Setting(T).").c_str());
    return false;
}

// A render beside the window, and Stop render's word on it.
struct render_run {
    render_run(const scene &sc, const render_options &opt) : job(sc, opt) {}
    render_job job;
    cancel_token tok; // committed just before the picture is shown
};

// What a render that ended shows: its picture, or why there is none.
void rendered(session &s, render_run &run, int rc)
{
    if (rc == RAY_DONE && !run.tok.commit())
        rc = RAY_CANCELLED;
    if (rc == RAY_CANCELLED)
        return;
    if (rc != RAY_DONE) {
        std::string text = ray_status_text(rc, s.app.model);
        text[0] = (char)std::toupper((unsigned char)text[0]);
        text += rc == RAY_NOVIEW ? ".\nSet it with Setting(T)."
                                 : ".\nLower the depth in the scene file.";
        ErrorMsg(s, text.c_str());
        return;
    }
    show_made(s, run.job);
}

} // namespace

void cmd_make(session &s, int stereo, bool anaglyph)
{
    if (!s.app.rt_ready || !render_has_dots(s, stereo, anaglyph))
        return;
    s.ui.wait_cursor(1);
    render_options opt;
    opt.stereo = stereo;
    opt.anaglyph = anaglyph;
    opt.aa = s.app.aa_level;
    opt.on_row = s.ui.row_display();
    auto run = std::make_shared<render_run>(s.app.model, opt);
    begin_job(s, [run] {
        run->tok.cancel();
        run->job.cancel();
    });
    s.ui.run_render(run->job, [&s, run](int rc) {
        end_job(s);
        s.ui.wait_cursor(0);
        rendered(s, *run, rc);
        job_done(s);
    });
}
