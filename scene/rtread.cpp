#include "rtread.h"

#include "numin.h"
#include "scene.h"

#include "../base/msg.h"
#include "../base/openread.h"
#include "../base/sizes.h"

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <type_traits>

const char *const view_field[VIEW_FIELDS] = {
    "rx", "ry", "rz", "vpnax", "vpnay", "vpnaz", "dlength", "wdu", "ixmx", "iymx", "nlg", "ilvlmx",
};
const char *const prim_field[PRIM_FIELDS] = {
    "type",   "surf",  "ka",    "kd",    "ks",    "spare",  "npow",
    "refr",   "trans", "pat",   "patw",  "sense", "geom.x", "geom.y",
    "geom.z", "pos.x", "pos.y", "pos.z", "col.r", "col.g",  "col.b",
};
const char *const light_field[LIGHT_FIELDS] = {"pos.x", "pos.y", "pos.z", "bright"};

namespace {

// One reading of one file: the stream, where its lines go and where the
// places of the numbers go (nowhere without a map).
struct reader {
    numin &in;
    scene &sc;
    msglist &msgs;
    scene_map *map;
    place spare;             // the place of a number no map keeps
    const char *failed = ""; // the field of the read that failed

    place &slot(place *p) { return p ? *p : spare; }

    void said(const place &p, const char *fmt, ...) __attribute__((format(printf, 3, 4)));

    // Reads one number named name into v, its place into at (or nowhere).
    template <class T>
    bool num(T &v, const char *name, place *at = nullptr)
    {
        const int ok = read(v);
        slot(at) = place{in.at_line, in.at_col};
        if (!ok)
            failed = name;
        if constexpr (std::is_same_v<T, int>)
            if (ok && in.clamped)
                msgs.add_at(in.at_line, in.at_col,
                            "%s is beyond the int range (%d..%d); read as %d", name, INT_MIN,
                            INT_MAX, v);
        return ok;
    }
    int read(int &v) { return scan_int(in, v); }
    int read(double &v) { return scan_dbl(in, v); }

    // The line for the read that failed: ctx, what stopped it (the end of
    // the file, or text that is no number), then what follows from it.
    void stopped(const char *ctx, const char *field, const char *then)
    {
        if (in.ended)
            msgs.add_at(in.at_line, in.at_col, "%s: the file ends where %s should be; %s", ctx,
                        field, then);
        else
            msgs.add_at(in.at_line, in.at_col, "%s: %s is not a number (\"%s\"); %s", ctx, field,
                        in.tok, then);
    }

