#include "picfile.h"

#include "../base/msg.h"
#include "../base/openread.h"
#include "../base/sizes.h"
#include "picio.h"
#include "png.h"

#include <cstring>

int refuse_picture(msglist &msgs, const char *path, const char *why)
{
    msgs.add("\"%s\" is refused: %s", path, why);
    return RGB_REFUSED;
}

bool name_ends(const char *name, const char *end)
{
    const size_t n = std::strlen(name), e = std::strlen(end);
    if (n < e)
        return false;
    for (size_t i = 0; i < e; i++) {
        const char c = name[n - e + i];
        if ((c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != end[i])
            return false;
    }
    return true;
}

bool png_name(const char *path) { return name_ends(path, ".png"); }

int save_picture(const char *path, int w, int h, const unsigned char *r, const unsigned char *g,
                 const unsigned char *b, msglist &msgs)
{
    return png_name(path) ? save_png(path, w, h, r, g, b, msgs)
                          : save_bmp(path, w, h, r, g, b, msgs);
}

int save_picture(const char *path, const planes &pl, int w, int h, msglist &msgs)
{
    return save_picture(path, w, h, pl.r, pl.g, pl.b, msgs);
}

int load_picture(const char *path, planes &pl, int &w, int &h, msglist &msgs)
{
    bool big = false;
    std::FILE *f = open_within(path, PICTURE_FILE_MAX, "picture file", msgs, &big);
    if (big)
        w = h = 0;
    if (!f)
        return big ? RGB_REFUSED : RGB_NOFILE;
    unsigned char head[8];
    const size_t got = std::fread(head, 1, sizeof head, f);
    int rc;
    if (std::fseek(f, 0, SEEK_SET) != 0) {
        rc = refuse_picture(msgs, path, "it cannot be read from its start");
    } else if (png_signature(head, got)) {
        rc = load_png_file(f, path, pl, w, h, msgs);
    } else if (got >= 2 && head[0] == 'B' && head[1] == 'M') {
        rc = load_bmp_file(f, path, pl, w, h, msgs);
    } else {
        rc = refuse_picture(msgs, path, "neither a BMP file (which begins with BM) nor a PNG file");
    }
    std::fclose(f);
    if (rc == RGB_REFUSED)
        w = h = 0;
    return rc;
}
