#include "app/commands/pipeline.h"

#include "app/anim/anim_play.h"
#include "app/commands/actions.h"
#include "app/commands/commands.h"
#include "app/commands/named_file.h"
#include "app/commands/save_prompt.h"
#include "app/live/live_view.h"
#include "app/session/cmdline.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "app/studio/new_scene.h"

#include <functional>

namespace {

void close_player(session &s)
{
    if (s.parts.player)
        s.parts.player->close_player();
}

void pause_live(session &s)
{
    if (s.parts.live)
        s.parts.live->pause();
}

void live_ran(session &s, int id)
{
    if (s.parts.live)
        s.parts.live->command_ran(id);
}

void set_studio(session &s, bool on)
{
    if (s.parts.studio)
        s.parts.studio->set_on(on);
    s.ui.commands_changed(); // its tick
}

// The studio's own commands: true when the command goes no further.
bool studio_takes(session &s, int id)
{
    switch (id) {
    case IDM_STUDIO:
        set_studio(s, !s.studio.on);
        return true;
    case IDM_NEXTPROBLEM:
        if (s.studio.on && s.parts.studio)
            s.parts.studio->next_problem();
        return true;
    case IDM_NEWSCENE:
        if (!new_scene_choose(s))
            return true; // nothing changed
        if (s.studio.on)
            return false;
        if (!save_or_not(s))
            return true;
        set_studio(s, true);
        return false;
    }
    return false;
}

// Step 7: what follows every command, once what it shows has been shown.
void after(session &s, int id, int zoom_before, int mode_before)
{
    if (s.disp.zoom_size != zoom_before)
        s.kept.zoom = s.disp.zoom_size;
    if (s.disp.mode != mode_before)
        s.kept.mode = s.disp.mode;
    if (s.parts.live)
        s.parts.live->follow();
    if (s.parts.studio)
        s.parts.studio->after(id);
    s.ui.refresh();
}

// Steps 6 to 8 around act: at once, or once the job act started has ended.
void acting(session &s, int id, const std::function<void()> &act, std::function<void()> last)
{
    const int zoom = s.disp.zoom_size, mode = s.disp.mode;
    const bool was_busy = s.app.busy;
    act();
    auto rest = [&s, id, zoom, mode, last] {
        after(s, id, zoom, mode);
        if (last)
            last();
    };
    if (!was_busy && s.app.busy)
        s.after_job = rest;
    else
        rest();
}

// A file opened outside the menu: a scene read has its picture made at
// once, by live view when it is on.
void opened(session &s, bool scene, int read)
{
    if (scene && read && !(s.parts.live && s.parts.live->state().on))
        app_command(s, IDM_MAKE);
    // a scene that was not read changed nothing live view shows
    live_ran(s, scene && read ? IDM_OPENRT : IDM_OPENBMP);
}

} // namespace

void run_command(session &s, int id)
{
    if (!app_enabled(s.app, id))
        return;
    if (id == IDM_STOP) {
        stop_job(s);
        return;
    }
    if (!anim_player_stays(id))
        close_player(s);
    if (id == IDM_LIVE) {
        set_live(s, !s.app.live);
        return;
    }
    if (studio_takes(s, id))
        return;
    if (s.parts.studio)
        s.parts.studio->before(id);
    if (id != IDM_HELP && id != IDM_GUIDE && id != IDM_ABOUT)
        pause_live(s);
    acting(
        s, id, [&s, id] { app_command(s, id); }, [&s, id] { live_ran(s, id); });
}

int open_dropped(session &s, const char *path)
{
    close_player(s);
    pause_live(s);
    const bool scene = !is_picture_name(path);
    int read = 0;
    acting(s, 0, [&] { read = open_file(s, path); }, {});
    opened(s, scene, read);
    return read;
}

void open_start(session &s, const char *path)
{
    const bool scene = !is_picture_name(path);
    int read = 0;
    acting(s, 0,
           [&] {
               if (scene)
                   read = open_scene(s, path);
               else
                   open_picture(s, path);
           },
           {});
    opened(s, scene, read);
}

int close_asked(session &s)
{
    pause_live(s);
    if (app_close(s))
        return 1;
    live_ran(s, 0); // a paused frame starts again
    return 0;
}

void set_live(session &s, bool on)
{
    if (s.parts.live)
        s.parts.live->set_on(on);
    else
        s.app.live = on;
    s.ui.commands_changed(); // its tick
}
