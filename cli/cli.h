// cli.h - the commands of koru-cli and the few helpers they share.
#pragma once

// Each command gets its own arguments (after the command's name) and
// returns the exit status: 0 done, 1 failed, 2 usage error, 130 stopped.
int cmd_render(int argc, char **argv);
int cmd_info(int argc, char **argv);
int cmd_display(int argc, char **argv);

extern const char *render_help;
extern const char *info_help;
extern const char *display_help;

int usage_error(const char *help, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
int fail(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Print the readers' warnings on stderr, each line naming file.
void print_warnings(const char *file);

// A whole unsigned decimal number that fits an int, as the dialogs take them.
bool parse_uint(const char *s, int &v);

bool is_help(const char *s);
