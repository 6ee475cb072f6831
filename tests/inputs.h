// inputs.h - the hostile and sample input files of the repository, as
// CMake listed them when it configured (tests/CMakeLists.txt).
//
//   inputs_under("fuzz/regress/scene/")   full paths, sorted
//   inputs_under("tests/degenerate/", ".RT")
#pragma once

#include <string>
#include <vector>

inline std::vector<std::string> inputs_under(const std::string &prefix,
                                             const std::string &suffix = "")
{
    static const char *const listed[] = {
#include "inputs.inc"
        nullptr};
    std::vector<std::string> paths;
    for (const char *const *p = listed; *p; p++) {
        const std::string s = *p;
        if (s.compare(0, prefix.size(), prefix) == 0 && s.size() >= suffix.size() &&
            s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0)
            paths.push_back(KORU_SOURCE_DIR "/" + s);
    }
    return paths;
}
