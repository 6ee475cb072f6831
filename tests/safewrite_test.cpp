// Saving never loses a file: a write that fails anywhere leaves the old
// file byte for byte and no temporary file beside it, and says why.
#include "../image/rgb.h"
#include "../image/safewrite.h"
#include "testscene.h"
#include "child.h"

#include <gtest/gtest.h>
#include <csignal>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const std::string OLD = "the old picture, which must survive";

// A small picture in the planes: 5 x 3 dots, a row padding of 1.
void small_picture()
{
    ixmx = 5;
    iymx = 3;
    for (int i = 0; i < 15; i++)
        gdatar[i] = (unsigned char)i, gdatag[i] = (unsigned char)(2 * i),
        gdatab[i] = (unsigned char)(3 * i);
}
const size_t SMALL_BYTES = 54 + 3 * 16;

struct seam {
    explicit seam(long long n) { safewrite_fail_after = n; }
    ~seam() { safewrite_fail_after = -1; }
};

bool said(const char *what) { return has_warning(what); }

TEST(SafeWrite, FailingAnywhereLeavesTheOldFile)
{
    small_picture();
    for (long long after : {0LL, 1LL, 53LL, 54LL, 70LL, (long long)SMALL_BYTES - 1}) {
        temp_dir tmp;
        const std::string out = tmp / "pic.BMP";
        spit(out, OLD);
        twarn.clear();
        {
            seam s(after);
            EXPECT_EQ(save_rgb(out.c_str()), 0) << after;
        }
        EXPECT_EQ(slurp(out), OLD) << after;
        EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"pic.BMP"}) << after;
        EXPECT_TRUE(said("No space left on device")) << after;
        EXPECT_TRUE(said(out.c_str())) << after;
    }
}

TEST(SafeWrite, FailingLeavesNoFileWhereThereWasNone)
{
    small_picture();
    temp_dir tmp;
    seam s(20);
    EXPECT_EQ(save_rgb((tmp / "new.BMP").c_str()), 0);
    EXPECT_TRUE(list_dir(tmp.path).empty());
}

TEST(SafeWrite, ReplacesTheOldFileKeepingItsPermissions)
{
    small_picture();
    temp_dir tmp;
    const std::string out = tmp / "pic.BMP";
    spit(out, OLD);
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);
    {
        seam s((long long)SMALL_BYTES); // exactly enough room
        ASSERT_EQ(save_rgb(out.c_str()), 1);
    }
    std::string bmp = slurp(out);
    ASSERT_EQ(bmp.size(), SMALL_BYTES);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    struct stat st;
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"pic.BMP"});
}

// Root may write anywhere, so these places stop a write by what they are.
TEST(SafeWrite, UnwritablePlacesFailCleanly)
{
    small_picture();
    temp_dir tmp;
    spit(tmp / "file", OLD);
    mkdir((tmp / "dir").c_str(), 0755);
    for (const std::string &out : {tmp / "file/pic.BMP", tmp / "dir", tmp / "no-dir/pic.BMP"}) {
        twarn.clear();
        EXPECT_EQ(save_rgb(out.c_str()), 0) << out;
        EXPECT_EQ(warnings(), 1) << out;
    }
    EXPECT_EQ(slurp(tmp / "file"), OLD);
    EXPECT_TRUE(list_dir(tmp / "dir").empty());
    EXPECT_EQ(list_dir(tmp.path), (std::vector<std::string>{"dir", "file"}));
    twarn.clear();
    EXPECT_EQ(save_rgb(""), 0);
    EXPECT_EQ(warnings(), 1);
}

