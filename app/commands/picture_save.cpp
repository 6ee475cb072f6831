#include "app/commands/picture_save.h"

#include "app/dialogs/filedlg.h"
#include "app/session/messages.h"
#include "app/session/prefs.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "base/msg.h"
#include "image/picfile.h"

const char *const BMP_EXT = ".BMP";

int save_image(session &s)
{
    app_state &a = s.app;
    // a file of no dots is no picture: nothing opens it again
    const std::string empty = no_dots(a.model.ixmx, a.model.iymx, "nothing to save");
    if (!empty.empty()) {
        ErrorMsg(s, empty.c_str());
        return 0;
    }
    int r = -1;
    make_pattern(a, BMP_EXT);
    set_ext(a.oldFName, BMP_EXT);
    if (CallFileSaveDlg(s.ui, a, a.szTmpFileSpec, BMP_EXT, a.szTmpFilePath, a.szTmpFileName)) {
        a.szFName = a.szTmpFilePath + a.szTmpFileName;
        msglist msgs;
        // a name ending in .PNG asks for a PNG file, any other a BMP file
        if (save_picture(a.szFName.c_str(), *a.gdata, a.model.ixmx, a.model.iymx, msgs)) {
            a.data_change = 0;
            add_recent(a.recent_files, a.szFName);
            r = 1;
        } else {
            ErrorMsg(s, warn_text("The picture was not saved.", msgs).c_str());
            r = 0;
        }
    }
    set_ext(a.oldFName, a.szFileExt.c_str());
    return r;
}
