#include "info_json.h"

#include "../scene/scene.h"
#include "../base/msg.h"

#include <cmath>

namespace {

void num(std::FILE *o, double v)
{
    if (std::isfinite(v))
        std::fprintf(o, "%.17g", v);
    else
        std::fputs("null", o);
}

void key(std::FILE *o, const char *k, double v, bool comma = true)
{
    std::fprintf(o, "\"%s\":", k);
    num(o, v);
    if (comma)
        std::fputc(',', o);
}

void key(std::FILE *o, const char *k, int v) { std::fprintf(o, "\"%s\":%d,", k, v); }

void triple(std::FILE *o, const char *k, double a, double b, double c)
{
    std::fprintf(o, "\"%s\":[", k);
    num(o, a);
    std::fputc(',', o);
    num(o, b);
    std::fputc(',', o);
    num(o, c);
    std::fputc(']', o);
}

void str(std::FILE *o, const char *s)
{
    std::fputc('"', o);
    for (const unsigned char *p = (const unsigned char *)s; *p; p++) {
        if (*p == '"' || *p == '\\')
            std::fprintf(o, "\\%c", *p);
        else if (*p < 0x20)
            std::fprintf(o, "\\u%04x", *p);
        else
            std::fputc(*p, o);
    }
    std::fputc('"', o);
}

} // namespace

void info_json(std::FILE *o, const scene &sc, const msglist &msgs)
{
    std::fputc('{', o);
    key(o, "rx", sc.rx), key(o, "ry", sc.ry), key(o, "rz", sc.rz);
    key(o, "vpnax", sc.vpnax), key(o, "vpnay", sc.vpnay), key(o, "vpnaz", sc.vpnaz);
    key(o, "dlength", sc.dlength), key(o, "wdu", sc.wdu);
    key(o, "ixmx", sc.ixmx), key(o, "iymx", sc.iymx), key(o, "ilvlmx", sc.ilvlmx);
    key(o, "nlg", sc.nlg), key(o, "primmx", sc.primmx);

    std::fputs("\"lights\":[", o);
    for (int i = 0; i < sc.nlg; i++) {
        const ligrec &l = sc.lig[i];
        std::fputs(i ? ",{" : "{", o);
        triple(o, "pos", l.pos.x, l.pos.y, l.pos.z);
        std::fputc(',', o);
        key(o, "bright", l.bright, false);
        std::fputc('}', o);
    }
    std::fputs("],\"primitives\":[", o);
    for (int i = 0; i < sc.primmx; i++) {
        const primrec &p = sc.pri[i];
        std::fputs(i ? ",{" : "{", o);
        key(o, "type", p.type), key(o, "surf", p.surf);
        key(o, "ka", p.ka), key(o, "kd", p.kd), key(o, "ks", p.ks);
        key(o, "spare", p.spare), key(o, "npow", p.npow);
        key(o, "refr", p.refr), key(o, "trans", p.trans);
        key(o, "pat", p.pat), key(o, "patw", p.patw), key(o, "sense", p.sense);
        triple(o, "geom", p.geom.x, p.geom.y, p.geom.z);
        std::fputc(',', o);
        triple(o, "pos", p.pos.x, p.pos.y, p.pos.z);
        std::fprintf(o, ",\"col\":[%d,%d,%d],\"nmem\":%d,\"mem\":[", p.col.r, p.col.g, p.col.b,
                     p.nmem);
        for (int m = 0; m < p.nmem; m++)
            std::fprintf(o, m ? ",%d" : "%d", p.mem[m]);
        std::fputs("]}", o);
    }
    std::fputs("],\"warnings\":[", o);
    for (size_t i = 0; i < msgs.lines.size(); i++) {
        if (i)
            std::fputc(',', o);
        str(o, msgs.lines[i].text.c_str());
    }
    std::fputs("]}\n", o);
}
