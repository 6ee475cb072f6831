#include "app/dialogs/filedlg.h"

#include "app/session/ui_port.h"

#include <unistd.h>

namespace {

void set_field(file_dlg &d, const std::string &text)
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
int dir_list(file_dlg &d, std::string &buf)
{
    std::string dpart, pat = buf;
    const size_t slash = buf.rfind('/');
    if (slash != std::string::npos) {
        dpart = buf.substr(0, slash + 1);
        pat = buf.substr(slash + 1);
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
    buf = pat;
    return 1;
}

// The accepted file: its directory and bare name in szFilePath and
// szFileName, or 0 when the name does not lead to a file the dialog may
// hand back.
int accept_name(file_dlg &d, std::string name)
{
    std::string dir = d.dir;
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos) {
        dir = path_resolve(d.dir, name.substr(0, slash + 1));
        name = name.substr(slash + 1);
        if (!is_dir(dir))
            return 0;
    }
    if (name.empty() || name == "." || name == "..")
        return 0;
    const std::string prefix = dir == "/" ? "/" : dir + "/";
    if (d.app->load_save == 0 && !is_plain_file(prefix + name)) {
        name += d.ext;
        if (!is_plain_file(prefix + name))
            return 0;
    }
    if (prefix.size() + name.size() + 1 > (size_t)PATH_BYTES)
        return 0; // no file can have that name
    d.app->szFilePath = prefix;
    d.app->szFileName = name;
    return 1;
}

// A listing asked for by OK or a double click: on success the pattern it
// leaves becomes the current one and is shown in the name field.
void list_and_show(file_dlg &d)
{
    app_state &a = *d.app;
    if (dir_list(d, a.szFileName)) {
        a.szFileSpec = a.szFileName;
        set_field(d, a.szFileSpec);
    } else {
        beep(d);
    }
}

} // namespace

void FileOpenDlg_open(file_dlg &d, app_state &a, const char *ext)
{
    d.app = &a;
    d.ext = ext;
    d.dir = start_dir();
    std::string buf = a.szFileSpec;
    if (!dir_list(d, buf)) {
        // the last directory is gone: its pattern in the working directory
        const size_t slash = a.szFileSpec.rfind('/');
        buf = slash == std::string::npos ? a.szFileSpec : a.szFileSpec.substr(slash + 1);
        if (buf.empty() || !dir_list(d, buf)) {
            buf = "*";
            dir_list(d, buf);
        }
    }
    a.szFileSpec = buf;
    set_field(d, a.oldFName);
    a.szFileName = a.oldFName;
}

void FileOpenDlg_edit(file_dlg &d, const char *text)
{
    d.field = text;
    d.ok_enabled = !d.field.empty();
}

void FileOpenDlg_ok(file_dlg &d)
{
    app_state &a = *d.app;
    // Read the field.
    if (d.field.empty() || d.field.size() >= (size_t)PATH_BYTES) {
        beep(d);
        return;
    }
    a.szFileName = d.field;
    const size_t n = d.field.size();

    // A directory typed with its separator lists it with the pattern.
    if (a.szFileName.back() == '/')
        a.szFileName += a.szFileSpec;

    // A pattern, or a directory to move into.
    if (has_wild(a.szFileName.c_str())) {
        list_and_show(d);
        return;
    }
    std::string buf = a.szFileName;
    if (dir_list(d, buf)) {
        a.szFileName = a.szFileSpec = buf;
        set_field(d, a.szFileSpec);
        return;
    }

    // A file name: accept it or beep.
    a.szFileName.resize(n);
    if (!accept_name(d, a.szFileName)) {
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
    // a directory or place is offered with the current pattern
    d.app->szFileName = e.kind == FD_FILE ? e.pick : e.pick + d.app->szFileSpec;
    set_field(d, d.app->szFileName);
}

void FileOpenDlg_dblclk(file_dlg &d, int i)
{
    if (i < 0 || i >= (int)d.list.size())
        return;
    app_state &a = *d.app;
    const fd_entry e = d.list[i]; // the listing replaces the list
    if (e.kind == FD_FILE) {
        a.szFileName = e.pick;
        set_field(d, a.szFileName);
        FileOpenDlg_ok(d);
        return;
    }
    a.szFileName = e.pick + a.szFileSpec;
    list_and_show(d);
}

void make_pattern(app_state &a, const std::string &ext)
{
    a.szTmpFileSpec = a.szTmpFilePath + "*" + ext;
}

namespace {

int run(ui_port &ui, app_state &a, int which, const std::string &pattern, const char *ext,
        std::string &dirOut, std::string &nameOut)
{
    a.load_save = which;
    a.szFileSpec = pattern;
    file_dlg d;
    FileOpenDlg_open(d, a, ext);
    ui.file_dialog(d);
    dirOut = a.szFilePath;
    nameOut = a.szFileName;
    return d.result == 1;
}

} // namespace

int CallFileOpenDlg(ui_port &ui, app_state &a, const std::string &pattern, const char *ext,
                    std::string &dirOut, std::string &nameOut)
{
    return run(ui, a, 0, pattern, ext, dirOut, nameOut);
}

int CallFileSaveDlg(ui_port &ui, app_state &a, const std::string &pattern, const char *ext,
                    std::string &dirOut, std::string &nameOut)
{
    return run(ui, a, 1, pattern, ext, dirOut, nameOut);
}
