#include "app/session/guide_file.h"

#include <set>
#include <sys/stat.h>

namespace {

constexpr char GUIDE_NAME[] = "guide.md";

bool is_file(const std::string &path)
{
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A heading's anchor before it is made unique.
std::string slug(const std::string &heading)
{
    std::string out;
    for (unsigned char c : heading) {
        if (c >= 'A' && c <= 'Z')
            out += (char)(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                 c >= 0x80) // other scripts' letters are kept as they are
            out += (char)c;
        else if (c == ' ')
            out += '-';
    }
    return out;
}

} // namespace

std::string guide_file(const std::string &exe_dir, const std::string &installed_dir)
{
    const std::string beside = exe_dir + "/../share/koru/guide/" + GUIDE_NAME;
    if (!exe_dir.empty() && is_file(beside))
        return beside;
    const std::string installed = installed_dir + "/" + GUIDE_NAME;
    return !installed_dir.empty() && is_file(installed) ? installed : "";
}

std::vector<std::string> heading_anchors(const std::vector<std::string> &headings)
{
    std::vector<std::string> out;
    std::set<std::string> taken;
    for (const std::string &h : headings) {
        const std::string base = slug(h);
        std::string a = base;
        for (int n = 1; taken.count(a); n++)
            a = base + "-" + std::to_string(n);
        taken.insert(a);
        out.push_back(a);
    }
    return out;
}
