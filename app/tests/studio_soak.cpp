// studio_soak.cpp - the studio driven for a while by a seeded random mix of
// what its user does: typing and deleting anywhere in the text, undo and
// redo, the follow choice, clicks on dots, orbit and pan drags, Save Scene,
// and opening a scene again (its own file, or a fresh one), with the typing
// pause passing now and then. After every settle (nothing runs, nothing is
// due) it checks that
//   - the session's text is the editor's, and the title's "*" its mark;
//   - an unmodified text holds the file's bytes;
//   - the picture shown is exactly the engine's render of the scene read
//     from the text the picture follows (as typed, or as last saved), and
//     always the exact render of the scene it was made of;
//   - a click picked what the tracer's primary ray meets;
// and now and then that undoing everything gives back the bytes the text
// was opened with, and redoing everything the bytes before. Built with the
// sanitizers (tools/sanitize.sh), they watch the whole run.
//
//   studio_soak [--minutes N | --seconds N] [--seed S] [--steps N]
//
// It prints the seed first and the number of actions at the end; a failed
// check prints the seed, the step and what failed, and exits with 1. The
// same seed gives the same actions (the threads' timing may differ);
// --steps runs that many, whatever the time.
#include "app/qt/live/live_qt.h"
#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_qt.h"
#include "app/qt/window/mainwin.h"
#include "app/session/command_ids.h"
#include "app/studio/studio_pick.h"
#include "app/tests/qt_wait.h"
#include "base/msg.h"
#include "scene/rtread.h"
#include "trace/frame.h"
#include "trace/pick.h"
#include "trace/render.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

// The sanitizers' runtime, when the program is built with them: what runs
// before a finding stops the program.
extern "C" void __sanitizer_set_death_callback(void (*)()) __attribute__((weak));

namespace {

constexpr long long DEFAULT_SECONDS = 60;
constexpr int SETTLE_DEADLINE_MS = 600000; // a 1024 x 768 picture under the sanitizers
constexpr const char *SOAK_SIZE = "48 36"; // the samples' size here: quick to trace

// A plane seen from above with a sphere on it.
const char *const BALL = "0 0 0\n"
                         "0 0.2 1\n"
                         "10 6\n"
                         "40 30\n"
                         "1\n"
                         "2 -3 9 1\n"
                         "2\n"
                         "1 1 0.3 0.6 0 0 1 1 0 0 1 1 0 0 1 0 0 0 200 100 50\n"
                         "3 1 0.2 0.7 0.4 0 20 1 0 0 1 1 1.2 1.2 1.2 0.5 0.5 1 40 90 210\n"
                         "-1\n"
                         "-1\n";

struct options {
    long long seconds = DEFAULT_SECONDS;
    long long steps = -1; // no limit
    unsigned long long seed = 0;
};

// What a check found wrong.
struct failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void fail_unless(bool ok, const std::string &what)
{
    if (!ok)
        throw failure(what);
}

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string &path, const std::string &text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The scene text with its picture size (the fourth line) replaced.
std::string resized(const std::string &text, const char *size)
{
    size_t at = 0;
    for (int line = 0; line < 3 && at != std::string::npos; line++)
        at = text.find('\n', at) + 1;
    const size_t end = text.find('\n', at);
    if (at == 0 || end == std::string::npos)
        return text;
    return text.substr(0, at) + size + text.substr(end);
}

// A picture as its three planes, one after the other; empty for none.
struct shot {
    int w = 0, h = 0;
    std::vector<unsigned char> bytes;
    bool operator==(const shot &o) const { return w == o.w && h == o.h && bytes == o.bytes; }
};

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

// The window in studio view, the actions of the mix, and what the checks
// expect of them.
class soak {
public:
    soak(unsigned long long seed, std::string folder);
    ~soak() { delete win; }
    void start();
    // One action of the mix, named in name before it runs.
    void act(const char *&name);
    // Everything at rest and checked; then undo and redo everything.
    void finish();
    long long settles = 0, against_text = 0; // rests; those checked against the text
    std::map<std::string, int> boxes;        // other message boxes by caption, answered No

private:
    struct action {
        int weight;
        const char *name;
        void (soak::*run)();
    };
    static const action actions[];

