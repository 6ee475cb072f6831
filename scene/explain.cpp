#include "explain.h"

#include "check.h"
#include "outline.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace {

// The text goes straight into one string, row by row:
//   "  fields                 values                       meaning"
struct writer {
    std::string &out;
    const scene_map *map;
    size_t start = 0; // where the row being written begins

    // The shortest text that reads back as v; a derived value to 15 digits.
    void num(double v, bool derived = false)
    {
        if (std::isnan(v)) {
            out += "nan";
            return;
        }
        if (std::isinf(v)) {
            out += v > 0 ? "inf" : "-inf";
            return;
        }
        char buf[64];
        auto r = derived ? std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15)
                         : std::to_chars(buf, buf + sizeof buf, v);
        out.append(buf, r.ptr);
    }
    void num(int v)
    {
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        out.append(buf, r.ptr);
    }
    template <class... T>
    void nums(T... v)
    {
        bool first = true;
        ((first ? (void)(first = false) : (void)(out += ' '), num(v)), ...);
    }

    void pad(size_t col)
    {
        out.append(start + col > out.size() ? start + col - out.size() : 1, ' ');
    }
    // A row: begin(fields), the values, meaning(text), more text, end().
    void begin(const char *fields)
    {
        start = out.size();
        out += "  ";
        out += fields;
        pad(25);
    }
    // A row of count fields from first, named as the reader names them.
    void begin(const char *const *names, int first, int count = 1)
    {
        start = out.size();
        out += " ";
        for (int k = first; k < first + count; k++) {
            out += ' ';
            out += names[k];
        }
        pad(25);
    }
    void meaning(const char *text)
    {
        pad(54);
        out += text;
    }
    void end()
    {
        while (out.size() > start && out.back() == ' ')
            out.pop_back();
        out += '\n';
    }

    // A heading: "text (line N)".
    void head(const char *text, int n, const place *p, const char *more = "")
    {
        out += text;
        if (n > 0) {
            out += ' ';
            num(n);
        }
        if (map && p && p->line > 0) {
            out += " (line ";
            num(p->line);
            out += ')';
        }
        out += more;
        out += '\n';
    }
};

// A semi-axis as the file gave it, from the coefficient sgn(v)/v^2.
double semi_axis(double k) { return k == 0 ? 0 : (k > 0 ? 1 : -1) / std::sqrt(std::fabs(k)); }

void explain_view(writer &W, const scene &sc)
{
    W.head("view", 0, W.map ? &W.map->view[V_RX] : nullptr);
    W.begin(view_field, V_RX, 3);
    W.nums(sc.rx, sc.ry, sc.rz);
    W.meaning("look point: the centre of the view window");
    W.end();
    W.begin(view_field, V_VPNAX, 3);
    W.nums(sc.vpnax, sc.vpnay, sc.vpnaz);
    W.meaning("look direction, from the look point towards the eye");
    W.end();
    W.begin(view_field, V_DLENGTH);
    W.num(sc.dlength);
    W.meaning("eye distance from the look point");
    W.end();
    W.begin(view_field, V_WDU);
    W.num(sc.wdu);
    W.meaning("view window width at the look point");
    W.end();
    W.begin(view_field, V_IXMX, 2);
    W.nums(sc.ixmx, sc.iymx);
    W.meaning("picture size in dots");
    W.end();
    W.begin(view_field, V_NLG);
    W.num(sc.nlg);
    W.meaning("lights");
    W.end();
}

void explain_lights(writer &W, const scene &sc)
{
    const int n = sc.nlg < 0 ? 0 : sc.nlg > LIGHT_MAX ? LIGHT_MAX : sc.nlg;
    for (int j = 0; j < n; j++) {
        const ligrec &l = sc.lig[j];
        W.head("light", j + 1, W.map ? &W.map->light[j][L_X] : nullptr);
        W.begin(light_field, L_X, 3);
        W.nums(l.pos.x, l.pos.y, l.pos.z);
        W.meaning("position");
        W.end();
        W.begin(light_field, L_BRIGHT);
        W.num(l.bright);
        W.meaning("brightness");
        W.end();
    }
    W.head("depth", 0, W.map ? &W.map->view[V_ILVLMX] : nullptr);
    W.begin(view_field, V_ILVLMX);
    W.num(sc.ilvlmx);
    W.meaning("reflections and refractions followed per dot");
    W.end();
}