    // The same where a list could end: after is what came before ("2
    // records"), what is the list a negative number should end.
    void unended(const char *ctx, const char *after, const char *what)
    {
        if (in.ended)
            msgs.add_at(in.at_line, in.at_col,
                        "%s: the file ends after %s; a negative number should end %s", ctx, after,
                        what);
        else
            msgs.add_at(in.at_line, in.at_col,
                        "%s: \"%s\" after %s is not a number; a negative number should end %s", ctx,
                        in.tok, after, what);
    }
};

void reader::said(const place &p, const char *fmt, ...)
{
    char text[400];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    msgs.add_at(p.line, p.col, "%s", text);
}

// The fields after the type number, into p; places into at (PRIM_FIELDS).
bool read_record(reader &R, primrec &p, place *at)
{
    int *ints[PRIM_FIELDS] = {};
    double *dbls[PRIM_FIELDS] = {};
    ints[P_SURF] = &p.surf, dbls[P_KA] = &p.ka, dbls[P_KD] = &p.kd, dbls[P_KS] = &p.ks;
    ints[P_SPARE] = &p.spare, ints[P_NPOW] = &p.npow, dbls[P_REFR] = &p.refr;
    dbls[P_TRANS] = &p.trans, ints[P_PAT] = &p.pat, dbls[P_PATW] = &p.patw;
    ints[P_SENSE] = &p.sense;
    dbls[P_GX] = &p.geom.x, dbls[P_GY] = &p.geom.y, dbls[P_GZ] = &p.geom.z;
    dbls[P_PX] = &p.pos.x, dbls[P_PY] = &p.pos.y, dbls[P_PZ] = &p.pos.z;
    ints[P_R] = &p.col.r, ints[P_G] = &p.col.g, ints[P_B] = &p.col.b;
    for (int k = P_SURF; k < PRIM_FIELDS; k++) {
        place *where = at ? at + k : nullptr;
        if (ints[k] ? !R.num(*ints[k], prim_field[k], where)
                    : !R.num(*dbls[k], prim_field[k], where))
            return false;
    }
    return true;
}

// Partner lists of one group of n members (0-based indices, list order,
// at their places). Members that name no primitive in use are left out.
void set_group(reader &R, int *m, place *at, int n, int g)
{
    scene &sc = R.sc;
    int k = 0;
    for (int i = 0; i < n; i++) {
        if (m[i] < 0 || m[i] >= sc.primmx) {
            R.said(at[i], "group %d: %d is not a primitive number (1..%d); left out", g, m[i] + 1,
                   sc.primmx);
            continue;
        }
        at[k] = at[i];
        m[k++] = m[i];
    }
    if (R.map) {
        for (int i = 0; i < k; i++) {
            R.map->group[m[i]] = at[0];
            R.map->twice[m[i]] = place{};
        }
        for (int i = 0; i < k; i++)
            for (int j = 0; j < i; j++)
                if (m[j] == m[i] && !R.map->twice[m[i]].line) {
                    R.map->twice[m[i]] = at[i];
                    break;
                }
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

void read_groups(reader &R)
{
    int t, g = 0;
    place t_at;
    if (!R.num(t, "group", &t_at)) {
        R.unended("group section", "the primitive list", "the group section");
        return;
    }
    while (t >= 0) {
        int m[MEMBER_MAX], n = 0;
        place at[MEMBER_MAX];
        bool open = false;
        while (t >= 0 && n < MEMBER_MAX) {
            at[n] = t_at;
            m[n++] = t - 1;
            if (!R.num(t, "member", &t_at)) {
                open = true;
                break;
            }
        }
        g++;
        if (n == MEMBER_MAX && !open && t >= 0)
            R.said(t_at,
                   "group %d: more than %d members; this number after member %d is dropped "
                   "and the rest form the next group",
                   g, MEMBER_MAX, MEMBER_MAX);
        set_group(R, m, at, n, g);
        if (open) {
            char ctx[40], after[40];
            std::snprintf(ctx, sizeof ctx, "group %d", g);
            std::snprintf(after, sizeof after, "%d member%s", n, n == 1 ? "" : "s");
            R.unended(ctx, after, "the group");
            return;
        }
        // the number after the group: a negative one ends the section
        if (!R.num(t, "group", &t_at)) {
            char after[40];
            std::snprintf(after, sizeof after, "%d group%s", g, g == 1 ? "" : "s");
            R.unended("group section", after, "the group section");
            return;
        }
    }
}

void read_prims(reader &R)
{
    scene &sc = R.sc;
    primrec spill; // records beyond PRIM_MAX are read into this and dropped
    place spill_at[PRIM_FIELDS];
    int t, dropped = 0;
    place t_at, first_dropped;
    if (!R.num(t, "type", &t_at)) {
        R.unended("primitive list", "0 records", "the list");
        return;
    }
    while (t >= 0) {
        const int index = sc.primmx + dropped + 1;
        const bool kept = sc.primmx < PRIM_MAX;
        primrec &p = kept ? sc.pri[sc.primmx] : spill;
        place *at = !kept ? spill_at : R.map ? R.map->prim[sc.primmx] : nullptr;
        p.type = t;
        p.nmem = 0;
        if (at)
            at[P_TYPE] = t_at;
        if (kept && R.map)
            R.map->group[sc.primmx] = R.map->twice[sc.primmx] = place{};
        if (!read_record(R, p, at)) {
            if (R.in.ended)
                R.said(place{R.in.at_line, R.in.at_col},
                       "primitive list: the file ends inside record %d, where %s should be; it "
                       "is left out",
                       index, R.failed);
            else
                R.said(place{R.in.at_line, R.in.at_col},
                       "primitive list: %s is not a number (\"%s\") inside record %d; it is "
                       "left out",
                       R.failed, R.in.tok, index);
            if (at)
                for (int k = 0; k < PRIM_FIELDS; k++)
                    at[k] = place{};
            break;
        }
        if (kept && R.map)
            R.map->axes[sc.primmx] = p.geom;
        if (p.type == PRIM_QUADRIC || p.type == PRIM_CONE) {
            p.geom.x = axis_coef(p.geom.x);
            p.geom.y = axis_coef(p.geom.y);
            p.geom.z = axis_coef(p.geom.z);
        }
        if (!kept) {
            if (!dropped)
                first_dropped = t_at;
            dropped++;
        } else {
            sc.primmx++;
        }
        if (!R.num(t, "type", &t_at)) {
            char after[40];
            std::snprintf(after, sizeof after, "%d record%s", index, index == 1 ? "" : "s");
            R.unended("primitive list", after, "the list");
            break;
        }
    }
    if (dropped)
        R.said(first_dropped, "%d primitives; only the first %d are used", sc.primmx + dropped,
               PRIM_MAX);
    if (R.map) {
        R.map->records_ended = !R.in.bad; // a failed read is what ends the loop early
        R.map->records_end = R.in.bad ? place{} : t_at;
    }
    if (!R.in.bad)
        read_groups(R);
}

void read_lights(reader &R, int count, const place &nlg_at)
{
    scene &sc = R.sc;
    ligrec spill;
    int i = 0;
    for (; i < count; i++) {
        const bool kept = i < LIGHT_MAX;
        ligrec &l = kept ? sc.lig[i] : spill;
        place *at = kept && R.map ? R.map->light[i] : nullptr;
        double *v[LIGHT_FIELDS] = {&l.pos.x, &l.pos.y, &l.pos.z, &l.bright};
        bool ok = true;
        for (int k = 0; ok && k < LIGHT_FIELDS; k++)
            ok = R.num(*v[k], light_field[k], at ? at + k : nullptr);
        if (!ok) {
            if (at)
                for (int k = 0; k < LIGHT_FIELDS; k++)
                    at[k] = place{};
            break;
        }
    }
    if (i < count) {
        sc.nlg = i < LIGHT_MAX ? i : LIGHT_MAX;
        char field[60], then[60];
        std::snprintf(field, sizeof field, "%s of light %d", R.failed, i + 1);
        std::snprintf(then, sizeof then, "%d of %d lights %s kept", sc.nlg, count,
                      sc.nlg == 1 ? "is" : "are");
        R.stopped("light list", field, then);
    } else if (count > LIGHT_MAX) {
        sc.nlg = LIGHT_MAX;
        R.said(nlg_at, "%d lights; only the first %d are used", count, LIGHT_MAX);
    }
}

void clear_map(scene_map *map)
{
    if (map) {
        for (place &p : map->view)
            p = place{};
        map->records_ended = false;
        map->records_end = place{};
    }
}

int read_scene(numin &in, scene &sc, msglist &msgs, scene_map *map)
{
    clear_map(map);
    reader R{in, sc, msgs, map, {}};
    place own[VIEW_FIELDS];
    place *v = map ? map->view : own;
    auto at = [&](int k) { return v + k; };
    if (!R.num(sc.rx, "rx", at(V_RX)) || !R.num(sc.ry, "ry", at(V_RY)) ||
        !R.num(sc.rz, "rz", at(V_RZ)) || !R.num(sc.vpnax, "vpnax", at(V_VPNAX)) ||
        !R.num(sc.vpnay, "vpnay", at(V_VPNAY)) || !R.num(sc.vpnaz, "vpnaz", at(V_VPNAZ)) ||
        !R.num(sc.dlength, "dlength", at(V_DLENGTH)) || !R.num(sc.wdu, "wdu", at(V_WDU)) ||
        !R.num(sc.ixmx, "ixmx", at(V_IXMX)) || !R.num(sc.iymx, "iymx", at(V_IYMX)) ||
        !R.num(sc.nlg, "nlg", at(V_NLG))) {
        R.stopped("view settings", R.failed, "nothing after it is read");
        sc.nlg = sc.primmx = 0;
        return 1;
    }
    if (sc.nlg > 0)
        read_lights(R, sc.nlg, v[V_NLG]);
    sc.primmx = 0;
    if (R.in.bad)
        return 1;
    if (!R.num(sc.ilvlmx, "ilvlmx", at(V_ILVLMX)))
        R.stopped("recursion depth", "ilvlmx", "no primitives are read");
    else
        read_prims(R);
    return 1;
}

} // namespace

int data_load(scene &sc, const char *path, msglist &msgs, scene_map *map)
{
    std::FILE *f = open_within(path, SCENE_FILE_MAX, "scene file", msgs);
    if (!f)
        return 0;
    numin in(f);
    read_scene(in, sc, msgs, map);
    std::fclose(f);
    return 1;
}

int data_load_text(scene &sc, const char *text, size_t n, msglist &msgs, scene_map *map)
{
    if (n > (size_t)SCENE_FILE_MAX) {
        clear_map(map);
        msgs.add("a scene text of %zu bytes is not read: more than the %lld MB KORU reads", n,
                 SCENE_FILE_MAX >> 20);
        return 0;
    }
    numin in(text, n);
    return read_scene(in, sc, msgs, map);
}
