// koru-cli set: numbers of a scene file changed by name.
#include "cli.h"

#include "../base/msg.h"
#include "../image/safewrite.h"
#include "../scene/textedit.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

const char *set_help =
    "usage: koru-cli set SCENE.RT FIELD=VALUE... [--dry-run]\n"
    "\n"
    "Gives fields of SCENE.RT new values, changing exactly the characters of\n"
    "their numbers and nothing else of the file. Fields are named and numbered\n"
    "as explain names them:\n"
    "  view.rx ... view.iymx    the camera and the size (rx ry rz, vpnax vpnay\n"
    "                           vpnaz, dlength, wdu, ixmx iymx)\n"
    "  depth.ilvlmx             the recursion depth\n"
    "  light[N].FIELD           pos.x pos.y pos.z bright of light N, from 1\n"
    "  primitive[N].FIELD       type surf ka kd ks spare npow refr trans pat\n"
    "                           patw sense geom.x ... pos.x ... col.r col.g col.b\n"
    "e.g. koru-cli set room.RT 'primitive[3].col.r=200' view.dlength=12\n"
    "VALUE is written as given and must read back exactly: a whole number where\n"
    "the reader reads one, never a change of how the numbers after it are read\n"
    "(nlg, or a negative type). The file is replaced safely once all are\n"
    "checked; with a bad field or value it is left as it was.\n"
    "  --dry-run     print the changed text on stdout; the file is not written\n"
    "Exit status: 0 done, 1 the file cannot be read or written, 2 usage error,\n"
    "an unknown field or a value that would not read back (one line on stderr).\n";

int refuse(const char *path, const std::string &why)
{
    std::fprintf(stderr, "koru-cli: %s: %s\n", path, why.c_str());
    return 2;
}

int write_scene_file(const char *path, const std::string &text)
{
    msglist msgs;
    if (!write_file_safely(path, (const unsigned char *)text.data(), text.size(), msgs))
        return fail("%s", msgs.first("cannot write the scene file"));
    print_warnings(path, msgs);
    return 0;
}

int cmd_set(int argc, char **argv)
{
    const char *path = nullptr;
    std::vector<const char *> assigns;
    bool dry = false;
    for (int i = 0; i < argc; i++) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--dry-run"))
            dry = true;
        else if (a[0] == '-' && a[1] == '-')
            return usage_error(set_help, "unknown option \"%s\"", a);
        else if (!path)
            path = a;
        else
            assigns.push_back(a);
    }
    if (!path || assigns.empty())
        return usage_error(set_help, "set needs a scene file and at least one FIELD=VALUE");

    std::vector<field_value> values;
    for (const char *a : assigns) {
        const char *eq = std::strchr(a, '=');
        if (!eq)
            return refuse(path, "\"" + std::string(a) + "\" is no FIELD=VALUE");
        field_value v;
        std::string why;
        if (!parse_field(std::string(a, eq).c_str(), v.field, why))
            return refuse(path, why);
        v.text = eq + 1;
        values.push_back(v);
    }
    std::string text, why;
    if (!read_text(path, text))
        return 1;
    text_edit e;
    if (!field_edit(text, values, e, why))
        return refuse(path, why);
    const bool changed = e.old_text != e.new_text;
    apply_edit(text, e);
    if (dry) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    return changed ? write_scene_file(path, text) : 0;
}
