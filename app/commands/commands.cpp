#include "app/commands/commands.h"

#include "app/anim/anim_make.h"
#include "app/commands/actions.h"
#include "app/commands/picture_open.h"
#include "app/commands/picture_save.h"
#include "app/commands/render_cmd.h"
#include "app/commands/save_prompt.h"
#include "app/commands/scene_file.h"
#include "app/commands/window_cmds.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "app/studio/studio.h"
#include "app/studio/text_save.h"

namespace {

// The commands of the studio's text and of its picture's follow choice.
void studio_command(session &s, int id)
{
    switch (id) {
    case IDM_NEWSCENE:
        if (save_or_not(s))
            studio_new(s);
        break;
    case IDM_SAVESCENE:
        studio_save(s);
        break;
    case IDM_SAVESCENEAS:
        studio_save_as(s);
        break;
    case IDM_FOLLOW_TYPING:
    case IDM_FOLLOW_SAVE:
        s.studio.follow.set_mode(id == IDM_FOLLOW_SAVE ? FOLLOW_SAVE : FOLLOW_TYPING);
        break;
    }
}

// Config without its dialog: the keys.
void key_command(session &s, int id)
{
    if (id >= KEY_MODE0 && id <= KEY_MODE2)
        set_mode(s, id - KEY_MODE0);
    else if (id >= KEY_ZOOM_IN && id <= KEY_ZOOM_100)
        zoom_by(s, id == KEY_ZOOM_IN ? 1 : id == KEY_ZOOM_OUT ? -1 : 0);
}

// The menu's commands that neither the studio nor a key sends.
void menu_command(session &s, int id)
{
    switch (id) {
    case IDM_OPENBMP:
        cmd_open_bmp(s);
        break;
    case IDM_SAVEBMP:
        save_image(s);
        break;
    case IDM_EXIT:
        s.ui.close_window();
        break;
    case IDM_OPENRT:
        cmd_open_rt(s);
        break;
    case IDM_MAKE:
    case IDM_MAKE3D:
        cmd_make(s, id == IDM_MAKE3D);
        break;
    case IDM_ANAGLYPH:
        cmd_make(s, 0, true);
        break;
    case IDM_ANIMATE:
        make_animation(s);
        break;
    case IDM_SETTING:
        cmd_setting(s);
        break;
    case IDM_SAVERT:
        cmd_save_rt(s);
        break;
    case IDM_HELP:
        s.ui.help();
        break;
    case IDM_GUIDE:
        s.ui.guide();
        break;
    case IDM_ABOUT:
        cmd_about(s);
        break;
    case IDM_PRINT:
        cmd_print(s);
        break;
    case IDM_CONFIG:
        cmd_config(s);
        break;
    }
}

} // namespace

void app_command(session &s, int id)
{
    if (!app_enabled(s.app, id) || !studio_allows(s, id))
        return;
    if (id >= IDM_AA1 && id <= IDM_AA4)
        s.app.aa_level = id - IDM_AA1 + 1;
    else if (id >= IDM_NEWSCENE && id <= IDM_FOLLOW_SAVE)
        studio_command(s, id);
    else if (id >= KEY_ZOOM_IN && id <= KEY_MODE2)
        key_command(s, id);
    else
        menu_command(s, id);
}

int app_close(session &s)
{
    if (s.app.busy)
        return 0;
    return save_or_not(s);
}
