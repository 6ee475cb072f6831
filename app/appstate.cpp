#include "appstate.h"

#include <cstring>
#include <string>

int rt_ready, image_ready, data_change, load_save;

scene model;
planes gdata;
std::vector<std::string> recent_files;
std::string scene_file;
unsigned scene_serial;
int aa_level = 1;

char szFileExt[EXT_BYTES];
char szFileSpec[PATH_BYTES];
char szFilePath[PATH_BYTES];
char szFileName[PATH_BYTES];
char szFName[PATH_BYTES];
char oldFName[PATH_BYTES];
char szTmpFilePath[PATH_BYTES];
char szTmpFileSpec[PATH_BYTES];
char szTmpFileName[PATH_BYTES];

void app_start()
{
    rt_ready = image_ready = data_change = load_save = 0;
    szFileSpec[0] = szFilePath[0] = szFileName[0] = szFName[0] = 0;
    szTmpFilePath[0] = szTmpFileSpec[0] = szTmpFileName[0] = 0;
    std::strcpy(szFileExt, ".RT");
    join2(oldFName, PATH_BYTES, "*", szFileExt);
    model = scene{};
    scene_file.clear();
}

void set_ext(char *name, const char *ext)
{
    char *p = name;
    while (*p && *p != '.')
        p++;
    // oldFName holds a name the dialog accepted, so there is room for the
    // longer extension unless the name filled the buffer to the last byte
    size_t room = PATH_BYTES - (size_t)(p - name);
    if (std::strlen(ext) + 1 > room)
        return;
    std::strcpy(p, ext);
}

int join3(char *dst, int n, const char *a, const char *b, const char *c)
{
    std::string t = std::string(a) + b + c; // any of a, b, c may be dst
    if (t.size() + 1 > (size_t)n)
        return 0;
    std::memcpy(dst, t.c_str(), t.size() + 1);
    return 1;
}

int join2(char *dst, int n, const char *a, const char *b) { return join3(dst, n, a, b, ""); }
