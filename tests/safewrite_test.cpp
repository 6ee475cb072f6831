// Saving never loses a file: a write that fails anywhere leaves the old
// file byte for byte and no temporary file beside it, and says why.
#include "../base/cancel.h"
#include "../base/msg.h"
#include "../image/rgb.h"
#include "../image/safewrite.h"
#include "testscene.h"
#include "child.h"
#include "write_limit.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <csignal>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const std::string OLD = "the old picture, which must survive";

// The full disk's failure, as the tests bring it about (write_limit.h).
const std::string FULL = std::strerror(EFBIG);

const size_t SMALL_BYTES = 54 + 3 * 16;

struct SafeWrite : scene_fixture {
    // A small picture in the planes: 5 x 3 dots, a row padding of 1.
    void small_picture()
    {
        sc.ixmx = 5;
        sc.iymx = 3;
        for (int i = 0; i < 15; i++)
            pl.r[i] = (unsigned char)i, pl.g[i] = (unsigned char)(2 * i),
            pl.b[i] = (unsigned char)(3 * i);
    }

    int save(const std::string &path)
    {
        return save_picture(path.c_str(), pl, sc.ixmx, sc.iymx, warn);
    }

    bool said(const std::string &what) { return has_warning(what.c_str()); }
};

TEST_F(SafeWrite, FailingAnywhereLeavesTheOldFile)
{
    small_picture();
    for (long long after : {0LL, 1LL, 53LL, 54LL, 70LL, (long long)SMALL_BYTES - 1}) {
        temp_dir tmp;
        const std::string out = tmp / "pic.BMP";
        spit(out, OLD);
        warn.clear();
        int saved;
        {
            write_limit full(after);
            saved = save(out);
        }
        EXPECT_EQ(saved, 0) << after;
        EXPECT_EQ(slurp(out), OLD) << after;
        EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"pic.BMP"}) << after;
        EXPECT_TRUE(said(FULL)) << after;
        EXPECT_TRUE(said(out.c_str())) << after;
    }
}

TEST_F(SafeWrite, FailingLeavesNoFileWhereThereWasNone)
{
    small_picture();
    temp_dir tmp;
    int saved;
    {
        write_limit full(20);
        saved = save(tmp / "new.BMP");
    }
    EXPECT_EQ(saved, 0);
    EXPECT_TRUE(list_dir(tmp.path).empty());
}

TEST_F(SafeWrite, ReplacesTheOldFileKeepingItsPermissions)
{
    small_picture();
    temp_dir tmp;
    const std::string out = tmp / "pic.BMP";
    spit(out, OLD);
    ASSERT_EQ(chmod(out.c_str(), 0640), 0);
    int saved;
    {
        write_limit room((long long)SMALL_BYTES); // exactly enough room
        saved = save(out);
    }
    ASSERT_EQ(saved, 1);
    std::string bmp = slurp(out);
    ASSERT_EQ(bmp.size(), SMALL_BYTES);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    struct stat st;
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"pic.BMP"});
}

// Root may write anywhere, so these places stop a write by what they are.
TEST_F(SafeWrite, UnwritablePlacesFailCleanly)
{
    small_picture();
    temp_dir tmp;
    spit(tmp / "file", OLD);
    mkdir((tmp / "dir").c_str(), 0755);
    for (const std::string &out : {tmp / "file/pic.BMP", tmp / "dir", tmp / "no-dir/pic.BMP"}) {
        warn.clear();
        EXPECT_EQ(save(out), 0) << out;
        EXPECT_EQ(warnings(), 1) << out;
    }
    EXPECT_EQ(slurp(tmp / "file"), OLD);
    EXPECT_TRUE(list_dir(tmp / "dir").empty());
    EXPECT_EQ(list_dir(tmp.path), (std::vector<std::string>{"dir", "file"}));
    warn.clear();
    EXPECT_EQ(save(""), 0);
    EXPECT_EQ(warnings(), 1);
}

