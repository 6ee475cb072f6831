// testscene.h - small helpers for the engine tests.
//
// The tests work on one scene value, tsc, and one set of planes, tpl, as
// the window keeps its model and its picture; the names below are their
// fields (pri, primmx, ixmx, ..., gdatar), so a test reads like the model.
// The engine's calls that take a scene get it here:
//
//   data_load(path)          tsc from a file; the reader's lines in twarn
//   load_picture(path) / save_picture(path)   tpl from or to a BMP (PNG
//                            by the name), with ixmx, iymx
//   ray_main(stereo, opt)    a render of tsc; when it is done, the frame
//                            written back to tsc and the picture to tpl
//   calc, crossp, checkin, make_eye   on tsc (make_eye: the last frame)
//
//   scene_begin()            start-up state: empty tables, no warnings
//   prim(type, geom, pos)    a record with neutral optics (opaque, all
//                            coefficients 0, white, sense +1, no group)
//   add(p) / light(pos, b)   append to pri / lig, returning the index
//   group({i, j, ...})       make 0-based indices partners, as a group
//   look(...)                the camera globals in one call
//   scratch                  a private directory for files, removed at the end
//   slurp(path) / spit(path, bytes)
//   has_warning("text")      a line of twarn contains text; warnings() counts them
//   picture()                the planes' current picture, red, green, blue
#pragma once

#include "base/msg.h"
#include "image/picfile.h"
#include "image/rgb.h"
#include "scene/rtread.h"
#include "scene/scene.h"
#include "trace/crossp.h"
#include "trace/render.h"
#include "trace/shade.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

// ThreadSanitizer follows every stack frame in a shadow stack of its own,
// far shallower than the tracing threads' stacks: rays nested hundreds of
// thousands deep crash it (not KORU), so the tests of such depths are
// skipped under it.
#ifdef KORU_TSAN
constexpr bool under_tsan = true;
#else
constexpr bool under_tsan = false;
#endif
#define SKIP_DEEP_UNDER_TSAN()                                                                     \
    do {                                                                                           \
        if (under_tsan)                                                                            \
            GTEST_SKIP() << "rays nest too deep for ThreadSanitizer's own stack";                  \
    } while (0)

inline scene tsc;
inline planes tpl;
inline msglist twarn;
inline frame tframe; // of the last picture ray_main made

inline primrec (&pri)[PRIM_MAX] = tsc.pri;
inline ligrec (&lig)[LIGHT_MAX] = tsc.lig;
inline int &primmx = tsc.primmx, &nlg = tsc.nlg;
inline double &rx = tsc.rx, &ry = tsc.ry, &rz = tsc.rz;
inline double &vpnax = tsc.vpnax, &vpnay = tsc.vpnay, &vpnaz = tsc.vpnaz;
inline double &dlength = tsc.dlength, &wdu = tsc.wdu, &length3d = tsc.length3d;
inline int &ixmx = tsc.ixmx, &iymx = tsc.iymx, &ilvlmx = tsc.ilvlmx;
inline vec &uvec = tsc.uvec, &vvec = tsc.vvec;
inline unsigned char (&gdatar)[PLANE_BYTES] = tpl.r;
inline unsigned char (&gdatag)[PLANE_BYTES] = tpl.g;
inline unsigned char (&gdatab)[PLANE_BYTES] = tpl.b;

inline void scene_begin()
{
    tsc = scene{};
    twarn.clear();
}

inline int warnings() { return (int)twarn.lines.size(); }

inline int data_load(const char *path)
{
    twarn.clear();
    return data_load(tsc, path, twarn);
}

// As the window opens a picture: its size becomes the scene's image size.
inline int load_picture(const char *path)
{
    twarn.clear();
    int w, h;
    int rc = load_picture(path, tpl, w, h, twarn);
    if (rc != RGB_NOFILE)
        ixmx = w, iymx = h;
    return rc;
}

inline int save_picture(const char *path)
{
    twarn.clear();
    return save_picture(path, tpl, ixmx, iymx, twarn);
}

// Runs job; when its picture is done, keeps it as Make Image does.
inline int run_kept(render_job &job)
{
    int rc = job.run();
    if (rc == RAY_DONE) {
        keep_picture(job, tsc, tpl);
        tframe = job.view();
    }
    return rc;
}

inline int ray_main(int stereo, render_options opt = {})
{
    opt.stereo = stereo;
    render_job job(tsc, opt);
    return run_kept(job);
}

inline render_options plain_options()
{
    render_options o;
    o.plain = true;
    return o;
}

inline render_options threads_options(int n)
{
    render_options o;
    o.threads = n;
    return o;
}

inline colr &calc(colr &out, const vec &org, const vec &dir, int depth)
{
    return calc(out, org, dir, depth, tsc);
}

inline vec &crossp(vec &r, const vec &o, const vec &d, const primrec &p)
{
    return crossp(r, o, d, p, tsc.pri);
}

inline int checkin(vec &x, const primrec &p) { return checkin(x, p, tsc.pri); }

inline void make_eye(vec &dir, const vec &eye, int x, int y) { make_eye(dir, eye, x, y, tframe); }

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
// when there is one we may write to (the BMP round trip writes a thousand
// files), else in $TMPDIR or /tmp. Where nothing is writable the program
// stops at once, saying so, rather than write beside the root.
struct scratch_dir {
    std::string dir;
    scratch_dir()
    {
        const char *tmp = std::getenv("TMPDIR");
        for (const char *base : {"/dev/shm", tmp && *tmp ? tmp : "/tmp", "/tmp"}) {
            std::string tmpl = std::string(base) + "/koru-test-XXXXXX";
            if (mkdtemp(&tmpl[0])) {
                dir = tmpl;
                return;
            }
        }
        std::fprintf(stderr, "testscene.h: no writable folder for scratch files "
                             "(/dev/shm, $TMPDIR, /tmp)\n");
        std::abort();
    }
    ~scratch_dir()
    {
        if (!dir.empty() && std::system(("rm -rf '" + dir + "'").c_str()) != 0)
            std::fprintf(stderr, "testscene.h: could not remove %s\n", dir.c_str());
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
    for (const msg &m : twarn.lines)
        if (m.text.find(text) != std::string::npos)
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