    void type();
    void erase();
    void number();
    void undo();
    void redo();
    void pause();
    void settle_and_check();
    void follow();
    void pick();
    void drag();
    void save();
    void reopen();
    void undo_all();
    std::string fresh();
    void open(const std::string &path);

    size_t below(size_t n) { return n ? (size_t)(gen() % n) : 0; }
    bool chance(int percent) { return below(100) < (size_t)percent; }
    std::string text() const { return ed->bytes(); }
    void place(size_t len);
    bool quiet() const;
    void wait_for_render();
    void settle();
    void check();
    void check_text();
    void check_picture();
    void took_file(const std::string &path);
    shot shown() const;
    void mouse(QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held,
               Qt::KeyboardModifiers mods = Qt::NoModifier);

    std::mt19937_64 gen;
    std::string dir;
    std::vector<std::string> scenes; // fresh texts to open
    int fresh_files = 0;
    MainWin *win = nullptr;
    Studio *st = nullptr;
    SceneEditor *ed = nullptr;
    int answer = ID_NO; // to "Save the scene?"

    // what the checks expect
    std::string opened; // the text as opened: no undo goes further back
    bool follow_save = false;
    std::string followed; // the text the picture is of, once at rest ...
    bool known = false;   // ... when known
    bool settled = false; // nothing done since the last settle
    bool dragged = false; // the camera moved since
};

const soak::action soak::actions[] = {
    {14, "type", &soak::type},
    {8, "delete", &soak::erase},
    {24, "number", &soak::number},
    {12, "undo", &soak::undo},
    {5, "redo", &soak::redo},
    {8, "pause", &soak::pause},
    {20, "settle", &soak::settle_and_check},
    {3, "follow", &soak::follow},
    {6, "pick", &soak::pick},
    {5, "drag", &soak::drag},
    {5, "save", &soak::save},
    {2, "reopen", &soak::reopen},
    {1, "undo all", &soak::undo_all},
};

soak::soak(unsigned long long seed, std::string folder) : gen(seed), dir(std::move(folder))
{
    scenes.push_back(BALL);
    const std::filesystem::path samples = std::filesystem::path(KORU_SOURCE_DIR) / "samples";
    std::error_code ec;
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(samples, ec))
        if (e.path().extension() == ".RT")
            names.push_back(e.path().string());
    std::sort(names.begin(), names.end()); // the same order for the same seed
    for (const std::string &n : names)
        scenes.push_back(resized(slurp(n), SOAK_SIZE));
}

void soak::start()
{
    const std::string path = dir + "/B.RT";
    spit(path, BALL);
    win = new MainWin;
    win->state().disp.mode = 2; // full colour: the view shows the planes
    win->message_hook = [this](const char *, const char *caption, int) {
        if (std::string(caption) == "Save the scene?")
            return answer;
        boxes[caption]++;
        return (int)ID_NO;
    };
    win->show();
    st = win->studio();
    st->typing_clock().hold(); // the typing pause passes when the soak says
    st->set_on(true);
    ed = st->editor();
    ed->setFocus();
    win->open_start_file(path);
    took_file(path);
    settle();
    check();
}

void soak::act(const char *&name)
{
    int total = 0;
    for (const action &a : actions)
        total += a.weight;
    int r = (int)below((size_t)total);
    for (const action &a : actions) {
        if (r < a.weight) {
            name = a.name;
            (this->*a.run)();
            QApplication::processEvents(); // as the event loop passes between inputs
            return;
        }
        r -= a.weight;
    }
}

void soak::finish()
{
    settle_and_check();
    undo_all();
}

