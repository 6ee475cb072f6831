#include "app/commands/scene_file.h"

#include "app/commands/picture_open.h"
#include "app/commands/save_prompt.h"
#include "app/dialogs/filedlg.h"
#include "app/dialogs/scenesave.h"
#include "app/session/messages.h"
#include "app/session/prefs.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "base/msg.h"
#include "image/safewrite.h"
#include "scene/rtread.h"
#include "scene/rtwrite.h"

#include <cstdio>

namespace {

// The system's words in the reader's "cannot open "FILE": WHY".
std::string open_reason(const msglist &msgs)
{
    const std::string t = msgs.first();
    const size_t at = t.rfind("\": ");
    return at == std::string::npos ? t : t.substr(at + 3);
}

// The scene file in szFName could not be read, or not all of it.
void report_scene(session &s, int opened, const msglist &msgs)
{
    const std::string &name = s.app.szFName;
    if (!opened) {
        report_unopened(s, name, msgs);
    } else if (!msgs.empty()) {
        const std::string head = "\"" + name + "\" is not quite right:";
        ErrorMsg(s, warn_text(head, msgs, name.c_str()).c_str());
    }
}

// Steps 4 to 9 of "Open *.RT(&L)", once szTmpFilePath and szTmpFileName
// name the scene. Returns whether the file could be read.
int load_scene(session &s)
{
    app_state &a = s.app;
    a.szFName = a.szTmpFilePath + a.szTmpFileName;
    a.oldFName = a.szTmpFileName;
    s.ui.set_title(a.szFName.c_str());
    a.scene_file = a.szFName;
    msglist msgs;
    int opened = data_load(a.model, a.szFName.c_str(), msgs);
    a.rt_ready = 1;
    s.ui.commands_changed(); // the commands that need a scene
    report_scene(s, opened, msgs);
    if (opened) {
        add_recent(a.recent_files, a.szFName);
        a.scene_serial++;
        a.file_camera = a.camera_moves;
    } else {
        remove_recent(a.recent_files, a.szFName);
    }
    return opened;
}

} // namespace

void report_unopened(session &s, const std::string &name, const msglist &msgs)
{
    const std::string head = "Cannot open \"" + name + "\" !!";
    std::printf("%s\n", head.c_str());
    std::fflush(stdout);
    ErrorMsg(s, (head + "\n" + open_reason(msgs) + ".").c_str());
}

void cmd_open_rt(session &s)
{
    app_state &a = s.app;
    if (!save_or_not(s))
        return;
    make_pattern(a, a.szFileExt);
    if (!CallFileOpenDlg(s.ui, a, a.szTmpFileSpec, a.szFileExt.c_str(), a.szTmpFilePath,
                         a.szTmpFileName))
        return;
    load_scene(s);
}

void cmd_save_rt(session &s)
{
    app_state &a = s.app;
    std::string path;
    if (!ask_scene_path(s, a.scene_file, path))
        return;
    msglist msgs;
    std::string text;
    if (!rt_text(a.model, text, msgs) ||
        !write_file_safely(path.c_str(), (const unsigned char *)text.data(), text.size(), msgs)) {
        ErrorMsg(s, warn_text("The scene was not saved.", msgs).c_str());
        return;
    }
    a.szFName = path;
    a.oldFName = a.szTmpFileName;
    s.ui.set_title(a.szFName.c_str());
    a.scene_file = path;
    add_recent(a.recent_files, a.szFName);
    a.scene_serial++;
    a.file_camera = a.camera_moves;
}

int open_scene_at(session &s, const std::string &abs)
{
    take_path(s.app, abs);
    return load_scene(s);
}
