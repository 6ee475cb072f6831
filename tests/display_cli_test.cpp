// koru-cli display from end to end: pictures in and out, exit statuses
// and what a user sees on stderr.
#include "image/display.h"
#include "image/reduce.h"
#include "image/rgb.h"
#include "bmpgen.h"
#include "testscene.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

dotgrid want;

struct DisplayCli : ::testing::Test {
    std::string dir, err;

    void SetUp() override
    {
        char tmpl[] = "/tmp/koru-display-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override
    {
        std::string cmd = "rm -rf '" + dir + "'";
        if (std::system(cmd.c_str()) != 0)
            ADD_FAILURE() << "could not remove " << dir;
    }
    std::string path(const char *name) { return dir + "/" + name; }

    // Runs koru-cli display with args; returns the exit status, stderr in err.
    int run(const std::string &args)
    {
        std::string errfile = path("stderr.txt");
        std::string cmd =
            std::string(KORU_CLI) + " display " + args + " >/dev/null 2>'" + errfile + "'";
        int st = std::system(cmd.c_str());
        std::ifstream f(errfile);
        std::stringstream ss;
        ss << f.rdbuf();
        err = ss.str();
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    }

    // A w x h picture with a smooth mix of colours, saved as name.
    std::string picture(const char *name, int w, int h)
    {
        ixmx = w;
        iymx = h;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                gdatar[y * w + x] = (unsigned char)(x * 255 / w);
                gdatag[y * w + x] = (unsigned char)(y * 255 / h);
                gdatab[y * w + x] = (unsigned char)((x * 7 + y * 13) % 256);
            }
        std::string p = path(name);
        EXPECT_EQ(save_picture(p.c_str()), 1);
        return p;
    }

    int lines() const
    {
        int n = 0;
        for (char c : err)
            n += c == '\n';
        return n;
    }
};

TEST_F(DisplayCli, WritesTheDotsTheWindowShows)
{
    const std::string in = picture("in.bmp", 23, 17), out = path("out.bmp");
    const int zooms[] = {50, 100, 150, 155, 200, 400};
    for (int m = 0; m < 3; m++)
        for (int z : zooms) {
            ASSERT_EQ(run("'" + in + "' '" + out + "' --zoom " + std::to_string(z) + " --mode " +
                          std::to_string(m)),
                      0)
                << err;
            EXPECT_EQ(err, "");
            // the same conversion here, from the start-up state
            ASSERT_EQ(load_picture(in.c_str()), RGB_LOADED);
            diffusion start{};
            show_dots(want, start, tpl, ixmx, iymx, z, m);
            ASSERT_EQ(load_picture(out.c_str()), RGB_LOADED);
            ASSERT_EQ(ixmx, want.w) << z;
            ASSERT_EQ(iymx, want.h) << z;
            for (int y = 0; y < want.h; y++)
                for (int x = 0; x < want.w; x++) {
                    const int i = y * want.w + x;
                    const unsigned got = gdatar[i] << 16 | gdatag[i] << 8 | gdatab[i];
                    ASSERT_EQ(got, dot_rgb(want, x, y)) << "mode " << m << " zoom " << z;
                }
        }
}

TEST_F(DisplayCli, ZoomIsKeptWithin50To400AndOddModesShowAsMode0)
{
    const std::string in = picture("in.bmp", 30, 20);
    auto size_of = [&](const std::string &args) {
        std::string out = path("z.bmp");
        EXPECT_EQ(run("'" + in + "' '" + out + "' " + args), 0) << err;
        EXPECT_EQ(load_picture(out.c_str()), RGB_LOADED);
        return std::to_string(ixmx) + "x" + std::to_string(iymx);
    };
    EXPECT_EQ(size_of(""), "30x20");
    EXPECT_EQ(size_of("--zoom 30"), "15x10");
    EXPECT_EQ(size_of("--zoom 1000"), "120x80");
    EXPECT_EQ(size_of("--zoom 99999999999999"), "120x80");
    EXPECT_EQ(size_of("--zoom 155"), "45x30");

    std::string a = path("m0.bmp"), b = path("m5.bmp"), c = path("mneg.bmp");
    ASSERT_EQ(run("'" + in + "' '" + a + "' --zoom 150"), 0);
    ASSERT_EQ(run("'" + in + "' '" + b + "' --zoom 150 --mode 5"), 0);
    ASSERT_EQ(run("'" + in + "' '" + c + "' --mode -2147483648 --zoom 150"), 0);
    auto bytes = [](const std::string &p) {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    };
    EXPECT_EQ(bytes(a), bytes(b));
    EXPECT_EQ(bytes(a), bytes(c));
}

TEST_F(DisplayCli, InputsThatCannotBeShownFailWithOneLine)
{
    const std::string out = path("out.bmp");
    EXPECT_EQ(run("'" + path("missing.bmp") + "' '" + out + "'"), 1);
    EXPECT_EQ(lines(), 1);
    EXPECT_NE(err.find("missing.bmp"), std::string::npos) << err;
    EXPECT_NE(err.find("No such file"), std::string::npos) << err;

    std::ofstream(path("text.bmp")) << "hello, not a picture\n";
    EXPECT_EQ(run("'" + path("text.bmp") + "' '" + out + "'"), 1);
    EXPECT_EQ(lines(), 1);
    EXPECT_NE(err.find("text.bmp"), std::string::npos) << err;
    EXPECT_NE(err.find("refused"), std::string::npos) << err;

    EXPECT_EQ(run("'" + dir + "' '" + out + "'"), 1); // a directory
    EXPECT_EQ(lines(), 1);

    // one dot at half size has no dots to show
    const std::string dot = picture("dot.bmp", 1, 1);
    EXPECT_EQ(run("'" + dot + "' '" + out + "' --zoom 50"), 1);
    EXPECT_EQ(lines(), 1);

    struct stat st;
    EXPECT_NE(stat(out.c_str(), &st), 0); // nothing was written

    const std::string in = picture("in.bmp", 4, 4);
    EXPECT_EQ(run("'" + in + "' '" + dir + "'"), 1); // output is a directory
    EXPECT_EQ(lines(), 1);
    EXPECT_NE(err.find("cannot write"), std::string::npos) << err;
}

