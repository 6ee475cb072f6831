#include "app/studio/text_save.h"

#include "app/dialogs/scenesave.h"
#include "app/session/messages.h"
#include "app/session/prefs.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "base/msg.h"
#include "image/safewrite.h"

namespace {

// The text to path, as typed; on failure a message says why.
int write_text(session &s, const std::string &path)
{
    msglist msgs;
    const std::string &t = s.studio.text;
    if (!write_file_safely(path.c_str(), (const unsigned char *)t.data(), t.size(), msgs)) {
        ErrorMsg(s, warn_text("The scene was not saved.", msgs).c_str());
        return 0;
    }
    return 1;
}

// The text is in its file now: unmodified, and the picture follows it in
// either mode.
void saved_to(session &s, const std::string &path)
{
    studio_state &st = s.studio;
    st.file = path;
    st.modified = false;
    st.saves++;
    st.follow.saved();
    add_recent(s.app.recent_files, path);
}

} // namespace

int studio_keep_text(session &s)
{
    if (!s.studio.modified)
        return 1;
    const int answer = s.ui.message("The scene's text has changes that are not saved.\nSave them?",
                                    "Save the scene?", MB_YESNOCANCEL);
    if (answer == ID_YES)
        return studio_save(s);
    return answer == ID_NO;
}

int studio_save(session &s)
{
    if (s.studio.file.empty())
        return studio_save_as(s);
    if (!write_text(s, s.studio.file))
        return 0;
    saved_to(s, s.studio.file);
    return 1;
}

int studio_save_as(session &s)
{
    app_state &a = s.app;
    std::string path;
    if (!ask_scene_path(s, s.studio.file, path))
        return 0;
    if (!write_text(s, path))
        return 0;
    saved_to(s, path);
    // the scene's file now, which the title names and live view follows
    a.szFName = a.scene_file = path;
    a.oldFName = a.szTmpFileName;
    s.ui.set_title(path.c_str());
    s.studio.taken_file = path;
    s.studio.taken_serial = a.scene_serial;
    return 1;
}
