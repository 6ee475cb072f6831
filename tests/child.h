// child.h - run koru-cli as a child process and collect what it says.
#pragma once

#include "testscene.h" // slurp, spit

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

struct child_result {
    int status = -1; // exit status, or -1 when killed by a signal
    int signal = 0;  // the signal that killed it
    std::string out, err;
};

// Runs the koru-cli built with these tests with args and waits for it; in
// folder cwd when one is given (relative names then count from there).
child_result run_cli(const std::vector<std::string> &args, const std::string &cwd = "");

// Starts koru-cli with args, its output thrown away; returns the pid.
pid_t start_cli(const std::vector<std::string> &args);

// Waits for pid; fills status and signal.
child_result wait_cli(pid_t pid);

// How long a test waits for a child to reach a state: only a hang takes
// so long.
constexpr std::chrono::seconds WAIT_LIMIT{120};

// koru-cli started with stderr on a terminal of its own (stdout thrown
// away), where it draws its progress bar: what the bar says tells a test
// how far the child has come, so that it acts on the child's own events
// and never on the clock. The destructor kills a child still running.
class cli_on_tty {
public:
    explicit cli_on_tty(const std::vector<std::string> &args);
    ~cli_on_tty();
    cli_on_tty(const cli_on_tty &) = delete;
    cli_on_tty &operator=(const cli_on_tty &) = delete;

    pid_t pid() const { return pid_; }
    bool started() const { return pid_ > 0; }
    // Everything the child has written so far.
    const std::string &said() const { return said_; }
    // Reads what the child writes until done(said()) holds: true then;
    // false when the child ends first or WAIT_LIMIT passes.
    bool wait_for(const std::function<bool(const std::string &)> &done);
    // Waits for the child to end, reading on meanwhile so that a full
    // terminal never stops it.
    child_result finish();

private:
    enum class stop { done, ended, late };
    // Reads until done(said()) holds, the child ends or WAIT_LIMIT passes.
    stop read_until(const std::function<bool(const std::string &)> &done);
    bool read_some(int timeout_ms); // false once the child has closed the terminal
    pid_t pid_ = -1;
    int tty_ = -1; // the terminal's side the test holds
    std::string said_;
};

// The end of what a child said, for a failure's message.
inline std::string tail(const std::string &said, size_t n = 300)
{
    return said.size() > n ? "..." + said.substr(said.size() - n) : said;
}

// The count before the "/" in the last progress bar of text ("12" of
// "[#...] 12/768 rows", "2" of "[#...] frame 2/3"), or -1 before any.
int bar_count(const std::string &text);

// The lines of err that are not warnings.
std::vector<std::string> error_lines(const std::string &err);

// A fresh empty directory for one test, removed with everything in it by
// the destructor.
struct temp_dir {
    std::string path;
    temp_dir();
    ~temp_dir();
    std::string operator/(const std::string &name) const { return path + "/" + name; }
};

bool exists(const std::string &path);
// Names of the entries of a directory, sorted.
std::vector<std::string> list_dir(const std::string &path);
