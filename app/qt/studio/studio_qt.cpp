#include "app/qt/studio/studio_qt.h"

#include "app/qt/studio/studio_camera_qt.h"
#include "app/qt/studio/studio_edits.h"
#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_host.h"
#include "app/qt/studio/studio_mouse_qt.h"
#include "app/qt/studio/studio_panes.h"
#include "app/qt/studio/studio_pick_qt.h"
#include "app/qt/studio/studio_selection.h"
#include "app/qt/studio/studio_text.h"
#include "app/qt/window/view.h"
#include "app/commands/actions.h"
#include "app/session/command_ids.h"
#include "app/session/session.h"
#include "app/session/ui_port.h"
#include "app/studio/studio.h"

#include <QMenu>
#include <QKeyEvent>
#include <QToolTip>

Studio::Studio(studio_host &h, session &ses, live_view &lv, View &v)
    : host(h), s(ses), live(lv), view(v), docks(h), clock([this] {
          if (text)
              text->read_due();
      })
{
}

Studio::~Studio() { stop_work(); }

void Studio::stop_work()
{
    if (!text)
        return;
    text->stop_reading();
    sel->silhouette().stop();
}

bool Studio::on() const { return s.studio.on; }

void Studio::add_items()
{
    docks.add_items([this] {
        s.studio.hints = !s.studio.hints;
        s.ui.commands_changed(); // its tick
        if (sel)
            sel->show_hints();
    });
    int count = 0;
    const action_row *rows = action_rows(count);
    for (int i = 0; i < count; i++)
        if ((rows[i].flags & ACT_CHOSEN) && rows[i].id)
            host.on_action(rows[i].id, [this, id = rows[i].id] {
                if (edits)
                    edits->run(id);
            });
    connect(host.menu(MENU_EDIT), &QMenu::aboutToShow, this, [this] {
        if (edits)
            edits->update_items();
    });
    host.on_action(IDM_LIGHTMARKS, [this] {
        s.studio.lights = !s.studio.lights;
        s.ui.commands_changed(); // its tick
        view.update();
    });
}

// The panes, and the parts that work on them.
void Studio::build()
{
    const studio_panes &p = docks.build();
    text = std::make_unique<StudioText>(s, live, host, p, clock);
    sel = std::make_unique<StudioSelection>(s, *text, p, view);
    camera = std::make_unique<StudioCamera>(s, *text);
    picker = std::make_unique<StudioPick>(s, *sel, view);
    edits = std::make_unique<StudioEdits>(s, host, *text, *sel, p, view);
    hands = std::make_unique<StudioMouse>(s, *text, *sel, live, view);
    text->before_picture = [this] { camera->rested(); };
    text->shown_read_to = [this](const std::shared_ptr<studio_reading> &r) {
        sel->reading_shown(r);
    };
    text->edited = [this] {
        if (s.studio.hints)
            sel->show_hints();
    };
    connect_panes(p);
}

// What each pane tells.
void Studio::connect_panes(const studio_panes &p)
{
    connect(p.ed, &QsciScintilla::textChanged, this, [this] { text->changed(); });
    connect(p.ed, &QsciScintilla::modificationChanged, this, [this](bool m) {
        s.studio.modified = m;
        host.show_title();
    });
    connect(p.ed, &SceneEditor::caret_moved, this, [this] { sel->caret_moved(); });
    connect(p.ed, &SceneEditor::hovered, this, [this, ed = p.ed](size_t at, QPoint where) {
        const std::string name = name_at(*text->latest(), at);
        if (!name.empty())
            QToolTip::showText(where, QString::fromUtf8(name.data(), (int)name.size()), ed);
    });
    connect(p.ed, &SceneEditor::left, this, [] { QToolTip::hideText(); });
    connect(p.out, &OutlinePane::chosen, this, [this](int item) { sel->outline_chosen(item); });
    connect(p.insp, &InspectorPane::edit, this,
            [this](const std::vector<field_value> &v) { sel->edit_fields(v); });
    connect(p.msgs, &MessagesPane::chosen, this, [this](int m) { text->jump_to(m); });
}

void Studio::set_on(bool want)
{
    if (want != on()) {
        if (want)
            turn_on();
        else
            turn_off();
    }
    s.ui.commands_changed(); // its tick
}

void Studio::turn_on()
{
    if (!text)
        build();
    s.studio.on = true;
    docks.show(true);
    live.set_source(this);
    // the scene file's text, when the editor has not got it yet
    studio_take_file(s);
    text->sync(false);
    camera->turned_on(live.hand_moved());
    s.studio.follow.saved(); // read at once: names, problems, the picture
    text->schedule();
    host.show_title();
}

void Studio::turn_off()
{
    if (!studio_turn_off(s))
        return;
    text->stop();
    s.studio.follow = studio_follow{s.studio.follow.mode};
    docks.show(false);
    live.set_source(nullptr);
    sel->clear(false);
    host.show_title();
    view.update();
}

void Studio::next_problem() { text->next_problem(); }

void Studio::before(int id)
{
    if (camera)
        camera->before(id);
}

void Studio::after(int id)
{
    if (!on())
        return;
    camera->after(id);
    const bool taken = studio_take_file(s);
    text->sync(false);
    if (taken)
        sel->clear(false);
    if (id == IDM_NEWSCENE)
        live.source_changed();
    if (id == IDM_FOLLOW_TYPING)
        s.studio.follow.saved(); // the picture catches up with the text
    text->schedule();
}

void Studio::load_prefs(const prefs &p) { docks.load_prefs(p); }

void Studio::save_prefs(prefs &p) { docks.save_prefs(p, on()); }

bool Studio::mouse(QMouseEvent *e)
{
    if (!on() || !picker)
        return false;
    picker->mouse(e);
    return hands->mouse(e);
}

bool Studio::wheel(QWheelEvent *e) { return on() && hands && hands->wheel(e); }

bool Studio::key(QKeyEvent *e)
{
    if (!on() || !hands)
        return false;
    // the text's undo and redo, from the picture too
    const QKeySequence pressed(e->keyCombination());
    for (bool redo : {false, true})
        if (undo_keys(redo).contains(pressed)) {
            sel->undo(redo);
            return true;
        }
    return hands->key(e);
}

void Studio::paint(QPainter &p, bool rows_shown) const
{
    if (!on() || !sel)
        return;
    sel->silhouette().paint(p, rows_shown);
    hands->paint(p, rows_shown);
}

void Studio::picture_changed()
{
    if (sel)
        sel->refresh_outline();
}

int Studio::selected_kind() const { return sel ? sel->selected().kind : -1; }

int Studio::selected_index() const { return sel ? sel->selected().index : -1; }

bool Studio::silhouette_ready() const { return sel && sel->silhouette().ready(); }

bool Studio::working() const { return text && (text->reading() || sel->silhouette().working()); }

bool Studio::holding() const { return s.studio.follow.holding(); }

void Studio::file_changed() { text->file_changed(); }

void Studio::camera_moved(unsigned fields) { camera->moved(fields); }

void Studio::camera_rested() { camera->rested(); }
