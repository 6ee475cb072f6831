#include "kernels.h"

#include "kernels_impl.h"

#if defined(__x86_64__) || defined(__i386__)
#define KORU_X86 1
// kernels_avx2.cpp and kernels_avx512.cpp, each built for its own
const kernels &kernels_avx2();
const kernels &kernels_avx512();
#endif

int kernel_path_best()
{
#ifdef KORU_X86
    static const int best = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx2")
                                ? KERNELS_AVX512
                            : __builtin_cpu_supports("avx2") ? KERNELS_AVX2
                                                             : KERNELS_SSE2;
    return best;
#else
    return KERNELS_SCALAR;
#endif
}

int kernel_path_usable(int path)
{
    const int best = kernel_path_best();
    return path < 0 || path > best ? best : path;
}

const char *kernel_path_name(int path)
{
    switch (path) {
    case KERNELS_SCALAR:
        return "scalar";
    case KERNELS_SSE2:
        return "sse2";
    case KERNELS_AVX2:
        return "avx2";
    case KERNELS_AVX512:
        return "avx512";
    default:
        return "best";
    }
}

const kernels &kernels_of(int path)
{
    static constexpr kernels scalar = kernels_for<lane1>();
#if defined(__SSE2__)
    static constexpr kernels sse2 = kernels_for<lane2>();
    if (path == KERNELS_SSE2)
        return sse2;
#endif
#ifdef KORU_X86
    if (path == KERNELS_AVX2)
        return kernels_avx2();
    if (path == KERNELS_AVX512)
        return kernels_avx512();
#endif
    return scalar;
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

void quad_set_of(quad_set &Q, const primrec *pri, const int *items, int n)
{
    Q.n = n;
    Q.padded = (n + 7) / 8 * 8;
    for (int s = 0; s < Q.padded; s++) {
        // padding: all coefficients 0, so a = 0 and nothing is hit
        const primrec *p = s < n ? &pri[items[s]] : nullptr;
        Q.gx[s] = p ? p->geom.x : 0.0;
        Q.gy[s] = p ? p->geom.y : 0.0;
        Q.gz[s] = p ? p->geom.z : 0.0;
        Q.px[s] = p ? p->pos.x : 0.0;
        Q.py[s] = p ? p->pos.y : 0.0;
        Q.pz[s] = p ? p->pos.z : 0.0;
        Q.sub[s] = p && p->type == PRIM_QUADRIC ? 1.0 : 0.0;
        Q.index[s] = p ? items[s] : -1.0;
    }
}
