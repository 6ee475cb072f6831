#include "msg.h"

#include <cstdarg>
#include <cstdio>

namespace {

std::string format(const char *fmt, va_list ap)
{
    char buf[512];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    return buf;
}

} // namespace

void msglist::add(const char *fmt, ...)
{
    if ((int)lines.size() >= MSG_MAX) {
        lost++;
        return;
    }
    va_list ap;
    va_start(ap, fmt);
    lines.push_back(msg{0, 0, format(fmt, ap)});
    va_end(ap);
}

void msglist::add_at(int line, int col, const char *fmt, ...)
{
    if ((int)lines.size() >= MSG_MAX) {
        lost++;
        return;
    }
    va_list ap;
    va_start(ap, fmt);
    lines.push_back(msg{line, col, format(fmt, ap)});
    va_end(ap);
}

void msglist::clear()
{
    lines.clear();
    lost = 0;
}

const char *msglist::first(const char *fallback) const
{
    return lines.empty() ? fallback : lines[0].text.c_str();
}

std::string msg_text(const char *file, const msg &m, const char *kind)
{
    std::string s = file;
    if (m.line > 0) {
        s += ":" + std::to_string(m.line);
        if (m.col > 0)
            s += ":" + std::to_string(m.col);
    }
    return s + ": " + kind + ": " + m.text;
}
