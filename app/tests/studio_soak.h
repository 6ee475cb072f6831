// studio_soak.h - the studio soak's parts: the window driven by a seeded
// random mix of its user's actions (studio_soak_actions.cpp), the checks at
// every rest (studio_soak_checks.cpp), and the program that runs them for a
// time or a number of steps (studio_soak.cpp).
//
//   soak s(seed, folder);  s.start();         // the window up, a scene opened, checked
//   s.act(name);  ...  s.finish();            // actions, then everything at rest and undone
//
// A check that does not hold throws failure.
#pragma once

#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_qt.h"
#include "app/qt/window/mainwin.h"
#include "app/session/command_ids.h"
#include "scene/scene.h"

#include <QEvent>
#include <QPoint>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace studio_soak {

// What a check found wrong.
struct failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline void fail_unless(bool ok, const std::string &what)
{
    if (!ok)
        throw failure(what);
}

std::string slurp(const std::string &path);
void spit(const std::string &path, const std::string &text);

// A picture as its three planes, one after the other; empty for none.
struct shot {
    int w = 0, h = 0;
    std::vector<unsigned char> bytes;
    bool operator==(const shot &o) const { return w == o.w && h == o.h && bytes == o.bytes; }
};

shot render(const scene &sc);

// The scene a text reads as, when it reads whole (its primitive list ends).
bool read_text(const std::string &text, scene &sc);

std::string describe(const shot &s);

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

} // namespace studio_soak
