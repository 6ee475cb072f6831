#include "messages.h"

#include "../base/msg.h"
#include "ui_port.h"

int ErrorMsg(ui_port &ui, const char *text)
{
    ui.message(text, "Error !", MB_ERROR);
    return 0;
}

std::string warn_text(const std::string &head, const msglist &msgs, const char *file)
{
    std::string t = head;
    for (const msg &m : msgs.lines)
        t += "\n" + (file ? msg_text(file, m) : m.text);
    if (msgs.lost)
        t += "\n(and " + std::to_string(msgs.lost) + " more)";
    return t;
}
