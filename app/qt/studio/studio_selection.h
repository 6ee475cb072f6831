// studio_selection.h - the studio's one selection (studio_select.h), which
// the outline marks, the inspector shows, the text selects and the picture
// outlines (studio_silhouette.h).
//
// An item is selected from the outline, by the cursor coming into its
// record, or by a click on the picture (studio_pick_qt.h); a read of the
// text without it leaves nothing selected, everywhere at once. The
// inspector's edits go into the text as one edit each. Field hints show
// under the selected record's lines while they are on.
//
// Undo and redo asked for away from the text (on the picture, in the
// outline) keep the selection when the step changed numbers only (a drag,
// a nudge, an inspector's edit), wherever the editor's cursor lands; a
// step that adds, takes out or regroups records leaves it to the cursor.
#pragma once

#include "app/qt/studio/studio_silhouette.h"
#include "app/studio/studio_select.h"

#include <QKeySequence>
#include <QList>
#include <QObject>

class StudioText;
class View;
struct session;
struct studio_panes;

// The keys of undo (redo: of redo) on the picture and in the outline: the
// platform's, and Ctrl+Z and Ctrl+Y as the Edit menu names them.
QList<QKeySequence> undo_keys(bool redo);

class StudioSelection : public QObject {
public:
    StudioSelection(session &s, StudioText &text, const studio_panes &panes, View &view);
    const studio_selection &selected() const { return sel; }
    // select_text: the record is selected in the text too.
    void select(int kind, int index, bool select_text);
    // Nothing selected, anywhere; text_too: the text's selection goes as
    // well (its cursor stays).
    void clear(bool text_too);
    void caret_moved();
    void outline_chosen(int item);
    void edit_fields(const std::vector<field_value> &values);
    // The text's undo (redo: its redo), from the picture or the outline.
    void undo(bool redo);
    void reading_shown(const std::shared_ptr<studio_reading> &r);
    void show_hints();
    // What the picture outlines, again: the selection, the picture or the
    // text may have changed.
    void refresh_outline();
    StudioSilhouette &silhouette() { return sil; }
    const StudioSilhouette &silhouette() const { return sil; }

private:
    session &s;
    StudioText &text;
    const studio_panes &panes;
    studio_selection sel;
    long selected_caret = -1; // where choosing an item put the cursor
    StudioSilhouette sil;
};