// The cursor somewhere in the text, with len bytes selected from there
// (fewer at its end).
void soak::place(size_t len)
{
    const size_t n = text().size(), at = below(n + 1);
    ed->select_bytes(at, std::min(len, n - at));
}

void soak::type()
{
    static const char *const typed[] = {"0", "1", "2", "5", "9",  " ",   " ",
                                        "-", ".", "e", "x", "10", "0.5", "-1"};
    place(chance(10) ? 1 + below(6) : 0);
    switch (below(40)) {
    case 0:
        QTest::keyClick(ed, Qt::Key_Return);
        break;
    case 1:
        QTest::keyClick(ed, Qt::Key_Tab);
        break;
    case 2: // no ASCII: two bytes of UTF-8
        QTest::sendKeyEvent(QTest::Click, ed, Qt::Key_Eacute, QString::fromUtf8("\xc3\xa9"),
                            Qt::NoModifier);
        break;
    default:
        QTest::keyClicks(ed, typed[below(std::size(typed))]);
    }
    settled = false;
}

// A word of the text (a number, most often) typed over with a number.
void soak::number()
{
    static const char *const numbers[] = {"0",  "1",   "2",  "3",    "7",    "10", "100",
                                          "-1", "0.5", "-2", "0.25", "1e-3", "250"};
    const std::string t = text();
    std::vector<std::pair<size_t, size_t>> words;
    for (size_t at = 0; at < t.size();) {
        const size_t start = t.find_first_not_of(" \t\r\n", at);
        if (start == std::string::npos)
            break;
        at = std::min(t.find_first_of(" \t\r\n", start), t.size());
        words.push_back({start, at - start});
    }
    if (words.empty())
        return type();
    const auto [at, len] = words[below(words.size())];
    ed->select_bytes(at, len);
    QTest::keyClicks(ed, numbers[below(std::size(numbers))]);
    settled = false;
}

void soak::erase()
{
    if (chance(50)) {
        place(0);
        QTest::keyClick(ed, Qt::Key_Backspace);
    } else {
        place(1 + below(8));
        QTest::keyClick(ed, Qt::Key_Delete);
    }
    settled = false;
}

void soak::undo()
{
    if (chance(50))
        QTest::keyClick(ed, Qt::Key_Z, Qt::ControlModifier);
    else
        win->action(IDM_UNDO)->trigger();
    settled = false;
}

void soak::redo()
{
    if (chance(50))
        QTest::keyClick(ed, Qt::Key_Y, Qt::ControlModifier);
    else
        win->action(IDM_REDO)->trigger();
    settled = false;
}

// The user stops for a moment: the typing pause passes, or part of it,
// and what is due runs a little.
void soak::pause()
{
    st->typing_clock().advance((long long)below(2 * TYPE_REST_MS));
    for (size_t k = below(20); k > 0; k--)
        QApplication::processEvents();
    settled = false;
}

void soak::follow()
{
    const bool save_mode = chance(40);
    if (save_mode && !follow_save && !settled)
        known = false; // the picture is of a text typed on the way
    follow_save = save_mode;
    win->action(save_mode ? IDM_FOLLOW_SAVE : IDM_FOLLOW_TYPING)->trigger();
    settled = false;
}

void soak::pick()
{
    const app_state &a = win->state().app;
    const QSize area = win->view()->size() + QSize(8, 8); // a little beyond, too
    const QPoint at((int)below((size_t)area.width()), (int)below((size_t)area.height()));
    // what it picks is known while the picture at rest is the text's
    const bool verify = settled && known && text() == followed && a.made_scene;
    int x = 0, y = 0;
    pick_hit h;
    const bool dot = verify &&
                     view_dot(win->state().disp.zoom_size, a.made_frame.width, a.made_frame.h,
                              at.x(), at.y(), x, y) &&
                     pick_dot(*a.made_scene, a.made_frame, x, y, h);
    const int kind = st->selected_kind(), index = st->selected_index();
    mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    if (!verify)
        return;
    const std::string where = " (dot " + std::to_string(x) + ", " + std::to_string(y) + ")";
    if (!dot)
        fail_unless(st->selected_kind() == kind && st->selected_index() == index,
                    "a click beyond the picture changed the selection");
    else if (h.index < 0)
        fail_unless(st->selected_kind() == -1, "a click on background left a selection" + where);
    else
        fail_unless(st->selected_kind() == OUT_PRIMITIVE && st->selected_index() == h.index,
                    "a click did not select primitive " + std::to_string(h.index + 1) + where);
}

