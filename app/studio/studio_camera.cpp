#include "app/studio/studio_camera.h"

#include "app/session/session.h"
#include "scene/fields.h"
#include "scene/numin.h"
#include "scene/textedit.h"

#include <cmath>
#include <cstdio>
#include <cstring>

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
