#include "app/studio/studio.h"

#include "app/session/command_ids.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "app/studio/studio_camera.h"
#include "app/studio/studio_doc.h"
#include "app/studio/text_save.h"
#include "base/msg.h"
#include "base/openread.h"
#include "base/sizes.h"
#include "scene/rtread.h"
#include "scene/scenetext.h"
#include "scene/templates.h"

#include <memory>

namespace {

// A scene file's text, within the size the reader takes
bool read_whole_file(const std::string &path, std::string &out)
{
    msglist msgs;
    return read_whole(path.c_str(), SCENE_FILE_MAX, "scene file", out, msgs);
}

// The key (studio_doc.h) of a text read into sc.
std::string key_of(const std::string &text, const scene &sc, const scene_map &map)
{
    scene_text st;
    index_scene_text(st, text.data(), text.size(), sc, map);
    return numbers_key(text, st);
}

// The key of a text read over base; empty when its primitive list does not
// end.
std::string key_of_text(const std::string &text, const scene &base)
{
    auto sc = std::make_unique<scene>(base);
    auto map = std::make_unique<scene_map>();
    msglist msgs;
    data_load_text(*sc, text.data(), text.size(), msgs, map.get());
    return map->records_ended ? key_of(text, *sc, *map) : std::string();
}

} // namespace

const char NEW_SCENE_NAME[] = "New scene";

void studio_new(session &s)
{
    studio_state &st = s.studio;
    const scene_template &t = scene_template_at(st.new_template);
    st.text = t.text;
    st.file.clear();
    st.modified = false;
    st.loads++;
    st.followed.clear();
    s.app.scene_file.clear();
    st.taken_file.clear();
    st.taken_serial = s.app.scene_serial;
    s.ui.set_title(NEW_SCENE_NAME);
    msglist msgs;
    studio_follow_text(s, msgs);
    say(s, std::string("New scene from \"") + t.title + "\": " + t.about + ".");
}

int studio_allows(session &s, int id)
{
    if (!s.studio.on || id != IDM_SAVERT)
        return 1;
    return studio_keep_text(s);
}

int studio_turn_off(session &s)
{
    studio_state &st = s.studio;
    if (!st.on)
        return 1;
    if (!studio_keep_text(s))
        return 0;
    st.on = false;
    st.modified = false; // what was not saved is dropped: the file's text comes back
    st.taken_serial = s.app.scene_serial - 1;
    return 1;
}

bool studio_take_file(session &s)
{
    app_state &a = s.app;
    studio_state &st = s.studio;
    if (a.scene_file == st.taken_file && a.scene_serial == st.taken_serial)
        return false;
    st.taken_file = a.scene_file;
    st.taken_serial = a.scene_serial;
    if (a.scene_file.empty())
        return false; // no scene file: the text stays
    std::string text;
    read_whole_file(a.scene_file, text); // none: an empty text, saved as a new file
    st.text = text;
    st.file = a.scene_file;
    st.modified = false;
    st.loads++;
    // the model was read from this file: the same numbers need no new read
    auto sc = std::make_unique<scene>();
    auto map = std::make_unique<scene_map>();
    msglist msgs;
    data_load_text(*sc, text.data(), text.size(), msgs, map.get());
    st.followed = key_of(text, *sc, *map);
    return true;
}

int studio_follow_text(session &s, msglist &msgs)
{
    const std::string &text = s.studio.text;
    auto fresh = std::make_unique<scene>(s.app.model); // keeps the stereo distance
    auto map = std::make_unique<scene_map>();
    data_load_text(*fresh, text.data(), text.size(), msgs, map.get());
    if (!map->records_ended)
        return FOLLOWED_CUT;
    std::string key = key_of(text, *fresh, *map);
    // the numbers last read, and no camera moved by hand or set since (one
    // written into the text and undone there is the text's no more)
    if (key == s.studio.followed && !camera_changes(camera_of(*fresh), s.app.model))
        return FOLLOWED_SAME;
    s.studio.followed.swap(key);
    s.app.model = *fresh;
    if (!s.app.rt_ready) {
        s.app.rt_ready = 1;
        s.ui.commands_changed(); // the commands that need a scene
    }
    return FOLLOWED_READ;
}

void studio_followed_edit(session &s, const std::string &before)
{
    studio_state &st = s.studio;
    if (st.followed.empty() || key_of_text(before, s.app.model) != st.followed)
        return; // the model waits for a read of the text anyway
    std::string key = key_of_text(st.text, s.app.model);
    if (!key.empty())
        st.followed.swap(key);
}

int studio_file_changed(session &s)
{
    studio_state &st = s.studio;
    std::string now;
    if (st.file.empty() || !read_whole_file(st.file, now))
        return st.file.empty() ? DISK_SAME : DISK_GONE;
    if (now == st.text)
        return DISK_SAME;
    if (st.modified)
        return DISK_KEPT;
    st.text.swap(now);
    st.loads++;
    return DISK_TAKEN;
}
