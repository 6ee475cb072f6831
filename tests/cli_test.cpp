// koru-cli from the outside: exit statuses, stdout and stderr, files.
#include "child.h"
#include "testscene.h"

#include "image/picfile.h"

#include <cctype>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct result {
    int status = -1; // exit status, or -1 when ended by a signal
    int signal = 0;
    std::string out, err;
};

result run(std::vector<std::string> args)
{
    const std::string out = scratch("stdout"), err = scratch("stderr");
    args.insert(args.begin(), KORU_CLI);
    std::vector<char *> argv;
    for (auto &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open("/dev/null", O_RDONLY);
        dup2(in, 0), dup2(o, 1), dup2(e, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int ws = 0;
    waitpid(pid, &ws, 0);
    result r;
    if (WIFEXITED(ws))
        r.status = WEXITSTATUS(ws);
    else if (WIFSIGNALED(ws))
        r.signal = WTERMSIG(ws);
    r.out = slurp(out);
    r.err = slurp(err);
    return r;
}

int lines(const std::string &s)
{
    int n = 0;
    for (char c : s)
        n += c == '\n';
    return n;
}

std::string scene_file(const std::string &name, const std::string &text)
{
    std::string path = scratch(name);
    spit(path, text);
    return path;
}

const char *SMALL = "0 0 1.5\n0 -1 0.5\n10 4\n8 6\n1\n1 2 3 0.5\n2\n"
                    "3 3 0.1 0.2 0.3 7 5 1.5 0.5 2 0.25 1 2 0 -4 1 2 3 10 20 30\n"
                    "2 1 0 0.5 0 0 10 0 0 1 0.5 -1 0.5 0.5 0.5 0 0 0 1 2 3\n"
                    "-1\n1 2 -1 -1\n";

long le32(const std::string &s, size_t at)
{
    unsigned long u = 0;
    for (int i = 3; i >= 0; i--)
        u = (u << 8) | (unsigned char)s[at + i];
    return (long)(int)(unsigned)u;
}

} // namespace

TEST(Cli, InfoListsTheSceneModel)
{
    result r = run({"info", scene_file("small.rt", SMALL)});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "{\"rx\":0,\"ry\":0,\"rz\":1.5,\"vpnax\":0,\"vpnay\":-1,\"vpnaz\":0.5,"
              "\"dlength\":10,\"wdu\":4,\"ixmx\":8,\"iymx\":6,\"ilvlmx\":2,\"nlg\":1,\"primmx\":2,"
              "\"lights\":[{\"pos\":[1,2,3],\"bright\":0.5}],"
              "\"primitives\":["
              "{\"type\":3,\"surf\":3,\"ka\":0.10000000000000001,\"kd\":0.20000000000000001,"
              "\"ks\":0.29999999999999999,\"spare\":7,\"npow\":5,\"refr\":1.5,\"trans\":0.5,"
              "\"pat\":2,\"patw\":0.25,\"sense\":1,\"geom\":[0.25,0,-0.0625],\"pos\":[1,2,3],"
              "\"col\":[10,20,30],\"nmem\":1,\"mem\":[1]},"
              "{\"type\":2,\"surf\":1,\"ka\":0,\"kd\":0.5,\"ks\":0,\"spare\":0,\"npow\":10,"
              "\"refr\":0,\"trans\":0,\"pat\":1,\"patw\":0.5,\"sense\":-1,"
              "\"geom\":[0.5,0.5,0.5],\"pos\":[0,0,0],\"col\":[1,2,3],\"nmem\":1,\"mem\":[0]}],"
              "\"warnings\":[]}\n");

    // reader warnings go to stderr and into the listing; the status stays 0
    std::string open_list = SMALL;
    open_list.resize(open_list.size() - 6); // the group section left open
    r = run({"info", scene_file("open.rt", open_list)});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("warning"), std::string::npos);
    EXPECT_NE(r.out.find("\"warnings\":[\""), std::string::npos);
    EXPECT_NE(r.out.find("\"primmx\":2"), std::string::npos);
}

