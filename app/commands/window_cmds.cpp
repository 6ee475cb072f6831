#include "app/commands/window_cmds.h"

#include "app/dialogs/config.h"
#include "app/dialogs/print.h"
#include "app/dialogs/setting.h"
#include "app/session/picture.h"
#include "app/session/prefs.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"

void cmd_setting(session &s)
{
    bool changed = false;
    if (CallDataSet(s, s.app.model, &changed) && changed)
        s.app.camera_moves++;
    s.ui.invalidate();
}

void cmd_config(session &s)
{
    if (CallConfSet(s.ui, s.disp) && s.app.image_ready)
        redisplay(s);
}

void cmd_print(session &s)
{
    if (!s.app.image_ready)
        return;
    InitPrint(s);
    redisplay(s);
}

void cmd_about(session &s)
{
    static const char text[] = "     KORU for Windows95 Ver.1.10\n"
                               "Ray tracing by the KORU team";
    s.ui.message(text, "About KORU !", MB_INFO);
}

void zoom_by(session &s, int dir)
{
    if (s.app.busy)
        return;
    s.disp.zoom_size = dir == 0 ? 100 : zoom_step(s.disp.zoom_size, dir);
    if (s.app.image_ready)
        redisplay(s);
}

void set_mode(session &s, int m)
{
    if (s.app.busy || m < 0 || m > 2)
        return;
    s.disp.mode = m;
    if (s.app.image_ready)
        redisplay(s);
}
