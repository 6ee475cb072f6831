// The fuzzers' seed corpora, every crash input they ever found
// (fuzz/regress) and the sample scenes, replayed through the fuzz targets'
// own code: a sanitizer build of the tests reruns them all.
#include "../fuzz/harness.h"
#include "child.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct input {
    std::string target, path;
};

void PrintTo(const input &in, std::ostream *os) { *os << in.path; }

std::vector<input> inputs()
{
    std::vector<input> all;
    auto add = [&](const char *target, const fs::path &dir, const char *ext) {
        if (!fs::is_directory(dir))
            return;
        for (const auto &e : fs::directory_iterator(dir))
            if (e.is_regular_file() && e.path().filename().string()[0] != '.' &&
                (!*ext || e.path().extension() == ext))
                all.push_back({target, e.path().string()});
    };
    const fs::path src(KORU_SOURCE_DIR);
    for (const char *target : {"scene", "bmp"})
        for (const char *kind : {"corpus", "regress"})
            add(target, src / "fuzz" / kind / target, "");
    add("scene", src / "samples", ".RT");
    std::sort(all.begin(), all.end(), [](const input &a, const input &b) { return a.path < b.path; });
    return all;
}

std::string test_name(const testing::TestParamInfo<input> &p)
{
    std::string s = fs::path(p.param.path).lexically_relative(KORU_SOURCE_DIR).string();
    for (char &c : s)
        if (!isalnum((unsigned char)c))
            c = '_';
    return s;
}

class FuzzReplay : public testing::TestWithParam<input> {};

TEST_P(FuzzReplay, Survives)
{
    std::string bytes = slurp(GetParam().path);
    const uint8_t *p = (const uint8_t *)bytes.data();
    if (GetParam().target == "scene")
        scene_input(p, bytes.size());
    else
        bmp_input(p, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzReplay, testing::ValuesIn(inputs()), test_name);

} // namespace
