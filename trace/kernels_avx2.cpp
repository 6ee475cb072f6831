// The kernels on four lanes. This file alone is built for AVX2 (without
// fused multiply-add); it is called only on a processor that has AVX2.
#include "kernels_impl.h"

#if !defined(__AVX2__)
#error "kernels_avx2.cpp must be built with -mavx2"
#endif
#if defined(__FMA__)
#error "kernels_avx2.cpp must be built without fused multiply-add"
#endif

const kernels &kernels_avx2()
{
    static constexpr kernels k = kernels_for<lane4>();
    return k;
}
