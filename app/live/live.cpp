#include "app/live/live.h"

#include "app/session/command_ids.h"
#include "base/msg.h"
#include "scene/rtread.h"
#include "trace/render.h"

#include <cstring>
#include <memory>

namespace {

// Whether anything runs that the event makes stale; it is marked so.
bool stale(live_state &s)
{
    if (s.running != LIVE_IDLE)
        s.stale_run = true;
    return s.running != LIVE_IDLE;
}

live_state::camera camera_of(const scene &sc)
{
    return {sc.rx,    sc.ry,      sc.rz,  sc.vpnax, sc.vpnay,
            sc.vpnaz, sc.dlength, sc.wdu, sc.ixmx,  sc.iymx};
}

void set_camera(scene &sc, const scene &from)
{
    sc.rx = from.rx, sc.ry = from.ry, sc.rz = from.rz;
    sc.vpnax = from.vpnax, sc.vpnay = from.vpnay, sc.vpnaz = from.vpnaz;
    sc.dlength = from.dlength, sc.wdu = from.wdu;
    sc.ixmx = from.ixmx, sc.iymx = from.iymx;
}

} // namespace

bool live_state::turn_on()
{
    on = true;
    exact = true;
    resting = true;
    return false;
}

bool live_state::turn_off()
{
    on = false;
    reload = preview = exact = false;
    return stale(*this);
}

bool live_state::file_changed()
{
    if (!on)
        return false;
    reload = true;
    return stale(*this);
}

bool live_state::moved()
{
    if (!on)
        return false;
    preview = exact = true;
    resting = false;
    return stale(*this);
}

void live_state::rest() { resting = true; }

void live_state::reloaded(bool ok)
{
    if (ok)
        preview = exact = true;
}

void live_state::frame_done(int kind, int rc)
{
    // a frame made stale may still end made, the cancel coming too late:
    // its picture is of the scene before, and the exact one is still due
    const bool was_stale = stale_run && kind == running;
    if (kind == running)
        running = LIVE_IDLE, stale_run = false;
    if (kind == LIVE_EXACT && rc != RAY_CANCELLED && !was_stale)
        exact = false; // made, or failed for a reason a retry would meet again
}

bool live_state::command_ran(int id)
{
    // a new scene, a new camera, or pictures made another way
    if (!on || (id != IDM_OPENRT && id != IDM_SETTING && (id < IDM_AA1 || id > IDM_AA4)))
        return false;
    exact = true;
    resting = true;
    return stale(*this);
}

void live_state::remember_file_camera(const scene &sc)
{
    file_cam = camera_of(sc);
    have_file_cam = true;
}

int live_state::reload_scene(scene &sc, const char *path, msglist &msgs)
{
    scene fresh = sc;
    auto map = std::make_unique<scene_map>(); // 20 KB: out of the stack
    if (!data_load(fresh, path, msgs, map.get()))
        return RELOAD_NOFILE;
    if (!map->records_ended)
        return RELOAD_CUT;
    const camera now = camera_of(fresh);
    // bit for bit: a file that writes the same numbers gives the same bits
    took_camera = !have_file_cam || std::memcmp(&now, &file_cam, sizeof now) != 0;
    if (!took_camera)
        set_camera(fresh, sc);
    file_cam = now;
    have_file_cam = true;
    sc = fresh;
    return RELOAD_READ;
}

int live_state::next()
{
    if (!on || running != LIVE_IDLE)
        return LIVE_IDLE;
    if (reload) {
        reload = false;
        return LIVE_RELOAD;
    }
    stale_run = false;
    if (preview) {
        preview = false;
        return running = LIVE_PREVIEW;
    }
    if (exact && resting)
        return running = LIVE_EXACT;
    return LIVE_IDLE;
}
