#include "rtread.h"

#include "numin.h"
#include "scene.h"

#include "../base/msg.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>

namespace {

int rd(numin &in, double &v) { return scan_dbl(in, v); }
int rd(numin &in, int &v) { return scan_int(in, v); }

template <class... T>
int rd(numin &in, T &...v)
{
    return (rd(in, v) && ...);
}

int rdvec(numin &in, vec &v) { return rd(in, v.x, v.y, v.z); }

// The ten groups of fields after the type number.
int read_record(numin &in, primrec &p)
{
    return rd(in, p.surf) && rd(in, p.ka, p.kd, p.ks) && rd(in, p.spare, p.npow) &&
           rd(in, p.refr, p.trans) && rd(in, p.pat) && rd(in, p.patw) && rd(in, p.sense) &&
           rdvec(in, p.geom) && rdvec(in, p.pos) && rd(in, p.col.r, p.col.g, p.col.b);
}

// Semi-axes of quadrics and cones become coefficients sgn(v)/v^2.
void to_coef(double &v)
{
    if (v != 0)
        v = sgn(v) / times2(v);
}

// Partner lists of one group of n members (0-based indices, list order).
// Members that name no primitive in use are left out.
void set_group(scene &sc, msglist &msgs, int *m, int n, int g)
{
    int k = 0;
    for (int i = 0; i < n; i++) {
        if (m[i] < 0 || m[i] >= sc.primmx) {
            msgs.add("group %d: %d is not a primitive number (1..%d); left out", g, m[i] + 1,
                     sc.primmx);
            continue;
        }
        m[k++] = m[i];
    }
    if (k == 1)
        sc.pri[m[0]].nmem = 0;
    if (k < 2)
        return;
    for (int i = 0; i < k; i++) {
        primrec &p = sc.pri[m[i]];
        int j = 0;
        for (int o = 0; o < k; o++)
            if (o != i)
                p.mem[j++] = m[o];
        p.nmem = k - 1;
    }
}

const char *STOP = "no more numbers";

void read_groups(numin &in, scene &sc, msglist &msgs)
{
    int t, g = 0;
    if (!rd(in, t)) {
        msgs.add("group section: %s after the primitive list; a negative number should end it", STOP);
        return;
    }
    while (t >= 0) {
        int m[MEMBER_MAX], n = 0;
        bool open = false;
        while (t >= 0 && n < MEMBER_MAX) {
            m[n++] = t - 1;
            if (!rd(in, t)) {
                open = true;
                break;
            }
        }
        g++;
        if (n == MEMBER_MAX && !open && t >= 0)
            msgs.add("group %d: more than %d members; the number after member %d is dropped and "
                 "the rest form the next group", g, MEMBER_MAX, MEMBER_MAX);
        set_group(sc, msgs, m, n, g);
        if (open) {
            msgs.add("group %d: %s after %d members; a negative number should end it", g, STOP, n);
            return;
        }
        // the number after the group: a negative one ends the section
        if (!rd(in, t)) {
            msgs.add("group section: %s after %d groups; a negative number should end it", STOP, g);
            return;
        }
    }
}

void read_prims(numin &in, scene &sc, msglist &msgs)
{
    primrec spill; // records beyond PRIM_MAX are read into this and dropped
    int t, dropped = 0;
    if (!rd(in, t)) {
        msgs.add("primitive list: %s after 0 records; a negative number should end it", STOP);
        return;
    }
    while (t >= 0) {
        primrec &p = sc.primmx < PRIM_MAX ? sc.pri[sc.primmx] : spill;
        p.type = t;
        p.nmem = 0;
        if (!read_record(in, p)) {
            msgs.add("primitive list: %s inside record %d; it is left out", STOP,
                     sc.primmx + dropped + 1);
            break;
        }
        if (p.type == PRIM_QUADRIC || p.type == PRIM_CONE) {
            to_coef(p.geom.x);
            to_coef(p.geom.y);
            to_coef(p.geom.z);
        }
        if (&p == &spill)
            dropped++;
        else
            sc.primmx++;
        if (!rd(in, t)) {
            msgs.add("primitive list: %s after %d records; a negative number should end it", STOP,
                     sc.primmx + dropped);
            break;
        }
    }
    if (dropped)
        msgs.add("%d primitives; only the first %d are used", sc.primmx + dropped, PRIM_MAX);
    if (!in.bad)
        read_groups(in, sc, msgs);
}

void read_lights(numin &in, scene &sc, msglist &msgs, int count)
{
    ligrec spill;
    int i = 0;
    for (; i < count; i++) {
        ligrec &l = i < LIGHT_MAX ? sc.lig[i] : spill;
        if (!rd(in, l.pos.x, l.pos.y, l.pos.z, l.bright))
            break;
    }
    if (i < count) {
        sc.nlg = i < LIGHT_MAX ? i : LIGHT_MAX;
        msgs.add("light list: %s after %d of %d lights", STOP, i, count);
    } else if (count > LIGHT_MAX) {
        sc.nlg = LIGHT_MAX;
        msgs.add("%d lights; only the first %d are used", count, LIGHT_MAX);
    }
}

} // namespace

int data_load(scene &sc, const char *path, msglist &msgs)
{
    struct stat st;
    std::FILE *f = nullptr;
    const char *why = "it is a directory";
    if (stat(path, &st) != 0)
        why = std::strerror(errno);
    else if (!S_ISDIR(st.st_mode) && !(f = std::fopen(path, "r")))
        why = std::strerror(errno);
    if (!f) {
        msgs.add("cannot open \"%s\": %s", path, why);
        return 0;
    }
    numin in{f, 0, 0};
    if (!rd(in, sc.rx, sc.ry, sc.rz) || !rd(in, sc.vpnax, sc.vpnay, sc.vpnaz) ||
        !rd(in, sc.dlength, sc.wdu) || !rd(in, sc.ixmx, sc.iymx) || !rd(in, sc.nlg)) {
        msgs.add("%s in the view settings at the start of the file", STOP);
        sc.nlg = sc.primmx = 0;
    } else {
        if (sc.nlg > 0)
            read_lights(in, sc, msgs, sc.nlg);
        sc.primmx = 0;
        if (in.bad)
            ;
        else if (!rd(in, sc.ilvlmx))
            msgs.add("%s where the recursion depth should follow the lights", STOP);
        else
            read_prims(in, sc, msgs);
    }
    if (in.clamped)
        msgs.add("an integer beyond %d was taken as the nearest one in range", INT_MAX);
    std::fclose(f);
    return 1;
}
