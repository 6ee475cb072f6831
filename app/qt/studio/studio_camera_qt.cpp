#include "app/qt/studio/studio_camera_qt.h"

#include "app/qt/studio/studio_text.h"
#include "app/session/command_ids.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "scene/textedit.h"

StudioCamera::StudioCamera(session &ses, StudioText &t) : s(ses), text(t) {}

void StudioCamera::before(int id)
{
    if (id == IDM_SETTING)
        before_setting = camera_of(s.app.model);
}

void StudioCamera::after(int id)
{
    if (id == IDM_SETTING) // the camera set in SETTING goes into the text
        write(camera_changes(before_setting, s.app.model));
}

void StudioCamera::moved(unsigned fields)
{
    forget_other_texts();
    mask |= fields;
}

void StudioCamera::rested()
{
    forget_other_texts();
    studio_round_camera(s.app.model, mask); // before the exact picture
    write(mask);
}

void StudioCamera::turned_on(unsigned hand_moved)
{
    studio_round_camera(s.app.model, hand_moved);
    write(hand_moved);
}

// A move made over another text than the one in the editor now: the
// model's camera is the new text's, and the move is not written into it.
void StudioCamera::forget_other_texts()
{
    if (s.studio.loads != loads)
        mask = 0;
    loads = s.studio.loads;
}

void StudioCamera::write(unsigned fields)
{
    mask = 0;
    if (!fields)
        return;
    text_edit e;
    std::string why;
    if (!studio_camera_edit(s, fields, e, why)) {
        say(s, "The camera was not written into the text: " + why);
        return;
    }
    if (e.old_text != e.new_text)
        text.apply_quietly(e); // the model has it already
    studio_text_camera(s, fields);
}
