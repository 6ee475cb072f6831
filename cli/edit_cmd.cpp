// koru-cli edit: a scene file's records and groups added, copied, moved
// and taken out, through the studio's own edits (scene/structedit.h).
#include "cli.h"

#include "../base/whole.h"
#include "../scene/numin.h"
#include "../scene/rtwrite.h"
#include "../scene/scenetext.h"
#include "../scene/structedit.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

const char *edit_help =
    "usage: koru-cli edit SCENE.RT ACTION... [--dry-run]\n"
    "\n"
    "Adds, copies, moves and takes out primitives and lights of SCENE.RT and\n"
    "makes and unmakes its groups, keeping every other byte of the file and\n"
    "the file consistent: the light count, the end of the primitive list and\n"
    "the numbers of the group lists follow every record that moves or goes.\n"
    "Primitives and lights are numbered from 1, as explain lists them. The\n"
    "actions are made in the order given, each on the file as the ones\n"
    "before it left it.\n"
    "  --delete primitive[N] | light[N]\n"
    "                take it out; a group list left empty goes too\n"
    "  --duplicate primitive[N] | light[N]\n"
    "                copy it directly after itself (a primitive's copy is in\n"
    "                no group, and every later primitive's number grows by 1)\n"
    "  --move primitive[N] | light[N] DX DY DZ\n"
    "                add DX DY DZ to its position\n"
    "  --add plane|box|sphere|ellipsoid|cylinder|cone [FIELD=VALUE...]\n"
    "                a new primitive at the end of the list, at the look point\n"
    "                and about a tenth of the view across; FIELD=VALUE as set\n"
    "                names a primitive's fields (pos.x=2 geom.x=0.5 col.r=200)\n"
    "  --add light [FIELD=VALUE...]\n"
    "                a new light at the eye (pos.x pos.y pos.z bright)\n"
    "  --group N,M,...\n"
    "                a new group of those primitives, after the other groups\n"
    "  --ungroup G   take out group G, the G-th list of the group section\n"
    "  --dry-run     print the new text on stdout; the file is not written\n"
    "e.g. koru-cli edit room.RT --duplicate 'primitive[20]' \\\n"
    "                           --move 'primitive[21]' 0 -3 0 --group 20,21\n"
    "The file is replaced safely once every action is checked; when one is\n"
    "refused, it is left as it was.\n"
    "Exit status: 0 done, 1 the file cannot be read or written, 2 usage error,\n"
    "a number out of range, a limit reached (100 primitives, 100 lights, 40\n"
    "members a group) or a group that would name a primitive twice (one line\n"
    "on stderr).\n";

