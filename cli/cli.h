// cli.h - the commands of koru-cli and the few helpers they share.
#pragma once

#include <atomic>
#include <csignal>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

struct msglist;
struct scene;
struct scene_map;

// Each command gets its own arguments (after the command's name) and
// returns the exit status: 0 done, 1 failed, 2 usage error, 128 + the
// signal's number when stopped (130 by Ctrl-C, 143 by SIGTERM, 129 by
// SIGHUP).
int cmd_render(int argc, char **argv);
int cmd_info(int argc, char **argv);
int cmd_display(int argc, char **argv);
int cmd_check(int argc, char **argv);
int cmd_explain(int argc, char **argv);
int cmd_pick(int argc, char **argv);
int cmd_set(int argc, char **argv);
int cmd_edit(int argc, char **argv);
int cmd_new(int argc, char **argv);
int cmd_animate(int argc, char **argv);
int cmd_join(int argc, char **argv);
int cmd_thumbnail(int argc, char **argv);
// Not listed: what the shell completion scripts ask (complete_cmd.cpp).
int cmd_complete(int argc, char **argv);

extern const char *render_help;
extern const char *info_help;
extern const char *display_help;
extern const char *check_help;
extern const char *explain_help;
extern const char *pick_help;
extern const char *set_help;
extern const char *edit_help;
extern const char *new_help;
extern const char *animate_help;
extern const char *join_help;
extern const char *thumbnail_help;

// The commands koru-cli runs, as its help lists them; whether it runs name.
std::vector<const char *> command_names();
bool runs_command(const char *name);

int usage_error(const char *help, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
int fail(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Print the readers' warnings on stderr, each line naming file and, where
// the line has one, the place in it: "room.RT:12:7: warning: ...".
void print_warnings(const char *file, const msglist &msgs);
void print_msgs(std::FILE *out, const char *file, const msglist &msgs);

// Reads the scene file path into sc (and where each number stood into map,
// when given) and prints its warnings; false, with one line on stderr,
// when it cannot be read.
bool load_scene(scene &sc, const char *path, scene_map *map = nullptr);

// The whole file path as text; false, with one line on stderr, when it
// cannot be read or is larger than a scene file may be (SCENE_FILE_MAX).
bool read_text(const char *path, std::string &text);
// Replaces a scene file safely with text: 0, or 1 with one line on stderr.
int write_scene_file(const char *path, const std::string &text);
// An edit refused: "koru-cli: PATH: WHY" on stderr, and status 2.
int refuse(const char *path, const std::string &why);

// A whole unsigned decimal number that fits an int (digits only).
bool parse_uint(const char *s, int &v);
// A whole decimal real number, finite ("24", "12.5", "-90").
bool parse_real(const char *s, double &v);

bool is_help(const char *s);

// The progress bar on a terminal, over the line stderr shows: "[", fill
// of BAR_WIDTH places '#' and the rest '.', "] " and the text of fmt.
constexpr int BAR_WIDTH = 40;
void draw_bar(int fill, const char *fmt, ...) __attribute__((format(printf, 2, 3)));

// Runs run() and returns what it does; when tty, draw() (a draw_bar) is
// called beside it every tenth of a second, and the bar's line is cleared
// after.
int run_with_bar(bool tty, const std::function<void()> &draw, const std::function<int()> &run);

// While one lives, SIGINT, SIGTERM and SIGHUP do not end the process: they
// set stop_requested (a render's stop flag) and, the first of them,
// stop_signal. A command that writes a file then stops before it writes,
// or finishes a file it has begun, never leaving half of one or a
// temporary file; it ends with stopped_status().
struct stop_signals {
    stop_signals();
    ~stop_signals();
    stop_signals(const stop_signals &) = delete;
    stop_signals &operator=(const stop_signals &) = delete;

private:
    struct sigaction old[3];
};
extern std::atomic<bool> stop_requested;
extern std::atomic<int> stop_signal;
int stopped_status(); // 128 + the signal caught
