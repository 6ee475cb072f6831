#include "check.h"

#include "../scene/fields.h"
#include "../scene/scene.h"

#include <algorithm>
#include <cstring>

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

size_t lines_in(const char *text, size_t n) { return 1 + (size_t)std::count(text, text + n, '\n'); }

namespace {

bool axis_field(const scene &sc, const field_ref &f)
{
    if (f.sec != SEC_PRIM)
        return false;
    const int type = sc.pri[f.index].type;
    return (type == PRIM_QUADRIC || type == PRIM_CONE) && f.field >= P_GX && f.field <= P_GZ;
}

double axis(const vec &v, int field) { return field == P_GX ? v.x : field == P_GY ? v.y : v.z; }

// The number as the file gives it: a semi-axis rather than its coefficient
// when the axes are known.
double file_number(const scene &sc, const vec *axes, const field_ref &f)
{
    return axes && axis_field(sc, f) ? axis(axes[f.index], f.field) : field_number(sc, f);
}

} // namespace

bool same_numbers(const scene &a, const scene &b, const vec *axes_a, const vec *axes_b,
                  const std::vector<field_ref> *skip)
{
    if (a.nlg != b.nlg || a.primmx != b.primmx)
        return false;
    const int lights = std::clamp(a.nlg, 0, LIGHT_MAX);
    auto same = [&](const field_ref &f) {
        if (skip && std::find(skip->begin(), skip->end(), f) != skip->end())
            return true;
        return same_bits(file_number(a, axes_a, f), file_number(b, axes_b, f));
    };
    for (int k = 0; k < VIEW_FIELDS; k++)
        if (!same(field_ref{SEC_VIEW, 0, k}))
            return false;
    for (int i = 0; i < lights; i++)
        for (int k = 0; k < LIGHT_FIELDS; k++)
            if (!same(field_ref{SEC_LIGHT, i, k}))
                return false;
    for (int i = 0; i < a.primmx; i++) {
        for (int k = 0; k < PRIM_FIELDS; k++)
            if (!same(field_ref{SEC_PRIM, i, k}))
                return false;
        if (!same_partners(a.pri[i], b.pri[i]))
            return false;
    }
    return true;
}
