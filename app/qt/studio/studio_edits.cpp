#include "app/qt/studio/studio_edits.h"

#include "app/commands/actions.h"
#include "app/session/command_ids.h"
#include "app/qt/studio/studio_docks.h"
#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_host.h"
#include "app/qt/studio/studio_panes.h"
#include "app/qt/studio/studio_selection.h"
#include "app/qt/studio/studio_text.h"
#include "app/qt/window/view.h"
#include "app/session/session.h"
#include "app/studio/studio_pick.h"

#include <QAction>
#include <QMenu>
#include <QShortcut>

StudioEdits::StudioEdits(session &ses, studio_host &h, StudioText &t, StudioSelection &selection,
                         const studio_panes &p, View &v)
    : s(ses), host(h), text(t), sel(selection), panes(p), view(v)
{
    panes.out->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(panes.out, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { outline_menu(at); });
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        if (s.studio.on)
            picture_menu(at);
    });
    add_keys();
}

// In the outline, where the edits are asked for, undo and redo take them
// back and make them again as in the text (the picture has its own, with
// the mouse's keys); Delete there takes out what is chosen.
void StudioEdits::add_keys()
{
    for (bool redo : {false, true}) {
        auto *key = new QShortcut(panes.out);
        key->setKeys(undo_keys(redo));
        key->setContext(Qt::WidgetShortcut);
        connect(key, &QShortcut::activated, this, [this, redo] { sel.undo(redo); });
    }
    auto *del =
        new QShortcut(QKeySequence::Delete, panes.out, nullptr, nullptr, Qt::WidgetShortcut);
    connect(del, &QShortcut::activated, this, [this] {
        if (struct_applies(*text.latest(), IDM_DELETE, outline_target()))
            run(IDM_DELETE);
    });
}

void StudioEdits::run(int id)
{
    struct_result out;
    if (!struct_edit(s, *text.latest(), id, from_picture ? picked : outline_target(), out))
        return;
    panes.ed->apply(out.edit); // one step of undo
    text.check_now();          // the outline of the new text
    if (out.then.any())
        sel.select(out.then.kind, out.then.index, true);
    else
        sel.clear(true);
}

void StudioEdits::update_items()
{
    const std::shared_ptr<studio_reading> r = text.latest();
    const struct_target t = from_picture ? picked : outline_target();
    int count = 0;
    const action_row *rows = action_rows(count);
    for (int i = 0; i < count; i++)
        if ((rows[i].flags & ACT_CHOSEN) && rows[i].id)
            host.action(rows[i].id)
                ->setEnabled(app_enabled(s.app, rows[i].id) && struct_applies(*r, rows[i].id, t));
}

// The outline's rows chosen, as the outline shows them; the studio's
// selection when none is.
struct_target StudioEdits::outline_target() const
{
    struct_target t;
    const std::shared_ptr<studio_reading> shown = text.shown();
    for (int item : panes.out->items())
        if (shown && item >= 0 && item < (int)shown->outline.size())
            t.chosen.push_back({shown->outline[item].kind, shown->outline[item].index});
    if (t.chosen.empty() && sel.selected().any())
        t.chosen.push_back(sel.selected());
    return t;
}

void StudioEdits::outline_menu(QPoint at) { show_menu(panes.out->viewport()->mapToGlobal(at)); }

void StudioEdits::picture_menu(QPoint at)
{
    picked = outline_target();
    if (!pick_target(at, picked))
        picked.at_point = false; // no scene made the picture: in front of the camera
    from_picture = true;
    show_menu(view.mapToGlobal(at));
    from_picture = false;
}

// What the dot under the mouse shows is chosen, and a new primitive goes
// where its ray meets the scene; false when no scene made the picture.
bool StudioEdits::pick_target(QPoint at, struct_target &t)
{
    std::shared_ptr<const scene> sc;
    frame f;
    int x, y;
    pick_hit h;
    if (pick_source(s.app, view.rows_shown(), sc, f) != PICK_SCENE ||
        !view_dot(s.disp.zoom_size, f.width, f.h, at.x(), at.y(), x, y) ||
        !pick_dot(*sc, f, x, y, h))
        return false;
    t.at_point = true;
    t.at = struct_point(*sc, f, x, y, h);
    const studio_selection hit{OUT_PRIMITIVE, h.index};
    bool kept = false;
    for (const studio_selection &c : t.chosen)
        kept = kept || c == hit;
    if (h.index < 0) {
        t.chosen.clear();
        sel.clear(true);
    } else if (!kept) {
        t.chosen = {hit};
        sel.select(OUT_PRIMITIVE, h.index, true);
    }
    return true;
}

void StudioEdits::show_menu(QPoint global)
{
    QMenu m;
    host.fill_menu(&m, MENU_EDIT, ACT_CHOSEN);
    update_items();
    m.exec(global);
}
