#include "app/session/remember.h"

#include "app/dialogs/dirlist.h"
#include "app/session/session.h"

void take_prefs(session &s, const prefs &p)
{
    s.kept = p;
    s.disp.zoom_size = p.zoom;
    s.disp.mode = p.mode;
    s.app.recent_files = p.recent;
    s.app.aa_level = p.aa;
    if (!p.folder.empty() && is_dir(p.folder))
        s.app.szTmpFilePath = s.app.szFilePath = p.folder;
    s.studio.follow.set_mode(p.follow);
    s.studio.hints = p.hints;
    s.studio.lights = p.lights;
}

void give_prefs(session &s)
{
    prefs &p = s.kept;
    p.recent = s.app.recent_files;
    p.aa = s.app.aa_level;
    p.folder = s.app.szTmpFilePath;
    p.live = s.app.live;
    p.studio = s.studio.on;
    p.follow = s.studio.follow.mode;
    p.hints = s.studio.hints;
    p.lights = s.studio.lights;
}