// Every kind of BMP shows in full colour as its dots; each kind refused
// fails in one line, writing nothing.
TEST_F(DisplayCli, EveryKindOfBmpShowsItsDots)
{
    const std::string in = path("in.bmp"), out = path("out.bmp");
    for (const bmpgen::bmp_kind &k : bmpgen::bmp_kinds()) {
        const bmpgen::bmp_made m = bmpgen::make_bmp(k);
        spit(in, m.bytes);
        ASSERT_EQ(run("'" + in + "' '" + out + "' --mode 2"), 0) << k.name << ": " << err;
        EXPECT_EQ(err, "") << k.name;
        ASSERT_EQ(load_picture(out.c_str()), RGB_LOADED) << k.name;
        ASSERT_EQ(ixmx, k.w);
        ASSERT_EQ(iymx, k.h);
        for (size_t i = 0; i < m.rgb.size(); i++)
            ASSERT_EQ((uint32_t)(gdatar[i] << 16 | gdatag[i] << 8 | gdatab[i]), m.rgb[i])
                << k.name << " dot " << i;
    }
    for (const bmpgen::bmp_bad &b : bmpgen::bad_bmps()) {
        spit(in, b.bytes);
        EXPECT_EQ(run("'" + in + "' '" + path("no.bmp") + "' --mode 2"), 1) << b.name;
        EXPECT_EQ(lines(), 1) << b.name << ": " << err;
        EXPECT_NE(err.find(b.why), std::string::npos) << b.name << ": " << err;
    }
    struct stat st;
    EXPECT_NE(stat(path("no.bmp").c_str(), &st), 0);

    // KORU's own BMP cut short at a row's end: shown, the missing rows
    // white, with a warning
    const std::string cut = picture("cut.bmp", 8, 8);
    ASSERT_EQ(truncate(cut.c_str(), 54 + 3 * 8 * 4), 0);
    EXPECT_EQ(run("'" + cut + "' '" + out + "' --mode 2"), 0);
    EXPECT_EQ(lines(), 1);
    EXPECT_NE(err.find("the missing part is white"), std::string::npos) << err;
    ASSERT_EQ(load_picture(out.c_str()), RGB_LOADED);
    EXPECT_EQ(gdatar[0], 255); // the top row: not in the file
    EXPECT_EQ(gdatab[3 * 8], 255);
}

// A PNG in, from KORU or another program, shows as its BMP does; a name
// ending in .png (any case) writes a PNG.
TEST_F(DisplayCli, PngInAndOut)
{
    const std::string in = picture("in.bmp", 16, 12); // 192 dots: a palette holds them
    ASSERT_EQ(run("'" + in + "' '" + path("want.bmp") + "' --mode 2 --zoom 200"), 0) << err;
    const std::string want = slurp(path("want.bmp"));

    // KORU's own PNG, both ways
    ASSERT_EQ(run("'" + in + "' '" + path("shown.PNG") + "' --mode 2 --zoom 200"), 0) << err;
    ASSERT_EQ(run("'" + path("shown.PNG") + "' '" + path("again.bmp") + "' --mode 2"), 0) << err;
    EXPECT_TRUE(slurp(path("again.bmp")) == want);
    ASSERT_EQ(run("'" + in + "' '" + path("copy.png") + "' --mode 2"), 0) << err;

    // other programs' PNG, of other kinds, under any name
    if (std::system("convert -version >/dev/null 2>&1") != 0) {
        std::fprintf(stderr, "ImageMagick's convert is not installed: PNG from another "
                             "program not tried\n");
        return;
    }
    // RGB, RGB at 16 bits, RGBA, RGBA at 16 bits, a palette, interlaced
    for (const char *kind :
         {"PNG24:", "PNG48:", "PNG32:", "PNG64:", "PNG8:", "-interlace PNG PNG24:"}) {
        const std::string png = path("other.png"), named = path("other.bmp");
        const std::string cmd =
            "convert '" + in + "' " + kind + "'" + png + "' && cp '" + png + "' '" + named + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
        for (const std::string &f : {png, named}) {
            ASSERT_EQ(run("'" + f + "' '" + path("out.bmp") + "' --mode 2 --zoom 200"), 0)
                << kind << ": " << err;
            EXPECT_EQ(err, "") << kind;
            EXPECT_TRUE(slurp(path("out.bmp")) == want) << kind;
        }
    }
}

TEST_F(DisplayCli, BadArgumentsAreUsageErrors)
{
    const std::string in = picture("in.bmp", 4, 4), out = "'" + path("out.bmp") + "'";
    const std::string q = "'" + in + "' ";
    EXPECT_EQ(run(""), 2);
    EXPECT_EQ(run(q), 2);
    EXPECT_EQ(run(q + out + " extra"), 2);
    EXPECT_EQ(run(q + out + " --zoom"), 2);
    EXPECT_EQ(run(q + out + " --zoom abc"), 2);
    EXPECT_EQ(run(q + out + " --zoom -100"), 2);
    EXPECT_EQ(run(q + out + " --mode x"), 2);
    EXPECT_EQ(run(q + out + " --mode 2147483648"), 2);
    EXPECT_EQ(run(q + out + " --colour"), 2);
    EXPECT_NE(err.find("usage:"), std::string::npos);
    EXPECT_EQ(run("--help"), 0);
}

} // namespace
