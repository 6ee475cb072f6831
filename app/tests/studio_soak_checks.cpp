// studio_soak_checks.cpp - the soak at rest and checked: the text against
// the file and the title, the picture against the engine's render of the
// text it follows.
#include "app/tests/studio_soak.h"

#include "app/qt/live/live_qt.h"
#include "base/msg.h"
#include "scene/fields.h"
#include "scene/rtread.h"
#include "trace/frame.h"
#include "trace/render.h"

#include <QTest>
#include <cstring>
#include <fstream>

namespace studio_soak {

namespace {

constexpr int SETTLE_DEADLINE_MS = 600000; // a 1024 x 768 picture under the sanitizers

// The camera numbers in which the scene pictured differs from the text's.
std::string camera_differences(const scene &made, const scene &text)
{
    std::string out;
    for (int k = V_RX; k <= V_IYMX; k++) {
        const field_ref f{SEC_VIEW, 0, k};
        const double a = field_number(made, f), b = field_number(text, f);
        if (std::memcmp(&a, &b, sizeof a) != 0)
            out += std::string(", ") + field_name(f) + " " + std::to_string(a) + " for " +
                   std::to_string(b);
    }
    return out;
}

} // namespace

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

shot render(const scene &sc)
{
    render_job job(sc);
    shot s;
    if (job.run() != RAY_DONE || job.result().w <= 0 || job.result().h <= 0)
        return s;
    const picture &p = job.result();
    s.w = p.w;
    s.h = p.h;
    s.bytes = p.r;
    s.bytes.insert(s.bytes.end(), p.g.begin(), p.g.end());
    s.bytes.insert(s.bytes.end(), p.b.begin(), p.b.end());
    return s;
}

// The scene a text reads as, when it reads whole (its primitive list ends).
bool read_text(const std::string &text, scene &sc)
{
    msglist m;
    scene_map map;
    data_load_text(sc, text.data(), text.size(), m, &map);
    return map.records_ended;
}

std::string describe(const shot &s) { return std::to_string(s.w) + "x" + std::to_string(s.h); }

bool soak::quiet() const
{
    const session &s = win->state();
    const live_state &l = win->live()->state();
    return !s.app.busy && !win->live()->running() && l.resting && !l.preview && !l.exact &&
           !s.studio.follow.pending && !st->working();
}

// A render that keeps the menu's commands greyed has ended.
void soak::wait_for_render()
{
    fail_unless(QTest::qWaitFor([this] { return !win->state().app.busy; }, SETTLE_DEADLINE_MS),
                "a render did not end");
}

// Until nothing runs and nothing is due, the typing pause passing as
// often as it is waited for.
void soak::settle()
{
    PauseClock &clock = st->typing_clock();
    fail_unless(QTest::qWaitFor(
                    [&] {
                        clock.advance(TYPE_REST_MS);
                        return quiet();
                    },
                    SETTLE_DEADLINE_MS),
                "the studio did not come to rest");
    settles++;
}

void soak::check()
{
    check_text();
    scene sc;
    if (!follow_save && read_text(text(), sc)) { // as typed: the text's picture
        followed = text();
        known = true;
    } else if (!follow_save) {
        known = false; // the last text on the way that read, whichever it was
    }
    check_picture();
    settled = true;
    dragged = false;
}

void soak::check_text()
{
    const session &s = win->state();
    const std::string t = text();
    fail_unless(s.studio.text == t, "the session's text is not the editor's");
    fail_unless(s.studio.modified == ed->isModified() &&
                    win->isWindowModified() == ed->isModified(),
                "the title's * is not the editor's mark of unsaved text");
    if (!ed->isModified())
        fail_unless(slurp(s.studio.file) == t, "the text is marked saved, the file holds others");
    fail_unless(s.studio.follow.mode == (follow_save ? FOLLOW_SAVE : FOLLOW_TYPING),
                "the follow choice is not the one made");
}

void soak::check_picture()
{
    const app_state &a = win->state().app;
    fail_unless(a.image_ready && a.made_scene, "no picture at rest");
    const shot now = shown();
    shot want;
    scene sc;
    if (known) {
        read_text(followed, sc);
        want = render(sc);
    }
    if (!want.w) { // no text's picture to compare with: still its scene's exact one
        want = render(*a.made_scene);
        fail_unless(now == want, "the picture (" + describe(now) +
                                     ") is not the exact picture of its scene (" + describe(want) +
                                     ")");
        return;
    }
    against_text++;
    fail_unless(now == want, "the picture (" + describe(now) + ") is not the text's (" +
                                 describe(want) + (follow_save ? ", as saved" : "") + ")" +
                                 camera_differences(*a.made_scene, sc));
}

void soak::took_file(const std::string &path)
{
    opened = text();
    fail_unless(opened == slurp(path), "the scene opened is not the editor's text");
    fail_unless(!ed->isModified(), "a scene just opened is marked unsaved");
    scene sc;
    known = read_text(opened, sc);
    followed = opened;
}

shot soak::shown() const
{
    const app_state &a = win->state().app;
    shot s;
    s.w = a.made_frame.width;
    s.h = a.made_frame.h;
    const size_t n = (size_t)s.w * s.h;
    s.bytes.assign(a.gdata->r, a.gdata->r + n);
    s.bytes.insert(s.bytes.end(), a.gdata->g, a.gdata->g + n);
    s.bytes.insert(s.bytes.end(), a.gdata->b, a.gdata->b + n);
    return s;
}

} // namespace studio_soak