// A device is written in place, never renamed over: /dev/full stays the
// device and the failure is reported.
TEST_F(SafeWrite, DevFullFailsAndStaysADevice)
{
    small_picture();
    warn.clear();
    EXPECT_EQ(save("/dev/full"), 0);
    EXPECT_TRUE(said("No space left on device"));
    struct stat st;
    ASSERT_EQ(lstat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    for (const std::string &name : list_dir("/dev"))
        EXPECT_EQ(name.find(".koru-"), std::string::npos) << name;
}

TEST_F(SafeWrite, ThroughASymbolicLinkTheLinkStays)
{
    small_picture();
    temp_dir tmp;
    spit(tmp / "real.BMP", OLD);
    ASSERT_EQ(symlink("real.BMP", (tmp / "link.BMP").c_str()), 0);
    ASSERT_EQ(save((tmp / "link.BMP")), 1);
    struct stat st;
    ASSERT_EQ(lstat((tmp / "link.BMP").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(slurp(tmp / "real.BMP").size(), SMALL_BYTES);
    EXPECT_EQ(list_dir(tmp.path), (std::vector<std::string>{"link.BMP", "real.BMP"}));
}

// A name as long as a name may be still leaves room for the temporary one.
TEST_F(SafeWrite, LongestNameSaves)
{
    small_picture();
    temp_dir tmp;
    const std::string name = std::string(251, 'k') + ".BMP";
    ASSERT_EQ(save((tmp / name)), 1);
    EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{name});
}

TEST_F(SafeWrite, KoruCliReportsAFailedSaveInOneLine)
{
    temp_dir tmp;
    const std::string scene = KORU_SOURCE_DIR "/tests/degenerate/axis.RT";
    spit(tmp / "file", OLD);
    mkdir((tmp / "dir").c_str(), 0755);
    spit(tmp / "old.BMP", OLD); // on a disk that fills part-way: the limit reaches the child
    const std::string picture = KORU_SOURCE_DIR "/fuzz/corpus/picture/rgb24.bmp";
    for (const std::string &out :
         {std::string("/dev/full"), tmp / "file/pic.BMP", tmp / "dir", tmp / "old.BMP"})
        for (const std::vector<std::string> &args :
             {std::vector<std::string>{"render", scene, out},
              std::vector<std::string>{"display", picture, out, "--zoom", "200"}}) {
            child_result r;
            {
                write_limit full(out == tmp / "old.BMP" ? 100 : -1);
                r = run_cli(args);
            }
            EXPECT_EQ(r.status, 1) << args[0] << " " << out;
            std::vector<std::string> errors = error_lines(r.err);
            ASSERT_EQ(errors.size(), 1u) << r.err;
            EXPECT_NE(errors[0].find(out), std::string::npos) << errors[0];
        }
    EXPECT_EQ(slurp(tmp / "file"), OLD);
    EXPECT_EQ(slurp(tmp / "old.BMP"), OLD);
    EXPECT_TRUE(list_dir(tmp / "dir").empty());
    EXPECT_EQ(list_dir(tmp.path), (std::vector<std::string>{"dir", "file", "old.BMP"}));
    struct stat st;
    ASSERT_EQ(lstat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

// What strace saw koru-cli do with the files of one save, in order.
struct save_calls {
    int tmp_fd = -1, dir_fd = -1;
    int tmp_synced = -1, renamed = -1, dir_opened = -1, dir_synced = -1; // call numbers
};

save_calls trace_save(const std::string &log, const std::string &dir)
{
    save_calls s;
    std::istringstream in(log);
    std::string line;
    // the new file: named beside the target, or (koru-cli render's BMP,
    // written as it is traced) a file without a name until it is complete
    const std::regex open_tmp(
        R"re(openat\(AT_FDCWD, "(.*\.koru-[0-9]+-[0-9]+\.tmp", .*O_CREAT|.*O_TMPFILE).*\) = ([0-9]+))re");
    const std::regex open_dir("openat\\(AT_FDCWD, \"" + dir + "\", .*O_DIRECTORY.*\\) = ([0-9]+)");
    const std::regex fsync(R"re(fsync\(([0-9]+)\) += 0)re");
    const std::regex rename_tmp(R"re(rename\(".*\.koru-[0-9]+-[0-9]+\.tmp", .*\) = 0)re");
    std::smatch m;
    for (int n = 0; std::getline(in, line); n++) {
        if (std::regex_search(line, m, open_tmp))
            s.tmp_fd = std::stoi(m[2]);
        else if (std::regex_search(line, m, open_dir) && s.renamed >= 0)
            s.dir_fd = std::stoi(m[1]), s.dir_opened = n;
        else if (std::regex_search(line, m, rename_tmp))
            s.renamed = n;
        else if (std::regex_search(line, m, fsync) && std::stoi(m[1]) == s.tmp_fd && s.renamed < 0)
            s.tmp_synced = n;
        else if (std::regex_search(line, m, fsync) && std::stoi(m[1]) == s.dir_fd &&
                 s.dir_opened >= 0)
            s.dir_synced = n;
    }
    return s;
}

// A save reaches the disk: the new file is flushed before it is renamed
// over the old one, and the folder after, for every kind of file written.
TEST_F(SafeWrite, FlushesTheFileBeforeTheRenameAndTheFolderAfter)
{
    if (std::system("strace -V >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "strace is not installed";
    temp_dir tmp;
    const std::string scene = KORU_SOURCE_DIR "/tests/degenerate/axis.RT";
    const std::string picture = KORU_SOURCE_DIR "/fuzz/corpus/picture/rgb24.bmp";
    const std::vector<std::vector<std::string>> saves = {
        {"render", scene, tmp / "pic.bmp"},
        {"render", scene, tmp / "pic.png", "--aa", "2"},
        {"display", picture, tmp / "shown.bmp"},
        {"display", picture, tmp / "shown.PNG"},
    };
    for (const auto &args : saves) {
        spit(args[2], OLD);
        // (LeakSanitizer cannot work under strace: a sanitizer build's leak
        // check is left to the other tests)
        std::string cmd = "ASAN_OPTIONS=\"$ASAN_OPTIONS:detect_leaks=0\" strace -f -qq -o '" +
                          tmp.path + "/log' -e trace=openat,fsync,rename " + KORU_CLI;
        for (const std::string &a : args)
            cmd += " '" + a + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        const std::string log = slurp(tmp / "log");
        if (log.find("fsync(") == std::string::npos && log.find("rename(") == std::string::npos)
            GTEST_SKIP() << "strace cannot follow koru-cli here:\n" << log;
        save_calls s = trace_save(log, tmp.path);
        EXPECT_GE(s.tmp_fd, 0) << log;
        EXPECT_GE(s.tmp_synced, 0) << "no fsync of the new file before the rename\n" << log;
        EXPECT_GT(s.renamed, s.tmp_synced) << log;
        EXPECT_GT(s.dir_opened, s.renamed) << log;
        EXPECT_GT(s.dir_synced, s.dir_opened) << "no fsync of the folder after the rename\n" << log;
        EXPECT_NE(slurp(args[2]), OLD);
    }
}

// safe_file: a file written in pieces, from several threads and in any
// order, and flushed early in stretches, replaces the target whole, keeping its permissions, and
// leaves nothing else beside it.
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
            // pieces of 1000 bytes, last first, every fourth to each thread,
            // each sent on its way to the disk with its neighbours, some
            // of them not written yet
            for (int k = 99 - t; k >= 0; k -= 4) {
                EXPECT_TRUE(f.write_at((size_t)k * 1000, want.data() + k * 1000, 1000));
                f.flush_soon((size_t)(k > 0 ? k - 1 : 0) * 1000, 3000);
            }
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
            bool wrote[4];
            int committed = -1;
            msglist m;
            {
                write_limit full(fail ? 1500 : -1);
                std::string big(1000, 'x');
                wrote[0] = f.write_at(0, OLD.data(), OLD.size());
                wrote[1] = f.write_at(400, big.data(), big.size());
                wrote[2] = f.write_at(9000, big.data(), big.size());
                wrote[3] = f.write_at(0, big.data(), 1); // failed once: failed
                if (fail)
                    committed = f.commit(m);
            } // else the destructor discards it
            EXPECT_TRUE(wrote[0] && wrote[1]);
            EXPECT_EQ(wrote[2], !fail);
            EXPECT_EQ(wrote[3], !fail);
            if (fail) {
                EXPECT_EQ(committed, 0);
                EXPECT_NE(std::string(m.first("")).find(FULL), std::string::npos);
                EXPECT_NE(std::string(m.first("")).find(out), std::string::npos);
            }
        }
        EXPECT_EQ(slurp(out), OLD) << fail;
        EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"pic.BMP"}) << fail;
    }
}

// A cancel that comes before the rename wins: the old file stays, nothing
// is left beside it and nothing is said; one after it comes too late.
TEST(SafeFile, CancelledBeforeTheRenameLeavesTheOldFile)
{
    for (bool whole : {false, true}) {
        temp_dir tmp;
        const std::string out = tmp / "pic.BMP";
        spit(out, OLD);
        cancel_token tok;
        msglist m;
        const std::string fresh = "the new bytes";
        if (whole) {
            tok.cancel();
            EXPECT_EQ(write_file_safely(out.c_str(), (const unsigned char *)fresh.data(),
                                        fresh.size(), m, &tok),
                      0);
        } else {
            safe_file f;
            ASSERT_TRUE(f.begin(out.c_str()));
            EXPECT_TRUE(f.write_at(0, fresh.data(), fresh.size()));
            tok.cancel(); // while the file is being written
            EXPECT_EQ(f.commit(m, &tok), 0);
        }
        EXPECT_TRUE(m.empty()) << m.first("");
        EXPECT_EQ(slurp(out), OLD) << whole;
        EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"pic.BMP"}) << whole;
        cancel_token late;
        EXPECT_EQ(write_file_safely(out.c_str(), (const unsigned char *)fresh.data(), fresh.size(),
                                    m, &late),
                  1);
        EXPECT_FALSE(late.cancel());
        EXPECT_EQ(slurp(out), fresh);
    }
}