TEST(Cli, RenderWritesTheBmp)
{
    const std::string scene = scene_file("small.rt", SMALL), out = scratch("small.bmp");
    result r = run({"render", scene, out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, ""); // not a terminal: no progress, no summary
    std::string f = slurp(out);
    ASSERT_EQ(f.size(), 54u + 6 * 24);
    EXPECT_EQ(le32(f, 18), 8);
    EXPECT_EQ(le32(f, 22), 6);

    r = run({"render", scene, out, "--size", "9", "4", "--stereo"});
    EXPECT_EQ(r.status, 0);
    f = slurp(out);
    EXPECT_EQ(le32(f, 18), 8);
    EXPECT_EQ(le32(f, 22), 4);

    // any number of threads, or the reference tracer: the same bytes; and
    // --aa 1 is the plain picture
    r = run({"render", scene, out, "--size", "33", "17"});
    ASSERT_EQ(r.status, 0);
    const std::string a = slurp(out);
    for (const char *threads : {"1", "3"}) {
        ASSERT_EQ(run({"render", "--threads", threads, scene, out, "--size", "33", "17"}).status,
                  0);
        EXPECT_TRUE(slurp(out) == a) << threads;
    }
    ASSERT_EQ(run({"render", scene, out, "--plain", "--size", "33", "17"}).status, 0);
    EXPECT_TRUE(slurp(out) == a);
    ASSERT_EQ(run({"render", scene, out, "--aa", "1", "--size", "33", "17"}).status, 0);
    EXPECT_TRUE(slurp(out) == a);
}

// A name ending in .png writes a PNG of the same dots as the BMP, for every
// kind of picture; anti-aliased and anaglyph pictures keep the size asked.
TEST(Cli, RenderWritesPngByName)
{
    const std::string scene = scene_file("small.rt", SMALL);
    const std::vector<std::vector<std::string>> kinds = {
        {}, {"--stereo"}, {"--aa", "3"}, {"--anaglyph"}, {"--anaglyph", "--aa", "2"}};
    for (const auto &kind : kinds) {
        std::string what;
        for (const std::string &k : kind)
            what += k + " ";
        std::vector<std::string> args = {"render", scene, "", "--size", "21", "13"};
        args.insert(args.end(), kind.begin(), kind.end());
        for (const char *name : {"k.bmp", "k.Png"}) {
            args[2] = scratch(name);
            result r = run(args);
            ASSERT_EQ(r.status, 0) << what << r.err;
            EXPECT_EQ(r.err, "") << what;
        }
        msglist msgs;
        int w[2], h[2];
        std::vector<unsigned char> dots[2];
        for (int k = 0; k < 2; k++) {
            ASSERT_EQ(load_picture(scratch(k ? "k.Png" : "k.bmp").c_str(), tpl, w[k], h[k], msgs),
                      RGB_LOADED)
                << what << msgs.first();
            ixmx = w[k], iymx = h[k];
            dots[k] = picture();
        }
        EXPECT_EQ(slurp(scratch("k.Png")).substr(1, 3), "PNG") << what;
        EXPECT_EQ(w[1], kind.size() == 1 && kind[0] == "--stereo" ? 20 : 21) << what;
        EXPECT_EQ(h[1], 13) << what;
        EXPECT_TRUE(w[0] == w[1] && h[0] == h[1] && dots[0] == dots[1]) << what;
    }
}

// At --aa 8 the traced picture is 8192 dots wide; rows are traced and
// averaged one at a time, so memory stays small (a sanitizer's own memory
// aside).
TEST(Cli, AntiAliasingKeepsMemorySmall)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(KORU_TSAN)
    GTEST_SKIP() << "a sanitizer's shadow memory is no measure of KORU's";
#endif
    const std::string scene = scene_file("small.rt", SMALL);
    for (const char *kind : {"--stereo", "--anaglyph"}) {
        result r = run({"render", scene, scratch("wide.png"), "--size", "1024", "3", "--aa", "8",
                        kind, "--threads", "2"});
        ASSERT_EQ(r.status, 0) << r.err;
        struct rusage ru;
        ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &ru), 0);
        EXPECT_LT(ru.ru_maxrss, 64 * 1024) << "kB at most, of all children so far";
    }
}

