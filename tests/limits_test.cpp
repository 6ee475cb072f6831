// The largest files and animations the readers take (base/sizes.h): one
// beyond is refused in one line that names it, before it is read or room
// is made for it; the writers and koru-cli say so before the first frame.
#include "base/sizes.h"
#include "image/animfile.h"
#include "image/animlimit.h"
#include "scene/scenetext.h"
#include "scene/textedit.h"

// after the image headers: testscene.h's picture() hides struct picture
#include "child.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

using frame_pic = struct picture;

// A file that begins with head and is size bytes long (sparse: no room
// on the disk for the rest).
std::string sized(const temp_dir &dir, const std::string &name, const std::string &head,
                  long long size)
{
    const std::string path = dir / name;
    spit(path, head);
    EXPECT_EQ(truncate(path.c_str(), size), 0);
    return path;
}

bool one_line_naming(const msglist &m, const std::string &path, const char *says)
{
    return m.lines.size() == 1 && m.lost == 0 && m.lines[0].text.find(path) != std::string::npos &&
           m.lines[0].text.find(says) != std::string::npos;
}

TEST(Limits, FilesBeyondTheirReaderAreRefusedUnread)
{
    temp_dir dir;
    const std::string bmp = "BM", gif = "GIF89a", webp("RIFF\0\0\0\0WEBP", 12);
    struct {
        const char *name;
        std::string head;
        long long most;
        int (*read)(const std::string &, msglist &);
    } readers[] = {
        {"big.RT", "0 0 0\n", SCENE_FILE_MAX,
         [](const std::string &p, msglist &m) {
             static scene sc;
             sc.primmx = 7;
             const int rc = data_load(sc, p.c_str(), m);
             return rc == 0 && sc.primmx == 7 ? 0 : 1; // refused: the scene as it was
         }},
        {"big.bmp", bmp, PICTURE_FILE_MAX,
         [](const std::string &p, msglist &m) {
             static planes pl;
             int w = 3, h = 3;
             const int rc = load_picture(p.c_str(), pl, w, h, m);
             return rc == RGB_REFUSED && w == 0 && h == 0 ? 0 : 1;
         }},
        {"big.webp", webp, ANIM_FILE_MAX,
         [](const std::string &p, msglist &m) { return anim_reader().open(p.c_str(), 24, m); }},
        {"big.gif", gif, ANIM_FILE_MAX,
         [](const std::string &p, msglist &m) { return anim_reader().open(p.c_str(), 24, m); }},
    };
    for (const auto &r : readers) {
        const std::string path = sized(dir, r.name, r.head, r.most + 1);
        msglist m;
        EXPECT_EQ(r.read(path, m), 0) << r.name;
        EXPECT_TRUE(one_line_naming(m, path, "MB KORU reads")) << r.name << ": " << m.first();
    }
    // at the limit a file is read (and refused, if at all, for what it holds)
    for (int i = 0; i < 2; i++) {
        const std::string path = sized(dir, readers[i].name, readers[i].head, readers[i].most);
        msglist m;
        readers[i].read(path, m);
        EXPECT_EQ(std::string(m.first()).find("MB KORU reads"), std::string::npos) << m.first();
    }

    // koru-cli set reads its scene's text whole: refused as well
    const std::string big = sized(dir, "set.RT", "0 0 0\n", SCENE_FILE_MAX + 1);
    const child_result r = run_cli({"set", big, "view.wdu=2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(error_lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find("MB KORU reads"), std::string::npos) << r.err;
}

// A text beyond a scene file's limit, as the studio might hold one, is not
// read, indexed or edited.
TEST(Limits, SceneTextBeyondTheLimitIsNotRead)
{
    const std::string text =
        slurp(KORU_SOURCE_DIR "/samples/room.RT") + std::string((size_t)SCENE_FILE_MAX, ' ');
    static scene sc;
    static scene_map map;
    msglist m;
    EXPECT_EQ(data_load_text(sc, text.data(), text.size(), m, &map), 0);
    EXPECT_EQ(m.lines.size(), 1u);
    EXPECT_FALSE(map.records_ended);
    scene_text st;
    index_scene_text(st, text.data(), text.size(), sc, map);
    EXPECT_TRUE(st.numbers.empty());
    text_edit e;
    std::string why;
    EXPECT_EQ(field_edit(text, {{field_ref{SEC_VIEW, 0, V_WDU}, "2"}}, e, why), 0);
    EXPECT_NE(why.find("MB KORU reads"), std::string::npos) << why;
}

std::string le32(unsigned v) { return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// An animated WebP's head: the canvas (VP8X) and n empty frames.
std::string webp_head(int w, int h, int frames)
{
    std::string chunks = std::string("VP8X") + le32(10) + char(0x02) + std::string(3, '\0') +
                         le32(w - 1).substr(0, 3) + le32(h - 1).substr(0, 3);
    chunks += std::string("ANIM") + le32(6) + std::string(6, '\0');
    for (int i = 0; i < frames; i++)
        chunks += std::string("ANMF") + le32(16) + std::string(16, '\0');
    return "RIFF" + le32((unsigned)chunks.size() + 4) + "WEBP" + chunks;
}

// A GIF of a w x h canvas (two colours) and n frames of one dot.
std::string gif_of(int w, int h, int frames)
{
    std::string f = std::string("GIF89a") + le32(w).substr(0, 2) + le32(h).substr(0, 2) +
                    std::string("\x80\x00\x00\xff\x00\x00\x00\xff\x00", 9);
    for (int i = 0; i < frames; i++)
        f += std::string("\x2c\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0", 15);
    return f + "\x3b";
}

TEST(Limits, AnimationsBeyondOneFileAreRefused)
{
    const long long most = anim_frames_max(WIDTH_MAX, HEIGHT_MAX);
    EXPECT_EQ(most, ANIM_DOTS_MAX / (WIDTH_MAX * HEIGHT_MAX));
    EXPECT_EQ(anim_frames_max(1, 1), ANIM_FRAMES_MAX);
    EXPECT_EQ(anim_frames_max(WIDTH_MAX + 1, 1), 0);

    // readers: a canvas or a frame count beyond, before it is made
    temp_dir dir;
    struct {
        const char *name;
        std::string bytes;
        const char *says;
    } files[] = {
        {"wide.webp", webp_head(WIDTH_MAX + 1, 1, 1), "frames of 1025 x 1 dots"},
        {"long.webp", webp_head(WIDTH_MAX, HEIGHT_MAX, (int)most + 1), "more than 341 frames"},
        {"wide.gif", gif_of(WIDTH_MAX + 1, 1, 1), "frames of 1025 x 1 dots"},
    };
    for (const auto &f : files) {
        spit(dir / f.name, f.bytes);
        msglist m;
        EXPECT_EQ(anim_reader().open((dir / f.name).c_str(), 24, m), 0) << f.name;
        EXPECT_TRUE(one_line_naming(m, dir / f.name, f.says)) << m.first();
    }
    // a GIF says how many frames it has only as they come
    spit(dir / "long.gif", gif_of(WIDTH_MAX, HEIGHT_MAX, (int)most + 1));
    anim_reader in;
    msglist m;
    ASSERT_EQ(in.open((dir / "long.gif").c_str(), 24, m), 1) << m.first();
    frame_pic pic;
    int end, n = 0;
    while (in.next(pic, end, m))
        n++;
    EXPECT_EQ(n, most);
    EXPECT_TRUE(one_line_naming(m, dir / "long.gif", "more than 341 frames")) << m.first();

    // writers: said before anything is made
    struct {
        const char *name;
        long long frames;
        int w, h;
        bool fits;
    } runs[] = {
        {"a.webp", most, WIDTH_MAX, HEIGHT_MAX, true},
        {"a.gif", most + 1, WIDTH_MAX, HEIGHT_MAX, false},
        {"a.webp", ANIM_FRAMES_MAX, 1, 1, true},
        {"a.gif", ANIM_FRAMES_MAX + 1, 1, 1, false},
        {"a.webp", 1, WIDTH_MAX + 1, 1, false},
        {"frame_%06d.png", 1000000, WIDTH_MAX, HEIGHT_MAX, true},
    };
    for (const auto &r : runs) {
        msglist said;
        EXPECT_EQ(anim_fits(r.name, r.frames, r.w, r.h, said), r.fits) << r.name << r.frames;
        EXPECT_EQ(said.lines.size(), r.fits ? 0u : 1u);
    }
    const child_result cli =
        run_cli({"animate", KORU_SOURCE_DIR "/samples/room.RT", dir / "turn.webp", "--frames",
                 std::to_string(most + 1), "--size", "1024", "768"});
    EXPECT_EQ(cli.status, 1);
    EXPECT_NE(cli.err.find("holds at most 341 of that size"), std::string::npos) << cli.err;
    EXPECT_FALSE(exists(dir / "turn.webp"));
}

} // namespace
