#include "app/anim/anim_form.h"

#include "app/dialogs/dirlist.h"
#include "app/dialogs/fieldtext.h"
#include "app/dialogs/filedlg.h"
#include "app/session/appstate.h"
#include "app/session/cmdline.h"
#include "app/session/messages.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "base/msg.h"
#include "scene/numin.h"
#include "scene/rtwrite.h"

#include <cctype>
#include <cmath>
#include <unistd.h>

namespace {

const char *const OUT_KINDS = "Name the output file: NAME.webp, NAME.gif, numbered pictures "
                              "such as frame_%04d.png (or .bmp), or one NAME.png for one frame.";

// A real number with nothing but blanks around it, finite.
bool get_real(const std::string &text, double &v)
{
    const char *s = text.c_str();
    char *end;
    const double d = c_strtod(s, &end);
    if (end == s || !std::isfinite(d))
        return false;
    while (std::isspace((unsigned char)*end))
        end++;
    if (*end)
        return false;
    v = d;
    return true;
}

std::string folder_of(const std::string &path) { return path.substr(0, path.rfind('/') + 1); }

// Where names without a folder go: beside the scene file, else the
// working directory.
std::string base_folder(const app_state &a)
{
    if (!a.scene_file.empty())
        return folder_of(a.scene_file);
    char cwd[PATH_BYTES];
    return getcwd(cwd, sizeof cwd) ? cwd : "/";
}

// FILE:LINE:COL, or FILE where there is no place.
std::string where(const std::string &file, const place &p)
{
    if (p.line <= 0)
        return file;
    return file + ":" + std::to_string(p.line) + ":" + std::to_string(p.col);
}

// The output's name checked; "" when it is good.
std::string check_out(const std::string &path, int frames, int w, int h)
{
    const std::string name = path.substr(path.rfind('/') + 1);
    const int kind = anim_kind(path.c_str());
    if (kind == ANIM_BADNAME)
        return "\"" + name + "\": a % must begin one frame field such as %04d, or be written %%.";
    if ((kind == ANIM_NUMBERED || kind == ANIM_SINGLE) && !is_picture_name(path))
        return OUT_KINDS;
    if (kind == ANIM_NUMBERED && anim_kind(name.c_str()) != ANIM_NUMBERED)
        return "The frame field must stand in the file's name, not in its folder's.";
    if (kind == ANIM_SINGLE && frames > 1)
        return "\"" + name + "\" holds one picture: for " + std::to_string(frames) +
               " frames name them with a field (frame_%04d.png), or make a .webp or .gif.";
    const std::string folder = folder_of(path);
    if (folder.find('%') != std::string::npos)
        return "The output's folder may not have a % in its name.";
    if (!is_dir(folder))
        return "The folder \"" + folder + "\" does not exist.";
    if (is_dir(path))
        return "\"" + path + "\" is a folder.";
    msglist msgs;
    if (!anim_fits(name.c_str(), frames, w, h, msgs))
        return "The animation is too large for one file: " + std::string(msgs.first()) + ".";
    return "";
}

} // namespace

const char *anim_aa_text(int aa)
{
    static const char *const names[] = {"Off", "2×2", "3×3", "4×4"};
    return aa >= 1 && aa <= 4 ? names[aa - 1] : names[0];
}

void anim_form_open(anim_form &f, const app_state &a)
{
    if (a.anim_last)
        f = *a.anim_last;
    f.req = anim_request();
    f.scene_name = a.scene_file;
    f.width = std::to_string(a.model.ixmx);
    f.height = std::to_string(a.model.iymx);
    f.aa = a.aa_level;
    if (f.out.empty()) {
        // the scene's name with .webp, beside it
        std::string name = a.scene_file.substr(a.scene_file.rfind('/') + 1);
        if (name.empty())
            name = "koru";
        set_ext(name, ".webp");
        f.out = base_folder(a) + name;
    }
}

bool anim_add_key(session &s, anim_form &f)
{
    app_state &a = s.app;
    make_pattern(a, a.szFileExt);
    if (!CallFileOpenDlg(s.ui, a, a.szTmpFileSpec, a.szFileExt.c_str(), a.szTmpFilePath,
                         a.szTmpFileName))
        return false;
    f.keys.push_back(a.szTmpFilePath + a.szTmpFileName);
    f.gen++;
    return true;
}

bool anim_remove_key(anim_form &f, int i)
{
    if (i < 1 || i > (int)f.keys.size())
        return false;
    f.keys.erase(f.keys.begin() + (i - 1));
    f.gen++;
    return true;
}

bool anim_move_key(anim_form &f, int i, int dir)
{
    const int j = i + dir;
    if (i < 1 || j < 1 || i > (int)f.keys.size() || j > (int)f.keys.size() || i == j)
        return false;
    std::swap(f.keys[i - 1], f.keys[j - 1]);
    f.gen++;
    return true;
}

