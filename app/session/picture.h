// picture.h - the picture a window shows, as the commands and live view
// leave it.
//
// show_made(s, job): the picture of a finished render of the model, kept
// and shown as Make Image keeps it: the planes, the scene and frame that
// made it (a click picks from them), the display, image_ready and
// data_change; live_camera 0 (live view says when the picture is its
// own). redisplay(s): the display made again from the planes (another
// zoom or mode, after printing) under the wait cursor; both repaint.
#pragma once

class render_job;
struct session;

void show_made(session &s, const render_job &job);
void redisplay(session &s);
