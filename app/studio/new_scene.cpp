#include "app/studio/new_scene.h"

#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "scene/templates.h"
#include "trace/thumbnail.h"

#include <memory>
#include <string>

int new_scene_choose(session &s)
{
    new_scene_form f; // the first, whatever was chosen last
    if (!s.ui.new_scene_dialog(f))
        return 0;
    if (f.chosen < 0 || f.chosen >= scene_template_count())
        return 0;
    s.studio.new_template = f.chosen;
    return 1;
}

int new_scene_thumbnail(int i, int size, const std::atomic<bool> *cancel, picture &pic)
{
    const scene_template &t = scene_template_at(i);
    auto sc = std::make_unique<scene>();
    load_template(*sc, t);
    thumb_options o;
    o.size = size;
    o.stereo = t.stereo;
    o.cancel = cancel;
    std::string why;
    return make_thumbnail(*sc, o, pic, why);
}