bool anim_browse_out(session &s, anim_form &f)
{
    app_state &a = s.app;
    const std::string path = path_resolve(base_folder(a), f.out.empty() ? "koru.webp" : f.out);
    std::string name = path.substr(path.rfind('/') + 1);
    const size_t dot = name.rfind('.');
    const std::string ext = dot == std::string::npos ? ".webp" : name.substr(dot);
    // the dialog opens on the output's folder and ending, with its name
    const std::string offered = a.oldFName;
    a.oldFName = name;
    const int ok = CallFileSaveDlg(s.ui, a, folder_of(path) + "*" + ext, ext.c_str(),
                                   a.szTmpFilePath, a.szTmpFileName);
    a.oldFName = offered;
    if (!ok)
        return false;
    f.out = a.szTmpFilePath + a.szTmpFileName;
    f.gen++;
    return true;
}

std::string anim_check_fields(const anim_form &f, const app_state &a, anim_request &req)
{
    if (!get_uint(f.frames.c_str(), req.frames) || req.frames < 1)
        return "The number of frames must be a whole number of 1 or more.";
    if (!get_real(f.fps, req.fps) || !(req.fps >= FPS_MIN && req.fps <= FPS_MAX))
        return "Frames a second must be a number from 0.1 to 100.";
    req.orbit = f.orbit;
    if (f.orbit && !get_real(f.orbit_deg, req.orbit_deg))
        return "The turn must be a number of degrees, such as 360.";
    if (!get_uint(f.width.c_str(), req.w) || !get_uint(f.height.c_str(), req.h) || req.w < 1 ||
        req.h < 1 || req.w > WIDTH_MAX || req.h > HEIGHT_MAX)
        return "The size must be whole numbers from 1 x 1 to " + std::to_string(WIDTH_MAX) + " x " +
               std::to_string(HEIGHT_MAX) + ".";
    std::string out = f.out;
    while (!out.empty() && std::isspace((unsigned char)out.back()))
        out.pop_back();
    if (out.empty())
        return OUT_KINDS;
    req.out = path_resolve(base_folder(a), out);
    if (req.out.size() + 1 > (size_t)PATH_BYTES)
        return "The output's name is too long.";
    req.aa = f.aa;
    return check_out(req.out, req.frames, req.w, req.h);
}

std::string anim_load_keys(const app_state &a, const std::vector<std::string> &files,
                           std::vector<std::shared_ptr<keyscene>> &keys)
{
    keys.clear();
    // The scene file as read: its semi-axes as written, and its places
    auto file = std::make_shared<keyscene>();
    msglist msgs;
    const bool have_file =
        !a.scene_file.empty() && data_load(file->sc, a.scene_file.c_str(), msgs, &file->map);

    // The current scene by way of its text
    auto cur = std::make_shared<keyscene>();
    std::string text;
    msgs.clear();
    if (!rt_text(a.model, text, msgs, have_file ? file->map.axes : nullptr))
        return std::string("The current scene cannot be a key scene: ") +
               msgs.first("it cannot be written") + ".";
    data_load_text(cur->sc, text.data(), text.size(), msgs, &cur->map);
    keydiff d;
    const bool file_places = have_file && !key_differs(*file, *cur, d);
    keys.push_back(cur);

    for (const std::string &f : files) {
        auto k = std::make_shared<keyscene>();
        msgs.clear();
        if (!data_load(k->sc, f.c_str(), msgs, &k->map))
            return "Cannot open \"" + f + "\" !!";
        keys.push_back(k);
    }
    // the current scene named by its file while it has the file's structure
    const keyscene &first = file_places ? *file : *cur;
    const std::string first_name = file_places ? a.scene_file : "the current scene";
    for (size_t i = 1; i < keys.size(); i++) {
        if (!key_differs(first, *keys[i], d))
            continue;
        const place at_a = file_places ? d.at_a : place();
        return "Key scenes must have the same structure:\n" + where(first_name, at_a) + ": " +
               d.what + " is " + d.a + ", but " + d.b + " at " + where(files[i - 1], d.at_b) + ".";
    }
    return "";
}

int anim_form_ok(session &s, anim_form &f)
{
    anim_request req;
    std::string err = anim_check_fields(f, s.app, req);
    if (err.empty())
        err = anim_load_keys(s.app, f.keys, req.keys);
    if (!err.empty()) {
        ErrorMsg(s, err.c_str());
        return 0;
    }
    f.req = req;
    // the choices for the next time, without the scenes
    auto last = std::make_shared<anim_form>(f);
    last->req = anim_request();
    s.app.anim_last = last;
    return 1;
}
