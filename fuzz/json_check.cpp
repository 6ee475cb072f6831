#include "harness.h"

namespace {

// A recursive-descent check of RFC 8259 syntax; nesting is bounded so a
// hostile text cannot exhaust the stack.
struct json {
    const char *p, *end;
    int depth = 0;

    bool at_end() const { return p >= end; }
    void ws()
    {
        while (!at_end() && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r'))
            p++;
    }
    bool lit(const char *w)
    {
        for (; *w; w++, p++)
            if (at_end() || *p != *w)
                return false;
        return true;
    }
    bool digits()
    {
        const char *s = p;
        while (!at_end() && *p >= '0' && *p <= '9')
            p++;
        return p > s;
    }
    bool number()
    {
        if (*p == '-')
            p++;
        if (at_end())
            return false;
        if (*p == '0')
            p++;
        else if (!digits())
            return false;
        if (!at_end() && *p == '.') {
            p++;
            if (!digits())
                return false;
        }
        if (!at_end() && (*p == 'e' || *p == 'E')) {
            p++;
            if (!at_end() && (*p == '+' || *p == '-'))
                p++;
            if (!digits())
                return false;
        }
        return true;
    }
    bool string()
    {
        p++;
        while (!at_end()) {
            unsigned char c = (unsigned char)*p++;
            if (c == '"')
                return true;
            if (c < 0x20)
                return false;
            if (c != '\\')
                continue;
            if (at_end())
                return false;
            c = (unsigned char)*p++;
            if (c == 'u') {
                for (int i = 0; i < 4; i++, p++) {
                    if (at_end())
                        return false;
                    char h = *p;
                    if (!((h >= '0' && h <= '9') || (h >= 'a' && h <= 'f') ||
                          (h >= 'A' && h <= 'F')))
                        return false;
                }
            } else if (!(c == '"' || c == '\\' || c == '/' || c == 'b' || c == 'f' || c == 'n' ||
                         c == 'r' || c == 't')) {
                return false;
            }
        }
        return false;
    }
    // elements of an array (close ']') or members of an object (close '}')
    bool list(char close, bool members)
    {
        p++;
        ws();
        if (!at_end() && *p == close) {
            p++;
            return true;
        }
        for (;;) {
            if (members) {
                if (at_end() || *p != '"' || !string())
                    return false;
                ws();
                if (at_end() || *p++ != ':')
                    return false;
            }
            if (!value())
                return false;
            if (at_end())
                return false;
            char c = *p++;
            if (c == close)
                return true;
            if (c != ',')
                return false;
            ws();
        }
    }
    bool value()
    {
        ws();
        if (at_end() || ++depth > 64)
            return false;
        bool ok;
        switch (*p) {
        case '{':
            ok = list('}', true);
            break;
        case '[':
            ok = list(']', false);
            break;
        case '"':
            ok = string();
            break;
        case 't':
            ok = lit("true");
            break;
        case 'f':
            ok = lit("false");
            break;
        case 'n':
            ok = lit("null");
            break;
        default:
            ok = number();
            break;
        }
        depth--;
        ws();
        return ok;
    }
};

} // namespace

int json_valid(const char *text, size_t n)
{
    json j{text, text + n};
    return j.value() && j.at_end();
}