// A device is written in place, never renamed over: /dev/full stays the
// device and the failure is reported.
TEST(SafeWrite, DevFullFailsAndStaysADevice)
{
    small_picture();
    twarn.clear();
    EXPECT_EQ(save_rgb("/dev/full"), 0);
    EXPECT_TRUE(said("No space left on device"));
    struct stat st;
    ASSERT_EQ(lstat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    for (const std::string &name : list_dir("/dev"))
        EXPECT_EQ(name.find(".koru-"), std::string::npos) << name;
}

TEST(SafeWrite, ThroughASymbolicLinkTheLinkStays)
{
    small_picture();
    temp_dir tmp;
    spit(tmp / "real.BMP", OLD);
    ASSERT_EQ(symlink("real.BMP", (tmp / "link.BMP").c_str()), 0);
    ASSERT_EQ(save_rgb((tmp / "link.BMP").c_str()), 1);
    struct stat st;
    ASSERT_EQ(lstat((tmp / "link.BMP").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(slurp(tmp / "real.BMP").size(), SMALL_BYTES);
    EXPECT_EQ(list_dir(tmp.path), (std::vector<std::string>{"link.BMP", "real.BMP"}));
}

// A name as long as a name may be still leaves room for the temporary one.
TEST(SafeWrite, LongestNameSaves)
{
    small_picture();
    temp_dir tmp;
    const std::string name = std::string(251, 'k') + ".BMP";
    ASSERT_EQ(save_rgb((tmp / name).c_str()), 1);
    EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{name});
}

TEST(SafeWrite, KoruCliReportsAFailedSaveInOneLine)
{
    temp_dir tmp;
    const std::string scene = KORU_SOURCE_DIR "/tests/degenerate/axis.RT";
    spit(tmp / "file", OLD);
    mkdir((tmp / "dir").c_str(), 0755);
    const std::string picture = KORU_SOURCE_DIR "/fuzz/corpus/bmp/w5.bmp";
    for (const std::string &out : {std::string("/dev/full"), tmp / "file/pic.BMP", tmp / "dir"})
        for (const std::vector<std::string> &args :
             {std::vector<std::string>{"render", scene, out},
              std::vector<std::string>{"display", picture, out, "--zoom", "200"}}) {
            child_result r = run_cli(args);
            EXPECT_EQ(r.status, 1) << args[0] << " " << out;
            std::vector<std::string> errors = error_lines(r.err);
            ASSERT_EQ(errors.size(), 1u) << r.err;
            EXPECT_NE(errors[0].find(out), std::string::npos) << errors[0];
        }
    EXPECT_EQ(slurp(tmp / "file"), OLD);
    EXPECT_TRUE(list_dir(tmp / "dir").empty());
    struct stat st;
    ASSERT_EQ(lstat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// safe_file: a file written in pieces, from several threads and in any
// order, replaces the target whole, keeping its permissions, and leaves
// nothing else beside it.
TEST(SafeFile, PiecesFromManyThreadsMakeTheWholeFile)
{
    temp_dir tmp;
    const std::string out = tmp / "pic.BMP";
    spit(out, OLD);
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);
    std::string want(100000, 0);
    for (size_t i = 0; i < want.size(); i++)
        want[i] = (char)(i * 7 + i / 251);
    safe_file f;
    ASSERT_TRUE(f.begin(out.c_str()));
    std::vector<std::thread> ts;
    for (int t = 0; t < 4; t++)
        ts.emplace_back([&, t] {
            // pieces of 1000 bytes, last first, every fourth to each thread
            for (int k = 99 - t; k >= 0; k -= 4)
                EXPECT_TRUE(f.write_at((size_t)k * 1000, want.data() + k * 1000, 1000));
        });
    for (std::thread &t : ts)
        t.join();
    EXPECT_EQ(slurp(out), OLD); // nothing shows before commit
    msglist m;
    ASSERT_EQ(f.commit(m), 1) << m.first("");
    EXPECT_TRUE(slurp(out) == want);
    struct stat st;
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"pic.BMP"});
}

TEST(SafeFile, DiscardedOrFailedLeavesTheOldFile)
{
    for (bool fail : {false, true}) {
        temp_dir tmp;
        const std::string out = tmp / "pic.BMP";
        spit(out, OLD);
        {
            safe_file f;
            ASSERT_TRUE(f.begin(out.c_str()));
            seam s(fail ? 1500 : -1);
            EXPECT_TRUE(f.write_at(0, OLD.data(), 1000 < OLD.size() ? 1000 : OLD.size()));
            std::string big(1000, 'x');
            EXPECT_TRUE(f.write_at(5000, big.data(), big.size()));
            EXPECT_EQ(f.write_at(9000, big.data(), big.size()), !fail);
            if (fail) {
                EXPECT_FALSE(f.write_at(0, big.data(), 1)); // failed once: failed
                msglist m;
                EXPECT_EQ(f.commit(m), 0);
                EXPECT_NE(std::string(m.first("")).find("No space left on device"),
                          std::string::npos);
                EXPECT_NE(std::string(m.first("")).find(out), std::string::npos);
            } // else the destructor discards it
        }
        EXPECT_EQ(slurp(out), OLD) << fail;
        EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"pic.BMP"}) << fail;
    }
}

// Whatever is not a regular file, or cannot be started, is left to
// write_file_safely, which says why.
TEST(SafeFile, DeclinesWhatItCannotReplace)
{
    temp_dir tmp;
    spit(tmp / "file", OLD);
    mkdir((tmp / "dir").c_str(), 0755);
    for (const std::string &out : {std::string("/dev/full"), std::string("/dev/null"),
                                   tmp / "dir", tmp / "file/pic.BMP", tmp / "no-dir/pic.BMP",
                                   std::string("")}) {
        safe_file f;
        EXPECT_FALSE(f.begin(out.c_str())) << out;
        EXPECT_FALSE(f.started());
    }
    EXPECT_EQ(list_dir(tmp.path), (std::vector<std::string>{"dir", "file"}));
}

// A koru-cli render killed half-way, before it could clean up, leaves the
// old picture and nothing beside it.
TEST(SafeFile, KilledRenderLeavesNothingBehind)
{
    temp_dir tmp;
    const std::string out = tmp / "slabs.BMP";
    spit(out, OLD);
    pid_t pid = start_cli({"render", KORU_SOURCE_DIR "/tests/scenes/glass-slabs-deep.RT", out,
                           "--threads", "2"});
    ASSERT_GT(pid, 0);
    usleep(300000);
    kill(pid, SIGKILL);
    child_result r = wait_cli(pid);
    EXPECT_EQ(r.signal, SIGKILL);
    EXPECT_EQ(slurp(out), OLD);
    EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"slabs.BMP"});
}

} // namespace
