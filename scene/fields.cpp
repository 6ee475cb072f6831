#include "fields.h"

#include "check.h"
#include "rtwrite.h"

#include "../base/whole.h"

#include <cstring>
#include <iterator>

namespace {

// clang-format off
const field_desc view_desc[VIEW_FIELDS] = {
    {FK_REAL, false, "look point, x: the centre of the view window"},
    {FK_REAL, false, "look point, y: the centre of the view window"},
    {FK_REAL, false, "look point, z: the centre of the view window"},
    {FK_REAL, false, "look direction, x: from the look point towards the eye"},
    {FK_REAL, false, "look direction, y: from the look point towards the eye"},
    {FK_REAL, false, "look direction, z: from the look point towards the eye"},
    {FK_REAL, false, "eye distance from the look point"},
    {FK_REAL, false, "view window width at the look point"},
    {FK_WHOLE, true, "picture width in dots"},
    {FK_WHOLE, true, "picture height in dots"},
    {FK_WHOLE, true, "number of lights"},
    {FK_WHOLE, true, "reflections and refractions followed per dot"},
};
const field_desc light_desc[LIGHT_FIELDS] = {
    {FK_REAL, false, "position, x"},
    {FK_REAL, false, "position, y"},
    {FK_REAL, false, "position, z"},
    {FK_REAL, false, "brightness"},
};
const field_desc prim_desc[PRIM_FIELDS] = {
    {FK_CODE, true, "the kind of primitive: 1 plane, 2 box, 3 quadric, 4 cone"},
    {FK_CODE, true, "the surface: 1 opaque, 2 mirror, 3 glass"},
    {FK_REAL, false, "ambient weight"},
    {FK_REAL, false, "diffuse weight"},
    {FK_REAL, false, "specular weight"},
    {FK_WHOLE, true, "unused"},
    {FK_WHOLE, true, "highlight exponent"},
    {FK_REAL, false, "refractive index (glass)"},
    {FK_REAL, false, "transmittance in shadows (glass)"},
    {FK_CODE, true, "the pattern: 0 plain, 1 checker, 2 stripes, 3 diagonal"},
    {FK_REAL, false, "pattern width"},
    {FK_CODE, true, "the side: 1 the solid, -1 everything outside it"},
    {FK_REAL, false, "shape, x"},
    {FK_REAL, false, "shape, y"},
    {FK_REAL, false, "shape, z"},
    {FK_REAL, false, "position, x"},
    {FK_REAL, false, "position, y"},
    {FK_REAL, false, "position, z"},
    {FK_COLOUR, true, "colour, red (0 to 255)"},
    {FK_COLOUR, true, "colour, green (0 to 255)"},
    {FK_COLOUR, true, "colour, blue (0 to 255)"},
};

// The shape and position fields by type, x y z in a row: plane, box,
// quadric, cone.
const char *const shape_about[4][3] = {
    {"normal, x: out of the solid", "normal, y: out of the solid", "normal, z: out of the solid"},
    {"half size, x", "half size, y", "half size, z"},
    {"semi-axis, x (0: none)", "semi-axis, y (0: none)", "semi-axis, z (0: none)"},
    {"semi-axis, x (0: none)", "semi-axis, y (0: none)", "semi-axis, z (0: none)"},
};
const char *const place_about[4][3] = {
    {"a point of the plane, x", "a point of the plane, y", "a point of the plane, z"},
    {"centre, x", "centre, y", "centre, z"},
    {"centre, x", "centre, y", "centre, z"},
    {"apex, x", "apex, y", "apex, z"},
};

const field_choice type_choices[] = {
    {PRIM_PLANE, "plane"}, {PRIM_BOX, "box"}, {PRIM_QUADRIC, "quadric"}, {PRIM_CONE, "cone"}};
const field_choice surf_choices[] = {{1, "opaque"}, {SURF_MIRROR, "mirror"}, {SURF_GLASS, "glass"}};
const field_choice pat_choices[] = {{PAT_PLAIN, "plain"}, {PAT_CHECKER, "checker"},
                                    {PAT_STRIPES, "stripes"}, {PAT_DIAGONAL, "diagonal"}};
const field_choice sense_choices[] = {{1, "the solid"}, {-1, "everything outside it"}};
// clang-format on

const char *const *names_of(int sec)
{
    return sec == SEC_LIGHT ? light_field : sec == SEC_PRIM ? prim_field : view_field;
}

// The field named name among the first n names of sec; -1 when none is.
int find_name(int sec, int n, const char *name)
{
    for (int k = 0; k < n; k++)
        if (!std::strcmp(names_of(sec)[k], name))
            return k;
    return -1;
}

std::string name_list(int sec, int n)
{
    std::string s;
    for (int k = 0; k < n; k++)
        s += (k ? ", " : "") + std::string(names_of(sec)[k]);
    return s;
}

// "light[2]" or "light 2" (after its word, at s): the number, or 0.
int record_number(const std::string &s)
{
    std::string digits;
    if (s.size() > 2 && s.front() == '[' && s.back() == ']')
        digits = s.substr(1, s.size() - 2);
    else if (s.size() > 1 && s[0] == ' ')
        digits = s.substr(1);
    int v = 0;
    return parse_whole(digits.c_str(), v) == 1 && v >= 1 ? v : 0;
}

} // namespace

int section_size(int sec)
{
    if (sec == SEC_LIGHT)
        return LIGHT_FIELDS;
    return sec == SEC_PRIM ? (int)PRIM_FIELDS : (int)VIEW_FIELDS;
}

const field_desc &field_info(const field_ref &f)
{
    return f.sec == SEC_LIGHT  ? light_desc[f.field]
           : f.sec == SEC_PRIM ? prim_desc[f.field]
                               : view_desc[f.field];
}

