#include "lightgeom.h"

#include <cmath>

#if defined(__x86_64__) || defined(__i386__)
#define KORU_X86 1
#include <immintrin.h>
#endif

namespace {

// The reference: one light at a time, as vec.h's operations write it.
void geometry_scalar(const light_pos &L, const vec &h, const vec &n, double n2, const vec &u,
                     bool highlights, light_geom &g)
{
    for (int j = 0; j < L.n; j++) {
        const double lx = h.x - L.x[j], ly = h.y - L.y[j], lz = h.z - L.z[j];
        const double dl2 = lx * lx + ly * ly + lz * lz;
        const double dist = std::sqrt(dl2);
        g.lx[j] = lx, g.ly[j] = ly, g.lz[j] = lz;
        g.dl2[j] = dl2;
        g.dist[j] = dist;
        g.cn[j] = (n.x * lx + n.y * ly + n.z * lz) / std::sqrt(n2 * dl2);
        if (highlights) {
            const double bx = u.x + lx / dist, by = u.y + ly / dist, bz = u.z + lz / dist;
            const double b2 = bx * bx + by * by + bz * bz;
            g.ch[j] = (bx * n.x + by * n.y + bz * n.z) / std::sqrt(b2 * n2);
        }
    }
}

#ifdef KORU_X86

// Two lights at a time; baseline x86-64 has SSE2.
void geometry_sse2(const light_pos &L, const vec &h, const vec &n, double n2, const vec &u,
                   bool highlights, light_geom &g)
{
    const __m128d hx = _mm_set1_pd(h.x), hy = _mm_set1_pd(h.y), hz = _mm_set1_pd(h.z);
    const __m128d nx = _mm_set1_pd(n.x), ny = _mm_set1_pd(n.y), nz = _mm_set1_pd(n.z);
    const __m128d ux = _mm_set1_pd(u.x), uy = _mm_set1_pd(u.y), uz = _mm_set1_pd(u.z);
    const __m128d vn2 = _mm_set1_pd(n2);
    for (int j = 0; j < L.n; j += 2) {
        const __m128d lx = _mm_sub_pd(hx, _mm_load_pd(L.x + j));
        const __m128d ly = _mm_sub_pd(hy, _mm_load_pd(L.y + j));
        const __m128d lz = _mm_sub_pd(hz, _mm_load_pd(L.z + j));
        const __m128d dl2 = _mm_add_pd(_mm_add_pd(_mm_mul_pd(lx, lx), _mm_mul_pd(ly, ly)),
                                       _mm_mul_pd(lz, lz));
        const __m128d dist = _mm_sqrt_pd(dl2);
        _mm_store_pd(g.lx + j, lx);
        _mm_store_pd(g.ly + j, ly);
        _mm_store_pd(g.lz + j, lz);
        _mm_store_pd(g.dl2 + j, dl2);
        _mm_store_pd(g.dist + j, dist);
        const __m128d nl = _mm_add_pd(_mm_add_pd(_mm_mul_pd(nx, lx), _mm_mul_pd(ny, ly)),
                                      _mm_mul_pd(nz, lz));
        _mm_store_pd(g.cn + j, _mm_div_pd(nl, _mm_sqrt_pd(_mm_mul_pd(vn2, dl2))));
        if (highlights) {
            const __m128d bx = _mm_add_pd(ux, _mm_div_pd(lx, dist));
            const __m128d by = _mm_add_pd(uy, _mm_div_pd(ly, dist));
            const __m128d bz = _mm_add_pd(uz, _mm_div_pd(lz, dist));
            const __m128d b2 = _mm_add_pd(_mm_add_pd(_mm_mul_pd(bx, bx), _mm_mul_pd(by, by)),
                                          _mm_mul_pd(bz, bz));
            const __m128d bn = _mm_add_pd(_mm_add_pd(_mm_mul_pd(bx, nx), _mm_mul_pd(by, ny)),
                                          _mm_mul_pd(bz, nz));
            _mm_store_pd(g.ch + j, _mm_div_pd(bn, _mm_sqrt_pd(_mm_mul_pd(b2, vn2))));
        }
    }
}

// Four lights at a time. AVX2 only: no fused multiply-add, which would
// round differently.
__attribute__((target("avx2"))) void geometry_avx2(const light_pos &L, const vec &h,
                                                   const vec &n, double n2, const vec &u,
                                                   bool highlights, light_geom &g)
{
    const __m256d hx = _mm256_set1_pd(h.x), hy = _mm256_set1_pd(h.y), hz = _mm256_set1_pd(h.z);
    const __m256d nx = _mm256_set1_pd(n.x), ny = _mm256_set1_pd(n.y), nz = _mm256_set1_pd(n.z);
    const __m256d ux = _mm256_set1_pd(u.x), uy = _mm256_set1_pd(u.y), uz = _mm256_set1_pd(u.z);
    const __m256d vn2 = _mm256_set1_pd(n2);
    for (int j = 0; j < L.n; j += 4) {
        const __m256d lx = _mm256_sub_pd(hx, _mm256_load_pd(L.x + j));
        const __m256d ly = _mm256_sub_pd(hy, _mm256_load_pd(L.y + j));
        const __m256d lz = _mm256_sub_pd(hz, _mm256_load_pd(L.z + j));
        const __m256d dl2 = _mm256_add_pd(
            _mm256_add_pd(_mm256_mul_pd(lx, lx), _mm256_mul_pd(ly, ly)), _mm256_mul_pd(lz, lz));
        const __m256d dist = _mm256_sqrt_pd(dl2);
        _mm256_store_pd(g.lx + j, lx);
        _mm256_store_pd(g.ly + j, ly);
        _mm256_store_pd(g.lz + j, lz);
        _mm256_store_pd(g.dl2 + j, dl2);
        _mm256_store_pd(g.dist + j, dist);
        const __m256d nl = _mm256_add_pd(
            _mm256_add_pd(_mm256_mul_pd(nx, lx), _mm256_mul_pd(ny, ly)), _mm256_mul_pd(nz, lz));
        _mm256_store_pd(g.cn + j, _mm256_div_pd(nl, _mm256_sqrt_pd(_mm256_mul_pd(vn2, dl2))));
        if (highlights) {
            const __m256d bx = _mm256_add_pd(ux, _mm256_div_pd(lx, dist));
            const __m256d by = _mm256_add_pd(uy, _mm256_div_pd(ly, dist));
            const __m256d bz = _mm256_add_pd(uz, _mm256_div_pd(lz, dist));
            const __m256d b2 = _mm256_add_pd(
                _mm256_add_pd(_mm256_mul_pd(bx, bx), _mm256_mul_pd(by, by)), _mm256_mul_pd(bz, bz));
            const __m256d bn = _mm256_add_pd(
                _mm256_add_pd(_mm256_mul_pd(bx, nx), _mm256_mul_pd(by, ny)), _mm256_mul_pd(bz, nz));
            _mm256_store_pd(g.ch + j, _mm256_div_pd(bn, _mm256_sqrt_pd(_mm256_mul_pd(b2, vn2))));
        }
    }
}

#endif

} // namespace

