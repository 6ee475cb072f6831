// check.h - the harness's own checks, shared by its files: CHECK(c)
// prints what broke on stderr and aborts, which the fuzzer and the tests
// both see; same_numbers compares two scenes as their files say them.
#pragma once

#include "../scene/fields.h"

#include <cstddef>
#include <vector>

[[noreturn]] void broken(const char *what);

#define CHECK(c)                                                                                   \
    do {                                                                                           \
        if (!(c))                                                                                  \
            broken(#c);                                                                            \
    } while (0)

// The counts, every number a .RT file gives (field by field, to the bit:
// NaN and -0 too) and the partner lists of a and b agree. axes, when
// given, are a scene's semi-axes of its quadrics and cones, compared in
// place of the coefficients made from them. Fields in skip, when given,
// are not compared.
bool same_numbers(const scene &a, const scene &b, const vec *axes_a = nullptr,
                  const vec *axes_b = nullptr, const std::vector<field_ref> *skip = nullptr);

// Bit for bit.
bool same_bits(double a, double b);

// The lines of a text of n bytes: 1 + the number of '\n' in it.
size_t lines_in(const char *text, size_t n);
