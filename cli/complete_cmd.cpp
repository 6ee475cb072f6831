// koru-cli complete: what the shell may offer at a place of a koru-cli
// command line, so that the completion scripts (data/completion) know
// nothing of koru-cli's commands, options or the fields of a scene.
//
//   koru-cli complete INDEX WORD...
//
// WORD... are the words after "koru-cli" (the command first), INDEX the
// one being completed (0: the command), and it may be empty. The answer is
// one candidate a line, those that begin with the word, and directives
// beginning with ':' for the shell to act on:
//   :files EXT...   offer file names ending in .EXT (any case), and folders
//   :files          offer any file name
//   :nospace        add no space after a candidate (a field name goes on)
//
// Field names come in steps, as a scene's numbers are named: "prim" offers
// "primitive[1]." to "primitive[N]." for the N primitives of the scene
// file on the command line (its lights likewise; without a readable scene,
// "primitive[" and "light["), "primitive[3]." offers that record's fields
// as "primitive[3].col.r=", and "primitive[3].col.r=" its value now.
#include "cli.h"

#include "../base/msg.h"
#include "../scene/fields.h"
#include "../scene/rtread.h"
#include "../scene/templates.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// What a word at a place of the command line is.
enum arg_kind {
    ARG_NONE,     // a number or a name: nothing to offer
    ARG_SCENE,    // a .RT file
    ARG_PICTURE,  // a picture to read: .png, .bmp
    ARG_OUT,      // a picture to write
    ARG_KEY,      // animate: a key scene or the output
    ARG_ANIM,     // an animation to write: .webp, .gif
    ARG_FIELD,    // FIELD=VALUE
    ARG_TEMPLATE, // a template's name
    ARG_CHOICE,   // one of opt_shape::choices
};

struct opt_shape {
    const char *name;
    int args;                 // values that follow it
    arg_kind kind = ARG_NONE; // of the first of them
    const char *choices = ""; // ARG_CHOICE: the values, a space between
};

struct cmd_shape {
    const char *name;
    std::vector<arg_kind> places; // the arguments that are no option, in order; the
                                  // last is repeated when `more`
    bool more;
    std::vector<opt_shape> opts;
};

const opt_shape AA{"--aa", 1, ARG_CHOICE, "1 2 3 4 5 6 7 8"};
const opt_shape SIZE{"--size", 2};
const opt_shape THREADS{"--threads", 1};

// Every command's options, as its --help lists them (a test holds them to
// that). "edit" joins the list once koru-cli has that command.
const std::vector<cmd_shape> &command_table()
{
    static const std::vector<cmd_shape> all = {
        {"render",
         {ARG_SCENE, ARG_OUT},
         false,
         {{"--stereo", 0}, {"--anaglyph", 0}, AA, SIZE, THREADS, {"--plain", 0}, {"--stats", 0}}},
        {"info", {ARG_SCENE}, false, {}},
        {"check", {ARG_SCENE}, false, {}},
        {"explain", {ARG_SCENE}, false, {}},
        {"display",
         {ARG_PICTURE, ARG_OUT},
         false,
         {{"--zoom", 1, ARG_CHOICE, "50 75 100 150 200 300 400"},
          {"--mode", 1, ARG_CHOICE, "0 1 2"}}},
        {"pick", {ARG_SCENE, ARG_NONE, ARG_NONE}, false, {SIZE, {"--stereo", 0}}},
        {"set", {ARG_SCENE, ARG_FIELD}, true, {{"--dry-run", 0}}},
        {"edit",
         {ARG_SCENE, ARG_FIELD},
         true,
         {{"--delete", 1},
          {"--duplicate", 1},
          {"--move", 1},
          {"--add", 1},
          {"--group", 1},
          {"--ungroup", 1},
          {"--dry-run", 0}}},
        {"new", {ARG_SCENE}, false, {{"--template", 1, ARG_TEMPLATE}}},
        {"animate",
         {ARG_KEY},
         true,
         {{"--frames", 1},
          {"--orbit", 1},
          {"--fps", 1},
          {"--frame", 1},
          {"--frames-from", 1},
          {"--frames-to", 1},
          {"--scene-out", 1, ARG_SCENE},
          {"--stereo", 0},
          {"--anaglyph", 0},
          AA,
          SIZE,
          THREADS,
          {"--plain", 0}}},
        {"join", {ARG_PICTURE, ARG_ANIM}, false, {{"--fps", 1}, {"--frames", 1}}},
        {"thumbnail",
         {ARG_SCENE, ARG_OUT},
         false,
         {{"--size", 1, ARG_CHOICE, "128 256 512 1024"}, {"--seconds", 1}, {"--rays", 1}}},
    };
    return all;
}

const cmd_shape *find_shape(const std::string &name)
{
    if (!runs_command(name.c_str()))
        return nullptr;
    for (const cmd_shape &c : command_table())
        if (name == c.name)
            return &c;
    return nullptr;
}

bool begins(const std::string &s, const std::string &head)
{
    return s.compare(0, head.size(), head) == 0;
}

void offer(const std::string &cur, const std::string &c)
{
    if (begins(c, cur))
        std::printf("%s\n", c.c_str());
}

void offer_words(const std::string &cur, const char *words)
{
    std::string w;
    for (const char *p = words;; p++) {
        if (*p && *p != ' ') {
            w += *p;
            continue;
        }
        if (!w.empty())
            offer(cur, w);
        w.clear();
        if (!*p)
            break;
    }
}

