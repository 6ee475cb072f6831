#include "explain.h"

#include "check.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The shortest text that reads back as v; derived values to 15 digits.
std::string num(double v, bool derived = false)
{
    if (std::isnan(v))
        return "nan";
    if (std::isinf(v))
        return v > 0 ? "inf" : "-inf";
    char buf[64];
    auto r = derived ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15)
                     : std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string num(int v) { return std::to_string(v); }

template <class... T>
std::string nums(T... v)
{
    std::string s;
    ((s += (s.empty() ? "" : " ") + num(v)), ...);
    return s;
}

struct writer {
    std::string out;
    const scene_map *map;

    // "  fields   values   meaning"
    void row(const char *fields, const std::string &values, const std::string &meaning)
    {
        char head[40];
        std::snprintf(head, sizeof head, "  %-22s ", fields);
        std::string v = values;
        if (v.size() < 28)
            v.resize(28, ' ');
        out += head + v + " " + meaning;
        while (!out.empty() && out.back() == ' ')
            out.pop_back();
        out += "\n";
    }
    std::string line_of(const place &p) const
    {
        return map && p.line > 0 ? " (line " + std::to_string(p.line) + ")" : "";
    }
};

// A semi-axis as the file gave it, from the coefficient sgn(v)/v^2.
double semi_axis(double k)
{
    return k == 0 ? 0 : (k > 0 ? 1 : -1) / std::sqrt(std::fabs(k));
}

void explain_view(writer &W, const scene &sc)
{
    W.out += "view" + W.line_of(W.map ? W.map->view[V_RX] : place{}) + "\n";
    W.row("rx ry rz", nums(sc.rx, sc.ry, sc.rz), "look point: the centre of the view window");
    W.row("vpnax vpnay vpnaz", nums(sc.vpnax, sc.vpnay, sc.vpnaz),
          "look direction, from the look point towards the eye");
    W.row("dlength", num(sc.dlength), "eye distance from the look point");
    W.row("wdu", num(sc.wdu), "view window width at the look point");
    W.row("ixmx iymx", nums(sc.ixmx, sc.iymx), "picture size in dots");
    W.row("nlg", num(sc.nlg), "lights");
}

void explain_lights(writer &W, const scene &sc)
{
    const int n = sc.nlg < 0 ? 0 : sc.nlg > LIGHT_MAX ? LIGHT_MAX : sc.nlg;
    for (int j = 0; j < n; j++) {
        const ligrec &l = sc.lig[j];
        W.out += "light " + std::to_string(j + 1) +
                 W.line_of(W.map ? W.map->light[j][L_X] : place{}) + "\n";
        W.row("pos.x pos.y pos.z", nums(l.pos.x, l.pos.y, l.pos.z), "position");
        W.row("bright", num(l.bright), "brightness");
    }
    W.out += "depth" + W.line_of(W.map ? W.map->view[V_ILVLMX] : place{}) + "\n";
    W.row("ilvlmx", num(sc.ilvlmx), "reflections and refractions followed per dot");
}

void explain_prim(writer &W, const scene &sc, int i)
{
    const primrec &p = sc.pri[i];
    const bool known = known_type(p.type);
    W.out += "primitive " + std::to_string(i + 1) +
             W.line_of(W.map ? W.map->prim[i][P_TYPE] : place{}) + ": " +
             (known ? type_name(p.type) : "unknown type, never drawn") + ", " +
             surf_name(p.surf) + "\n";
    W.row("type", num(p.type),
          known ? type_name(p.type) : "no type (1 plane, 2 box, 3 quadric, 4 cone)");
    const bool surf_known = p.surf >= 1 && p.surf <= 3;
    W.row("surf", num(p.surf),
          std::string(surf_name(p.surf)) + (surf_known ? "" : " (no such code: 1, 2 or 3)"));
    W.row("ka kd ks", nums(p.ka, p.kd, p.ks), "ambient, diffuse and specular coefficients");
    W.row("spare npow", nums(p.spare, p.npow), "unused; highlight exponent");
    W.row("refr trans", nums(p.refr, p.trans),
          "refractive index; transmittance in shadows (glass)");
    const bool pat_known = p.pat >= PAT_PLAIN && p.pat <= PAT_DIAGONAL;
    W.row("pat patw", nums(p.pat, p.patw),
          std::string(pat_name(p.pat)) + (pat_known ? "" : " (no such code: 0 to 3)") +
              " pattern; its width");
    W.row("sense", num(p.sense), p.sense > 0 ? "the solid" : "everything outside the solid");
    const vec &g = p.geom;
    switch (p.type) {
    case PRIM_PLANE:
        W.row("geom.x geom.y geom.z", nums(g.x, g.y, g.z), "normal, out of the solid");
        break;
    case PRIM_BOX:
        W.row("geom.x geom.y geom.z", nums(g.x, g.y, g.z), "half sizes");
        break;
    case PRIM_QUADRIC:
    case PRIM_CONE:
        W.row("geom.x geom.y geom.z",
              num(semi_axis(g.x), true) + " " + num(semi_axis(g.y), true) + " " +
                  num(semi_axis(g.z), true),
              "semi-axes (0: none); stored as " + nums(g.x, g.y, g.z));
        break;
    default:
        W.row("geom.x geom.y geom.z", nums(g.x, g.y, g.z), "shape");
        break;
    }
    W.row("pos.x pos.y pos.z", nums(p.pos.x, p.pos.y, p.pos.z), "position");
    W.row("col.r col.g col.b", nums(p.col.r, p.col.g, p.col.b), "colour");
    std::string partners;
    for (int m = 0; m < p.nmem && m < MEMBER_MAX; m++)
        partners += (m ? " " : "") + std::to_string(p.mem[m] + 1);
    if (p.nmem > 0)
        W.row("partners", partners, "group partners: it shows only inside each of their solids");
}

void explain_groups(writer &W, const scene &sc)
{
    // each group once, as the sorted numbers of its members
    std::vector<std::vector<int>> seen;
    const int n = sc.primmx < 0 ? 0 : sc.primmx > PRIM_MAX ? PRIM_MAX : sc.primmx;
    for (int i = 0; i < n; i++) {
        const primrec &p = sc.pri[i];
        if (p.nmem <= 0 || p.nmem > MEMBER_MAX)
            continue;
        std::vector<bool> in(PRIM_MAX, false);
        in[i] = true;
        for (int m = 0; m < p.nmem; m++)
            if (p.mem[m] >= 0 && p.mem[m] < PRIM_MAX)
                in[p.mem[m]] = true;
        std::vector<int> g;
        for (int k = 0; k < PRIM_MAX; k++)
            if (in[k])
                g.push_back(k);
        bool dup = false;
        for (const auto &s : seen)
            dup = dup || s == g;
        if (dup)
            continue;
        seen.push_back(g);
        std::string members;
        for (int k : g)
            members += (members.empty() ? "" : " ") + std::to_string(k + 1);
        W.out += "  " + members + W.line_of(W.map ? W.map->group[i] : place{}) + "\n";
    }
    if (seen.empty())
        W.out += "  none\n";
}

} // namespace

std::string explain_scene(const scene &sc, const scene_map *map)
{
    writer W{std::string(), map};
    explain_view(W, sc);
    explain_lights(W, sc);
    const int n = sc.primmx < 0 ? 0 : sc.primmx > PRIM_MAX ? PRIM_MAX : sc.primmx;
    for (int i = 0; i < n; i++)
        explain_prim(W, sc, i);
    W.out += "groups\n";
    explain_groups(W, sc);
    return W.out;
}
