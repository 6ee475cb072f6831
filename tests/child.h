// child.h - run koru-cli as a child process and collect what it says.
#pragma once

#include "testscene.h" // slurp, spit

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
