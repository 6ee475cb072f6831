#include "app/commands/save_prompt.h"

#include "app/commands/picture_save.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "app/studio/text_save.h"

bool live_remakes(const app_state &a)
{
    return a.live && a.live_camera != 0 && a.live_camera == a.camera_moves &&
           a.file_camera == a.camera_moves;
}

bool picture_unsaved(const app_state &a)
{
    return a.image_ready && a.data_change && !live_remakes(a);
}

int save_or_not(session &s)
{
    if (s.studio.on) // the text is what to keep
        return studio_keep_text(s);
    if (!picture_unsaved(s.app))
        return 1;
    int answer = s.ui.message("Image is changed !  Do you save ?", "Save or not !", MB_YESNOCANCEL);
    if (answer == ID_YES)
        return save_image(s) != 0; // a failed save keeps the picture
    // in live view every move makes a new picture: asked about once
    if (answer == ID_NO && s.app.live)
        s.app.data_change = 0;
    return answer == ID_NO;
}

int save_or_not_picture(session &s) { return s.studio.on ? 1 : save_or_not(s); }

bool shown_unsaved(const session &s)
{
    return s.studio.on ? s.studio.modified : picture_unsaved(s.app);
}
