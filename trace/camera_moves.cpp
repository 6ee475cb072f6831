#include "camera_moves.h"

#include "frame.h"

#include <cmath>

namespace {

constexpr double DEG = 3.14159265358979323846 / 180;

// The eye's azimuth and elevation change by daz and del degrees.
bool turn_eye(scene &sc, double daz, double del)
{
    const double len = std::sqrt(sc.vpnax * sc.vpnax + sc.vpnay * sc.vpnay + sc.vpnaz * sc.vpnaz);
    if (!(len > 0) || !std::isfinite(len))
        return false;
    const double x = sc.vpnax / len, y = sc.vpnay / len, z = sc.vpnaz / len;
    // the direction points from the look point to the eye: its azimuth
    // and elevation are those of the eye
    double az = std::atan2(y, x) + daz * DEG;
    double el = std::asin(z > 1 ? 1 : z < -1 ? -1 : z) + del * DEG;
    const double lim = ELEV_MAX_DEG * DEG;
    el = el > lim ? lim : el < -lim ? -lim : el;
    sc.vpnax = std::cos(el) * std::cos(az);
    sc.vpnay = std::cos(el) * std::sin(az);
    sc.vpnaz = std::sin(el);
    return true;
}

} // namespace

bool orbit(scene &sc, double dx, double dy)
{
    return turn_eye(sc, -dx * ORBIT_DEG_PER_DOT, dy * ORBIT_DEG_PER_DOT);
}

bool turn(scene &sc, double deg) { return turn_eye(sc, deg, 0); }

bool pan(scene &sc, double dx, double dy, int w)
{
    frame f;
    if (w <= 0 || !make_frame(sc, 0, f))
        return false;
    const double s = sc.wdu / w;
    sc.rx += (-dx * f.uvec.x + dy * f.vvec.x) * s;
    sc.ry += (-dx * f.uvec.y + dy * f.vvec.y) * s;
    sc.rz += (-dx * f.uvec.z + dy * f.vvec.z) * s;
    return true;
}

void dolly(scene &sc, double steps) { sc.dlength *= std::pow(DOLLY_STEP, steps); }

void widen(scene &sc, double steps) { sc.wdu *= std::pow(DOLLY_STEP, -steps); }
