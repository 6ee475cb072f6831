// testscene.h - small helpers for the engine tests.
//
//   scene_begin()            start-up state: empty tables, no warnings
//   prim(type, geom, pos)    a record with neutral optics (opaque, all
//                            coefficients 0, white, sense +1, no group)
//   add(p) / light(pos, b)   append to pri / lig, returning the index
//   group({i, j, ...})       make 0-based indices partners, as a group
//   look(...)                the camera globals in one call
//   scratch                  a private directory for files, removed at the end
//   slurp(path) / spit(path, bytes)
//   has_warning("text")      a warning line contains text
//   picture()                the planes' current picture, red, green, blue
#pragma once

#include "scene/scene.h"
#include "scene/warn.h"
#include "image/rgb.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

inline void scene_begin()
{
    scene_reset();
    warn_clear();
}

inline primrec prim(int type, vec geom, vec pos = {0, 0, 0}, int sense = 1)
{
    primrec p{};
    p.type = type;
    p.surf = 1;
    p.sense = sense;
    p.geom = geom;
    p.pos = pos;
    p.col = colr{255, 255, 255};
    return p;
}

// A sphere of radius r about c (coefficients as the reader stores them).
inline primrec sphere(double r, vec c = {0, 0, 0}, int sense = 1)
{
    double k = 1 / (r * r);
    return prim(3, vec{k, k, k}, c, sense);
}

inline int add(const primrec &p)
{
    pri[primmx] = p;
    return primmx++;
}

inline int light(vec pos, double bright = 1)
{
    lig[nlg] = ligrec{pos, bright};
    return nlg++;
}

inline void group(std::initializer_list<int> m)
{
    const int *v = m.begin(), n = (int)m.size();
    for (int i = 0; i < n; i++) {
        primrec &p = pri[v[i]];
        p.nmem = 0;
        for (int j = 0; j < n; j++)
            if (j != i)
                p.mem[p.nmem++] = v[j];
    }
}

inline void look(vec at, vec dir, double dl, double w, int width, int height, int depth = 0)
{
    rx = at.x, ry = at.y, rz = at.z;
    vpnax = dir.x, vpnay = dir.y, vpnaz = dir.z;
    dlength = dl;
    wdu = w;
    ixmx = width;
    iymx = height;
    ilvlmx = depth;
}

// A directory of its own for each test program, on a memory file system
// when there is one (the BMP round trip writes a thousand files).
struct scratch_dir {
    std::string dir;
    scratch_dir()
    {
        struct stat st;
        const char *base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
        char tmpl[256];
        std::snprintf(tmpl, sizeof tmpl, "%s/koru-test-XXXXXX", base);
        if (mkdtemp(tmpl))
            dir = tmpl;
    }
    ~scratch_dir()
    {
        if (!dir.empty())
            std::system(("rm -rf '" + dir + "'").c_str());
    }
    std::string operator()(const std::string &name) const { return dir + "/" + name; }
};

inline scratch_dir scratch;

inline std::string slurp(const std::string &path)
{
    std::string s;
    FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return s;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    std::fclose(f);
    return s;
}

inline void spit(const std::string &path, const std::string &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline bool has_warning(const char *text)
{
    for (int i = 0; i < nwarn; i++)
        if (std::strstr(warns[i], text))
            return true;
    return false;
}

// The ixmx x iymx picture in the planes: red, then green, then blue.
inline std::vector<unsigned char> picture()
{
    size_t n = (size_t)ixmx * iymx;
    std::vector<unsigned char> v(gdatar, gdatar + n);
    v.insert(v.end(), gdatag, gdatag + n);
    v.insert(v.end(), gdatab, gdatab + n);
    return v;
}
