#include "gif.h"

#include "../base/cancel.h"
#include "../base/msg.h"
#include "../base/openread.h"
#include "../base/sizes.h"
#include "animlimit.h"
#include "display.h"
#include "reduce.h"
#include "safewrite.h"

#include <gif_lib.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <unistd.h>

namespace {

GifFileType *gif(void *p) { return static_cast<GifFileType *>(p); }

constexpr int GIF_DELAY_MAX = 65535;   // hundredths of a second in a control block
const char NETSCAPE[] = "NETSCAPE2.0"; // the loop extension's name, 11 bytes
constexpr int NETSCAPE_LEN = 11;

} // namespace

// giflib's output: the new file when safe_file can write it in place, the
// bytes held here when it cannot (a pipe, a device), written at the end.
struct gif_anim::sink {
    safe_file file;
    bool streamed = false;
    std::vector<unsigned char> held;
    size_t at = 0;
};

namespace {

int put_bytes(GifFileType *g, const GifByteType *bytes, int n)
{
    auto *s = static_cast<gif_anim::sink *>(g->UserData);
    if (s->streamed && !s->file.write_at(s->at, bytes, (size_t)n))
        return 0;
    if (!s->streamed)
        s->held.insert(s->held.end(), bytes, bytes + n);
    s->at += (size_t)n;
    return n;
}

} // namespace

long long anim_cs(long long i, double fps) { return std::llround((double)i * 100 / fps); }

gif_anim::gif_anim(const char *path, double fps) : path_(path), fps_(fps) {}

gif_anim::~gif_anim() { drop(); }

void gif_anim::drop()
{
    if (gif_) {
        int err;
        EGifCloseFile(gif(gif_), &err);
        gif_ = nullptr;
    }
    if (out_)
        out_->file.discard();
    out_.reset();
}