TEST(Cli, SceneThatCannotBeOpened)
{
    const std::string missing = scratch("none.rt");
    for (const char *cmd : {"info", "render"}) {
        std::vector<std::string> args{cmd, missing};
        if (std::string(cmd) == "render")
            args.push_back(scratch("none.bmp"));
        result r = run(args);
        // stdout carries only a command's output: nothing here
        EXPECT_EQ(r.status, 1) << cmd;
        EXPECT_EQ(r.out, "") << cmd;
        EXPECT_EQ(lines(r.err), 1) << cmd;
        EXPECT_NE(r.err.find(missing), std::string::npos) << cmd;
    }
    EXPECT_TRUE(slurp(scratch("none.bmp")).empty());
}

TEST(Cli, OutputThatCannotBeWritten)
{
    const std::string scene = scene_file("small.rt", SMALL);
    for (std::string out : {scratch("no/such/dir/x.bmp"), scratch.dir}) {
        result r = run({"render", scene, out});
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_EQ(lines(r.err), 1) << out << ": " << r.err;
        EXPECT_NE(r.err.find(out), std::string::npos) << r.err;
    }
}

TEST(Cli, NothingToRender)
{
    std::string noview = SMALL;
    noview.replace(noview.find("0 -1 0.5"), 8, "0 0 0   ");
    result r = run({"render", scene_file("noview.rt", noview), scratch("nv.bmp")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines(r.err), 1);
    EXPECT_TRUE(slurp(scratch("nv.bmp")).empty());

    r = run({"render", scene_file("small.rt", SMALL), scratch("nv.bmp"), "--size", "0", "5"});
    EXPECT_EQ(r.status, 1);
    r = run({"render", scene_file("small.rt", SMALL), scratch("nv.bmp"), "--size", "1", "5",
             "--stereo"});
    EXPECT_EQ(r.status, 1);
}

TEST(Cli, UsageErrorsAndHelp)
{
    const std::string scene = scene_file("small.rt", SMALL);
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"paint"},
        {"render"},
        {"render", scene},
        {"render", scene, "a.bmp", "b.bmp"},
        {"render", scene, "a.bmp", "--size", "5"},
        {"render", scene, "a.bmp", "--size", "5", "x"},
        {"render", scene, "a.bmp", "--size", "-5", "5"},
        {"render", scene, "a.bmp", "--threads", "0"},
        {"render", scene, "a.bmp", "--sterio"},
        {"render", scene, "a.bmp", "--aa"},
        {"render", scene, "a.bmp", "--aa", "0"},
        {"render", scene, "a.bmp", "--aa", "9"},
        {"render", scene, "a.bmp", "--aa", "2x"},
        {"render", scene, "a.bmp", "--stereo", "--anaglyph"},
        {"info"},
        {"info", scene, scene},
        {"check"},
        {"check", scene, scene},
        {"explain"},
        {"explain", scene, "--stereo"},
    };
    for (auto &args : bad) {
        result r = run(args);
        std::string line;
        for (auto &a : args)
            line += a + " ";
        EXPECT_EQ(r.status, 2) << line;
        EXPECT_FALSE(r.err.empty()) << line;
    }
    for (std::vector<std::string> args : {std::vector<std::string>{"--help"},
                                          {"render", "--help"},
                                          {"info", "--help"},
                                          {"check", "--help"},
                                          {"explain", "-h"}}) {
        result r = run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("usage"), std::string::npos);
    }
}

