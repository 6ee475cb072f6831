#include "animfile.h"

#include "../base/msg.h"
#include "animlimit.h"
#include "picfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace {

// A name taken apart at its frame field: the text before and after it
// (with %% made %), and the field's 0 flag and width.
struct pattern {
    int fields = 0; // -1: a % that is no field
    std::string pre, post;
    bool zero = false;
    int width = 0;
};

pattern parse_name(const char *name)
{
    pattern p;
    std::string *part = &p.pre;
    for (const char *c = name; *c; c++) {
        if (*c != '%') {
            *part += *c;
            continue;
        }
        if (c[1] == '%') {
            *part += '%';
            c++;
            continue;
        }
        const char *f = c + 1;
        const bool zero = *f == '0';
        f += zero;
        int width = 0;
        if (*f >= '1' && *f <= '9')
            width = *f++ - '0';
        if (*f != 'd') {
            p.fields = -1;
            return p;
        }
        p.fields++;
        p.zero = zero, p.width = width;
        part = &p.post;
        c = f;
    }
    return p;
}

std::string number_text(const pattern &p, long long k)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, p.zero ? "%0*lld" : "%*lld", p.width, k);
    return buf;
}

} // namespace

int anim_kind(const char *name)
{
    const pattern p = parse_name(name);
    const bool moving = name_ends(name, ".webp") || name_ends(name, ".gif");
    if (p.fields < 0 || p.fields > 1 || (p.fields == 1 && moving))
        return ANIM_BADNAME;
    if (p.fields == 1)
        return ANIM_NUMBERED;
    return name_ends(name, ".webp") ? ANIM_WEBP : name_ends(name, ".gif") ? ANIM_GIF : ANIM_SINGLE;
}

bool frame_name(const char *name, long long k, std::string &out)
{
    const pattern p = parse_name(name);
    if (p.fields != 1)
        return false;
    out = p.pre + number_text(p, k) + p.post;
    return true;
}

