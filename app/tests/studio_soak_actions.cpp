// studio_soak_actions.cpp - the soak's mix: the window started on a scene,
// the actions by weight, and what each leaves the checks to expect.
#include "app/tests/studio_soak.h"
#include "app/tests/ball_scene.h"

#include "app/qt/live/live_qt.h"
#include "app/studio/studio_drag.h"
#include "app/studio/studio_pick.h"
#include "trace/frame.h"
#include "trace/pick.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <filesystem>

namespace studio_soak {

namespace {

constexpr const char *SOAK_SIZE = "48 36"; // the samples' size here: quick to trace

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

} // namespace

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
    // a light's marker over the dots is what a click there takes
    const int light = verify ? light_under(win->state(), false, at.x() + 0.5, at.y() + 0.5) : -1;
    const int kind = st->selected_kind(), index = st->selected_index();
    mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    if (!verify)
        return;
    const std::string where = " (dot " + std::to_string(x) + ", " + std::to_string(y) + ")";
    if (light >= 0)
        fail_unless(st->selected_kind() == OUT_LIGHT && st->selected_index() == light,
                    "a click on a light's marker did not select light " +
                        std::to_string(light + 1));
    else if (!dot)
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

void soak::mouse(QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held,
                 Qt::KeyboardModifiers mods)
{
    QWidget *v = win->view();
    QMouseEvent e(t, at, v->mapToGlobal(at), b, held, mods);
    QApplication::sendEvent(v, &e);
}

} // namespace studio_soak
