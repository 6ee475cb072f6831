// The kernels of a group of rays and over a scene's quadrics on eight
// lanes, those over lights on four. This file alone is built for AVX-512 (without fused
// multiply-add); it is called only on a processor that has AVX-512.
#include "kernels_impl.h"

#if !defined(__AVX512F__) || !defined(__AVX2__)
#error "kernels_avx512.cpp must be built with -mavx512f"
#endif
#if defined(__FMA__) && !defined(__clang__)
#error "kernels_avx512.cpp must be built without fused multiply-add"
#endif

const kernels &kernels_avx512()
{
    static constexpr kernels k = kernels_for<lane4, lane8>();
    return k;
}