void explain_prim(writer &W, const scene &sc, int i)
{
    const primrec &p = sc.pri[i];
    const bool known = known_type(p.type);
    const std::string more = std::string(": ") +
                             (known ? type_name(p.type) : "unknown type, never drawn") + ", " +
                             surf_name(p.surf);
    W.head("primitive", i + 1, W.map ? &W.map->prim[i][P_TYPE] : nullptr, more.c_str());

    W.begin(prim_field, P_TYPE);
    W.num(p.type);
    W.meaning(known ? type_name(p.type) : "no type (1 plane, 2 box, 3 quadric, 4 cone)");
    W.end();
    W.begin(prim_field, P_SURF);
    W.num(p.surf);
    W.meaning(surf_name(p.surf));
    if (p.surf < 1 || p.surf > 3)
        W.out += " (no such code: 1, 2 or 3)";
    W.end();
    W.begin(prim_field, P_KA, 3);
    W.nums(p.ka, p.kd, p.ks);
    W.meaning("ambient, diffuse and specular coefficients");
    W.end();
    W.begin(prim_field, P_SPARE, 2);
    W.nums(p.spare, p.npow);
    W.meaning("unused; highlight exponent");
    W.end();
    W.begin(prim_field, P_REFR, 2);
    W.nums(p.refr, p.trans);
    W.meaning("refractive index; transmittance in shadows (glass)");
    W.end();
    W.begin(prim_field, P_PAT, 2);
    W.nums(p.pat, p.patw);
    W.meaning(pat_name(p.pat));
    if (p.pat < PAT_PLAIN || p.pat > PAT_DIAGONAL)
        W.out += " (no such code: 0 to 3)";
    W.out += " pattern; its width";
    W.end();
    W.begin(prim_field, P_SENSE);
    W.num(p.sense);
    W.meaning(p.sense > 0 ? "the solid" : "everything outside the solid");
    W.end();
    const vec &g = p.geom;
    W.begin(prim_field, P_GX, 3);
    if (p.type == PRIM_QUADRIC || p.type == PRIM_CONE) {
        W.num(semi_axis(g.x), true);
        W.out += ' ';
        W.num(semi_axis(g.y), true);
        W.out += ' ';
        W.num(semi_axis(g.z), true);
        W.meaning("semi-axes (0: none); stored as ");
        W.nums(g.x, g.y, g.z);
    } else {
        W.nums(g.x, g.y, g.z);
        W.meaning(p.type == PRIM_PLANE ? "normal, out of the solid"
                  : p.type == PRIM_BOX ? "half sizes"
                                       : "shape");
    }
    W.end();
    W.begin(prim_field, P_PX, 3);
    W.nums(p.pos.x, p.pos.y, p.pos.z);
    W.meaning("position");
    W.end();
    W.begin(prim_field, P_R, 3);
    W.nums(p.col.r, p.col.g, p.col.b);
    W.meaning("colour");
    W.end();
    if (p.nmem > 0) {
        W.begin("partners");
        for (int m = 0; m < p.nmem && m < MEMBER_MAX; m++) {
            if (m)
                W.out += ' ';
            W.num(p.mem[m] + 1);
        }
        W.meaning("group partners: it shows only inside each of their solids");
        W.end();
    }
}

void explain_groups(writer &W, const scene &sc)
{
    const std::vector<csg_group> groups = csg_groups(sc);
    for (const csg_group &g : groups) {
        W.out += ' ';
        for (int k : g.members) {
            W.out += ' ';
            W.num(k + 1);
        }
        W.head("", 0, W.map ? &W.map->group[g.from] : nullptr);
    }
    if (groups.empty())
        W.out += "  none\n";
}

} // namespace

std::string explain_scene(const scene &sc, const scene_map *map)
{
    std::string out;
    explain_scene(out, sc, map);
    return out;
}

void explain_scene(std::string &out, const scene &sc, const scene_map *map)
{
    out.clear();
    writer W{out, map};
    explain_view(W, sc);
    explain_lights(W, sc);
    const int n = sc.primmx < 0 ? 0 : sc.primmx > PRIM_MAX ? PRIM_MAX : sc.primmx;
    for (int i = 0; i < n; i++)
        explain_prim(W, sc, i);
    W.out += "groups\n";
    explain_groups(W, sc);
}
