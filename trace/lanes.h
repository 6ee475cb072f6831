// lanes.h - a few doubles side by side, for the kernels of kernels_impl.h.
//
// lane1 is one double, lane2 the two of an SSE2 register, lane4 the four
// of an AVX register and lane8 the eight of an AVX-512 one (only where the
// file is compiled for AVX2 or AVX-512). Each
// operation is the one IEEE operation on every lane: +, -, *, / and sqrt
// round as the scalar ones do, negation flips the sign, comparisons give
// masks that select() and the mask operations use; abs clears the sign and
// trunc rounds toward zero (numbers within the int range). Nothing fuses a
// multiply and an add. Everything here has internal linkage, so a file
// compiled for AVX2 or AVX-512 shares no function with the rest of the
// program.
#pragma once

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__AVX2__) || defined(__AVX512F__)
#include <immintrin.h>
#endif

namespace {

struct lane1 {
    static constexpr int N = 1;
    using mask = bool;
    double v;
    static lane1 set1(double x) { return {x}; }
    static lane1 load(const double *p) { return {*p}; }
    // p[0], p[stride], ... one by one (no wide load of narrow stores)
    static lane1 gather(const double *p, int) { return {p[0]}; }
    void store(double *p) const { *p = v; }
};
inline lane1 operator+(lane1 a, lane1 b) { return {a.v + b.v}; }
inline lane1 operator-(lane1 a, lane1 b) { return {a.v - b.v}; }
inline lane1 operator*(lane1 a, lane1 b) { return {a.v * b.v}; }
inline lane1 operator/(lane1 a, lane1 b) { return {a.v / b.v}; }
inline lane1 sqrt(lane1 a) { return {std::sqrt(a.v)}; }
inline lane1 neg(lane1 a) { return {-a.v}; }
inline bool lt(lane1 a, lane1 b) { return a.v < b.v; }
inline bool le(lane1 a, lane1 b) { return a.v <= b.v; }
inline bool gt(lane1 a, lane1 b) { return a.v > b.v; }
inline bool ge(lane1 a, lane1 b) { return a.v >= b.v; }
inline bool eq(lane1 a, lane1 b) { return a.v == b.v; }
inline bool both(bool a, bool b) { return a && b; }
inline bool either(bool a, bool b) { return a || b; }
inline bool but_not(bool a, bool b) { return a && !b; }
inline unsigned bits(bool m) { return m ? 1u : 0u; }
inline lane1 select(bool m, lane1 a, lane1 b) { return m ? a : b; }
inline lane1 abs(lane1 a) { return {std::fabs(a.v)}; }
// toward zero, for numbers within the int range
inline lane1 trunc(lane1 a) { return {std::trunc(a.v)}; }

#if defined(__SSE2__)
struct lane2 {
    static constexpr int N = 2;
    using mask = __m128d;
    __m128d v;
    static lane2 set1(double x) { return {_mm_set1_pd(x)}; }
    static lane2 load(const double *p) { return {_mm_load_pd(p)}; }
    static lane2 gather(const double *p, int s) { return {_mm_set_pd(p[s], p[0])}; }
    void store(double *p) const { _mm_store_pd(p, v); }
};
inline lane2 operator+(lane2 a, lane2 b) { return {_mm_add_pd(a.v, b.v)}; }
inline lane2 operator-(lane2 a, lane2 b) { return {_mm_sub_pd(a.v, b.v)}; }
inline lane2 operator*(lane2 a, lane2 b) { return {_mm_mul_pd(a.v, b.v)}; }
inline lane2 operator/(lane2 a, lane2 b) { return {_mm_div_pd(a.v, b.v)}; }
inline lane2 sqrt(lane2 a) { return {_mm_sqrt_pd(a.v)}; }
inline lane2 neg(lane2 a) { return {_mm_xor_pd(a.v, _mm_set1_pd(-0.0))}; }
inline __m128d lt(lane2 a, lane2 b) { return _mm_cmplt_pd(a.v, b.v); }
inline __m128d le(lane2 a, lane2 b) { return _mm_cmple_pd(a.v, b.v); }
inline __m128d gt(lane2 a, lane2 b) { return _mm_cmpgt_pd(a.v, b.v); }
inline __m128d ge(lane2 a, lane2 b) { return _mm_cmpge_pd(a.v, b.v); }
inline __m128d eq(lane2 a, lane2 b) { return _mm_cmpeq_pd(a.v, b.v); }
inline __m128d both(__m128d a, __m128d b) { return _mm_and_pd(a, b); }
inline __m128d either(__m128d a, __m128d b) { return _mm_or_pd(a, b); }
inline __m128d but_not(__m128d a, __m128d b) { return _mm_andnot_pd(b, a); }
inline unsigned bits(__m128d m) { return (unsigned)_mm_movemask_pd(m); }
inline lane2 select(__m128d m, lane2 a, lane2 b)
{
    return {_mm_or_pd(_mm_and_pd(m, a.v), _mm_andnot_pd(m, b.v))};
}
inline lane2 abs(lane2 a) { return {_mm_andnot_pd(_mm_set1_pd(-0.0), a.v)}; }
inline lane2 trunc(lane2 a) { return {_mm_cvtepi32_pd(_mm_cvttpd_epi32(a.v))}; }
#endif

#if defined(__AVX2__)
struct lane4 {
    static constexpr int N = 4;
    using mask = __m256d;
    __m256d v;
    static lane4 set1(double x) { return {_mm256_set1_pd(x)}; }
    static lane4 load(const double *p) { return {_mm256_load_pd(p)}; }
    static lane4 gather(const double *p, int s)
    {
        return {_mm256_set_pd(p[3 * s], p[2 * s], p[s], p[0])};
    }
    void store(double *p) const { _mm256_store_pd(p, v); }
};
inline lane4 operator+(lane4 a, lane4 b) { return {_mm256_add_pd(a.v, b.v)}; }
inline lane4 operator-(lane4 a, lane4 b) { return {_mm256_sub_pd(a.v, b.v)}; }
inline lane4 operator*(lane4 a, lane4 b) { return {_mm256_mul_pd(a.v, b.v)}; }
inline lane4 operator/(lane4 a, lane4 b) { return {_mm256_div_pd(a.v, b.v)}; }
inline lane4 sqrt(lane4 a) { return {_mm256_sqrt_pd(a.v)}; }
inline lane4 neg(lane4 a) { return {_mm256_xor_pd(a.v, _mm256_set1_pd(-0.0))}; }
// ordered comparisons, false where either side is no number, as in C
inline __m256d lt(lane4 a, lane4 b) { return _mm256_cmp_pd(a.v, b.v, _CMP_LT_OQ); }
inline __m256d le(lane4 a, lane4 b) { return _mm256_cmp_pd(a.v, b.v, _CMP_LE_OQ); }
inline __m256d gt(lane4 a, lane4 b) { return _mm256_cmp_pd(a.v, b.v, _CMP_GT_OQ); }
inline __m256d ge(lane4 a, lane4 b) { return _mm256_cmp_pd(a.v, b.v, _CMP_GE_OQ); }
inline __m256d eq(lane4 a, lane4 b) { return _mm256_cmp_pd(a.v, b.v, _CMP_EQ_OQ); }
inline __m256d both(__m256d a, __m256d b) { return _mm256_and_pd(a, b); }
inline __m256d either(__m256d a, __m256d b) { return _mm256_or_pd(a, b); }
inline __m256d but_not(__m256d a, __m256d b) { return _mm256_andnot_pd(b, a); }
inline unsigned bits(__m256d m) { return (unsigned)_mm256_movemask_pd(m); }
inline lane4 select(__m256d m, lane4 a, lane4 b) { return {_mm256_blendv_pd(b.v, a.v, m)}; }
inline lane4 abs(lane4 a) { return {_mm256_andnot_pd(_mm256_set1_pd(-0.0), a.v)}; }
inline lane4 trunc(lane4 a)
{
    return {_mm256_round_pd(a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)};
}
#endif

#if defined(__AVX512F__)
struct lane8 {
    static constexpr int N = 8;
    using mask = __mmask8;
    __m512d v;
    static lane8 set1(double x) { return {_mm512_set1_pd(x)}; }
    static lane8 load(const double *p) { return {_mm512_loadu_pd(p)}; }
    static lane8 gather(const double *p, int s)
    {
        return {
            _mm512_set_pd(p[7 * s], p[6 * s], p[5 * s], p[4 * s], p[3 * s], p[2 * s], p[s], p[0])};
    }
    void store(double *p) const { _mm512_storeu_pd(p, v); }
};
inline lane8 operator+(lane8 a, lane8 b) { return {_mm512_add_pd(a.v, b.v)}; }
inline lane8 operator-(lane8 a, lane8 b) { return {_mm512_sub_pd(a.v, b.v)}; }
inline lane8 operator*(lane8 a, lane8 b) { return {_mm512_mul_pd(a.v, b.v)}; }
inline lane8 operator/(lane8 a, lane8 b) { return {_mm512_div_pd(a.v, b.v)}; }
// (the masked forms, every lane taken: the plain ones leave GCC 12 warning
// of a source it need not read)
inline lane8 sqrt(lane8 a) { return {_mm512_mask_sqrt_pd(a.v, 0xff, a.v)}; }
inline lane8 neg(lane8 a)
{
    const __m512i sign = _mm512_set1_epi64((long long)0x8000000000000000ull);
    return {_mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(a.v), sign))};
}
// ordered comparisons, false where either side is no number, as in C
inline __mmask8 lt(lane8 a, lane8 b) { return _mm512_cmp_pd_mask(a.v, b.v, _CMP_LT_OQ); }
inline __mmask8 le(lane8 a, lane8 b) { return _mm512_cmp_pd_mask(a.v, b.v, _CMP_LE_OQ); }
inline __mmask8 gt(lane8 a, lane8 b) { return _mm512_cmp_pd_mask(a.v, b.v, _CMP_GT_OQ); }
inline __mmask8 ge(lane8 a, lane8 b) { return _mm512_cmp_pd_mask(a.v, b.v, _CMP_GE_OQ); }
inline __mmask8 eq(lane8 a, lane8 b) { return _mm512_cmp_pd_mask(a.v, b.v, _CMP_EQ_OQ); }
inline __mmask8 both(__mmask8 a, __mmask8 b) { return (__mmask8)(a & b); }
inline __mmask8 either(__mmask8 a, __mmask8 b) { return (__mmask8)(a | b); }
inline __mmask8 but_not(__mmask8 a, __mmask8 b) { return (__mmask8)(a & ~b); }
inline unsigned bits(__mmask8 m) { return m; }
inline lane8 select(__mmask8 m, lane8 a, lane8 b) { return {_mm512_mask_blend_pd(m, b.v, a.v)}; }
inline lane8 abs(lane8 a) { return {_mm512_abs_pd(a.v)}; }
inline lane8 trunc(lane8 a)
{
    return {_mm512_mask_roundscale_pd(a.v, 0xff, a.v, _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC)};
}
#endif

} // namespace
