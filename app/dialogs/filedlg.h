// filedlg.h - KORU's own LOAD and SAVE dialog, without the toolkit.
//
// The dialog has a file-name field, a path field showing the listed
// directory, and a list box (dirlist.h). The window shows a file_dlg and
// forwards what the user does to the FileOpenDlg_ functions, which change
// the state; list_gen and field_gen tell it what to show again, and each
// new beep adds one to beeps.
//
// OK takes the name field:
//   - a name ending in '/' gets the current pattern appended;
//   - a name with '*' or '?' is listed: the dialog moves to its directory
//     part and the pattern becomes the current one (a beep when the
//     directory cannot be read);
//   - a name that is a directory ("..", "sub", "/tmp", "~") is moved into
//     and listed with the pattern "*";
//   - otherwise the name is a file, relative to the listed directory (a
//     directory part of its own is allowed). LOAD wants an ordinary file
//     that is not a dot file, as typed or else with the default extension
//     appended, and beeps when there is none; SAVE takes the name as it
//     stands. A name too long to open (PATH_BYTES) beeps as well.
//     Accepting sets szFilePath to the file's directory, case
//     kept, ending in '/', and szFileName to the bare name.
// The dialog never changes the process's working directory.
//
// The dialog reads and sets the file names of an app_state (appstate.h):
// it opens on szFileSpec with oldFName in the name field, keeps the
// current pattern in szFileSpec and the name in szFileName, and sets
// szFilePath on acceptance; load_save tells LOAD from SAVE.
//
// CallFileOpenDlg and CallFileSaveDlg run the dialog through the ui_port
// and copy szFilePath and szFileName to dirOut and nameOut; they return 1
// for OK, 0 for Cancel. make_pattern(a, ext) sets the pattern a command
// hands them, szTmpFileSpec: the directory of the last dialog, "*", ext.
#pragma once

#include "app/dialogs/dirlist.h"
#include "app/session/appstate.h"

#include <string>
#include <vector>

struct ui_port;

struct file_dlg {
    app_state *app = nullptr; // whose names the dialog reads and sets
    std::string ext;          // default extension, used by LOAD
    std::string dir;          // the listed directory, absolute
    std::vector<fd_entry> list;
    std::string field; // the file-name field
    int ok_enabled = 0;
    int result = -1; // -1 open, 1 OK, 0 Cancel
    int beeps = 0;
    unsigned list_gen = 0;  // list and dir changed
    unsigned field_gen = 0; // field set by the dialog
};

// Opening: lists a.szFileSpec (its directory part taken from the working
// directory of the process), and shows a.oldFName in the name field.
void FileOpenDlg_open(file_dlg &d, app_state &a, const char *ext);
void FileOpenDlg_edit(file_dlg &d, const char *text); // the user changed the field
void FileOpenDlg_ok(file_dlg &d);
void FileOpenDlg_cancel(file_dlg &d);
void FileOpenDlg_select(file_dlg &d, int i); // selection moved to entry i
void FileOpenDlg_dblclk(file_dlg &d, int i); // entry i double-clicked

void make_pattern(app_state &a, const std::string &ext);
int CallFileOpenDlg(ui_port &ui, app_state &a, const std::string &pattern, const char *ext,
                    std::string &dirOut, std::string &nameOut);
int CallFileSaveDlg(ui_port &ui, app_state &a, const std::string &pattern, const char *ext,
                    std::string &dirOut, std::string &nameOut);
