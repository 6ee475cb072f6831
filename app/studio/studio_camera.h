// studio_camera.h - the camera written back into the studio's text: moved
// by hand in the picture, or set in SETTING.
//
//   camera_fields before = camera_of(s.app.model);   // before SETTING
//   ... unsigned mask = camera_changes(before, s.app.model);
//   studio_camera_edit(s, mask, edit, why);          // those numbers rewritten
//
// Masks are bits 1 << V_RX ... 1 << V_IYMX (rtread.h's view fields).
#pragma once

#include "scene/rtread.h"

#include <string>

struct scene;
struct session;
struct text_edit;

// The camera's fields as a scene holds them, to tell later which changed.
struct camera_fields {
    double v[V_IYMX + 1];
};
camera_fields camera_of(const scene &sc);
// The fields whose value in sc is not, bit for bit, the one before.
unsigned camera_changes(const camera_fields &before, const scene &sc);

// The edit that writes the model's camera fields in the mask into the
// text. Only numbers whose value changed are rewritten (textedit.h's
// model_edit). 0 with why when the text lacks them or a value has no text;
// 1 with an empty edit when nothing changed.
int studio_camera_edit(const session &s, unsigned mask, text_edit &out, std::string &why);
// A camera moved by hand, kept to HAND_DIGITS significant digits in the
// model's fields in the mask, so that its numbers in the text stay short
// (and still read back as the model holds them).
constexpr int HAND_DIGITS = 7;
void studio_round_camera(scene &sc, unsigned mask);
// The model's camera numbers outside the mask as the text reads them. A
// render leaves the look direction unit length in the model, where the
// text keeps it as typed; the exact picture is to be the text's.
void studio_text_camera(session &s, unsigned mask);
