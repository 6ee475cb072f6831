#include "app/commands/actions.h"

#include "app/session/command_ids.h"
#include "app/session/session.h"

namespace {

constexpr unsigned SCENE = ACT_SCENE, STUDIO = ACT_STUDIO, WINDOW = ACT_WINDOW | ACT_ALWAYS;
constexpr unsigned CHOSEN = ACT_WINDOW | ACT_CHOSEN;

// clang-format off
const action_row ROWS[] = {
    // id                caption                   menu           opens        flags                 picture view      studio view
    {0,                  "File(F)",                MENU_BAR,      MENU_FILE,   0,                    {"",               ""}},
    {IDM_OPENBMP,        "Open *.BMP(&O)",         MENU_FILE,     0,           0,                    {"",               ""}},
    {IDM_SAVEBMP,        "Save *.BMP(&S)",         MENU_FILE,     0,           0,                    {"Ctrl+S",         "Ctrl+Shift+S"}},
    {0,                  nullptr,                  MENU_FILE,     0,           0,                    {"",               ""}},
    {IDM_EXIT,           "Exit(&X)",               MENU_FILE,     0,           0,                    {"Ctrl+Q",         "Ctrl+Q"}},
    {0,                  "Edit(&E)",               MENU_BAR,      MENU_EDIT,   STUDIO,               {"",               ""}},
    {IDM_UNDO,           "Undo\tCtrl+Z",           MENU_EDIT,     0,           WINDOW,               {"",               ""}},
    {IDM_REDO,           "Redo\tCtrl+Y",           MENU_EDIT,     0,           WINDOW,               {"",               ""}},
    {0,                  nullptr,                  MENU_EDIT,     0,           0,                    {"",               ""}},
    {IDM_FIND,           "Find...",                MENU_EDIT,     0,           ACT_WINDOW,           {"",               "Ctrl+F"}},
    {IDM_FINDNEXT,       "Find Next",              MENU_EDIT,     0,           ACT_WINDOW,           {"",               "F3"}},
    {IDM_FINDPREV,       "Find Previous",          MENU_EDIT,     0,           ACT_WINDOW,           {"",               "Shift+F3"}},
    {0,                  nullptr,                  MENU_EDIT,     0,           0,                    {"",               ""}},
    {IDM_NEXTPROBLEM,    "Next Problem",           MENU_EDIT,     0,           0,                    {"",               "F8"}},
    {IDM_HINTS,          "Field Hints",            MENU_EDIT,     0,           WINDOW | ACT_CHECK,   {"",               ""}},
    {0,                  nullptr,                  MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {0,                  "Add Primitive",          MENU_EDIT,     MENU_ADD,    CHOSEN,               {"",               ""}},
    {IDM_ADD_PLANE,      "Plane",                  MENU_ADD,      0,           CHOSEN,               {"",               ""}},
    {IDM_ADD_PLANE + 1,  "Box",                    MENU_ADD,      0,           CHOSEN,               {"",               ""}},
    {IDM_ADD_PLANE + 2,  "Sphere",                 MENU_ADD,      0,           CHOSEN,               {"",               ""}},
    {IDM_ADD_PLANE + 3,  "Ellipsoid",              MENU_ADD,      0,           CHOSEN,               {"",               ""}},
    {IDM_ADD_PLANE + 4,  "Cylinder",               MENU_ADD,      0,           CHOSEN,               {"",               ""}},
    {IDM_ADD_CONE,       "Cone",                   MENU_ADD,      0,           CHOSEN,               {"",               ""}},
    {IDM_DUPLICATE,      "Duplicate",              MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_DELETE,         "Delete",                 MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_MOVE_UP,        "Move Up",                MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_MOVE_DOWN,      "Move Down",              MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {0,                  nullptr,                  MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_ADD_LIGHT,      "Add Light",              MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_DUP_LIGHT,      "Duplicate Light",        MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_DEL_LIGHT,      "Delete Light",           MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {0,                  nullptr,                  MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_MAKE_GROUP,     "Make Group",             MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_ADD_TO_GROUP,   "Add to Group",           MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_REMOVE_MEMBER,  "Remove from Group",      MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {IDM_UNGROUP,        "Ungroup",                MENU_EDIT,     0,           CHOSEN,               {"",               ""}},
    {0,                  "View(&V)",               MENU_BAR,      MENU_VIEW,   STUDIO,               {"",               ""}},
    {IDM_LIGHTMARKS,     "Light Markers",          MENU_VIEW,     0,           WINDOW | ACT_CHECK,   {"",               ""}},
    {0,                  "RayTrace(&R)",           MENU_BAR,      MENU_RAYTRACE, 0,                  {"",               ""}},
    {IDM_NEWSCENE,       "New Scene(&N)",          MENU_RAYTRACE, 0,           0,                    {"",               ""}},
    {IDM_OPENRT,         "Open *.RT(&L)",          MENU_RAYTRACE, 0,           0,                    {"Ctrl+O",         "Ctrl+O"}},
    {IDM_SAVERT,         "Save *.RT(&W)",          MENU_RAYTRACE, 0,           SCENE,                {"",               ""}},
    {IDM_SAVESCENE,      "Save Scene",             MENU_RAYTRACE, 0,           STUDIO,               {"",               "Ctrl+S"}},
    {IDM_SAVESCENEAS,    "Save Scene As...",       MENU_RAYTRACE, 0,           STUDIO,               {"",               ""}},
    {IDM_MAKE,           "Make Image(&I)",         MENU_RAYTRACE, 0,           SCENE,                {"F5",             "F5"}},
    {IDM_MAKE3D,         "Make 3D Image(&3)",      MENU_RAYTRACE, 0,           SCENE,                {"Shift+F5",       "Shift+F5"}},
    {IDM_ANAGLYPH,       "Make Anaglyph(&G)",      MENU_RAYTRACE, 0,           SCENE,                {"",               ""}},
    {IDM_ANIMATE,        "Make Animation(&M)…",    MENU_RAYTRACE, 0,           SCENE,                {"",               ""}},
    {IDM_STOP,           "Stop render",            MENU_RAYTRACE, 0,           0,                    {"Esc",            "Esc"}},
    {0,                  nullptr,                  MENU_RAYTRACE, 0,           0,                    {"",               ""}},
    {0,                  "Anti-aliasing",          MENU_RAYTRACE, MENU_AA,     0,                    {"",               ""}},
    {IDM_AA1,            "Off",                    MENU_AA,       0,           ACT_ONE_OF,           {"",               ""}},
    {IDM_AA1 + 1,        "2×2",                    MENU_AA,       0,           ACT_ONE_OF,           {"",               ""}},
    {IDM_AA1 + 2,        "3×3",                    MENU_AA,       0,           ACT_ONE_OF,           {"",               ""}},
    {IDM_AA4,            "4×4",                    MENU_AA,       0,           ACT_ONE_OF,           {"",               ""}},
    {IDM_LIVE,           "Live view(&V)",          MENU_RAYTRACE, 0,           ACT_CHECK,            {"",               ""}},
    {IDM_STUDIO,         "Studio(&U)",             MENU_RAYTRACE, 0,           ACT_CHECK,            {"",               ""}},
    {0,                  "Follow",                 MENU_RAYTRACE, MENU_FOLLOW, STUDIO,               {"",               ""}},
    {IDM_FOLLOW_TYPING,  "As I type",              MENU_FOLLOW,   0,           ACT_ONE_OF,           {"",               ""}},
    {IDM_FOLLOW_SAVE,    "On save",                MENU_FOLLOW,   0,           ACT_ONE_OF,           {"",               ""}},
    {IDM_SETTING,        "Setting(&T)",            MENU_RAYTRACE, 0,           0,                    {"",               ""}},
    {IDM_PRINT,          "Printer(&P)",            MENU_BAR,      0,           0,                    {"",               ""}},
    {IDM_CONFIG,         "Config(&C)",             MENU_BAR,      0,           0,                    {"",               ""}},
    {0,                  "Help(&H)",               MENU_BAR,      MENU_HELP,   0,                    {"",               ""}},
    {IDM_HELP,           "Help(&H)",               MENU_HELP,     0,           0,                    {"F1",             "F1"}},
    {IDM_GUIDE,          "Guide(&G)",              MENU_HELP,     0,           0,                    {"",               ""}},
    {IDM_ABOUT,          "About(&A)",              MENU_HELP,     0,           0,                    {"",               ""}},
    // the keys that run no menu command
    {KEY_FILE_MENU,      nullptr,                  MENU_NONE,     0,           WINDOW,               {"Alt+F",          "Alt+F"}},
    {KEY_ZOOM_IN,        nullptr,                  MENU_NONE,     0,           ACT_ALWAYS,           {"Ctrl+=; Ctrl++", "Ctrl+=; Ctrl++"}},
    {KEY_ZOOM_OUT,       nullptr,                  MENU_NONE,     0,           ACT_ALWAYS,           {"Ctrl+-",         "Ctrl+-"}},
    {KEY_ZOOM_100,       nullptr,                  MENU_NONE,     0,           ACT_ALWAYS,           {"Ctrl+0",         "Ctrl+0"}},
    {KEY_MODE0,          nullptr,                  MENU_NONE,     0,           ACT_ALWAYS,           {"Ctrl+1",         "Ctrl+1"}},
    {KEY_MODE1,          nullptr,                  MENU_NONE,     0,           ACT_ALWAYS,           {"Ctrl+2",         "Ctrl+2"}},
    {KEY_MODE2,          nullptr,                  MENU_NONE,     0,           ACT_ALWAYS,           {"Ctrl+3",         "Ctrl+3"}},
};
// clang-format on

} // namespace

const action_row *action_rows(int &count)
{
    count = (int)(sizeof ROWS / sizeof ROWS[0]);
    return ROWS;
}

const action_row *find_action(int id)
{
    if (id == 0)
        return nullptr;
    for (const action_row &r : ROWS)
        if (r.id == id)
            return &r;
    return nullptr;
}

const char *shortcut_keys(int id, int view)
{
    const action_row *r = find_action(id);
    return r && view >= 0 && view < VIEWS ? r->keys[view] : "";
}

int app_enabled(const app_state &a, int id)
{
    const action_row *r = find_action(id);
    if (r && (r->flags & ACT_ALWAYS))
        return 1;
    if (a.busy)
        return id == IDM_HELP || id == IDM_GUIDE || id == IDM_ABOUT || id == IDM_STOP;
    return id != IDM_STOP && (!r || !(r->flags & ACT_SCENE) || a.rt_ready);
}

bool app_checked(const session &s, int id)
{
    switch (id) {
    case IDM_LIVE:
        return s.app.live;
    case IDM_STUDIO:
        return s.studio.on;
    case IDM_HINTS:
        return s.studio.hints;
    case IDM_LIGHTMARKS:
        return s.studio.lights;
    case IDM_FOLLOW_TYPING:
    case IDM_FOLLOW_SAVE:
        return s.studio.follow.mode == (id == IDM_FOLLOW_SAVE ? FOLLOW_SAVE : FOLLOW_TYPING);
    default:
        return id >= IDM_AA1 && id <= IDM_AA4 && s.app.aa_level == id - IDM_AA1 + 1;
    }
}
