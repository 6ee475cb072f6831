#include "info_json.h"

#include "../scene/scene.h"
#include "../base/msg.h"

#include <charconv>
#include <cmath>

namespace {

// As printf's "%.17g" writes it, in any locale and several times as fast.
void num(std::string &o, double v)
{
    if (!std::isfinite(v)) {
        o += "null";
        return;
    }
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 17);
    o.append(buf, r.ptr);
}

void num(std::string &o, int v)
{
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    o.append(buf, r.ptr);
}

void name(std::string &o, const char *k)
{
    o += '"';
    o += k;
    o += "\":";
}

template <class T>
void key(std::string &o, const char *k, T v, bool comma = true)
{
    name(o, k);
    num(o, v);
    if (comma)
        o += ',';
}

void triple(std::string &o, const char *k, double a, double b, double c)
{
    name(o, k);
    o += '[';
    num(o, a);
    o += ',';
    num(o, b);
    o += ',';
    num(o, c);
    o += ']';
}

void str(std::string &o, const char *s)
{
    static const char hex[] = "0123456789abcdef";
    o += '"';
    for (const unsigned char *p = (const unsigned char *)s; *p; p++) {
        if (*p == '"' || *p == '\\') {
            o += '\\';
            o += (char)*p;
        } else if (*p < 0x20) {
            o += "\\u00";
            o += hex[*p >> 4];
            o += hex[*p & 15];
        } else {
            o += (char)*p;
        }
    }
    o += '"';
}

} // namespace

void info_json_text(std::string &o, const scene &sc, const msglist &msgs)
{
    o.clear();
    o += '{';
    key(o, "rx", sc.rx), key(o, "ry", sc.ry), key(o, "rz", sc.rz);
    key(o, "vpnax", sc.vpnax), key(o, "vpnay", sc.vpnay), key(o, "vpnaz", sc.vpnaz);
    key(o, "dlength", sc.dlength), key(o, "wdu", sc.wdu);
    key(o, "ixmx", sc.ixmx), key(o, "iymx", sc.iymx), key(o, "ilvlmx", sc.ilvlmx);
    key(o, "nlg", sc.nlg), key(o, "primmx", sc.primmx);

    o += "\"lights\":[";
    for (int i = 0; i < sc.nlg; i++) {
        const ligrec &l = sc.lig[i];
        o += i ? ",{" : "{";
        triple(o, "pos", l.pos.x, l.pos.y, l.pos.z);
        o += ',';
        key(o, "bright", l.bright, false);
        o += '}';
    }
    o += "],\"primitives\":[";
    for (int i = 0; i < sc.primmx; i++) {
        const primrec &p = sc.pri[i];
        o += i ? ",{" : "{";
        key(o, "type", p.type), key(o, "surf", p.surf);
        key(o, "ka", p.ka), key(o, "kd", p.kd), key(o, "ks", p.ks);
        key(o, "spare", p.spare), key(o, "npow", p.npow);
        key(o, "refr", p.refr), key(o, "trans", p.trans);
        key(o, "pat", p.pat), key(o, "patw", p.patw), key(o, "sense", p.sense);
        triple(o, "geom", p.geom.x, p.geom.y, p.geom.z);
        o += ',';
        triple(o, "pos", p.pos.x, p.pos.y, p.pos.z);
        o += ",\"col\":[";
        num(o, p.col.r);
        o += ',';
        num(o, p.col.g);
        o += ',';
        num(o, p.col.b);
        o += "],";
        key(o, "nmem", p.nmem);
        o += "\"mem\":[";
        for (int m = 0; m < p.nmem; m++) {
            if (m)
                o += ',';
            num(o, p.mem[m]);
        }
        o += "]}";
    }
    o += "],\"warnings\":[";
    for (size_t i = 0; i < msgs.lines.size(); i++) {
        if (i)
            o += ',';
        str(o, msgs.lines[i].text.c_str());
    }
    o += "]}\n";
}

void info_json(std::FILE *out, const scene &sc, const msglist &msgs)
{
    std::string text;
    info_json_text(text, sc, msgs);
    std::fwrite(text.data(), 1, text.size(), out);
}
