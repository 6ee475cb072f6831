#include "app/qt/studio/studio_selection.h"

#include "app/qt/studio/studio_docks.h"
#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_panes.h"
#include "app/qt/studio/studio_text.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/studio/inspector.h"

namespace {

QString qs(const std::string &t) { return QString::fromUtf8(t.data(), (int)t.size()); }

} // namespace

QList<QKeySequence> undo_keys(bool redo)
{
    QList<QKeySequence> keys =
        QKeySequence::keyBindings(redo ? QKeySequence::Redo : QKeySequence::Undo);
    const QKeySequence named(redo ? "Ctrl+Y" : "Ctrl+Z");
    if (!keys.contains(named))
        keys.append(named);
    return keys;
}

StudioSelection::StudioSelection(session &ses, StudioText &t, const studio_panes &p, View &view)
    : s(ses), text(t), panes(p), sil(ses, view)
{
}

void StudioSelection::select(int kind, int index, bool select_text)
{
    const std::shared_ptr<studio_reading> r = text.latest();
    const int item = selected_item(*r, studio_selection{kind, index});
    if (item < 0) {
        clear(false);
        return;
    }
    sel = studio_selection{kind, index};
    if (const auto shown = text.shown())
        panes.out->select_item(find_item(*shown, kind, index));
    panes.insp->show_rows(qs(inspector_title(*r, item)), inspector_rows(*r, item));
    if (select_text && r->outline[item].span.len) {
        panes.ed->select_bytes(r->outline[item].span.at, r->outline[item].span.len);
        selected_caret = (long)panes.ed->caret(); // the status line keeps what chose it
    }
    show_hints();
    refresh_outline();
}

void StudioSelection::clear(bool text_too)
{
    sel = {};
    panes.out->select_item(-1);
    panes.insp->show_rows("", {});
    if (text_too && panes.ed->hasSelectedText())
        panes.ed->select_bytes(panes.ed->caret(),
                               0); // the cursor stays, the record is no longer selected
    show_hints();
    refresh_outline();
}

void StudioSelection::caret_moved()
{
    const std::shared_ptr<studio_reading> r = text.latest();
    const size_t at = panes.ed->caret();
    const std::string name = name_at(*r, at);
    if (!name.empty() && (long)at != selected_caret)
        say(s, name, false);
    selected_caret = -1;
    const int item = item_at(*r, at);
    if (item >= 0 && !(studio_selection{r->outline[item].kind, r->outline[item].index} == sel))
        select(r->outline[item].kind, r->outline[item].index, false);
    else if (sel.any() && selected_item(*r, sel) < 0)
        clear(false); // typed away
}

void StudioSelection::outline_chosen(int item)
{
    const std::shared_ptr<studio_reading> shown = text.shown();
    if (shown && item >= 0 && item < (int)shown->outline.size())
        select(shown->outline[item].kind, shown->outline[item].index, true);
}

void StudioSelection::edit_fields(const std::vector<field_value> &values)
{
    text_edit e;
    std::string why;
    if (!field_edit(s.studio.text, values, e, why)) {
        say(s, why);
        select(sel.kind, sel.index, false); // the boxes show the text again
        return;
    }
    if (e.old_text != e.new_text)
        panes.ed->apply(e); // typed, as far as the picture goes
}

void StudioSelection::undo(bool redo)
{
    const studio_selection was = sel;
    const std::shared_ptr<studio_reading> before = text.latest();
    if (redo)
        panes.ed->redo();
    else
        panes.ed->undo();
    const std::shared_ptr<studio_reading> after = text.latest();
    if (was.any() && same_items(*before, *after))
        select(was.kind, was.index, true); // the cursor too, which tells later where it is
}

void StudioSelection::reading_shown(const std::shared_ptr<studio_reading> &r)
{
    const int item = selected_item(*r, sel);
    if (item < 0)
        sel = {}; // its record is gone from the text: nothing is selected anywhere
    panes.out->select_item(item);
    panes.insp->show_rows(qs(inspector_title(*r, item)), inspector_rows(*r, item));
    if (s.studio.hints)
        show_hints();
    refresh_outline();
}

void StudioSelection::show_hints()
{
    if (!s.studio.hints || !sel.any()) {
        panes.ed->show_hints({});
        return;
    }
    const std::shared_ptr<studio_reading> r = text.latest();
    panes.ed->show_hints(field_hints(*r, selected_item(*r, sel)));
}

void StudioSelection::refresh_outline()
{
    if (!s.studio.on || !sel.any())
        sil.show({});
    else
        sil.show(selected_primitives(*text.latest(), sel));
}
