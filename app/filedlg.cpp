#include "filedlg.h"

#include "ui_port.h"

#include <cstring>
#include <unistd.h>

namespace {

void set_field(file_dlg &d, const char *text)
{
    d.field = text;
    d.ok_enabled = !d.field.empty();
    d.field_gen++;
}

void beep(file_dlg &d) { d.beeps++; }

std::string start_dir()
{
    char buf[PATH_BYTES];
    if (getcwd(buf, sizeof buf) && buf[0] == '/')
        return path_resolve("/", buf);
    return home_dir();
}

// The listing: buf holds [directory/]pattern or a directory. On success
// the dialog has moved to the directory, the list is filled, and buf holds
// only the pattern ("*" for a bare directory). On failure nothing changes.
int dir_list(file_dlg &d, char *buf)
{
    std::string all = buf, dpart, pat;
    size_t slash = all.rfind('/');
    if (slash == std::string::npos) {
        pat = all;
    } else {
        dpart = all.substr(0, slash + 1);
        pat = all.substr(slash + 1);
    }
    std::string dir = dpart.empty() ? d.dir : path_resolve(d.dir, dpart);
    if (!has_wild(pat.c_str())) {
        // no pattern: a directory (or "~"), listed whole
        if (pat.empty())
            pat = ".";
        dir = path_resolve(dir, dpart.empty() && pat[0] == '~' ? pat : "./" + pat);
        if (!is_dir(dir))
            return 0;
        pat = "*";
    }
    std::vector<fd_entry> list;
    if (!list_dir(dir, pat.c_str(), list))
        return 0;
    d.dir = dir;
    d.list.swap(list);
    d.list_gen++;
    std::strcpy(buf, pat.c_str()); // never longer than what buf held
    return 1;
}

// The accepted file: its directory and bare name, or 0 when the name does
// not lead to a file the dialog may hand back.
int accept_name(file_dlg &d, const char *typed)
{
    std::string name = typed, dir = d.dir;
    size_t slash = name.rfind('/');
    if (slash != std::string::npos) {
        dir = path_resolve(d.dir, name.substr(0, slash + 1));
        name = name.substr(slash + 1);
        if (!is_dir(dir))
            return 0;
    }
    if (name.empty() || name == "." || name == "..")
        return 0;
    const std::string prefix = dir == "/" ? "/" : dir + "/";
    if (load_save == 0 && !is_plain_file(prefix + name)) {
        name += d.ext;
        if (!is_plain_file(prefix + name))
            return 0;
    }
    // the caller joins the two into one PATH_BYTES buffer
    if (prefix.size() + name.size() + 1 > (size_t)PATH_BYTES)
        return 0;
    std::strcpy(szFilePath, prefix.c_str());
    std::strcpy(szFileName, name.c_str());
    return 1;
}

// A listing asked for by OK or a double click: on success the pattern it
// leaves becomes the current one and is shown in the name field.
void list_and_show(file_dlg &d)
{
    if (dir_list(d, szFileName)) {
        std::strcpy(szFileSpec, szFileName);
        set_field(d, szFileSpec);
    } else {
        beep(d);
    }
}

} // namespace

void FileOpenDlg_open(file_dlg &d, const char *ext)
{
    std::strncpy(d.ext, ext, EXT_BYTES - 1);
    d.dir = start_dir();
    char buf[PATH_BYTES];
    std::strcpy(buf, szFileSpec);
    if (dir_list(d, buf)) {
        std::strcpy(szFileSpec, buf);
    } else {
        // the last directory is gone: its pattern in the working directory
        const char *slash = std::strrchr(szFileSpec, '/');
        std::strcpy(buf, slash ? slash + 1 : szFileSpec);
        if (!*buf || !dir_list(d, buf)) {
            std::strcpy(buf, "*");
            dir_list(d, buf);
        }
        std::strcpy(szFileSpec, buf);
    }
    set_field(d, oldFName);
    std::strcpy(szFileName, oldFName);
}

void FileOpenDlg_edit(file_dlg &d, const char *text)
{
    d.field = text;
    d.ok_enabled = !d.field.empty();
}

void FileOpenDlg_ok(file_dlg &d)
{
    // Read the field.
    if (d.field.empty() || d.field.size() >= (size_t)PATH_BYTES) {
        beep(d);
        return;
    }
    std::strcpy(szFileName, d.field.c_str());
    const size_t n = d.field.size();

    // A directory typed with its separator lists it with the pattern.
    if (szFileName[n - 1] == '/' && !join2(szFileName, PATH_BYTES, szFileName, szFileSpec)) {
        szFileName[n] = 0;
        beep(d);
        return;
    }

    // A pattern, or a directory to move into.
    if (has_wild(szFileName)) {
        list_and_show(d);
        return;
    }
    char buf[PATH_BYTES];
    std::strcpy(buf, szFileName);
    if (dir_list(d, buf)) {
        std::strcpy(szFileName, buf);
        std::strcpy(szFileSpec, buf);
        set_field(d, szFileSpec);
        return;
    }

    // A file name: accept it or beep.
    szFileName[n] = 0;
    char typed[PATH_BYTES];
    std::strcpy(typed, szFileName);
    if (!accept_name(d, typed)) {
        beep(d);
        return;
    }
    d.result = 1;
}

void FileOpenDlg_cancel(file_dlg &d) { d.result = 0; }

void FileOpenDlg_select(file_dlg &d, int i)
{
    if (i < 0 || i >= (int)d.list.size())
        return;
    const fd_entry &e = d.list[i];
    if (e.kind == FD_FILE) {
        if (e.pick.size() >= (size_t)PATH_BYTES)
            return;
        std::strcpy(szFileName, e.pick.c_str());
    } else if (!join2(szFileName, PATH_BYTES, e.pick.c_str(), szFileSpec)) {
        beep(d);
        return;
    }
    set_field(d, szFileName);
}

void FileOpenDlg_dblclk(file_dlg &d, int i)
{
    if (i < 0 || i >= (int)d.list.size())
        return;
    const fd_entry e = d.list[i]; // the listing replaces the list
    if (e.kind == FD_FILE) {
        if (e.pick.size() >= (size_t)PATH_BYTES)
            return;
        std::strcpy(szFileName, e.pick.c_str());
        set_field(d, szFileName);
        FileOpenDlg_ok(d);
        return;
    }
    if (!join2(szFileName, PATH_BYTES, e.pick.c_str(), szFileSpec)) {
        beep(d);
        return;
    }
    list_and_show(d);
}

namespace {

int run(ui_port &ui, int which, const char *pattern, const char *ext, char *dirOut, char *nameOut)
{
    load_save = which;
    if (!join2(szFileSpec, PATH_BYTES, pattern, ""))
        std::strcpy(szFileSpec, "*");
    file_dlg d;
    FileOpenDlg_open(d, ext);
    ui.file_dialog(d);
    int r = d.result == 1;
    std::strcpy(dirOut, szFilePath);
    std::strcpy(nameOut, szFileName);
    return r;
}

} // namespace

int CallFileOpenDlg(ui_port &ui, const char *pattern, const char *ext, char *dirOut, char *nameOut)
{
    return run(ui, 0, pattern, ext, dirOut, nameOut);
}

int CallFileSaveDlg(ui_port &ui, const char *pattern, const char *ext, char *dirOut, char *nameOut)
{
    return run(ui, 1, pattern, ext, dirOut, nameOut);
}
