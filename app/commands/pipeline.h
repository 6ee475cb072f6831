// pipeline.h - the order around every command of the window, decided in
// one place.
//
// run_command(s, id) is what a menu item or a key does (command_ids.h),
// in this order:
//   1. nothing while the command cannot run (app_enabled); Stop render
//      stops the job that runs (stop_job) and goes no further
//   2. the animation player closes, unless the command leaves it be
//      (anim_player_stays)
//   3. Live view(V) turns live view on or off; the studio takes Studio(U)
//      and Next Problem; New Scene first asks which template to start from
//      (new_scene.h: Cancel goes no further), and while the studio is off
//      asks about the picture and turns it on
//   4. the studio notes what the command may change (before)
//   5. live view's frame stops, but for Help, Guide and About: a frame goes on
//      only while nothing else wants the picture
//   6. the command (app_command)
//   7. the zoom and mode the user chose are remembered (s.kept), live view
//      follows the scene file, the studio takes a scene file opened or
//      written (after), and the window shows what may have changed (the
//      recent files, the view's size, the title, the menus: ui.refresh)
//   8. live view hears the command ran, and starts what is due
// A command that starts a job beside the window (a render, an animation:
// session.h) goes on from 7 once the job has ended.
//
// open_dropped(s, path) is a file dropped on the window or picked from the
// recent files, open_start(s, path) the file named on the command line:
// the same order round open_file / open_scene / open_picture (the player
// closed and the frame stopped for a drop only), then a scene that was
// read has its picture made at once, by live view when it is on.
// close_asked(s) is the close box: the frame stops, then the save prompt
// (app_close); 1 lets the window close, else live view goes on.
//
// The window registers its parts in the session (s.parts); a part left
// out is passed over, so a test registers what it watches.
#pragma once

struct session;

// The window's side of the studio, told of the commands.
struct studio_part {
    virtual void set_on(bool on) = 0; // may stay on: unsaved text kept
    virtual void next_problem() = 0;
    virtual void before(int id) = 0;
    virtual void after(int id) = 0;
    virtual ~studio_part() = default;
};

// The animation player.
struct player_part {
    virtual void close_player() = 0;
    virtual ~player_part() = default;
};

void run_command(session &s, int id);
int open_dropped(session &s, const char *path);
void open_start(session &s, const char *path);
int close_asked(session &s);
// Live view on or off, as its menu item turns it.
void set_live(session &s, bool on);
