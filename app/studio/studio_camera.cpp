#include "app/studio/studio_camera.h"

#include "app/session/session.h"
#include "scene/fields.h"
#include "scene/numin.h"
#include "scene/scenetext.h"
#include "scene/textedit.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

camera_fields camera_of(const scene &sc)
{
    camera_fields c;
    for (int k = V_RX; k <= V_IYMX; k++)
        c.v[k] = field_number(sc, field_ref{SEC_VIEW, 0, k});
    return c;
}

unsigned camera_changes(const camera_fields &before, const scene &sc)
{
    const camera_fields now = camera_of(sc);
    unsigned mask = 0;
    for (int k = V_RX; k <= V_IYMX; k++)
        if (std::memcmp(&now.v[k], &before.v[k], sizeof now.v[k]) != 0)
            mask |= 1u << k;
    return mask;
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

namespace {
// rx ... wdu, the camera's real numbers, by field.
struct real_fields {
    double *at[V_WDU + 1];
    explicit real_fields(scene &sc)
        : at{&sc.rx, &sc.ry, &sc.rz, &sc.vpnax, &sc.vpnay, &sc.vpnaz, &sc.dlength, &sc.wdu}
    {
    }
};
} // namespace

void studio_round_camera(scene &sc, unsigned mask)
{
    const real_fields field(sc);
    for (int k = V_RX; k <= V_WDU; k++) {
        if (!(mask & (1u << k)) || !std::isfinite(*field.at[k]))
            continue;
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.*g", HAND_DIGITS, *field.at[k]);
        *field.at[k] = c_strtod(buf, nullptr);
    }
}

void studio_text_camera(session &s, unsigned mask)
{
    const std::unique_ptr<text_reading> r = read_scene_text(s.studio.text);
    const real_fields model(s.app.model), text(r->sc);
    for (int k = V_RX; k <= V_WDU; k++)
        if (!(mask & (1u << k)))
            *model.at[k] = *text.at[k];
}