// Whatever is not a regular file, or cannot be started, is left to
// write_file_safely, which says why.
TEST(SafeFile, DeclinesWhatItCannotReplace)
{
    temp_dir tmp;
    spit(tmp / "file", OLD);
    mkdir((tmp / "dir").c_str(), 0755);
    for (const std::string &out : {std::string("/dev/full"), std::string("/dev/null"), tmp / "dir",
                                   tmp / "file/pic.BMP", tmp / "no-dir/pic.BMP", std::string("")}) {
        safe_file f;
        EXPECT_FALSE(f.begin(out.c_str())) << out;
        EXPECT_FALSE(f.started());
    }
    EXPECT_EQ(list_dir(tmp.path), (std::vector<std::string>{"dir", "file"}));
}

// The size of the regular file process pid has open in directory dir (its
// new picture, with or without a name), or -1 while it has none.
long long open_file_size(pid_t pid, const std::string &dir)
{
    const std::string prefix = std::filesystem::canonical(dir).string() + "/";
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        char target[4096];
        const ssize_t n = readlink(it->path().c_str(), target, sizeof target - 1);
        if (n <= 0 || std::string(target, (size_t)n).rfind(prefix, 0) != 0)
            continue;
        struct stat st;
        if (stat(it->path().c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return (long long)st.st_size;
    }
    return -1;
}

// A koru-cli render killed while it writes its picture, before it could
// clean up, leaves the old picture and nothing beside it.
TEST(SafeFile, KilledRenderLeavesNothingBehind)
{
    temp_dir tmp;
    const std::string out = tmp / "slabs.BMP";
    spit(out, OLD);
    // twenty glass slabs at depth 30 under the lower half of the picture:
    // the upper rows miss them and are done at once, the lower ones take
    // ages
    cli_on_tty cli(
        {"render", KORU_SOURCE_DIR "/tests/scenes/glass-slabs-half.RT", out, "--threads", "2"});
    ASSERT_TRUE(cli.started());
    // Rows go to the file a group at a time, on the thread that traced
    // them, before they count as done: once the bar shows more rows done
    // than groups of rows can hold unfinished, some are in the file.
    ASSERT_TRUE(cli.wait_for([](const std::string &s) { return bar_count(s) >= 8 * ROW_GROUP; }))
        << "koru-cli ended before it wrote rows: " << tail(cli.said());
    EXPECT_GT(open_file_size(cli.pid(), tmp.path), 54); // more than the BMP header
    kill(cli.pid(), SIGKILL);
    child_result r = cli.finish();
    EXPECT_EQ(r.signal, SIGKILL);
    EXPECT_EQ(slurp(out), OLD);
    EXPECT_EQ(list_dir(tmp.path), std::vector<std::string>{"slabs.BMP"});
}

} // namespace
