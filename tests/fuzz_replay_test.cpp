// The fuzzers' seed corpora, every crash input they ever found
// (fuzz/regress) and the sample scenes, replayed through the fuzz targets'
// own code: a sanitizer build of the tests reruns them all.
#include "../fuzz/harness.h"
#include "child.h"
#include "inputs.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct input {
    std::string target, path;
};

void PrintTo(const input &in, std::ostream *os) { *os << in.path; }

// The reader, edit and keys targets take every scene input too, and the
// display target every picture: their corpora are theirs.
std::vector<input> inputs()
{
    std::vector<input> all;
    for (const char *target :
         {"scene", "reader", "picture", "display", "anim", "edit", "keys", "encode"})
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
    const std::string bytes = slurp(GetParam().path), &t = GetParam().target;
    const uint8_t *p = (const uint8_t *)bytes.data();
    const size_t n = bytes.size();
    if (t == "picture")
        picture_input(p, n);
    if (t == "picture" || t == "display")
        display_input(p, n);
    if (t == "anim")
        anim_input(p, n);
    if (t == "encode")
        encode_input(p, n);
    if (t == "scene")
        scene_input(p, n);
    if (t == "scene" || t == "reader")
        reader_input(p, n);
    if (t == "scene" || t == "reader" || t == "edit")
        edit_input(p, n);
    if (t == "scene" || t == "reader" || t == "keys")
        keys_input(p, n);
}

INSTANTIATE_TEST_SUITE_P(Inputs, FuzzReplay, testing::ValuesIn(inputs()), test_name);

// A process that wrote its inputs to files leaves nothing behind.
TEST(FuzzHarness, InputFilesGoWithTheProcess)
{
    temp_dir tmp;
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("TMPDIR", tmp.path.c_str(), 1);
        const uint8_t data[] = "-1\n";
        const bool made = exists(input_file("a.RT", data, 3)) && exists(input_file("b", data, 1));
        std::exit(made ? 0 : 3); // exit, not _exit: what the process leaves is the question
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(list_dir(tmp.path).empty());
}

} // namespace