int light_path_best()
{
#ifdef KORU_X86
    static const int best = __builtin_cpu_supports("avx2") ? LIGHTS_AVX2 : LIGHTS_SSE2;
    return best;
#else
    return LIGHTS_SCALAR;
#endif
}

int light_path_usable(int path)
{
    const int best = light_path_best();
    return path < 0 || path > best ? best : path;
}

const char *light_path_name(int path)
{
    switch (path) {
    case LIGHTS_SCALAR:
        return "scalar";
    case LIGHTS_SSE2:
        return "sse2";
    case LIGHTS_AVX2:
        return "avx2";
    default:
        return "best";
    }
}

void light_pos_of(light_pos &L, const ligrec *lig, int n)
{
    n = n < 0 ? 0 : n > LIGHT_MAX ? LIGHT_MAX : n;
    for (int j = 0; j < LIGHT_ROOM; j++) {
        L.x[j] = j < n ? lig[j].pos.x : 0.0;
        L.y[j] = j < n ? lig[j].pos.y : 0.0;
        L.z[j] = j < n ? lig[j].pos.z : 0.0;
    }
    L.n = n;
}

void light_geometry(int path, const light_pos &L, const vec &h, const vec &n, double n2,
                    const vec &u, bool highlights, light_geom &g)
{
#ifdef KORU_X86
    if (path == LIGHTS_AVX2)
        return geometry_avx2(L, h, n, n2, u, highlights, g);
    if (path == LIGHTS_SSE2)
        return geometry_sse2(L, h, n, n2, u, highlights, g);
#endif
    (void)path;
    geometry_scalar(L, h, n, n2, u, highlights, g);
}
