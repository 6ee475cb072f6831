#include "app/session/session.h"

#include "app/session/ui_port.h"

void set_busy(session &s, int on)
{
    s.app.busy = on;
    s.ui.commands_changed();
}

void begin_job(session &s, std::function<void()> stop)
{
    s.job_stop = std::move(stop);
    set_busy(s, 1);
}

void end_job(session &s)
{
    set_busy(s, 0);
    s.job_stop = nullptr;
}

void job_done(session &s)
{
    if (!s.after_job)
        return;
    const std::function<void()> next = std::move(s.after_job);
    s.after_job = nullptr;
    next();
}

void stop_job(session &s)
{
    if (s.job_stop)
        s.job_stop();
}