// Whatever the file holds, both commands end with 0 or 1, never a signal.
TEST(Cli, MalformedScenesNeverCrash)
{
    const std::string junk[] = {
        "",
        "garbage",
        "\x01\x02\xff\xfe binary",
        "1e999 -1e999 nan  inf 0 nan  -0 1e-320  1024 768  1 nan nan nan inf  99  "
        "3 3 nan inf -inf 1 -2147483648 0 0 2 0 0 nan 1 0 0 0 0 0 255 255 255 -1 -1",
        "0 0 0 0 0 1 10 4 99999999999 -99999999999 2000000000 0",
        "0 0 0 0 0 1 10 4 40 30 1 0 0 0 1 1000 "
        "2 3 1 1 1 0 -2147483647 0 0 1 0 0 1 1 1 0 0 0 1 1 1 "
        "3 3 1 1 1 0 3 0 0 2 0 1 0 0 0 0 0 0 9 9 9 "
        "4 2 1 1 1 0 0 1 1 3 1e-300 0 0 0 0 0 0 0 1 1 1 "
        "1 3 1 1 1 0 0 1 0 1 1 0 0 0 0 0 0 0 1 1 1 -1 "
        "1 2 3 4 -1 0 -5 1 2 -1 -1",
        "0 0 0 1e-300 0 0 0 0 40 30 0 1 "
        "2 1 1 1 1 0 1 1 1 0 1 0 1e308 1e308 1e308 0 0 0 1 1 1 -1 -1",
    };
    int n = 0;
    for (const std::string &text : junk) {
        const std::string scene = scene_file("junk" + std::to_string(n++) + ".rt", text);
        for (std::vector<std::string> args :
             {std::vector<std::string>{"info", scene},
              {"render", scene, scratch("junk.bmp"), "--size", "24", "16"},
              {"render", scene, scratch("junk.bmp"), "--stereo", "--size", "25", "16"}}) {
            result r = run(args);
            EXPECT_EQ(r.signal, 0) << "scene " << n - 1 << " " << args[0];
            EXPECT_TRUE(r.status == 0 || r.status == 1) << "scene " << n - 1 << " " << args[0];
        }
    }
}

// A typo at line 10, column 14 is pointed at by check, render and info
// alike, in the form editors jump to; check's status says whether it found
// anything.
TEST(Cli, CheckAndRenderPointAtTheSameTypo)
{
    const std::string head = "0 0 0\n0 -1 0.5\n10 4\n8 6\n1\n0 -5 5 1\n2\n"
                             "1 1 0.2 0.8 0 0 1 1 0 0 1 1 0 0 1 0 0 -1 200 200 200\n"
                             "3 1 0.1 0.1 0.5 0 20 1.5 0.8 0 1 1 1 1 1 0 0 0 220 220 220\n";
    const std::string clean = scene_file("clean.RT", head + "-1 -1\n");
    const std::string typo = scene_file(
        "typo.RT", head + "2 1 0.25 0.7 O.4 0 1 1 0 0 1 1 0.5 0.5 0.5 2 0 0 100 100 200\n-1 -1\n");
    const std::string at = typo + ":10:14: warning: primitive list: ks is not a number (\"O.4\")";

    result r = run({"check", clean});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");

    r = run({"check", typo});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind(at, 0), 0u) << r.out;
    EXPECT_EQ(lines(r.out), 1);

    for (std::vector<std::string> args :
         {std::vector<std::string>{"render", typo, scratch("t.bmp")},
          {"info", typo},
          {"explain", typo}}) {
        r = run(args);
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_EQ(r.err.rfind(at, 0), 0u) << args[0] << ": " << r.err;
    }

    r = run({"check", scratch("none.RT")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot open"), std::string::npos);

    // findings of the scene itself follow the reader's, in file order
    const std::string both =
        scene_file("both.RT", "0 0 0\n0 -1 0.5\n10 4\n2000 6\n0\n2\n"
                              "1 1 0.2 0.8 0 0 1 1 0 1 0 1 0 0 1 0 0 -1 200 200 200\n-1 1 x");
    r = run({"check", both});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lines(r.out), 3) << r.out;
    EXPECT_EQ(r.out.rfind(both + ":4:1: warning: the picture size 2000 x 6", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\n" + both + ":7:25: warning: primitive 1: the checker"),
              std::string::npos);
    EXPECT_NE(r.out.find("\n" + both + ":8:6: warning: group 1: \"x\""), std::string::npos);

    // a record written short on its line is pointed at there, not where the
    // reader stumbles on the next line
    const std::string cut = scene_file(
        "cut.RT", head + "2 1 0.25 0.7 0.4 0 1 1 0 0 1 1 0.5 0.5 0.5 2 0 0\n"
                         "3 1 0.1 0.1 0.5 0 20 1.5 0.8 0 1 1 1 1 1 0 0 0 220 220 220\n-1 -1\n");
    r = run({"check", cut});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, cut +
                         ":10:48: warning: line 10: primitive 3 has 18 of its 21 numbers here "
                         "(col.r, col.g, col.b missing); the reader takes them from line 11\n" +
                         cut +
                         ":11:5: warning: primitive 3: col.b is a whole number, so \"0.1\" "
                         "is read as 0 and \".1\" is left for type of primitive 4\n" +
                         cut +
                         ":11:6: warning: primitive list: \".1\" after 3 records is not a "
                         "number; a negative number should end the list\n");
}