// "primitive[3]." and the like: the record heads of sc (sc null: not
// known, so the numbers are left to type).
std::vector<std::string> record_heads(const scene *sc)
{
    std::vector<std::string> heads = {"view.", "depth."};
    if (!sc) {
        heads.push_back("light[");
        heads.push_back("primitive[");
        return heads;
    }
    for (int i = 1; i <= sc->nlg && i <= LIGHT_MAX; i++)
        heads.push_back("light[" + std::to_string(i) + "].");
    for (int i = 1; i <= sc->primmx; i++)
        heads.push_back("primitive[" + std::to_string(i) + "].");
    return heads;
}

// The section of the record head ("view", "depth", "light[2]",
// "primitive[3]"): SEC_VIEW, SEC_LIGHT, SEC_PRIM, DEPTH for the depth's
// own head, or -1 for no head.
constexpr int DEPTH = -2;
int head_section(const std::string &head)
{
    if (head == "view")
        return SEC_VIEW;
    if (head == "depth")
        return DEPTH;
    // a light's and a primitive's first field have the same name
    field_ref f;
    std::string why;
    if (parse_field((head + ".pos.x").c_str(), f, why) && f.sec != SEC_VIEW)
        return f.sec;
    return -1;
}

// The field names of the record cur begins with ("primitive[3]." ...),
// each with its "="; false when cur names no whole record yet.
bool offer_record_fields(const std::string &cur)
{
    const size_t dot = cur.find('.');
    const std::string head = cur.substr(0, dot);
    const int sec = dot == std::string::npos ? -1 : head_section(head);
    if (sec == -1)
        return false;
    if (sec == DEPTH) {
        offer(cur, "depth.ilvlmx=");
        return true;
    }
    for (int k = 0; k < section_size(sec); k++) {
        // the view's own fields: not the depth, and not the number of
        // lights, which a change would make the rest of the file mean
        // otherwise (set refuses it)
        if (sec == SEC_VIEW && (k == V_NLG || k == V_ILVLMX))
            continue;
        offer(cur, head + "." + field_name({sec, 0, k}) + "=");
    }
    return true;
}

// FIELD=VALUE at cur, with the scene at path (empty: none yet).
void offer_fields(const std::string &cur, const std::string &path)
{
    scene sc;
    msglist msgs;
    const bool known = !path.empty() && data_load(sc, path.c_str(), msgs);
    std::printf(":nospace\n");
    const size_t eq = cur.find('=');
    if (eq != std::string::npos) {
        field_ref f;
        std::string why;
        if (known && parse_field(cur.substr(0, eq).c_str(), f, why) &&
            (f.sec != SEC_LIGHT || f.index < sc.nlg) && (f.sec != SEC_PRIM || f.index < sc.primmx))
            offer(cur, cur.substr(0, eq + 1) + field_number_text(sc, f));
        return;
    }
    if (offer_record_fields(cur))
        return;
    for (const std::string &h : record_heads(known ? &sc : nullptr))
        offer(cur, h);
}

void offer_files(arg_kind kind)
{
    switch (kind) {
    case ARG_SCENE:
        std::printf(":files rt\n");
        break;
    case ARG_PICTURE:
    case ARG_OUT:
        std::printf(":files png bmp\n");
        break;
    case ARG_KEY:
        std::printf(":files rt webp gif png bmp\n");
        break;
    case ARG_ANIM:
        std::printf(":files webp gif\n");
        break;
    default:
        break;
    }
}

void offer_value(const std::string &cur, const opt_shape &o)
{
    if (o.kind == ARG_CHOICE)
        offer_words(cur, o.choices);
    else if (o.kind == ARG_TEMPLATE)
        for (int i = 0; i < scene_template_count(); i++)
            offer(cur, scene_template_at(i).name);
    else
        offer_files(o.kind);
}

const opt_shape *find_opt(const cmd_shape &c, const std::string &name)
{
    for (const opt_shape &o : c.opts)
        if (name == o.name)
            return &o;
    return nullptr;
}

void complete_args(const cmd_shape &c, const std::vector<std::string> &w, size_t at)
{
    // step over the words before the one completed: options and their
    // values, and the arguments, noting the scene file
    const opt_shape *opt = nullptr;
    int pending = 0;
    size_t place = 0;
    std::string scene_path;
    for (size_t i = 1; i < at; i++) {
        if (pending > 0) {
            pending--;
            continue;
        }
        if (w[i].size() > 1 && w[i][0] == '-') {
            opt = find_opt(c, w[i]);
            pending = opt ? opt->args : 0;
            continue;
        }
        const arg_kind kind = c.places[std::min(place, c.places.size() - 1)];
        if (kind == ARG_SCENE && scene_path.empty())
            scene_path = w[i];
        place++;
    }
    const std::string &cur = w[at];
    if (pending > 0) {
        if (pending == opt->args)
            offer_value(cur, *opt);
        return;
    }
    if (!cur.empty() && cur[0] == '-') {
        for (const opt_shape &o : c.opts)
            offer(cur, o.name);
        offer(cur, "--help");
        return;
    }
    if (place >= c.places.size() && !c.more)
        return;
    const arg_kind kind = c.places[std::min(place, c.places.size() - 1)];
    if (kind == ARG_FIELD)
        offer_fields(cur, scene_path);
    else
        offer_files(kind);
}

} // namespace

int cmd_complete(int argc, char **argv)
{
    int at = 0;
    if (argc < 2 || !parse_uint(argv[0], at) || at > argc - 2)
        return 2;
    const std::vector<std::string> w(argv + 1, argv + argc);
    if (at == 0) {
        for (const char *name : command_names())
            offer(w[0], name);
        offer(w[0], "--help");
        return 0;
    }
    if (const cmd_shape *c = find_shape(w[0]))
        complete_args(*c, w, (size_t)at);
    return 0;
}
