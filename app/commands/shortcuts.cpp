#include "app/commands/shortcuts.h"

#include "app/session/command_ids.h"

namespace {

struct shortcut {
    int id;
    const char *keys[VIEWS];
};

// clang-format off
const shortcut SHORTCUTS[] = {
    //  id               picture view      studio view
    {IDM_OPENRT,     {"Ctrl+O",         "Ctrl+O"}},
    {IDM_SAVEBMP,    {"Ctrl+S",         "Ctrl+Shift+S"}},
    {IDM_EXIT,       {"Ctrl+Q",         "Ctrl+Q"}},
    {IDM_MAKE,       {"F5",             "F5"}},
    {IDM_MAKE3D,     {"Shift+F5",       "Shift+F5"}},
    {IDM_HELP,       {"F1",             "F1"}},
    {IDM_STOP,       {"Esc",            "Esc"}},
    {KEY_FILE_MENU,  {"Alt+F",          "Alt+F"}},
    {KEY_ZOOM_IN,    {"Ctrl+=; Ctrl++", "Ctrl+=; Ctrl++"}},
    {KEY_ZOOM_OUT,   {"Ctrl+-",         "Ctrl+-"}},
    {KEY_ZOOM_100,   {"Ctrl+0",         "Ctrl+0"}},
    {KEY_MODE0,      {"Ctrl+1",         "Ctrl+1"}},
    {KEY_MODE1,      {"Ctrl+2",         "Ctrl+2"}},
    {KEY_MODE2,      {"Ctrl+3",         "Ctrl+3"}},
    {IDM_SAVESCENE,  {"",               "Ctrl+S"}},
    {IDM_NEXTPROBLEM, {"",              "F8"}},
    {IDM_FIND,       {"",               "Ctrl+F"}},
    {IDM_FINDNEXT,   {"",               "F3"}},
    {IDM_FINDPREV,   {"",               "Shift+F3"}},
};
// clang-format on

} // namespace

const char *shortcut_keys(int id, int view)
{
    if (view < 0 || view >= VIEWS)
        return "";
    for (const shortcut &s : SHORTCUTS)
        if (s.id == id)
            return s.keys[view];
    return "";
}
