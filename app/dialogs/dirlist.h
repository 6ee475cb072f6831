// dirlist.h - directory listing for KORU's file dialog, on POSIX.
//
// list_dir gives, for one directory, what the dialog's list box shows:
//   - the ordinary files whose names match the pattern ('*' any run, '?'
//     any one character, letters matched without regard to case), sorted;
//   - "[..]" (but not at the root), then "[name]" for every subdirectory;
//   - the places that stand in for drives: "[-/-]" the root, "[-~-]" the
//     home directory, and "[-name-]" for each mounted volume under
//     /media/USER and /run/media/USER.
// Dot files and dot directories are hidden. Each entry's pick is what
// picking it gives back: a file's name, or a directory ending in '/' to
// which a file name or pattern can be appended ("sub/", "../", "/",
// "/home/u/").
//
// Paths are plain byte strings with '/' separators and keep their case.
// path_resolve takes rel relative to dir ("~" and "~/..." relative to the
// home directory) and gives an absolute, lexically normal path with no
// trailing '/' except for the root itself.
#pragma once

#include <string>
#include <vector>

enum { FD_FILE, FD_DIR, FD_PLACE };

struct fd_entry {
    int kind;
    std::string label; // shown in the list
    std::string pick;  // given back when picked
};

bool has_wild(const char *s);
bool wild_match(const char *pat, const char *name);
std::string home_dir();
std::string path_resolve(const std::string &dir, const std::string &rel);
bool is_dir(const std::string &path);
// A regular file (after links) that is not a dot file.
bool is_plain_file(const std::string &path);
// false when dir cannot be read; out is then unchanged.
bool list_dir(const std::string &dir, const char *pattern, std::vector<fd_entry> &out);
