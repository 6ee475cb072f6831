#include "frame.h"

#include "../image/rgb.h"

#include <cmath>

bool make_frame(const scene &sc, int stereo, frame &f, bool anaglyph)
{
    const double len = std::sqrt(sc.vpnax * sc.vpnax + sc.vpnay * sc.vpnay + sc.vpnaz * sc.vpnaz);
    if (!(len > 0) || !std::isfinite(len))
        return false;
    const double vx = sc.vpnax / len, vy = sc.vpnay / len, vz = sc.vpnaz / len;
    f.dir = vec{vx, vy, vz};
    f.look = vec{sc.rx, sc.ry, sc.rz};
    f.wdu = sc.wdu;
    const vec e{sc.rx + vx * sc.dlength, sc.ry + vy * sc.dlength, sc.rz + vz * sc.dlength};

    // looking straight along z, the world's +y is up; otherwise +z
    if (vx == 0 && vy == 0) {
        f.uvec = vec{sgn(vz), 0, 0};
        f.vvec = vec{0, 1, 0};
    } else {
        const double l = std::sqrt(vx * vx + vy * vy);
        f.uvec = vec{-vy / l, vx / l, 0};
        f.vvec = vec{-vz * f.uvec.y, vz * f.uvec.x, l};
    }

    int w = sc.ixmx > WIDTH_MAX ? WIDTH_MAX : sc.ixmx;
    f.h = sc.iymx > HEIGHT_MAX ? HEIGHT_MAX : sc.iymx;
    if (stereo || anaglyph) {
        // a crossed pair: the left half is the eye moved to the right; an
        // anaglyph lays the two views over each other at the full width
        f.w = anaglyph ? w : w / 2;
        f.width = anaglyph ? w : f.w * 2;
        const double off = sc.dlength * sc.length3d;
        vec t;
        vadd(f.eye[0], e, vmul(t, f.uvec, off));
        vsub(f.eye[1], e, vmul(t, f.uvec, off));
        f.neyes = 2;
    } else {
        f.w = f.width = w;
        f.eye[0] = f.eye[1] = e;
        f.neyes = 1;
    }
    return true;
}

void apply_frame(scene &sc, const frame &f)
{
    sc.vpnax = f.dir.x;
    sc.vpnay = f.dir.y;
    sc.vpnaz = f.dir.z;
    sc.uvec = f.uvec;
    sc.vvec = f.vvec;
    sc.ixmx = f.width;
    sc.iymx = f.h;
}

void make_eye(vec &dir, const vec &eye, int x, int y, const frame &f)
{
    const double W = f.w, H = f.h;
    double su = (x / W - 0.5) * f.wdu;
    double sv = (H * 0.5 - y) * f.wdu / W;
    dir.x = f.look.x + su * f.uvec.x + sv * f.vvec.x - eye.x;
    dir.y = f.look.y + su * f.uvec.y + sv * f.vvec.y - eye.y;
    dir.z = f.look.z + su * f.uvec.z + sv * f.vvec.z - eye.z;
}

frame scaled_frame(const frame &f, int n)
{
    // a size of no dots (0 or below, as the scene file gave it) stays as
    // it is: nothing is traced, and it could not be multiplied safely
    frame s = f;
    s.w = f.w > 0 ? f.w * n : f.w;
    s.h = f.h > 0 ? f.h * n : f.h;
    s.width = f.width > 0 ? f.width * n : f.width;
    return s;
}