bool frame_numbers(const char *name, std::vector<long long> &nums, msglist &msgs)
{
    nums.clear();
    const pattern p = parse_name(name);
    if (p.fields != 1 || p.post.find('/') != std::string::npos) {
        msgs.add("\"%s\": the frame field must stand in the file's name, not its folder's", name);
        return false;
    }
    const size_t slash = p.pre.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : p.pre.substr(0, slash + 1);
    const std::string head = slash == std::string::npos ? p.pre : p.pre.substr(slash + 1);
    DIR *d = opendir(dir.c_str());
    if (!d) {
        msgs.add("cannot read the folder \"%s\": %s", dir.c_str(), std::strerror(errno));
        return false;
    }
    constexpr size_t DIGITS_MAX = 18; // a long long
    while (const dirent *e = readdir(d)) {
        const std::string f = e->d_name;
        if (f.size() <= head.size() + p.post.size() || f.compare(0, head.size(), head) ||
            f.compare(f.size() - p.post.size(), p.post.size(), p.post))
            continue;
        const std::string digits = f.substr(head.size(), f.size() - head.size() - p.post.size());
        if (digits.size() > DIGITS_MAX ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const long long k = std::stoll(digits);
        if (number_text(p, k) == digits) // the name this pattern gives k
            nums.push_back(k);
    }
    closedir(d);
    std::sort(nums.begin(), nums.end());
    return true;
}

anim_writer::anim_writer(const char *name, double fps, int effort)
    : name_(name), kind_(anim_kind(name)), effort_(effort)
{
    if (kind_ == ANIM_WEBP)
        webp_ = std::make_unique<webp_anim>(fps, effort);
    else if (kind_ == ANIM_GIF)
        gif_ = std::make_unique<gif_anim>(name, fps);
}

bool anim_fits(const char *name, long long frames, int w, int h, msglist &msgs)
{
    const int kind = anim_kind(name);
    return (kind != ANIM_WEBP && kind != ANIM_GIF) || anim_within(name, frames, w, h, false, msgs);
}

int anim_writer::add(long long k, const picture &pic, msglist &msgs)
{
    std::string file = name_;
    int rc = 0;
    if ((webp_ || gif_) && !anim_within(name_.c_str(), count_ + 1, pic.w, pic.h, false, msgs))
        return 0;
    switch (kind_) {
    case ANIM_WEBP:
        rc = webp_->add(pic, msgs);
        break;
    case ANIM_GIF:
        rc = gif_->add(pic, msgs);
        break;
    case ANIM_SINGLE:
        if (count_ > 0) {
            msgs.add("\"%s\" holds one picture; name the frames with a field, as in "
                     "frame_%%04d.png",
                     name_.c_str());
            return 0;
        }
        rc = save_picture(file.c_str(), pic.w, pic.h, pic.r.data(), pic.g.data(), pic.b.data(),
                          msgs);
        break;
    case ANIM_NUMBERED:
        frame_name(name_.c_str(), k, file);
        rc = save_picture(file.c_str(), pic.w, pic.h, pic.r.data(), pic.g.data(), pic.b.data(),
                          msgs, effort_);
        break;
    default:
        msgs.add("\"%s\" is no name for frames: a %% must begin one frame field such as %%04d, "
                 "or be written %%%%",
                 name_.c_str());
        return 0;
    }
    count_ += rc;
    return rc;
}

int anim_writer::finish(msglist &msgs, cancel_token *tok)
{
    if (webp_)
        return webp_->finish(name_.c_str(), msgs, tok);
    if (gif_)
        return gif_->finish(msgs, tok);
    return 1;
}

anim_reader::anim_reader() = default;
anim_reader::~anim_reader() = default;

int anim_reader::open(const char *name, double fps, msglist &msgs)
{
    name_ = name;
    kind_ = anim_kind(name);
    fps_ = fps;
    at_ = 0;
    webp_.reset();
    gif_.reset();
    switch (kind_) {
    case ANIM_WEBP:
        webp_ = std::make_unique<webp_frames>();
        return webp_->open(name, msgs);
    case ANIM_GIF:
        gif_ = std::make_unique<gif_frames>();
        return gif_->open(name, msgs);
    case ANIM_NUMBERED:
        if (!frame_numbers(name, nums_, msgs))
            return 0;
        if (nums_.empty()) {
            msgs.add("no file is named as \"%s\" says", name);
            return 0;
        }
        return 1;
    case ANIM_SINGLE:
        return 1;
    default:
        msgs.add("\"%s\" is no name for frames", name);
        return 0;
    }
}

bool load_frame(const std::string &file, std::unique_ptr<planes> &buf, picture &pic, msglist &msgs)
{
    if (!buf)
        buf = std::make_unique<planes>();
    int w, h;
    if (load_picture(file.c_str(), *buf, w, h, msgs) != RGB_LOADED)
        return false;
    from_planes(*buf, w, h, pic);
    return true;
}

int anim_reader::width() const { return webp_ ? webp_->width() : gif_ ? gif_->width() : 0; }
int anim_reader::height() const { return webp_ ? webp_->height() : gif_ ? gif_->height() : 0; }

int anim_reader::loops() const { return webp_ ? webp_->loops() : gif_ ? gif_->loops() : 0; }

bool anim_reader::next(picture &pic, int &end_ms, msglist &msgs)
{
    if (webp_)
        return webp_->next(pic, end_ms, msgs);
    if (gif_)
        return gif_->next(pic, end_ms, msgs);
    std::string file = name_;
    if (kind_ == ANIM_NUMBERED ? at_ >= nums_.size() : at_ > 0)
        return false;
    if (kind_ == ANIM_NUMBERED)
        frame_name(name_.c_str(), nums_[at_], file);
    if (!load_frame(file, planes_, pic, msgs))
        return false;
    at_++;
    end_ms = (int)anim_ms((long long)at_, fps_);
    return true;
}

bool anim_reader::rewind(msglist &msgs)
{
    at_ = 0;
    if (webp_)
        webp_->rewind();
    if (gif_)
        return gif_->rewind(msgs);
    return true;
}
