#include "check.h"

#include "../base/msg.h"
#include "../base/sizes.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

const char *type_name(int type)
{
    switch (type) {
    case PRIM_PLANE:
        return "plane";
    case PRIM_BOX:
        return "box";
    case PRIM_QUADRIC:
        return "quadric";
    case PRIM_CONE:
        return "cone";
    default:
        return "unknown type";
    }
}

const char *surf_name(int surf)
{
    return surf == SURF_MIRROR ? "mirror" : surf == SURF_GLASS ? "glass" : "opaque";
}

const char *pat_name(int pat)
{
    switch (pat) {
    case PAT_CHECKER:
        return "checker";
    case PAT_STRIPES:
        return "stripes";
    case PAT_DIAGONAL:
        return "diagonal";
    default:
        return "plain";
    }
}

namespace {

struct checker {
    const scene_map *map;
    msglist &msgs;
    int found = 0;

    void at(const place *p, const char *fmt, ...) __attribute__((format(printf, 3, 4)))
    {
        char text[400];
        va_list ap;
        va_start(ap, fmt);
        std::vsnprintf(text, sizeof text, fmt, ap);
        va_end(ap);
        const place none;
        const place &w = map && p ? *p : none;
        msgs.add_at(w.line, w.col, "%s", text);
        found++;
    }
    const place *view(int k) const { return map ? &map->view[k] : nullptr; }
    // With a map, numbers the file never reached are not the author's.
    bool read(int k) const { return !map || map->view[k].line > 0; }
    const place *prim(int i, int k) const { return map ? &map->prim[i][k] : nullptr; }
};

// x strictly inside the solid (or complement, by sense) of p: a light on
// a surface is left alone.
bool within(const vec &x, const primrec &p)
{
    vec v;
    vsub(v, x, p.pos);
    const vec &g = p.geom;
    const bool solid = p.sense > 0;
    switch (p.type) {
    case PRIM_PLANE: {
        const double s = vspro(v, g);
        return solid ? s < 0 : s > 0;
    }
    case PRIM_BOX: {
        const bool in = std::fabs(v.x) < g.x && std::fabs(v.y) < g.y && std::fabs(v.z) < g.z;
        const bool out = std::fabs(v.x) > g.x || std::fabs(v.y) > g.y || std::fabs(v.z) > g.z;
        return solid ? in : out;
    }
    case PRIM_QUADRIC:
    case PRIM_CONE: {
        const double k = p.type == PRIM_QUADRIC ? 1.0 : 0.0;
        const double q = g.x * times2(v.x) + g.y * times2(v.y) + g.z * times2(v.z);
        return solid ? q < k : q > k;
    }
    default:
        return false;
    }
}

void check_view(checker &C, const scene &sc)
{
    if (!C.read(V_IYMX))
        return; // the view settings were cut short: the reader said so
    const double len2 = sc.vpnax * sc.vpnax + sc.vpnay * sc.vpnay + sc.vpnaz * sc.vpnaz;
    if (sc.vpnax == 0 && sc.vpnay == 0 && sc.vpnaz == 0)
        C.at(C.view(V_VPNAX), "the look direction (0, 0, 0) has no length: nothing can be "
                              "rendered");
    else if (!(len2 > 0) || !std::isfinite(len2))
        C.at(C.view(V_VPNAX),
             "the look direction (%g, %g, %g) has no length KORU can divide "
             "by: nothing can be rendered",
             sc.vpnax, sc.vpnay, sc.vpnaz);

    const int k = sc.ixmx <= 0 || sc.ixmx > WIDTH_MAX ? V_IXMX : V_IYMX;
    if (sc.ixmx <= 0 || sc.iymx <= 0)
        C.at(C.view(k), "the picture size %d x %d has no dots: nothing can be rendered", sc.ixmx,
             sc.iymx);
    else if (sc.ixmx > WIDTH_MAX || sc.iymx > HEIGHT_MAX)
        C.at(C.view(k),
             "the picture size %d x %d is larger than %d x %d: it will be made at "
             "%d x %d",
             sc.ixmx, sc.iymx, WIDTH_MAX, HEIGHT_MAX, sc.ixmx > WIDTH_MAX ? WIDTH_MAX : sc.ixmx,
             sc.iymx > HEIGHT_MAX ? HEIGHT_MAX : sc.iymx);
}

// x strictly inside the solid that p and its partners cut.
bool within_solid(const vec &x, const scene &sc, const primrec &p)
{
    if (!within(x, p))
        return false;
    for (int m = 0; m < p.nmem && m < MEMBER_MAX; m++)
        if (p.mem[m] < 0 || p.mem[m] >= PRIM_MAX || !within(x, sc.pri[p.mem[m]]))
            return false;
    return true;
}

// A light shut in an opaque solid lights nothing outside it; when the eye
// is in there too (inside a room of planes, say), it lights what is seen.
void check_lights(checker &C, const scene &sc)
{
    const double len = std::sqrt(sc.vpnax * sc.vpnax + sc.vpnay * sc.vpnay + sc.vpnaz * sc.vpnaz);
    if (!(len > 0) || !std::isfinite(len))
        return; // no eye, and nothing to render anyway
    const vec eye{sc.rx + sc.vpnax / len * sc.dlength, sc.ry + sc.vpnay / len * sc.dlength,
                  sc.rz + sc.vpnaz / len * sc.dlength};
    for (int j = 0; j < sc.nlg && j < LIGHT_MAX; j++) {
        const vec &x = sc.lig[j].pos;
        for (int i = 0; i < sc.primmx && i < PRIM_MAX; i++) {
            const primrec &p = sc.pri[i];
            if (!known_type(p.type) || p.surf == SURF_GLASS || !within_solid(x, sc, p) ||
                within_solid(eye, sc, p))
                continue;
            C.at(C.map ? &C.map->light[j][L_X] : nullptr,
                 "light %d at (%g, %g, %g) is inside primitive %d, a solid %s that is not glass, "
                 "and the eye is not: it lights nothing the eye can see",
                 j + 1, x.x, x.y, x.z, i + 1, type_name(p.type));
            break;
        }
    }
}

void check_prim(checker &C, const scene &sc, int i)
{
    const primrec &p = sc.pri[i];
    const int n = i + 1;
    if (!known_type(p.type)) {
        C.at(C.prim(i, P_TYPE),
             "primitive %d: type %d is no primitive type (1 plane, 2 box, "
             "3 quadric, 4 cone): it is never drawn",
             n, p.type);
        return;
    }
    if (p.surf < 1 || p.surf > 3)
        C.at(C.prim(i, P_SURF),
             "primitive %d: surf %d is no surface code (1 opaque, 2 mirror, "
             "3 glass): it is drawn opaque",
             n, p.surf);
    if (p.pat < PAT_PLAIN || p.pat > PAT_DIAGONAL)
        C.at(C.prim(i, P_PAT),
             "primitive %d: pat %d is no pattern code (0 plain, 1 checker, "
             "2 stripes, 3 diagonal): it is drawn plain",
             n, p.pat);
    else if (p.pat != PAT_PLAIN && (p.patw == 0 || !std::isfinite(p.patw)))
        C.at(C.prim(i, P_PATW),
             "primitive %d: the %s pattern has the width %g: it cannot be "
             "drawn",
             n, pat_name(p.pat), p.patw);
    if (p.surf == SURF_GLASS && !(p.refr > 0))
        C.at(C.prim(i, P_REFR),
             "primitive %d: glass with the refractive index %g: refr must be "
             "above 0",
             n, p.refr);
    const vec &g = p.geom;
    const bool zero = g.x == 0 && g.y == 0 && g.z == 0;
    if (zero && p.type == PRIM_PLANE)
        C.at(C.prim(i, P_GX), "primitive %d: the plane's normal (0, 0, 0) has no direction", n);
    else if (zero && p.type != PRIM_BOX)
        C.at(C.prim(i, P_GX), "primitive %d: the %s's semi-axes are all 0: it has no surface", n,
             type_name(p.type));

    bool own = false;
    for (int m = 0; m < p.nmem && m < MEMBER_MAX; m++)
        own = own || p.mem[m] == i;
    if (own)
        C.at(C.map ? &C.map->twice[i] : nullptr,
             "primitive %d is named twice in its group: it becomes its own partner", n);
}

} // namespace

int check_scene(const scene &sc, const scene_map *map, msglist &msgs)
{
    checker C{map, msgs};
    check_view(C, sc);
    check_lights(C, sc);
    for (int i = 0; i < sc.primmx && i < PRIM_MAX; i++)
        check_prim(C, sc, i);
    return C.found;
}