// An orbit (a left drag), or a pan (Shift+left or the middle button).
void soak::drag()
{
    const bool pan = chance(25), middle = pan && chance(50);
    const Qt::MouseButton b = middle ? Qt::MiddleButton : Qt::LeftButton;
    const Qt::KeyboardModifiers mods = pan && !middle ? Qt::ShiftModifier : Qt::NoModifier;
    QPoint at((int)below(48), (int)below(36));
    mouse(QEvent::MouseButtonPress, at, b, b, mods);
    for (size_t k = 1 + below(6); k > 0; k--) {
        at += QPoint((int)below(41) - 20, (int)below(41) - 20);
        mouse(QEvent::MouseMove, at, Qt::NoButton, b, mods);
        if (chance(30))
            QApplication::processEvents(); // a preview may start
    }
    mouse(QEvent::MouseButtonRelease, at, b, Qt::NoButton, mods);
    if (follow_save)
        known = false; // the picture turns with the camera, the saved text does not
    dragged = true;
    settled = false;
}

void soak::save()
{
    wait_for_render(); // greyed meanwhile
    win->action(IDM_SAVESCENE)->trigger();
    const std::string t = text();
    fail_unless(slurp(win->state().studio.file) == t, "Save Scene wrote other bytes than the text");
    fail_unless(!ed->isModified(), "the text just saved is marked unsaved");
    scene sc;
    if (dragged) { // the camera, once it rests, goes into the text and the picture
        known = false;
    } else if (read_text(t, sc)) { // the picture follows a save, in either mode
        followed = t;
        known = true;
    }
    settled = false;
}

// The scene file opened again, or a fresh scene.
void soak::reopen() { open(chance(50) ? fresh() : win->state().studio.file); }

// A fresh scene in a file of its own.
std::string soak::fresh()
{
    const std::string path = dir + "/S" + std::to_string(fresh_files++) + ".RT";
    spit(path, scenes[below(scenes.size())]);
    return path;
}

// A scene file dropped on the window, "Save the scene?" answered at random.
void soak::open(const std::string &path)
{
    wait_for_render();
    const std::string before = text(), file_before = win->state().studio.file;
    const bool modified = ed->isModified();
    answer = chance(20) ? ID_CANCEL : chance(50) ? ID_YES : ID_NO;
    win->drop_file(QString::fromStdString(path));
    settled = false;
    if (modified && answer == ID_CANCEL) {
        fail_unless(text() == before && ed->isModified(), "Cancel did not keep the text");
        return;
    }
    if (modified && answer == ID_YES)
        fail_unless(slurp(file_before) == before, "Yes to \"Save the scene?\" did not save it");
    took_file(path);
}

// Everything undone gives the text as opened; as many steps redone, the
// text as it was.
void soak::undo_all()
{
    const std::string before = text();
    const bool modified = ed->isModified(), redo_left = ed->isRedoAvailable();
    int steps = 0;
    for (; ed->isUndoAvailable(); steps++)
        ed->undo();
    fail_unless(text() == opened, "undoing everything did not give back the text as opened");
    for (; steps > 0 && ed->isRedoAvailable(); steps--)
        ed->redo();
    fail_unless(steps == 0 && text() == before, "redoing everything did not give back the text");
    fail_unless(ed->isModified() == modified && ed->isRedoAvailable() == redo_left,
                "undo and redo changed the mark of unsaved text, or what is left to redo");
    settled = false;
}

