// testscene.h - what the engine tests build scenes with and work on.
//
// A test works on plain values and calls the engine's own functions on
// them: data_load(sc, path, warn), calc(out, org, dir, depth, sc),
// crossp(r, org, dir, p, sc.pri), save_picture(path, pl, w, h, warn) ...
//
// scene_fixture (for TEST_F) holds what the window keeps, each test its
// own, all zero at the start:
//   sc, pl, warn    the scene, the picture's planes, the lines the reader
//                   and the picture files leave
//   view            the frame of the last picture make_image kept
//   scratch         a folder of the test's own for files
//   make_image(stereo, opt)   a render of sc; when it is done, the frame
//                   written back to sc and the picture to pl, as Make Image
//                   does (run_and_keep(job) for a job the test made)
//   picture()       pl's ixmx x iymx picture, red, then green, then blue
//   has_warning("text")   a line of warn contains text; warnings() counts
//
// Building a scene value:
//   prim(type, geom, pos)    a record with neutral optics (opaque, all
//                            coefficients 0, white, sense +1, no group)
//   sphere(r, c)             a sphere of radius r about c
//   add(sc, p) / light(sc, pos, b)   append to pri / lig, returning the index
//   group(sc, {i, j, ...})   make 0-based indices partners, as a group
//   look(sc, ...)            the camera and the picture's size in one call
//   plain_options(), threads_options(n)   render options
//
// Files: slurp(path) / spit(path, bytes).
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
#include <filesystem>
#include <gtest/gtest.h>
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

inline int add(scene &sc, const primrec &p)
{
    sc.pri[sc.primmx] = p;
    return sc.primmx++;
}

inline int light(scene &sc, vec pos, double bright = 1)
{
    sc.lig[sc.nlg] = ligrec{pos, bright};
    return sc.nlg++;
}

inline void group(scene &sc, std::initializer_list<int> m)
{
    const int *v = m.begin(), n = (int)m.size();
    for (int i = 0; i < n; i++) {
        primrec &p = sc.pri[v[i]];
        p.nmem = 0;
        for (int j = 0; j < n; j++)
            if (j != i)
                p.mem[p.nmem++] = v[j];
    }
}

inline void look(scene &sc, vec at, vec dir, double dl, double w, int width, int height,
                 int depth = 0)
{
    sc.rx = at.x, sc.ry = at.y, sc.rz = at.z;
    sc.vpnax = dir.x, sc.vpnay = dir.y, sc.vpnaz = dir.z;
    sc.dlength = dl;
    sc.wdu = w;
    sc.ixmx = width;
    sc.iymx = height;
    sc.ilvlmx = depth;
}

// A folder of its own, on a memory file system when there is one we may
// write to (the BMP round trip writes a thousand files), else in $TMPDIR
// or /tmp, removed with everything in it at the end. Where nothing is
// writable the program stops at once, saying so, rather than write beside
// the root.
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
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    scratch_dir(const scratch_dir &) = delete;
    scratch_dir &operator=(const scratch_dir &) = delete;
    std::string operator()(const std::string &name) const { return dir + "/" + name; }
};

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

struct scene_fixture : ::testing::Test {
    scene sc{};
    planes pl{};
    msglist warn;
    frame view{};
    scratch_dir scratch;

    // Runs job; when its picture is done, keeps it as Make Image does.
    int run_and_keep(render_job &job)
    {
        const int rc = job.run();
        if (rc == RAY_DONE) {
            keep_picture(job, sc, pl);
            view = job.view();
        }
        return rc;
    }

    int make_image(int stereo = 0, render_options opt = {})
    {
        opt.stereo = stereo;
        render_job job(sc, opt);
        return run_and_keep(job);
    }

    // The ixmx x iymx picture in the planes: red, then green, then blue.
    std::vector<unsigned char> picture() const
    {
        const size_t n = (size_t)sc.ixmx * sc.iymx;
        std::vector<unsigned char> v(pl.r, pl.r + n);
        v.insert(v.end(), pl.g, pl.g + n);
        v.insert(v.end(), pl.b, pl.b + n);
        return v;
    }

    int warnings() const { return (int)warn.lines.size(); }

    bool has_warning(const char *text) const
    {
        for (const msg &m : warn.lines)
            if (m.text.find(text) != std::string::npos)
                return true;
        return false;
    }
};
