#include "app/session/messages.h"

#include "base/msg.h"

#include <cstdio>

std::string no_dots(int w, int h, const char *what)
{
    if (w > 0 && h > 0)
        return "";
    char text[200];
    std::snprintf(text, sizeof text, "The picture size %d x %d has no dots; %s.", w, h, what);
    return text;
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

void message_log::add(const std::string &text)
{
    texts.push_back(text);
    if ((int)texts.size() > LOG_MAX) {
        texts.pop_front();
        dropped++;
    }
}

std::string log_text(const message_log &log)
{
    std::string t;
    if (log.dropped)
        t = "(" + std::to_string(log.dropped) + " earlier messages left out)\n\n";
    for (const std::string &m : log.texts) {
        if (!t.empty() && t.back() != '\n')
            t += "\n\n";
        t += m;
    }
    return t;
}
