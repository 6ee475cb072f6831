#include "app/dialogs/scenesave.h"

#include "app/dialogs/filedlg.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"

#include <sys/stat.h>

namespace {

const char *const RT_EXT = ".RT";

bool exists(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// own's folder, ending in '/', and its bare name.
void split_own(const std::string &own, std::string &dir, std::string &name)
{
    const size_t slash = own.rfind('/');
    dir = slash == std::string::npos ? "" : own.substr(0, slash + 1);
    name = own.substr(slash == std::string::npos ? 0 : slash + 1);
}

bool replace_asked(session &s, const std::string &name)
{
    const std::string text = "\"" + name + "\" exists.\nReplace it?";
    return s.ui.message(text.c_str(), "Save Scene As", MB_REPLACE) == ID_YES;
}

} // namespace

std::string untitled_name(const std::string &dir)
{
    const std::string at = dir.empty() ? "" : dir.back() == '/' ? dir : dir + "/";
    std::string name = std::string("untitled") + RT_EXT;
    for (int n = 2; exists(at + name); n++)
        name = "untitled-" + std::to_string(n) + RT_EXT;
    return name;
}

bool same_file(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int ask_scene_path(session &s, const std::string &own, std::string &path)
{
    app_state &a = s.app;
    std::string dir, offer;
    if (own.empty()) {
        dir = a.szTmpFilePath;
        offer = untitled_name(dir);
    } else {
        split_own(own, dir, offer);
    }
    const std::string kept = a.oldFName; // the name the next dialogs offer
    for (;;) {
        a.oldFName = offer;
        const std::string pattern = dir + "*" + RT_EXT;
        if (!CallFileSaveDlg(s.ui, a, pattern, RT_EXT, a.szTmpFilePath, a.szTmpFileName)) {
            a.oldFName = kept;
            return 0;
        }
        path = a.szTmpFilePath + a.szTmpFileName;
        if (!exists(path) || (!own.empty() && same_file(path, own)) ||
            replace_asked(s, a.szTmpFileName)) {
            a.oldFName = kept;
            return 1;
        }
        // No: the dialog again, where the name was chosen
        dir = a.szTmpFilePath;
        offer = a.szTmpFileName;
    }
}
