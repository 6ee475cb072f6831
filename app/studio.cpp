#include "studio.h"

#include "../base/msg.h"
#include "../base/openread.h"
#include "../base/sizes.h"
#include "../image/safewrite.h"
#include "../scene/newscene.h"
#include "../scene/numin.h"
#include "../scene/rtread.h"
#include "../scene/scenetext.h"
#include "../scene/textedit.h"
#include "commands.h"
#include "messages.h"
#include "prefs.h"
#include "scenesave.h"
#include "studio_doc.h"
#include "ui_port.h"

#include <cmath>
#include <cstdio>
#include <memory>

const char NEW_SCENE_NAME[] = "New scene";

namespace {

// A scene file's text, within the size the reader takes
bool read_whole_file(const std::string &path, std::string &out)
{
    msglist msgs;
    return read_whole(path.c_str(), SCENE_FILE_MAX, "scene file", out, msgs);
}

// The text to path, as typed; on failure a message says why.
int write_text(session &s, const std::string &path)
{
    msglist msgs;
    const std::string &t = s.studio.text;
    if (!write_file_safely(path.c_str(), (const unsigned char *)t.data(), t.size(), msgs)) {
        ErrorMsg(s.ui, warn_text("The scene was not saved.", msgs).c_str());
        return 0;
    }
    return 1;
}

// The text is in its file now: unmodified, and the picture follows it in
// either mode.
void saved_to(session &s, const std::string &path)
{
    studio_state &st = s.studio;
    st.file = path;
    st.modified = false;
    st.saves++;
    st.follow.saved();
    add_recent(s.app.recent_files, path);
}

// The key (studio_doc.h) of a text read into sc.
std::string key_of(const std::string &text, const scene &sc, const scene_map &map)
{
    scene_text st;
    index_scene_text(st, text.data(), text.size(), sc, map);
    return numbers_key(text, st);
}

} // namespace

int studio_keep_text(session &s)
{
    if (!s.studio.modified)
        return 1;
    const int answer = s.ui.message("The scene's text has changes that are not saved.\nSave them?",
                                    "Save the scene?", MB_YESNOCANCEL);
    if (answer == ID_YES)
        return studio_save(s);
    return answer == ID_NO;
}

int studio_save(session &s)
{
    if (s.studio.file.empty())
        return studio_save_as(s);
    if (!write_text(s, s.studio.file))
        return 0;
    saved_to(s, s.studio.file);
    return 1;
}

int studio_save_as(session &s)
{
    app_state &a = s.app;
    std::string path;
    if (!ask_scene_path(s, s.studio.file, path))
        return 0;
    if (!write_text(s, path))
        return 0;
    saved_to(s, path);
    // the scene's file now, which the title names and live view follows
    a.szFName = a.scene_file = path;
    a.oldFName = a.szTmpFileName;
    s.ui.set_title(path.c_str());
    s.studio.taken_file = path;
    s.studio.taken_serial = a.scene_serial;
    return 1;
}

void studio_new(session &s)
{
    if (!save_or_not(s))
        return;
    studio_state &st = s.studio;
    st.text = new_scene_text;
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
}

void studio_command(session &s, int id)
{
    switch (id) {
    case IDM_NEWSCENE:
        studio_new(s);
        break;
    case IDM_SAVESCENE:
        studio_save(s);
        break;
    case IDM_SAVESCENEAS:
        studio_save_as(s);
        break;
    case IDM_FOLLOW_TYPING:
    case IDM_FOLLOW_SAVE:
        s.studio.follow.set_mode(id == IDM_FOLLOW_SAVE ? FOLLOW_SAVE : FOLLOW_TYPING);
        break;
    }
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
    if (key == s.studio.followed)
        return FOLLOWED_SAME;
    s.studio.followed.swap(key);
    s.app.model = *fresh;
    if (!s.app.rt_ready) {
        s.app.rt_ready = 1;
        s.ui.commands_changed(); // the commands that need a scene
    }
    return FOLLOWED_READ;
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

int studio_camera_edit(const session &s, unsigned mask, text_edit &out, std::string &why)
{
    std::vector<field_ref> fields;
    for (int k = V_RX; k <= V_IYMX; k++)
        if (mask & (1u << k))
            fields.push_back(field_ref{SEC_VIEW, 0, k});
    out = text_edit{};
    if (fields.empty())
        return 1;
    return model_edit(s.studio.text, s.app.model, fields, out, why);
}

void studio_round_camera(scene &sc, unsigned mask)
{
    double *field[] = {&sc.rx,    &sc.ry,    &sc.rz,      &sc.vpnax,
                       &sc.vpnay, &sc.vpnaz, &sc.dlength, &sc.wdu};
    for (int k = V_RX; k <= V_WDU; k++) {
        if (!(mask & (1u << k)) || !std::isfinite(*field[k]))
            continue;
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.*g", HAND_DIGITS, *field[k]);
        *field[k] = c_strtod(buf, nullptr);
    }
}