const char *field_name(const field_ref &f) { return names_of(f.sec)[f.field]; }

const char *field_about(const scene &sc, const field_ref &f)
{
    if (f.sec == SEC_PRIM && f.field >= P_GX && f.field <= P_PZ && f.index >= 0 &&
        f.index < PRIM_MAX && known_type(sc.pri[f.index].type)) {
        const int t = sc.pri[f.index].type - PRIM_PLANE;
        return f.field <= P_GZ ? shape_about[t][f.field - P_GX] : place_about[t][f.field - P_PX];
    }
    return field_info(f).about;
}

double field_number(const scene &sc, const field_ref &f)
{
    if (f.sec == SEC_LIGHT) {
        const ligrec &l = sc.lig[f.index];
        const double v[LIGHT_FIELDS] = {l.pos.x, l.pos.y, l.pos.z, l.bright};
        return v[f.field];
    }
    if (f.sec == SEC_VIEW) {
        const double v[VIEW_FIELDS] = {sc.rx,           sc.ry,          sc.rz,
                                       sc.vpnax,        sc.vpnay,       sc.vpnaz,
                                       sc.dlength,      sc.wdu,         (double)sc.ixmx,
                                       (double)sc.iymx, (double)sc.nlg, (double)sc.ilvlmx};
        return v[f.field];
    }
    const primrec &p = sc.pri[f.index];
    const double v[PRIM_FIELDS] = {
        (double)p.type,  (double)p.surf,  p.ka,           p.kd,          p.ks,    (double)p.spare,
        (double)p.npow,  p.refr,          p.trans,        (double)p.pat, p.patw,  (double)p.sense,
        p.geom.x,        p.geom.y,        p.geom.z,       p.pos.x,       p.pos.y, p.pos.z,
        (double)p.col.r, (double)p.col.g, (double)p.col.b};
    return v[f.field];
}

std::string field_number_text(const scene &sc, const field_ref &f)
{
    const double v = field_number(sc, f);
    if (field_info(f).whole)
        return number_text((int)v);
    const int type = f.sec == SEC_PRIM ? sc.pri[f.index].type : 0;
    const bool shape = f.sec == SEC_PRIM && f.field >= P_GX && f.field <= P_GZ;
    return shape && (type == PRIM_QUADRIC || type == PRIM_CONE) ? axis_text(v) : number_text(v);
}

std::string record_name(const scene &sc, const field_ref &f)
{
    switch (f.sec) {
    case SEC_LIGHT:
        return "light " + std::to_string(f.index + 1);
    case SEC_PRIM: {
        const int type = f.index >= 0 && f.index < PRIM_MAX ? sc.pri[f.index].type : 0;
        return "primitive " + std::to_string(f.index + 1) + " (" + type_name(type) + ")";
    }
    default:
        return f.field == V_ILVLMX ? "depth" : "view";
    }
}

std::string field_text(const field_ref &f)
{
    switch (f.sec) {
    case SEC_LIGHT:
        return "light[" + std::to_string(f.index + 1) + "]." + field_name(f);
    case SEC_PRIM:
        return "primitive[" + std::to_string(f.index + 1) + "]." + field_name(f);
    default:
        return std::string(f.field == V_ILVLMX ? "depth." : "view.") + field_name(f);
    }
}

bool parse_field(const char *s, field_ref &f, std::string &why)
{
    const std::string text = s;
    const size_t dot = text.find('.');
    const std::string head = text.substr(0, dot);
    const std::string name = dot == std::string::npos ? "" : text.substr(dot + 1);
    const char *const sections = "view, depth, light[N] or primitive[N]";
    field_ref r;
    if (head == "view" || head == "depth") {
        r.sec = SEC_VIEW;
    } else if (head.rfind("light", 0) == 0 || head.rfind("primitive", 0) == 0) {
        r.sec = head[0] == 'l' ? SEC_LIGHT : SEC_PRIM;
        const size_t word = r.sec == SEC_LIGHT ? 5 : 9;
        const int n = record_number(head.substr(word));
        if (!n) {
            why = "\"" + head + "\": the " + head.substr(0, word) + " is numbered from 1, as in " +
                  head.substr(0, word) + "[3]";
            return false;
        }
        r.index = n - 1;
    } else {
        why = "\"" + text + "\" names no section: a field is " + sections + ", a dot and its name";
        return false;
    }
    // ilvlmx is the depth's, and found under view as well
    const bool depth = head == "depth";
    r.field = find_name(r.sec, section_size(r.sec), name.c_str());
    if (depth && r.field != V_ILVLMX)
        r.field = -1;
    if (r.field < 0) {
        const std::string known =
            depth ? "ilvlmx" : name_list(r.sec, r.sec == SEC_VIEW ? V_ILVLMX : section_size(r.sec));
        why = "\"" + text + "\": " + head.substr(0, head.find_first_of("[ ")) + " has no field \"" +
              name + "\" (" + known + ")";
        return false;
    }
    f = r;
    return true;
}

int field_choices(const field_ref &f, const field_choice **list)
{
    *list = nullptr;
    if (f.sec != SEC_PRIM)
        return 0;
    switch (f.field) {
    case P_TYPE:
        *list = type_choices;
        return (int)std::size(type_choices);
    case P_SURF:
        *list = surf_choices;
        return (int)std::size(surf_choices);
    case P_PAT:
        *list = pat_choices;
        return (int)std::size(pat_choices);
    case P_SENSE:
        *list = sense_choices;
        return (int)std::size(sense_choices);
    default:
        return 0;
    }
}
