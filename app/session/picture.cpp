#include "app/session/picture.h"

#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "trace/render.h"

void show_made(session &s, const render_job &job)
{
    app_state &a = s.app;
    keep_picture(job, a.model, *a.gdata);
    a.made_scene = std::make_shared<const scene>(job.model());
    a.made_frame = job.view();
    disp_show(s.disp, *a.gdata, a.model.ixmx, a.model.iymx);
    a.image_ready = 1;
    a.data_change = 1;
    a.live_camera = 0; // live view says when the picture is its own
    s.ui.invalidate();
}

void redisplay(session &s)
{
    s.ui.wait_cursor(1);
    disp_show(s.disp, *s.app.gdata, s.app.model.ixmx, s.app.model.iymx);
    s.ui.wait_cursor(0);
    s.ui.invalidate();
}
