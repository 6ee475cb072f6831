#include "app/session/prefs.h"

#include "base/whole.h"
#include "image/display.h"

namespace {

// The value under key as a whole number within lo..hi, or def.
int number(const std::map<std::string, std::string> &kv, const char *key, int lo, int hi, int def)
{
    auto it = kv.find(key);
    int v;
    if (it == kv.end() || parse_whole(it->second.c_str(), v, WHOLE_SIGN | WHOLE_BLANKS) != 1 ||
        v < lo || v > hi)
        return def;
    return v;
}

std::string text(const std::map<std::string, std::string> &kv, const char *key)
{
    auto it = kv.find(key);
    return it == kv.end() ? std::string() : it->second;
}

} // namespace

const int ZOOM_STEPS[7] = {50, 75, 100, 150, 200, 300, 400};

prefs prefs_from(const std::map<std::string, std::string> &kv)
{
    prefs p;
    p.zoom = number(kv, "zoom", ZOOM_MIN, ZOOM_MAX, p.zoom);
    p.mode = number(kv, "mode", 0, 2, p.mode);
    p.live = number(kv, "live", 0, 1, 0) == 1;
    p.aa = number(kv, "aa", 1, 4, p.aa);
    p.folder = text(kv, "folder");
    if (!p.folder.empty() && (p.folder[0] != '/' || p.folder.back() != '/'))
        p.folder.clear(); // only an absolute folder, as the dialog keeps it
    p.geometry = text(kv, "geometry");
    p.studio_geometry = text(kv, "studio_geometry");
    p.studio = number(kv, "studio", 0, 1, 0) == 1;
    p.follow = number(kv, "follow", 0, 1, 0);
    p.docks = text(kv, "docks");
    p.hints = number(kv, "hints", 0, 1, 0) == 1;
    p.lights = number(kv, "lights", 0, 1, 1) == 1;
    for (int i = RECENT_MAX - 1; i >= 0; i--) {
        std::string f = text(kv, ("recent" + std::to_string(i + 1)).c_str());
        if (!f.empty() && f[0] == '/')
            add_recent(p.recent, f);
    }
    return p;
}

std::map<std::string, std::string> prefs_to(const prefs &p)
{
    std::map<std::string, std::string> kv;
    kv["zoom"] = std::to_string(p.zoom);
    kv["mode"] = std::to_string(p.mode);
    kv["live"] = p.live ? "1" : "0";
    kv["aa"] = std::to_string(p.aa);
    kv["folder"] = p.folder;
    kv["geometry"] = p.geometry;
    kv["studio_geometry"] = p.studio_geometry;
    kv["studio"] = p.studio ? "1" : "0";
    kv["follow"] = std::to_string(p.follow);
    kv["docks"] = p.docks;
    kv["hints"] = p.hints ? "1" : "0";
    kv["lights"] = p.lights ? "1" : "0";
    for (int i = 0; i < RECENT_MAX; i++)
        kv["recent" + std::to_string(i + 1)] = i < (int)p.recent.size() ? p.recent[i] : "";
    return kv;
}

void remove_recent(std::vector<std::string> &recent, const std::string &path)
{
    for (size_t i = 0; i < recent.size(); i++)
        if (recent[i] == path) {
            recent.erase(recent.begin() + (long)i);
            break;
        }
}

void add_recent(std::vector<std::string> &recent, const std::string &path)
{
    remove_recent(recent, path);
    recent.insert(recent.begin(), path);
    if ((int)recent.size() > RECENT_MAX)
        recent.resize(RECENT_MAX);
}

int zoom_step(int zoom, int dir)
{
    if (dir > 0) {
        for (int z : ZOOM_STEPS)
            if (z > zoom)
                return z;
        return ZOOM_MAX;
    }
    for (int i = 6; i >= 0; i--)
        if (ZOOM_STEPS[i] < zoom)
            return ZOOM_STEPS[i];
    return ZOOM_MIN;
}
