#include "app/dialogs/dirlist.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int fold(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

// Sorted as a person reads them: case aside first, then byte order.
bool name_less(const std::string &a, const std::string &b)
{
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; i++) {
        int x = fold((unsigned char)a[i]), y = fold((unsigned char)b[i]);
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::string user_name()
{
    struct passwd *pw = getpwuid(getuid());
    if (pw && pw->pw_name)
        return pw->pw_name;
    const char *u = std::getenv("USER");
    return u ? u : "";
}

void add_volumes(const std::string &base, std::vector<fd_entry> &out)
{
    DIR *d = opendir(base.c_str());
    if (!d)
        return;
    std::vector<std::string> names;
    while (struct dirent *e = readdir(d))
        if (e->d_name[0] != '.' && is_dir(base + "/" + e->d_name))
            names.push_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end(), name_less);
    for (auto &n : names)
        out.push_back({FD_PLACE, "[-" + n + "-]", base + "/" + n + "/"});
}

} // namespace

bool has_wild(const char *s) { return std::strpbrk(s, "*?") != nullptr; }

bool wild_match(const char *p, const char *s)
{
    // iterative match with one backtrack point for the last '*'
    const char *star = nullptr, *mark = nullptr;
    while (*s) {
        if (*p == '*') {
            star = p++;
            mark = s;
        } else if (*p == '?' || (*p && fold((unsigned char)*p) == fold((unsigned char)*s))) {
            p++;
            s++;
        } else if (star) {
            p = star + 1;
            s = ++mark;
        } else {
            return false;
        }
    }
    while (*p == '*')
        p++;
    return *p == 0;
}

std::string home_dir()
{
    const char *h = std::getenv("HOME");
    if (h && *h == '/')
        return path_resolve("/", h);
    struct passwd *pw = getpwuid(getuid());
    if (pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return path_resolve("/", pw->pw_dir);
    return "/";
}

std::string path_resolve(const std::string &dir, const std::string &rel)
{
    std::string full;
    if (!rel.empty() && rel[0] == '/')
        full = rel;
    else if (rel == "~" || rel.compare(0, 2, "~/") == 0)
        full = home_dir() + "/" + rel.substr(1);
    else
        full = dir + "/" + rel;
    // lexical normalisation: drop "." and empty parts, ".." takes one back
    std::vector<std::string> parts;
    size_t i = 0;
    while (i <= full.size()) {
        size_t j = full.find('/', i);
        if (j == std::string::npos)
            j = full.size();
        std::string part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string out;
    for (auto &p : parts)
        out += "/" + p;
    return out.empty() ? "/" : out;
}

bool is_dir(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_plain_file(const std::string &path)
{
    size_t slash = path.rfind('/');
    const char *base = path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
    struct stat st;
    return base[0] != '.' && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool list_dir(const std::string &dir, const char *pattern, std::vector<fd_entry> &out)
{
    DIR *d = opendir(dir.c_str());
    if (!d)
        return false;
    std::vector<std::string> files, dirs;
    const std::string prefix = dir == "/" ? "/" : dir + "/";
    while (struct dirent *e = readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        struct stat st;
        if (stat((prefix + e->d_name).c_str(), &st) != 0)
            continue; // a dangling link
        if (S_ISDIR(st.st_mode))
            dirs.push_back(e->d_name);
        else if (S_ISREG(st.st_mode) && wild_match(pattern, e->d_name))
            files.push_back(e->d_name);
    }
    closedir(d);
    std::sort(files.begin(), files.end(), name_less);
    std::sort(dirs.begin(), dirs.end(), name_less);

    out.clear();
    for (auto &f : files)
        out.push_back({FD_FILE, f, f});
    if (dir != "/")
        out.push_back({FD_DIR, "[..]", "../"});
    for (auto &s : dirs)
        out.push_back({FD_DIR, "[" + s + "]", s + "/"});
    out.push_back({FD_PLACE, "[-/-]", "/"});
    std::string home = home_dir();
    if (home != "/" && is_dir(home))
        out.push_back({FD_PLACE, "[-~-]", home + "/"});
    std::string user = user_name();
    if (!user.empty() && user.find('/') == std::string::npos) {
        add_volumes("/media/" + user, out);
        add_volumes("/run/media/" + user, out);
    }
    return true;
}
