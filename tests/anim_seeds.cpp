// anim_seeds DIR - writes the animation fuzzer's seeds into DIR
// (fuzz/corpus/anim/): animated WebP and GIF files from KORU's own
// writers (anim_writer: frames that change in part, one frame, a still
// run; WebP by our own encoder and by libwebp's), still WebP files,
// lossless and lossy, and GIF files of what other programs write and
// KORU's writer does not: every disposal, transparency, interlacing, a
// local palette, a frame beyond the canvas, a loop count.
#include "image/animfile.h"
#include "base/msg.h"

#include <gif_lib.h>
#include <webp/encode.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Frame k of a pattern that moves a block across a gradient.
picture frame_of(int w, int h, int k)
{
    picture p;
    p.resize(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const size_t i = (size_t)y * w + x;
            const bool block = x >= k && x < k + 3 && y >= 1 && y < 4;
            p.r[i] = (unsigned char)(block ? 250 : x * 255 / w);
            p.g[i] = (unsigned char)(block ? 30 : y * 255 / h);
            p.b[i] = (unsigned char)(block ? 40 : 128);
        }
    return p;
}

bool koru_anim(const std::string &path, int w, int h, int frames, double fps, bool still,
               int effort = EFFORT_NORMAL)
{
    anim_writer out(path.c_str(), fps, effort);
    msglist msgs;
    for (int k = 0; k < frames; k++)
        if (!out.add(k, frame_of(w, h, still ? 0 : k), msgs))
            break;
    const bool ok = msgs.empty() && out.finish(msgs);
    if (!ok)
        std::fprintf(stderr, "anim_seeds: %s: %s\n", path.c_str(), msgs.first());
    return ok;
}

bool write(const std::string &path, const uint8_t *bytes, size_t n)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(bytes, 1, n, f) == n;
    ok = f && std::fclose(f) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "anim_seeds: cannot write %s\n", path.c_str());
    return ok;
}

bool still_webp(const std::string &path, bool lossless)
{
    const picture p = frame_of(7, 5, 2);
    std::vector<uint8_t> rgb;
    for (size_t i = 0; i < p.r.size(); i++)
        rgb.insert(rgb.end(), {p.r[i], p.g[i], p.b[i]});
    uint8_t *out = nullptr;
    const size_t n = lossless ? WebPEncodeLosslessRGB(rgb.data(), 7, 5, 21, &out)
                              : WebPEncodeRGB(rgb.data(), 7, 5, 21, 80, &out);
    const bool ok = n > 0 && write(path, out, n);
    WebPFree(out);
    return ok;
}

// A GIF frame: where it stands, how it is disposed of, which index is
// clear, whether its rows are interlaced and whether it has its own
// palette of four colours.
struct gif_frame {
    int left, top, w, h;
    int dispose = DISPOSE_DO_NOT, transparent = NO_TRANSPARENT_COLOR, delay = 10;
    bool interlace = false, local = false;
};

ColorMapObject *palette(int shift)
{
    ColorMapObject *map = GifMakeMapObject(4, nullptr);
    for (int i = 0; i < 4; i++)
        map->Colors[i] = GifColorType{(GifByteType)(60 * ((i + shift) % 4)),
                                      (GifByteType)(255 - 50 * i), (GifByteType)(90 * (i & 1))};
    return map;
}

bool gif_file(const std::string &path, int w, int h, const std::vector<gif_frame> &frames,
              int loops)
{
    int err = 0;
    GifFileType *g = EGifOpenFileName(path.c_str(), false, &err);
    if (!g)
        return false;
    EGifSetGifVersion(g, true);
    ColorMapObject *global = palette(0);
    bool ok = EGifPutScreenDesc(g, w, h, 2, 1, global) == GIF_OK;
    GifFreeMapObject(global);
    if (loops >= 0) {
        const GifByteType loop[3] = {1, (GifByteType)loops, (GifByteType)(loops >> 8)};
        ok = ok && EGifPutExtensionLeader(g, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
             EGifPutExtensionBlock(g, 11, "NETSCAPE2.0") == GIF_OK &&
             EGifPutExtensionBlock(g, 3, loop) == GIF_OK && EGifPutExtensionTrailer(g) == GIF_OK;
    }
    for (size_t k = 0; ok && k < frames.size(); k++) {
        const gif_frame &f = frames[k];
        GraphicsControlBlock gcb{f.dispose, false, f.delay, f.transparent};
        GifByteType ext[4];
        const size_t n = EGifGCBToExtension(&gcb, ext);
        ColorMapObject *local = f.local ? palette((int)k + 1) : nullptr;
        ok = EGifPutExtension(g, GRAPHICS_EXT_FUNC_CODE, (int)n, ext) == GIF_OK &&
             EGifPutImageDesc(g, f.left, f.top, f.w, f.h, f.interlace, local) == GIF_OK;
        GifFreeMapObject(local);
        std::vector<GifPixelType> line((size_t)f.w);
        for (int y = 0; ok && y < f.h; y++) {
            for (int x = 0; x < f.w; x++)
                line[(size_t)x] = (GifPixelType)((x + y + (int)k) % 4);
            ok = EGifPutLine(g, line.data(), f.w) == GIF_OK;
        }
    }
    return EGifCloseFile(g, &err) == GIF_OK && ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: anim_seeds DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = true;
    for (const char *kind : {".webp", ".gif"}) {
        ok = koru_anim(dir + "koru-moving" + kind, 9, 6, 4, 24, false) && ok;
        ok = koru_anim(dir + "koru-one-frame" + kind, 5, 3, 1, 0.5, false) && ok;
        ok = koru_anim(dir + "koru-still" + kind, 4, 4, 3, 100, true) && ok;
    }
    // libwebp's animation encoder, as the small effort writes
    ok = koru_anim(dir + "koru-moving-small.webp", 9, 6, 4, 24, false, EFFORT_SMALL) && ok;
    ok = still_webp(dir + "still-lossless.webp", true) && ok;
    ok = still_webp(dir + "still-lossy.webp", false) && ok;

    const struct {
        const char *name;
        std::vector<gif_frame> frames;
        int loops;
    } gifs[] = {
        {"dispose-background", {{0, 0, 8, 6}, {2, 1, 3, 3, DISPOSE_BACKGROUND}, {1, 1, 2, 2}}, 0},
        {"dispose-previous", {{0, 0, 8, 6}, {3, 2, 4, 3, DISPOSE_PREVIOUS}, {0, 0, 2, 2}}, 0},
        {"transparent", {{0, 0, 8, 6}, {1, 1, 6, 4, DISPOSE_DO_NOT, 2}}, 3},
        {"interlaced", {{0, 0, 8, 11, DISPOSE_DO_NOT, NO_TRANSPARENT_COLOR, 5, true}}, -1},
        {"local-palette", {{0, 0, 8, 6}, {0, 0, 8, 6, DISPOSE_DO_NOT, -1, 7, false, true}}, 0},
        {"beyond-canvas", {{5, 4, 6, 5}}, 1},
    };
    for (const auto &g : gifs)
        ok = gif_file(dir + "gif-" + g.name + ".gif", 8, 6, g.frames, g.loops) && ok;
    return ok ? 0 : 1;
}
