#include "app/commands/named_file.h"

#include "app/commands/picture_open.h"
#include "app/commands/save_prompt.h"
#include "app/commands/scene_file.h"
#include "app/dialogs/dirlist.h"
#include "app/session/cmdline.h"
#include "app/session/messages.h"
#include "app/session/prefs.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "base/msg.h"
#include "base/openread.h"

#include <cstdio>
#include <unistd.h>

namespace {

// A file named outside the dialogs, made absolute; "" (and a message)
// when it is no file name.
std::string full_path(session &s, const char *path)
{
    char cwd[PATH_BYTES];
    std::string abs = path_resolve(getcwd(cwd, sizeof cwd) ? cwd : "/", path);
    if (abs.size() + 1 > (size_t)PATH_BYTES || abs.back() == '/' || !*path) {
        char text[200];
        std::snprintf(text, sizeof text, "\"%.120s\" is not a file name.", path);
        ErrorMsg(s, text);
        return "";
    }
    return abs;
}

// Whether a file named outside the dialogs can be opened. One that cannot
// is said once, with the system's reason, and leaves the recent files;
// the window's names, title and flags stay as they were.
bool openable(session &s, const std::string &path, bool scene)
{
    msglist msgs;
    if (std::FILE *f = open_to_read(path.c_str(), msgs)) {
        std::fclose(f);
        return true;
    }
    remove_recent(s.app.recent_files, path);
    if (scene)
        report_unopened(s, path, msgs);
    else
        ErrorMsg(s, warn_text("The picture was not loaded.", msgs).c_str());
    return false;
}

} // namespace

int open_scene(session &s, const char *path)
{
    if (s.app.busy)
        return 0;
    const std::string abs = full_path(s, path);
    if (abs.empty() || !openable(s, abs, true))
        return 0;
    return open_scene_at(s, abs);
}

void open_picture(session &s, const char *path)
{
    if (s.app.busy)
        return;
    const std::string abs = full_path(s, path);
    if (abs.empty() || !openable(s, abs, false))
        return;
    open_picture_at(s, abs);
}

int open_file(session &s, const char *path)
{
    if (s.app.busy)
        return 0;
    // a file that cannot be opened is said before the question is asked
    const bool picture = is_picture_name(path);
    const std::string abs = full_path(s, path);
    if (abs.empty() || !openable(s, abs, !picture) ||
        !(picture ? save_or_not_picture(s) : save_or_not(s)))
        return 0;
    if (picture) {
        open_picture_at(s, abs);
        return 0;
    }
    return open_scene_at(s, abs);
}
