#include "app/dialogs/print.h"

#include "app/session/say.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "base/msg.h"

#include <cstdio>

int print_scale(int pw, int ph, int zw, int zh)
{
    if (zw <= 0 || zh <= 0)
        return 0;
    int sx = pw / zw, sy = ph / zh;
    return sx < sy ? sx : sy;
}

int InitPrint(session &s)
{
    ui_port &ui = s.ui;
    display_state &d = s.disp;
    const int w = s.app.model.ixmx, h = s.app.model.iymx;
    // Zoomed size.
    int zw, zh;
    zoomed_size(d, w, h, zw, zh);
    if (zw <= 0 || zh <= 0) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "The picture has no dots at %d %% (%d x %d dots).\nNothing to print.",
                      d.zoom_size, zw > 0 ? zw : 0, zh > 0 ? zh : 0);
        ErrorMsg(s, text);
        return 0;
    }

    // Print dialog.
    const std::string doc = "KORU(" + s.app.szFName + ")";
    int pw = 0, ph = 0;
    if (!ui.print_setup(doc.c_str(), pw, ph))
        return 0;

    // The page.
    ui.wait_cursor(1);
    int scale = print_scale(pw, ph, zw, zh);
    disp_show(d, *s.app.gdata, w, h);
    msglist msgs;
    int ok = ui.print_page(d, w, h, scale, msgs);
    ui.wait_cursor(0);
    if (!ok) {
        std::string text = "The page could not be printed.";
        if (!msgs.lines.empty())
            text += std::string("\n") + msgs.first();
        ErrorMsg(s, text.c_str());
    }
    return ok;
}
