// vec.h - vector and colour arithmetic.
//
// vec is three doubles (x, y, z) for points and directions; colr is three
// ints (r, g, b) on the byte scale, summed without clamping while a ray is
// shaded. Every operation writes its result into its first argument and
// returns it, so calls nest; the destination may be one of the inputs.
//
// Colour arithmetic is guarded so that no input can reach undefined
// behaviour: cmul turns a factor that is not a finite number into 0 (an
// undefined lighting term contributes nothing) and saturates at the int
// range; cadd saturates instead of overflowing. Inside the int range both
// are the plain truncating multiply and the plain sum.
#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

struct vec {
    double x, y, z;
};

struct colr {
    int r, g, b;
};

inline vec &vadd(vec &d, const vec &a, const vec &b)
{
    d.x = a.x + b.x;
    d.y = a.y + b.y;
    d.z = a.z + b.z;
    return d;
}

inline vec &vsub(vec &d, const vec &a, const vec &b)
{
    d.x = a.x - b.x;
    d.y = a.y - b.y;
    d.z = a.z - b.z;
    return d;
}

inline vec &vneg(vec &d, const vec &a)
{
    d.x = -a.x;
    d.y = -a.y;
    d.z = -a.z;
    return d;
}

inline vec &vmul(vec &d, const vec &a, double s)
{
    d.x = a.x * s;
    d.y = a.y * s;
    d.z = a.z * s;
    return d;
}

inline vec &vdiv(vec &d, const vec &a, double s)
{
    d.x = a.x / s;
    d.y = a.y / s;
    d.z = a.z / s;
    return d;
}

inline double vspro(const vec &a, const vec &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline double vlength2(const vec &a) { return vspro(a, a); }

inline double vlength(const vec &a) { return std::sqrt(vspro(a, a)); }

inline vec &vnorm(vec &d, const vec &a)
{
    double l = vlength(a);
    d.x = a.x / l;
    d.y = a.y / l;
    d.z = a.z / l;
    return d;
}

// Cosine of the angle between a and b: one root of the product of the
// squared lengths.
inline double vcos(const vec &a, const vec &b)
{
    return vspro(a, b) / std::sqrt(vlength2(a) * vlength2(b));
}

inline int sat_int(int64_t v) { return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : (int)v; }

// a + b, kept within the int range: sat_int of the exact sum
inline int sat_add(int a, int b)
{
    int s;
    if (__builtin_add_overflow(a, b, &s))
        return a > 0 ? INT_MAX : INT_MIN;
    return s;
}

inline colr &cadd(colr &d, const colr &a, const colr &b)
{
    d.r = sat_add(a.r, b.r);
    d.g = sat_add(a.g, b.g);
    d.b = sat_add(a.b, b.b);
    return d;
}

// Truncation toward zero of a channel product, kept within the int range.
inline int ctrunc(double v)
{
    if (v != v)
        return 0;
    if (v >= (double)INT_MAX)
        return INT_MAX;
    if (v <= (double)INT_MIN)
        return INT_MIN;
    return (int)v;
}

inline colr &cmul(colr &d, const colr &a, double s)
{
    const double r = a.r * s, g = a.g * s, b = a.b * s;
    // the usual case: three products well inside the int range (a product
    // that is no number fails the test and takes the careful way)
    constexpr double lim = INT_MAX;
    if (std::fabs(r) < lim && std::fabs(g) < lim && std::fabs(b) < lim) {
        d.r = (int)r;
        d.g = (int)g;
        d.b = (int)b;
        return d;
    }
    if (!std::isfinite(s)) {
        d.r = d.g = d.b = 0;
        return d;
    }
    d.r = ctrunc(a.r * s);
    d.g = ctrunc(a.g * s);
    d.b = ctrunc(a.b * s);
    return d;
}

// times2(x) is the square of x, x * x (not 2x).
inline double times2(double x) { return x * x; }

inline double sgn(double x) { return x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0; }
