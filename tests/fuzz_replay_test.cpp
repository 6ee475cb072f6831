// The fuzzers' seed corpora, every crash input they ever found
// (fuzz/regress) and the sample scenes, replayed through the fuzz targets'
// own code: a sanitizer build of the tests reruns them all.
#include "../fuzz/harness.h"
#include "child.h"
#include "inputs.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct input {
    std::string target, path;
};

void PrintTo(const input &in, std::ostream *os) { *os << in.path; }

// The reader target takes every scene input too: its corpus is theirs.
std::vector<input> inputs()
{
    std::vector<input> all;
    for (const char *target : {"scene", "reader", "picture"})
        for (const char *kind : {"corpus", "regress"})
            for (const std::string &path :
                 inputs_under(std::string("fuzz/") + kind + "/" + target + "/"))
                all.push_back({target, path});
    for (const std::string &path : inputs_under("samples/", ".RT"))
        all.push_back({"scene", path});
    for (const std::string &path : inputs_under("tests/degenerate/", ".RT"))
        all.push_back({"reader", path});
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
    if (GetParam().target == "picture") {
        picture_input(p, bytes.size());
        return;
    }
    if (GetParam().target == "scene")
        scene_input(p, bytes.size());
    reader_input(p, bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzReplay, testing::ValuesIn(inputs()), test_name);

} // namespace
