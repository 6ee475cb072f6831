#include "app/commands/picture_open.h"

#include "app/commands/picture_save.h"
#include "app/commands/save_prompt.h"
#include "app/dialogs/filedlg.h"
#include "app/session/messages.h"
#include "app/session/picture.h"
#include "app/session/prefs.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "base/msg.h"
#include "image/picfile.h"

namespace {

// Step 5 of "Open *.BMP(&O)", once szFName names the picture.
void load_named_picture(session &s)
{
    app_state &a = s.app;
    msglist msgs;
    int w, h;
    int rc = load_picture(a.szFName.c_str(), *a.gdata, w, h, msgs); // BMP or PNG, by its contents
    // a file that could not be opened changed nothing: what was shown
    // stays; a picture's size is also the scene's image size
    if (rc != RGB_NOFILE) {
        a.made_scene.reset(); // no scene made it
        a.model.ixmx = w;
        a.model.iymx = h;
        a.image_ready = a.model.ixmx != 0 ? 1 : 0;
        a.live_camera = 0;
    }
    if (rc == RGB_LOADED)
        add_recent(a.recent_files, a.szFName);
    else if (rc == RGB_NOFILE)
        remove_recent(a.recent_files, a.szFName);
    redisplay(s);
    if (rc != RGB_LOADED)
        ErrorMsg(s, warn_text("The picture was not loaded.", msgs).c_str());
    else if (!msgs.empty())
        ErrorMsg(s, warn_text("The picture is damaged.", msgs).c_str());
}

} // namespace

void cmd_open_bmp(session &s)
{
    app_state &a = s.app;
    if (!save_or_not_picture(s))
        return;
    make_pattern(a, BMP_EXT);
    set_ext(a.oldFName, BMP_EXT);
    if (CallFileOpenDlg(s.ui, a, a.szTmpFileSpec, BMP_EXT, a.szTmpFilePath, a.szTmpFileName)) {
        a.szFName = a.szTmpFilePath + a.szTmpFileName;
        load_named_picture(s);
    }
    set_ext(a.oldFName, a.szFileExt.c_str());
}

void take_path(app_state &a, const std::string &abs)
{
    const size_t slash = abs.rfind('/');
    a.szTmpFilePath = a.szFilePath = abs.substr(0, slash + 1);
    a.szTmpFileName = abs.substr(slash + 1);
}

void open_picture_at(session &s, const std::string &abs)
{
    take_path(s.app, abs);
    s.app.szFName = abs;
    load_named_picture(s);
}
