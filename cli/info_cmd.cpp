// koru-cli info: the scene model as one JSON object.
#include "cli.h"

#include "../scene/rtread.h"
#include "../scene/scene.h"
#include "../scene/warn.h"

#include <cmath>
#include <cstdio>

const char *info_help =
    "usage: koru-cli info SCENE.RT\n"
    "\n"
    "Loads SCENE.RT and prints the scene model on stdout as one JSON object:\n"
    "camera and size, lights and primitives in table order (quadric and cone\n"
    "coefficients as stored, partner lists of groups as 0-based indices), and\n"
    "the reader's warnings. Numbers that are not finite print as null.\n";

namespace {

void num(double v)
{
    if (std::isfinite(v))
        std::printf("%.17g", v);
    else
        std::fputs("null", stdout);
}

void key(const char *k, double v, bool comma = true)
{
    std::printf("\"%s\":", k);
    num(v);
    if (comma)
        std::putchar(',');
}

void key(const char *k, int v) { std::printf("\"%s\":%d,", k, v); }

void triple(const char *k, double a, double b, double c)
{
    std::printf("\"%s\":[", k);
    num(a);
    std::putchar(',');
    num(b);
    std::putchar(',');
    num(c);
    std::putchar(']');
}

void str(const char *s)
{
    std::putchar('"');
    for (const unsigned char *p = (const unsigned char *)s; *p; p++) {
        if (*p == '"' || *p == '\\')
            std::printf("\\%c", *p);
        else if (*p < 0x20)
            std::printf("\\u%04x", *p);
        else
            std::putchar(*p);
    }
    std::putchar('"');
}

} // namespace

int cmd_info(int argc, char **argv)
{
    if (argc != 1)
        return usage_error(info_help, argc ? "info takes one scene file" : "info needs a scene file");
    const char *scene = argv[0];
    if (!data_load(scene))
        return fail("%s: cannot open the scene file", scene);
    print_warnings(scene);

    std::putchar('{');
    key("rx", rx), key("ry", ry), key("rz", rz);
    key("vpnax", vpnax), key("vpnay", vpnay), key("vpnaz", vpnaz);
    key("dlength", dlength), key("wdu", wdu);
    key("ixmx", ixmx), key("iymx", iymx), key("ilvlmx", ilvlmx);
    key("nlg", nlg), key("primmx", primmx);

    std::fputs("\"lights\":[", stdout);
    for (int i = 0; i < nlg; i++) {
        const ligrec &l = lig[i];
        std::fputs(i ? ",{" : "{", stdout);
        triple("pos", l.pos.x, l.pos.y, l.pos.z);
        std::putchar(',');
        key("bright", l.bright, false);
        std::putchar('}');
    }
    std::fputs("],\"primitives\":[", stdout);
    for (int i = 0; i < primmx; i++) {
        const primrec &p = pri[i];
        std::fputs(i ? ",{" : "{", stdout);
        key("type", p.type), key("surf", p.surf);
        key("ka", p.ka), key("kd", p.kd), key("ks", p.ks);
        key("spare", p.spare), key("npow", p.npow);
        key("refr", p.refr), key("trans", p.trans);
        key("pat", p.pat), key("patw", p.patw), key("sense", p.sense);
        triple("geom", p.geom.x, p.geom.y, p.geom.z);
        std::putchar(',');
        triple("pos", p.pos.x, p.pos.y, p.pos.z);
        std::printf(",\"col\":[%d,%d,%d],\"nmem\":%d,\"mem\":[", p.col.r, p.col.g, p.col.b, p.nmem);
        for (int m = 0; m < p.nmem; m++)
            std::printf(m ? ",%d" : "%d", p.mem[m]);
        std::fputs("]}", stdout);
    }
    std::fputs("],\"warnings\":[", stdout);
    for (int i = 0; i < nwarn; i++) {
        if (i)
            std::putchar(',');
        str(warns[i]);
    }
    std::fputs("]}\n", stdout);
    return 0;
}