namespace {

// The picture at path as planes: width, height and the three planes, or
// an empty vector when it is not a picture.
std::vector<unsigned char> dots_of(const std::string &path, int &w, int &h)
{
    msglist msgs;
    if (load_picture(path.c_str(), tpl, w, h, msgs) != RGB_LOADED)
        return {};
    ixmx = w, iymx = h;
    return picture();
}

} // namespace

// A thumbnail is a PNG of the scene's picture at the size asked, whatever
// the output's name; what cannot be drawn is one line, status 1, no file.
TEST(Cli, ThumbnailIsThePictureDrawnSmall)
{
    const std::string room = KORU_SOURCE_DIR "/samples/room.RT";
    const std::string thumb = scratch("room.thumb"), big = scratch("room-96.png");
    result r = run({"thumbnail", room, thumb, "--size", "96"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(slurp(thumb).substr(1, 3), "PNG");
    ASSERT_EQ(run({"render", room, big, "--size", "96", "72"}).status, 0);
    int w[2], h[2];
    const std::vector<unsigned char> a = dots_of(thumb, w[0], h[0]), b = dots_of(big, w[1], h[1]);
    EXPECT_EQ(w[0], 96);
    EXPECT_EQ(h[0], 72);
    EXPECT_TRUE(a == b);

    // beyond the rays allowed: smaller, enlarged, and said
    r = run({"thumbnail", room, thumb, "--rays", "1000"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: traced smaller than 128 x 96"), std::string::npos) << r.err;
    EXPECT_FALSE(dots_of(thumb, w[0], h[0]).empty());
    EXPECT_EQ(w[0], 128);

    // hostile files are refused before they are read: a pipe (which would
    // block a reader), a folder, a file too large to be a scene; and a
    // scene that never ends at the deadline
    const std::string pipe = scratch("pipe.RT"), large = scratch("large.RT");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    spit(large, std::string(2 << 20, ' '));
    const struct {
        std::string scene;
        const char *says;
    } refused[] = {
        {pipe, "is not a regular file"},
        {scratch.dir, "is not a regular file"},
        {large, "is larger than a scene file"},
        {scratch("none.RT"), "cannot open"},
        {KORU_SOURCE_DIR "/tests/scenes/glass-slabs-deep.RT", "it takes too long to draw"},
    };
    for (const auto &c : refused) {
        const std::string out = scratch("refused.png");
        r = run({"thumbnail", c.scene, out, "--seconds", "0.2"});
        EXPECT_EQ(r.status, 1) << c.scene;
        EXPECT_EQ(lines(r.err), 1) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(exists(out)) << c.scene;
    }
}

// What the completion scripts are told at each place of a command line.
TEST(Cli, CompleteOffersWhatEachPlaceTakes)
{
    const std::string room = scene_file("room.RT", slurp(KORU_SOURCE_DIR "/samples/room.RT"));
    const struct {
        std::vector<std::string> words; // after "complete"
        std::string want;               // the whole answer
    } cases[] = {
        {{"0", "th"}, "thumbnail\n"},
        {{"0", "--"}, "--help\n"},
        {{"1", "render", ""}, ":files rt\n"},
        {{"2", "render", room, ""}, ":files png bmp\n"},
        {{"3", "render", room, "o.png", "--s"}, "--stereo\n--size\n--stats\n"},
        {{"4", "render", room, "o.png", "--aa", ""}, "1\n2\n3\n4\n5\n6\n7\n8\n"},
        {{"5", "render", room, "o.png", "--size", "9", ""}, ""},
        {{"6", "render", room, "o.png", "--size", "9", "9", ""}, ""},
        {{"2", "display", "--zoom", "1"}, "100\n150\n"},
        {{"2", "new", "--template", "s"}, "start\nstereo\n"},
        {{"1", "animate", "a.RT"}, ":files rt webp gif png bmp\n"},
        {{"2", "animate", "--scene-out", ""}, ":files rt\n"},
        {{"2", "join", "f.png", ""}, ":files webp gif\n"},
        {{"2", "pick", room, ""}, ""},
        {{"2", "set", room, "l"}, ":nospace\nlight[1].\nlight[2].\n"},
        {{"2", "set", room, "primitive[2"},
         ":nospace\nprimitive[2].\nprimitive[20].\n"
         "primitive[21].\nprimitive[22].\nprimitive[23].\n"
         "primitive[24].\nprimitive[25].\nprimitive[26].\n"
         "primitive[27].\n"},
        {{"3", "set", room, "view.wdu=9", "primitive[3].c"},
         ":nospace\nprimitive[3].col.r=\nprimitive[3].col.g=\nprimitive[3].col.b=\n"},
        {{"2", "set", room, "light[2].b"}, ":nospace\nlight[2].bright=\n"},
        {{"2", "set", room, "depth."}, ":nospace\ndepth.ilvlmx=\n"},
        {{"2", "set", room, "primitive[3].col.r="}, ":nospace\nprimitive[3].col.r=215\n"},
        {{"2", "set", room, "light[2].bright=0"}, ":nospace\nlight[2].bright=0.4\n"},
        {{"2", "set", room, "primitive[30].ks="}, ":nospace\n"},
        {{"2", "set", scratch("none.RT"), "p"}, ":nospace\nprimitive[\n"},
        {{"2", "set", scratch("none.RT"), "v"}, ":nospace\nview.\n"},
        {{"1", "paint", ""}, ""},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args = {"complete"};
        args.insert(args.end(), c.words.begin(), c.words.end());
        result r = run(args);
        std::string line;
        for (const std::string &w : c.words)
            line += w + " ";
        EXPECT_EQ(r.status, 0) << line;
        EXPECT_EQ(r.out, c.want) << line;
    }
    // the view's fields, but not the count of lights, which set refuses
    result r = run({"complete", "2", "set", room, "view."});
    EXPECT_NE(r.out.find("view.iymx=\n"), std::string::npos);
    EXPECT_EQ(r.out.find("nlg"), std::string::npos);
    for (std::vector<std::string> bad : {std::vector<std::string>{"complete"},
                                         {"complete", "1", "render"},
                                         {"complete", "x", "render"}})
        EXPECT_EQ(run(bad).status, 2);
}

// The commands offered are those koru-cli lists in its help, and each one's
// options are exactly those its own help names.
TEST(Cli, CompletionKnowsEveryCommandAndOption)
{
    const std::string main_help = run({"--help"}).out;
    result r = run({"complete", "0", ""});
    std::vector<std::string> names;
    std::string name;
    for (char ch : r.out)
        if (ch != '\n')
            name += ch;
        else
            names.push_back(name), name.clear();
    ASSERT_EQ(names.back(), "--help");
    names.pop_back();
    EXPECT_GE(names.size(), 11u);
    for (const std::string &cmd : names) {
        EXPECT_NE(main_help.find("\n  " + cmd + " "), std::string::npos) << cmd;
        const std::string help = run({cmd, "--help"}).out;
        std::set<std::string> named = {"--help"};
        for (size_t at = help.find("--"); at != std::string::npos; at = help.find("--", at + 2)) {
            size_t end = at + 2;
            while (end < help.size() &&
                   (std::islower((unsigned char)help[end]) || help[end] == '-'))
                end++;
            named.insert(help.substr(at, end - at));
        }
        std::set<std::string> offered;
        std::string opts = run({"complete", "1", cmd, "--"}).out, opt;
        for (char ch : opts)
            if (ch != '\n')
                opt += ch;
            else
                offered.insert(opt), opt.clear();
        EXPECT_EQ(offered, named) << cmd;
    }
}