// The file's head: the screen with the cube palette, and the loop.
bool gif_anim::start(int w, int h, msglist &msgs)
{
    int err = 0;
    out_ = std::make_unique<sink>();
    out_->streamed = out_->file.begin(path_.c_str());
    gif_ = EGifOpen(out_.get(), put_bytes, &err);
    if (!gif_) {
        msgs.add("cannot write \"%s\": %s", path_.c_str(), GifErrorString(err));
        return false;
    }
    EGifSetGifVersion(gif(gif_), true);
    ColorMapObject *cube = GifMakeMapObject(256, nullptr);
    if (!cube) {
        msgs.add("cannot write \"%s\": out of memory", path_.c_str());
        return false;
    }
    for (int i = 0; i < 256; i++) {
        const unsigned rgb = cube_rgb(i);
        cube->Colors[i] =
            GifColorType{(GifByteType)(rgb >> 16), (GifByteType)(rgb >> 8), (GifByteType)rgb};
    }
    const GifByteType loop[3] = {1, 0, 0}; // sub-block 1: loop count 0, forever
    bool ok = EGifPutScreenDesc(gif(gif_), w, h, 8, 0, cube) == GIF_OK &&
              EGifPutExtensionLeader(gif(gif_), APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
              EGifPutExtensionBlock(gif(gif_), NETSCAPE_LEN, NETSCAPE) == GIF_OK &&
              EGifPutExtensionBlock(gif(gif_), 3, loop) == GIF_OK &&
              EGifPutExtensionTrailer(gif(gif_)) == GIF_OK;
    GifFreeMapObject(cube);
    if (!ok) {
        msgs.add("cannot write \"%s\": %s", path_.c_str(), GifErrorString(gif(gif_)->Error));
        return false;
    }
    planes_ = std::make_unique<planes>();
    grid_ = std::make_unique<dotgrid>();
    diff_ = std::make_unique<diffusion>();
    line_.resize((size_t)w);
    w_ = w, h_ = h;
    return true;
}

int gif_anim::add(const picture &pic, msglist &msgs)
{
    if (!gif_ && (pic.w < 1 || pic.h < 1 || pic.w > WIDTH_MAX || pic.h > HEIGHT_MAX)) {
        msgs.add("cannot write \"%s\": a frame of %d x %d dots; a GIF frame here has 1 x 1 to "
                 "%d x %d",
                 path_.c_str(), pic.w, pic.h, WIDTH_MAX, HEIGHT_MAX);
        return 0;
    }
    if (!gif_ && !start(pic.w, pic.h, msgs)) {
        drop();
        return 0;
    }
    if (pic.w != w_ || pic.h != h_) {
        msgs.add("frame %d is %d x %d dots; the animation's frames are %d x %d", count_ + 1, pic.w,
                 pic.h, w_, h_);
        return 0;
    }
    const long long delay = anim_cs(count_ + 1, fps_) - anim_cs(count_, fps_);
    if (delay > GIF_DELAY_MAX) {
        msgs.add("frame %d lasts longer than a GIF file can say", count_ + 1);
        return 0;
    }

    // The window's 256-colour dots, from the start-up state
    to_planes(pic, *planes_);
    gk_reset(*diff_);
    show_dots(*grid_, *diff_, *planes_, w_, h_, 100, 1);

    GraphicsControlBlock gcb{DISPOSE_DO_NOT, false, (int)delay, NO_TRANSPARENT_COLOR};
    GifByteType ext[4];
    const size_t n = EGifGCBToExtension(&gcb, ext);
    bool ok = EGifPutExtension(gif(gif_), GRAPHICS_EXT_FUNC_CODE, (int)n, ext) == GIF_OK &&
              EGifPutImageDesc(gif(gif_), 0, 0, w_, h_, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < h_; y++) {
        for (int x = 0; x < w_; x++)
            line_[(size_t)x] = (unsigned char)grid_->dot[y * grid_->w + x];
        ok = EGifPutLine(gif(gif_), line_.data(), w_) == GIF_OK;
    }
    if (!ok) {
        msgs.add("cannot write \"%s\": %s", path_.c_str(), GifErrorString(gif(gif_)->Error));
        return 0;
    }
    count_++;
    return 1;
}

int gif_anim::finish(msglist &msgs, cancel_token *tok)
{
    if (!gif_) {
        msgs.add("\"%s\": an animation without frames is not written", path_.c_str());
        return 0;
    }
    if (tok && tok->cancelled()) {
        drop();
        return 0;
    }
    int err = 0;
    const int closed = EGifCloseFile(gif(gif_), &err);
    gif_ = nullptr;
    int rc;
    if (closed != GIF_OK) {
        msgs.add("cannot write \"%s\": %s", path_.c_str(), GifErrorString(err));
        rc = 0;
    } else if (out_->streamed) {
        rc = out_->file.commit(msgs, tok);
    } else {
        rc = write_file_safely(path_.c_str(), out_->held.data(), out_->held.size(), msgs, tok);
    }
    drop();
    return rc;
}

gif_frames::~gif_frames() { close(); }

void gif_frames::close()
{
    if (gif_) {
        int err;
        DGifCloseFile(gif(gif_), &err);
        gif_ = nullptr;
    }
}

int gif_frames::open(const char *path, msglist &msgs)
{
    close();
    path_ = path;
    std::FILE *f = open_within(path, ANIM_FILE_MAX, "GIF file", msgs);
    if (!f)
        return 0;
    const int fd = dup(fileno(f));
    std::fclose(f);
    int err = D_GIF_ERR_OPEN_FAILED;
    gif_ = fd < 0 ? nullptr : DGifOpenFileHandle(fd, &err); // which closes fd when done
    if (!gif_) {
        msgs.add("cannot read \"%s\" as a GIF file: %s", path, GifErrorString(err));
        return 0;
    }
    w_ = gif(gif_)->SWidth, h_ = gif(gif_)->SHeight;
    frames_max_ = anim_frames_max(w_, h_);
    if (!anim_within(path, 1, w_, h_, true, msgs)) {
        close();
        return 0;
    }
    // the canvas starts in the background colour, black without a table
    const ColorMapObject *map = gif(gif_)->SColorMap;
    const int bg = gif(gif_)->SBackGroundColor;
    background_ = 0;
    if (map && bg >= 0 && bg < map->ColorCount)
        background_ =
            (uint32_t)map->Colors[bg].Red << 16 | map->Colors[bg].Green << 8 | map->Colors[bg].Blue;
    canvas_.assign((size_t)w_ * h_, background_);
    saved_.clear();
    loops_ = -1, end_cs_ = 0, frames_ = 0;
    delay_ = 0, dispose_ = 0, transparent_ = -1, last_dispose_ = 0;
    return 1;
}

bool gif_frames::rewind(msglist &msgs)
{
    const std::string path = path_;
    return open(path.c_str(), msgs) == 1;
}

// Draws the image that follows over the canvas, after the frame before
// is disposed of.
bool gif_frames::image(msglist &msgs)
{
    GifFileType *g = gif(gif_);
    if (last_dispose_ == DISPOSE_PREVIOUS && saved_.size() == canvas_.size())
        canvas_ = saved_;
    if (last_dispose_ == DISPOSE_BACKGROUND)
        for (int y = ly_; y < ly_ + lh_ && y < h_; y++)
            for (int x = lx_; x < lx_ + lw_ && x < w_; x++)
                canvas_[(size_t)y * w_ + x] = background_;
    if (dispose_ == DISPOSE_PREVIOUS)
        saved_ = canvas_;
    if (DGifGetImageDesc(g) != GIF_OK) {
        msgs.add("\"%s\": a frame is damaged: %s", path_.c_str(), GifErrorString(g->Error));
        return false;
    }
    const GifImageDesc d = g->Image;
    const ColorMapObject *map = d.ColorMap ? d.ColorMap : g->SColorMap;
    std::vector<GifPixelType> line((size_t)(d.Width > 0 ? d.Width : 1));
    // an interlaced image's rows come in four passes
    const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    const int passes = d.Interlace ? 4 : 1;
    for (int p = 0; p < passes; p++)
        for (int y = d.Interlace ? start[p] : 0; y < d.Height; y += d.Interlace ? step[p] : 1) {
            if (DGifGetLine(g, line.data(), d.Width) != GIF_OK) {
                msgs.add("\"%s\": a frame is damaged: %s", path_.c_str(), GifErrorString(g->Error));
                return false;
            }
            const int cy = d.Top + y;
            for (int x = 0; x < d.Width && cy < h_; x++) {
                const int cx = d.Left + x, i = line[(size_t)x];
                if (cx >= w_ || i == transparent_)
                    continue;
                const GifColorType c =
                    map && i < map->ColorCount ? map->Colors[i] : GifColorType{0, 0, 0};
                canvas_[(size_t)cy * w_ + cx] = (uint32_t)c.Red << 16 | c.Green << 8 | c.Blue;
            }
        }
    last_dispose_ = dispose_, lx_ = d.Left, ly_ = d.Top, lw_ = d.Width, lh_ = d.Height;
    return true;
}

bool gif_frames::next(picture &pic, int &end_ms, msglist &msgs)
{
    if (!gif_)
        return false;
    GifFileType *g = gif(gif_);
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(g, &type) != GIF_OK) {
            msgs.add("\"%s\" is damaged: %s", path_.c_str(), GifErrorString(g->Error));
            return false;
        }
        if (type == TERMINATE_RECORD_TYPE)
            return false;
        if (type == EXTENSION_RECORD_TYPE) {
            int code;
            GifByteType *block;
            if (DGifGetExtension(g, &code, &block) != GIF_OK) {
                msgs.add("\"%s\" is damaged: %s", path_.c_str(), GifErrorString(g->Error));
                return false;
            }
            GraphicsControlBlock gcb;
            const bool netscape = code == APPLICATION_EXT_FUNC_CODE && block &&
                                  block[0] == NETSCAPE_LEN &&
                                  !std::memcmp(block + 1, NETSCAPE, NETSCAPE_LEN);
            if (code == GRAPHICS_EXT_FUNC_CODE && block &&
                DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
                delay_ = gcb.DelayTime, dispose_ = gcb.DisposalMode,
                transparent_ = gcb.TransparentColor;
            for (bool first = true; block; first = false) {
                if (netscape && !first && block[0] >= 3 && block[1] == 1)
                    loops_ = block[2] | block[3] << 8;
                if (DGifGetExtensionNext(g, &block) != GIF_OK) {
                    msgs.add("\"%s\" is damaged: %s", path_.c_str(), GifErrorString(g->Error));
                    return false;
                }
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        // giflib keeps a record of every image it has read until the file
        // is closed: refused beyond the frames a file holds
        if (frames_ == frames_max_) {
            anim_within(path_.c_str(), frames_ + 1, w_, h_, true, msgs);
            return false;
        }
        frames_++;
        if (!image(msgs))
            return false;
        end_cs_ += delay_;
        end_ms = end_cs_ * 10 < INT_MAX ? (int)(end_cs_ * 10) : INT_MAX; // beyond 24 days
        delay_ = 0, dispose_ = 0, transparent_ = -1;
        pic.resize(w_, h_);
        for (size_t i = 0; i < canvas_.size(); i++) {
            pic.r[i] = (unsigned char)(canvas_[i] >> 16);
            pic.g[i] = (unsigned char)(canvas_[i] >> 8);
            pic.b[i] = (unsigned char)canvas_[i];
        }
        return true;
    }
}
