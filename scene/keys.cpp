#include "keys.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

// The walk of key_differs: stops at the first difference it is shown.
struct walk {
    keydiff &d;
    bool found = false;

    void differ(const std::string &what, const std::string &a, const std::string &b,
                const place &pa, const place &pb)
    {
        if (found)
            return;
        found = true;
        d = keydiff{what, a, b, pa, pb};
    }
    void whole(const std::string &what, int a, int b, const place &pa, const place &pb)
    {
        if (a != b)
            differ(what, std::to_string(a), std::to_string(b), pa, pb);
    }
};

std::string prim_name(int i, const char *field)
{
    char text[64];
    std::snprintf(text, sizeof text, "primitive %d: %s", i + 1, field);
    return text;
}

// A partner list as its 1-based numbers, or "none".
std::string partners(const primrec &p)
{
    if (p.nmem <= 0)
        return "none";
    std::string s;
    for (int m = 0; m < p.nmem && m < MEMBER_MAX; m++)
        s += (m ? " " : "") + std::to_string(p.mem[m] + 1);
    return s;
}

// Where the group that gave primitive i its partners stands; the record
// itself when no group did.
place group_place(const keyscene &k, int i)
{
    return k.map.group[i].line ? k.map.group[i] : k.map.prim[i][P_TYPE];
}

// The numbers of a record that tell its structure, in file order.
const int STRUCT_FIELDS[] = {P_TYPE, P_SURF, P_SPARE, P_PAT, P_SENSE};

int struct_value(const primrec &p, int field)
{
    switch (field) {
    case P_TYPE:
        return p.type;
    case P_SURF:
        return p.surf;
    case P_SPARE:
        return p.spare;
    case P_PAT:
        return p.pat;
    default:
        return p.sense;
    }
}

void compare_records(walk &w, const keyscene &a, const keyscene &b)
{
    const int n = a.sc.primmx < b.sc.primmx ? a.sc.primmx : b.sc.primmx;
    for (int i = 0; i < n && !w.found; i++)
        for (int f : STRUCT_FIELDS)
            w.whole(prim_name(i, prim_field[f]), struct_value(a.sc.pri[i], f),
                    struct_value(b.sc.pri[i], f), a.map.prim[i][f], b.map.prim[i][f]);
    if (!w.found && a.sc.primmx != b.sc.primmx) {
        // the shorter list's terminator against the longer one's next record
        const place pa = n < a.sc.primmx ? a.map.prim[n][P_TYPE] : a.map.records_end;
        const place pb = n < b.sc.primmx ? b.map.prim[n][P_TYPE] : b.map.records_end;
        w.whole("the number of primitives", a.sc.primmx, b.sc.primmx, pa, pb);
    }
    for (int i = 0; i < n && !w.found; i++)
        if (!same_partners(a.sc.pri[i], b.sc.pri[i]))
            w.differ(prim_name(i, "partners"), partners(a.sc.pri[i]), partners(b.sc.pri[i]),
                     group_place(a, i), group_place(b, i));
}

} // namespace

bool key_differs(const keyscene &a, const keyscene &b, keydiff &d)
{
    walk w{d};
    const scene &sa = a.sc, &sb = b.sc;
    const place *va = a.map.view, *vb = b.map.view;
    w.whole("ixmx", sa.ixmx, sb.ixmx, va[V_IXMX], vb[V_IXMX]);
    w.whole("iymx", sa.iymx, sb.iymx, va[V_IYMX], vb[V_IYMX]);
    w.whole("the number of lights", sa.nlg, sb.nlg, va[V_NLG], vb[V_NLG]);
    w.whole("ilvlmx", sa.ilvlmx, sb.ilvlmx, va[V_ILVLMX], vb[V_ILVLMX]);
    if (!w.found)
        compare_records(w, a, b);
    return w.found;
}

void key_place(int k, int n, int nkeys, int &seg, double &u)
{
    if (n <= 1 || nkeys <= 1) {
        seg = 0;
        u = 0;
        return;
    }
    const double t = (double)k * (nkeys - 1) / (n - 1);
    seg = (int)std::floor(t);
    if (seg > nkeys - 2)
        seg = nkeys - 2;
    u = t - seg;
}

double key_real(double a, double b, double u)
{
    if (!std::memcmp(&a, &b, sizeof a))
        return a;
    return a + (b - a) * u;
}

int key_whole(int a, int b, double u)
{
    if (a == b)
        return a;
    return (int)std::round((double)a + ((double)b - (double)a) * u);
}

void key_mix(const keyscene &a, const keyscene &b, double u, scene &sc, vec *axes)
{
    const scene &sa = a.sc, &sb = b.sc;
    sc = sa;
    auto real = [u](double &out, double x, double y) { out = key_real(x, y, u); };
    auto point = [&](vec &out, const vec &x, const vec &y) {
        real(out.x, x.x, y.x), real(out.y, x.y, y.y), real(out.z, x.z, y.z);
    };
    real(sc.rx, sa.rx, sb.rx), real(sc.ry, sa.ry, sb.ry), real(sc.rz, sa.rz, sb.rz);
    real(sc.vpnax, sa.vpnax, sb.vpnax), real(sc.vpnay, sa.vpnay, sb.vpnay);
    real(sc.vpnaz, sa.vpnaz, sb.vpnaz);
    real(sc.dlength, sa.dlength, sb.dlength), real(sc.wdu, sa.wdu, sb.wdu);
    for (int i = 0; i < sc.nlg && i < LIGHT_MAX; i++) {
        point(sc.lig[i].pos, sa.lig[i].pos, sb.lig[i].pos);
        real(sc.lig[i].bright, sa.lig[i].bright, sb.lig[i].bright);
    }
    for (int i = 0; i < sc.primmx; i++) {
        const primrec &pa = sa.pri[i], &pb = sb.pri[i];
        primrec &p = sc.pri[i];
        real(p.ka, pa.ka, pb.ka), real(p.kd, pa.kd, pb.kd), real(p.ks, pa.ks, pb.ks);
        p.npow = key_whole(pa.npow, pb.npow, u);
        real(p.refr, pa.refr, pb.refr), real(p.trans, pa.trans, pb.trans);
        real(p.patw, pa.patw, pb.patw);
        // the shape as the files give it, then as the reader keeps it
        point(axes[i], a.map.axes[i], b.map.axes[i]);
        p.geom = axes[i];
        if (p.type == PRIM_QUADRIC || p.type == PRIM_CONE)
            p.geom = vec{axis_coef(p.geom.x), axis_coef(p.geom.y), axis_coef(p.geom.z)};
        point(p.pos, pa.pos, pb.pos);
        p.col.r = key_whole(pa.col.r, pb.col.r, u);
        p.col.g = key_whole(pa.col.g, pb.col.g, u);
        p.col.b = key_whole(pa.col.b, pb.col.b, u);
    }
}