namespace {

using action = std::function<int(const std::string &, text_edit &, std::string &)>;

// "primitive[N]" or "light[N]".
bool parse_record(const char *s, record_ref &r, std::string &why)
{
    const std::string t = s;
    const size_t open = t.find('[');
    const std::string word = t.substr(0, open);
    int n = 0;
    if ((word == "primitive" || word == "light") && open != std::string::npos && t.back() == ']' &&
        parse_whole(t.substr(open + 1, t.size() - open - 2).c_str(), n) == 1 && n >= 1) {
        r = record_ref{word == "light" ? SEC_LIGHT : SEC_PRIM, n - 1};
        return true;
    }
    why = "\"" + t + "\" names no record: primitive[N] or light[N], numbered from 1";
    return false;
}

// "3,5,8": primitive numbers from 1, as 0-based indices.
bool parse_members(const char *s, std::vector<int> &out, std::string &why)
{
    std::string t = s;
    for (size_t at = 0;;) {
        const size_t comma = t.find(',', at);
        int n = 0;
        if (parse_whole(t.substr(at, comma - at).c_str(), n) != 1 || n < 1) {
            why = "\"" + t + "\" is no list of primitive numbers (from 1), as 3,5,8";
            return false;
        }
        out.push_back(n - 1);
        if (comma == std::string::npos)
            return true;
        at = comma + 1;
    }
}

// The scene the text holds now: where a new record goes.
vec look_point(const scene &sc) { return vec{sc.rx, sc.ry, sc.rz}; }

vec eye_point(const scene &sc)
{
    const double n = std::sqrt(sc.vpnax * sc.vpnax + sc.vpnay * sc.vpnay + sc.vpnaz * sc.vpnaz);
    if (!(n > 0) || !std::isfinite(n * sc.dlength))
        return look_point(sc);
    const double s = sc.dlength / n;
    return vec{sc.rx + s * sc.vpnax, sc.ry + s * sc.vpnay, sc.rz + s * sc.vpnaz};
}

// A tenth of the view's width, to one significant digit.
double new_size(const scene &sc)
{
    const double s = sc.wdu / 10;
    return std::isfinite(s) && s > 0 ? c_strtod(digits_text(s, 1).c_str(), nullptr) : 1.0;
}

// --add KIND [FIELD=VALUE...]: args[0] is KIND.
bool parse_add(const std::vector<const char *> &args, action &act, std::string &why)
{
    const std::string kind = args[0];
    const int shape = shape_named(args[0]);
    if (kind != "light" && shape < 0) {
        why = "--add " + kind + ": a plane, box, sphere, ellipsoid, cylinder, cone or light";
        return false;
    }
    const int sec = kind == "light" ? SEC_LIGHT : SEC_PRIM;
    std::vector<field_value> given;
    for (size_t k = 1; k < args.size(); k++) {
        const char *eq = std::strchr(args[k], '=');
        field_value v;
        const std::string name = (sec == SEC_LIGHT ? "light[1]." : "primitive[1].") +
                                 std::string(args[k], eq ? eq : args[k] + std::strlen(args[k]));
        if (!eq || !parse_field(name.c_str(), v.field, why)) {
            why = eq ? why : "\"" + std::string(args[k]) + "\" is no FIELD=VALUE";
            return false;
        }
        v.text = eq + 1;
        given.push_back(v);
    }
    act = [=](const std::string &text, text_edit &e, std::string &w) {
        const std::unique_ptr<text_reading> now = read_scene_text(text);
        const scene &sc = now->sc;
        if (sec == SEC_LIGHT) {
            light_numbers l = new_light(eye_point(sc), 1);
            for (const field_value &v : given)
                l.num[v.field.field] = v.text;
            return add_light(text, l, e, w);
        }
        prim_numbers p = new_primitive(shape, look_point(sc), new_size(sc));
        for (const field_value &v : given)
            p.num[v.field.field] = v.text;
        return add_primitive(text, p, e, w);
    };
    return true;
}

struct edit_args {
    const char *path = nullptr;
    bool dry = false;
    std::vector<action> acts;
};

// The actions of the command line; 0, or the status of a mistake.
int parse_edit(int argc, char **argv, edit_args &a)
{
    std::string why;
    for (int i = 0; i < argc; i++) {
        const std::string o = argv[i];
        auto operands = [&](int n) { return i + n < argc; };
        auto bad = [&]() { return refuse(a.path ? a.path : "edit", why); };
        record_ref r{};
        if (o == "--dry-run") {
            a.dry = true;
        } else if (o == "--delete" || o == "--duplicate") {
            if (!operands(1))
                return usage_error(edit_help, "%s needs primitive[N] or light[N]", o.c_str());
            if (!parse_record(argv[++i], r, why))
                return bad();
            const bool del = o == "--delete", prim = r.sec == SEC_PRIM;
            a.acts.push_back([=](const std::string &t, text_edit &e, std::string &w) {
                return del ? (prim ? delete_primitive : delete_light)(t, r.index, e, w)
                           : (prim ? duplicate_primitive : duplicate_light)(t, r.index, e, w);
            });
        } else if (o == "--move") {
            double d[3];
            if (!operands(4))
                return usage_error(edit_help, "--move needs a record and DX DY DZ");
            if (!parse_record(argv[i + 1], r, why))
                return bad();
            for (int c = 0; c < 3; c++)
                if (!parse_real(argv[i + 2 + c], d[c])) {
                    why = "--move: \"" + std::string(argv[i + 2 + c]) + "\" is not a number";
                    return bad();
                }
            i += 4;
            const vec by{d[0], d[1], d[2]};
            a.acts.push_back([=](const std::string &t, text_edit &e, std::string &w) {
                return move_records(t, {r}, by, e, w);
            });
        } else if (o == "--add") {
            if (!operands(1))
                return usage_error(edit_help, "--add needs what to add");
            std::vector<const char *> args{argv[++i]};
            while (i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) &&
                   std::strchr(argv[i + 1], '='))
                args.push_back(argv[++i]);
            a.acts.emplace_back();
            if (!parse_add(args, a.acts.back(), why))
                return bad();
        } else if (o == "--group") {
            std::vector<int> m;
            if (!operands(1))
                return usage_error(edit_help, "--group needs primitive numbers, as 3,5,8");
            if (!parse_members(argv[++i], m, why))
                return bad();
            a.acts.push_back([=](const std::string &t, text_edit &e, std::string &w) {
                return make_group(t, m, e, w);
            });
        } else if (o == "--ungroup") {
            int g = 0;
            if (!operands(1))
                return usage_error(edit_help, "--ungroup needs a group number, from 1");
            if (parse_whole(argv[++i], g) != 1 || g < 1) {
                why = "--ungroup " + std::string(argv[i]) + ": groups are numbered from 1";
                return bad();
            }
            a.acts.push_back([=](const std::string &t, text_edit &e, std::string &w) {
                return ungroup(t, g - 1, e, w);
            });
        } else if (o.rfind("-", 0) == 0 && o.size() > 1) {
            return usage_error(edit_help, "unknown option \"%s\"", o.c_str());
        } else if (!a.path) {
            a.path = argv[i];
        } else {
            return usage_error(edit_help, "\"%s\" is no action: each begins with --", o.c_str());
        }
    }
    if (!a.path || a.acts.empty())
        return usage_error(edit_help, "edit needs a scene file and at least one action");
    return 0;
}

} // namespace

int cmd_edit(int argc, char **argv)
{
    edit_args a;
    if (const int rc = parse_edit(argc, argv, a))
        return rc;
    std::string text;
    if (!read_text(a.path, text))
        return 1;
    const std::string was = text;
    for (const action &act : a.acts) {
        text_edit e;
        std::string why;
        if (!act(text, e, why))
            return refuse(a.path, why);
        apply_edit(text, e);
    }
    if (a.dry) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    return text != was ? write_scene_file(a.path, text) : 0;
}
