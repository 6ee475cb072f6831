#include "app/session/say.h"

#include "app/session/session.h"
#include "app/session/ui_port.h"

int ErrorMsg(session &s, const char *text)
{
    s.said.add(text);
    s.ui.message(text, "Error !", MB_ERROR);
    return 0;
}

void say(session &s, const std::string &text, bool keep)
{
    s.ui.status(text.c_str());
    if (keep && !text.empty())
        s.said.add(text);
}
