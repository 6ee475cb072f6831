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
//   - a click picked the light whose marker it hit, or else what the
//     tracer's primary ray meets;
// and now and then that undoing everything gives back the bytes the text
// was opened with, and redoing everything the bytes before. Built with the
// sanitizers (tools/sanitize.sh), they watch the whole run.
//
//   studio_soak [--minutes N | --seconds N] [--seed S] [--steps N] [--log-from N]
//
// --log-from N prints each action's name from step N on, to see what led
// to a failure.
//
// It prints the seed first and the number of actions at the end; a failed
// check prints the seed, the step and what failed, and exits with 1. The
// same seed gives the same actions (the threads' timing may differ);
// --steps runs that many, whatever the time.
#include "app/tests/studio_soak.h"

#include "app/tests/headless_app.h"

#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

// The sanitizers' runtime, when the program is built with them: what runs
// before a finding stops the program.
extern "C" void __sanitizer_set_death_callback(void (*)()) __attribute__((weak));

namespace {

using namespace studio_soak;

constexpr long long DEFAULT_SECONDS = 60;

struct options {
    long long seconds = DEFAULT_SECONDS;
    long long steps = -1; // no limit
    long long log_from = -1;
    unsigned long long seed = 0;
};

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
        else if (arg == "--log-from")
            o.log_from = (long long)v;
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
            if (o.log_from >= 0 && run_at.step >= o.log_from)
                std::fprintf(stderr, "step %lld: %s\n", run_at.step, run_at.action);
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
        std::fprintf(stderr, "usage: studio_soak [--minutes N | --seconds N] [--seed S] [--steps "
                             "N] [--log-from N]\n");
        return 2;
    }
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback([] { say_where("stopped by the sanitizer"); });
    return run_headless(argc, argv, [&] {
        QTemporaryDir work;
        return soak_run(o, work.path().toStdString());
    });
}
