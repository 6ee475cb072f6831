#include "rtread.h"

#include "numin.h"
#include "scene.h"
#include "warn.h"

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
void set_group(int *m, int n, int g)
{
    int k = 0;
    for (int i = 0; i < n; i++) {
        if (m[i] < 0 || m[i] >= primmx) {
            warn("group %d: %d is not a primitive number (1..%d); left out", g, m[i] + 1, primmx);
            continue;
        }
        m[k++] = m[i];
    }
    if (k == 1)
        pri[m[0]].nmem = 0;
    if (k < 2)
        return;
    for (int i = 0; i < k; i++) {
        primrec &p = pri[m[i]];
        int j = 0;
        for (int o = 0; o < k; o++)
            if (o != i)
                p.mem[j++] = m[o];
        p.nmem = k - 1;
    }
}

const char *STOP = "no more numbers";

void read_groups(numin &in)
{
    int t, g = 0;
    if (!rd(in, t)) {
        warn("group section: %s after the primitive list; a negative number should end it", STOP);
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
            warn("group %d: more than %d members; the number after member %d is dropped and "
                 "the rest form the next group", g, MEMBER_MAX, MEMBER_MAX);
        set_group(m, n, g);
        if (open) {
            warn("group %d: %s after %d members; a negative number should end it", g, STOP, n);
            return;
        }
        // the number after the group: a negative one ends the section
        if (!rd(in, t)) {
            warn("group section: %s after %d groups; a negative number should end it", STOP, g);
            return;
        }
    }
}

void read_prims(numin &in)
{
    primrec spill; // records beyond PRIM_MAX are read into this and dropped
    int t, dropped = 0;
    if (!rd(in, t)) {
        warn("primitive list: %s after 0 records; a negative number should end it", STOP);
        return;
    }
    while (t >= 0) {
        primrec &p = primmx < PRIM_MAX ? pri[primmx] : spill;
        p.type = t;
        p.nmem = 0;
        if (!read_record(in, p)) {
            warn("primitive list: %s inside record %d; it is left out", STOP, primmx + dropped + 1);
            break;
        }
        if (p.type == 3 || p.type == 4) {
            to_coef(p.geom.x);
            to_coef(p.geom.y);
            to_coef(p.geom.z);
        }
        if (&p == &spill)
            dropped++;
        else
            primmx++;
        if (!rd(in, t)) {
            warn("primitive list: %s after %d records; a negative number should end it", STOP,
                 primmx + dropped);
            break;
        }
    }
    if (dropped)
        warn("%d primitives; only the first %d are used", primmx + dropped, PRIM_MAX);
    if (!in.bad)
        read_groups(in);
}

void read_lights(numin &in, int count)
{
    ligrec spill;
    int i = 0;
    for (; i < count; i++) {
        ligrec &l = i < LIGHT_MAX ? lig[i] : spill;
        if (!rd(in, l.pos.x, l.pos.y, l.pos.z, l.bright))
            break;
    }
    if (i < count) {
        nlg = i < LIGHT_MAX ? i : LIGHT_MAX;
        warn("light list: %s after %d of %d lights", STOP, i, count);
    } else if (count > LIGHT_MAX) {
        nlg = LIGHT_MAX;
        warn("%d lights; only the first %d are used", count, LIGHT_MAX);
    }
}

} // namespace

int data_load(const char *path)
{
    warn_clear();
    struct stat st;
    std::FILE *f = nullptr;
    if (stat(path, &st) == 0 && !S_ISDIR(st.st_mode))
        f = std::fopen(path, "r");
    if (!f) {
        std::printf("Cannot open \"%s\" !!\n", path);
        std::fflush(stdout);
        return 0;
    }
    numin in{f, 0, 0};
    if (!rd(in, rx, ry, rz) || !rd(in, vpnax, vpnay, vpnaz) || !rd(in, dlength, wdu) ||
        !rd(in, ixmx, iymx) || !rd(in, nlg)) {
        warn("%s in the view settings at the start of the file", STOP);
        nlg = primmx = 0;
    } else {
        if (nlg > 0)
            read_lights(in, nlg);
        primmx = 0;
        if (in.bad)
            ;
        else if (!rd(in, ilvlmx))
            warn("%s where the recursion depth should follow the lights", STOP);
        else
            read_prims(in);
    }
    if (in.clamped)
        warn("an integer beyond %d was taken as the nearest one in range", 2147483647);
    std::fclose(f);
    return 1;
}
