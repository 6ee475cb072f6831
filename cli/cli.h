// cli.h - the commands of koru-cli and the few helpers they share.
#pragma once

#include <cstdio>

struct msglist;
struct scene;

// Each command gets its own arguments (after the command's name) and
// returns the exit status: 0 done, 1 failed, 2 usage error, 130 stopped.
int cmd_render(int argc, char **argv);
int cmd_info(int argc, char **argv);
int cmd_display(int argc, char **argv);
int cmd_check(int argc, char **argv);
int cmd_explain(int argc, char **argv);

extern const char *render_help;
extern const char *info_help;
extern const char *display_help;
extern const char *check_help;
extern const char *explain_help;

int usage_error(const char *help, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
int fail(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Print the readers' warnings on stderr, each line naming file and, where
// the line has one, the place in it: "room.RT:12:7: warning: ...".
void print_warnings(const char *file, const msglist &msgs);
void print_msgs(std::FILE *out, const char *file, const msglist &msgs);

// Reads the scene file path into sc and prints its warnings; false, with
// one line on stderr, when it cannot be read.
bool load_scene(scene &sc, const char *path);

// A whole unsigned decimal number that fits an int (digits only).
bool parse_uint(const char *s, int &v);

bool is_help(const char *s);