// At rest, and checked. A text that does not read is then, as often as
// not, undone until it reads, or left for a fresh scene, as its user would.
void soak::settle_and_check()
{
    settle();
    check();
    scene sc;
    if (chance(50) && !read_text(text(), sc)) {
        while (ed->isUndoAvailable() && !read_text(text(), sc))
            ed->undo();
        if (!read_text(text(), sc))
            open(fresh());
        settled = false;
    }
}

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
    if (known) {
        scene sc;
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
                                 describe(want) + (follow_save ? ", as saved)" : ")"));
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

void soak::mouse(QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held,
                 Qt::KeyboardModifiers mods)
{
    QWidget *v = win->view();
    QMouseEvent e(t, at, v->mapToGlobal(at), b, held, mods);
    QApplication::sendEvent(v, &e);
}

// Where the run is, for a report that stops it.
struct progress {
    unsigned long long seed = 0;
    long long step = 0;
    const char *action = "start";
};
progress run_at;

void say_where(const char *why)
{
    std::fprintf(stderr,
                 "studio soak: %s at step %lld (%s), seed %llu\nreplay: studio_soak --seed %llu "
                 "--steps %lld\n",
                 why, run_at.step, run_at.action, run_at.seed, run_at.seed, run_at.step);
}

bool parse(int argc, char **argv, options &o)
{
    o.seed = std::random_device{}() ^
             (unsigned long long)std::chrono::system_clock::now().time_since_epoch().count();
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        char *end = nullptr;
        const unsigned long long v = std::strtoull(argv[++i], &end, 10);
        if (*end || end == argv[i])
            return false;
        if (arg == "--minutes")
            o.seconds = (long long)v * 60;
        else if (arg == "--seconds")
            o.seconds = (long long)v;
        else if (arg == "--seed")
            o.seed = v;
        else if (arg == "--steps")
            o.steps = (long long)v;
        else
            return false;
    }
    return true;
}

// The soak for o's time or steps: 0 when every check held.
int soak_run(const options &o, const std::string &dir)
{
    run_at.seed = o.seed;
    std::printf("studio soak: seed %llu\n", o.seed);
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::seconds(o.seconds);
    soak s(o.seed, dir);
    try {
        s.start();
        while (o.steps < 0 ? std::chrono::steady_clock::now() < end : run_at.step < o.steps) {
            run_at.step++;
            s.act(run_at.action);
        }
        run_at.action = "finish";
        s.finish();
    } catch (const failure &f) {
        say_where((std::string("FAILED: ") + f.what()).c_str());
        return 1;
    }
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("studio soak: %lld actions, %lld rests (%lld with the text's picture), in %.0f "
                "s, seed %llu: clean\n",
                run_at.step, s.settles, s.against_text, took, o.seed);
    for (const auto &[caption, n] : s.boxes)
        std::printf("studio soak: %d message boxes \"%s\", answered No\n", n, caption.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: studio_soak [--minutes N | --seconds N] [--seed S] [--steps N]\n");
        return 2;
    }
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback([] { say_where("stopped by the sanitizer"); });
    // headless, with a runtime folder and settings of its own
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static char runtime[] = "/tmp/koru-xdg-XXXXXX";
    const bool own_runtime = !getenv("XDG_RUNTIME_DIR") && mkdtemp(runtime);
    if (own_runtime)
        setenv("XDG_RUNTIME_DIR", runtime, 1);
    int rc;
    {
        QApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        QStandardPaths::setTestModeEnabled(true);
        QTemporaryDir settings, work;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QApplication::setOrganizationName("KORU-test");
        QApplication::setApplicationName("koru");
        QSettings().clear();
        rc = soak_run(o, work.path().toStdString());
    }
    if (own_runtime)
        rmdir(runtime);
    return rc;
}
