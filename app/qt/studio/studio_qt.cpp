#include "app/qt/studio/studio_qt.h"

#include "app/commands/save_prompt.h"
#include "app/session/say.h"
#include "app/commands/actions.h"
#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_panes.h"
#include "app/qt/window/mainwin.h"
#include "app/qt/window/onscreen.h"
#include "app/qt/window/to_window.h"
#include "app/studio/inspector.h"
#include "app/studio/studio.h"
#include "app/studio/studio_pick.h"
#include "scene/outline.h"

#include <QActionGroup>
#include <QDockWidget>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <atomic>
#include <cstring>

namespace {

const QSize STUDIO_SIZE(1180, 760);  // the window at least, with the panes
const QSize CLASSIC_SIZE(640, 480);  // the window's outer size out of studio view
constexpr int CLICK_SLOP = 3;        // a press and release this close is a click
constexpr int FIRST_LAYOUT_MS = 200; // the window manager has framed the window by then
constexpr int BUSY_RETRY_MS = 50;    // a read waits for a render this often
// the edge dashed black and white, to show on any picture
const QRgb SIL_EDGE[2] = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
constexpr int SIL_DASH = 3;

QString qs(const std::string &t) { return QString::fromUtf8(t.data(), (int)t.size()); }

} // namespace

Studio::Studio(MainWin *w, session &ses, live_view &d, View *v)
    : win(w), s(ses), driver(&d), view(v), reads(to_window()), ids_work(to_window())
{
    clock.start();
    read_timer.setSingleShot(true);
    connect(&read_timer, &QTimer::timeout, this, [this] { read_due(); });
}

Studio::~Studio() { stop_work(); }

void Studio::stop_work()
{
    reads.stop();
    ids_work.stop();
    computing.reset();
}

bool Studio::on() const { return s.studio.on; }

// ---- menus

// The Edit menu's items are the editor's own: they work once it is made.
void Studio::add_items()
{
    auto own = [this](int id, std::function<void()> fn) {
        win->on_action(id, [this, fn] {
            if (ed)
                fn();
        });
    };
    own(IDM_UNDO, [this] { ed->undo(); });
    own(IDM_REDO, [this] { ed->redo(); });
    own(IDM_FIND, [this] {
        find_bar->show();
        find_field->setFocus();
        find_field->selectAll();
    });
    own(IDM_FINDNEXT, [this] { ed->find_text(find_field->text(), true); });
    own(IDM_FINDPREV, [this] { ed->find_text(find_field->text(), false); });
    win->on_action(IDM_HINTS, [this] {
        s.studio.hints = !s.studio.hints;
        win->commands_changed(); // its tick
        show_hints();
    });
}

void Studio::show_menus(bool on)
{
    // Ctrl+S saves the scene here; the picture moves to Ctrl+Shift+S
    win->show_view(on ? VIEW_STUDIO : VIEW_PICTURE);
}

// ---- panes

// The editor, with its find bar below it.
QWidget *Studio::build_text()
{
    auto *text = new QWidget;
    auto *col = new QVBoxLayout(text);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(2);
    ed = new SceneEditor(text);
    col->addWidget(ed, 1);
    find_bar = new QWidget(text);
    auto *row = new QHBoxLayout(find_bar);
    row->setContentsMargins(4, 0, 4, 2);
    find_field = new QLineEdit(find_bar);
    find_field->setObjectName("find");
    find_field->setPlaceholderText("Find in the text");
    auto *prev = new QToolButton(find_bar), *next = new QToolButton(find_bar);
    prev->setText("Previous");
    next->setText("Next");
    row->addWidget(new QLabel("Find:", find_bar));
    row->addWidget(find_field, 1);
    row->addWidget(prev);
    row->addWidget(next);
    col->addWidget(find_bar);
    find_bar->hide();
    connect(find_field, &QLineEdit::returnPressed, this,
            [this] { ed->find_text(find_field->text(), true); });
    connect(next, &QToolButton::clicked, this, [this] { ed->find_text(find_field->text(), true); });
    connect(prev, &QToolButton::clicked, this,
            [this] { ed->find_text(find_field->text(), false); });
    find_field->installEventFilter(this); // Esc closes the bar
    return text;
}

void Studio::build_panes()
{
    auto dock = [this](const char *title, const char *name, QWidget *w, Qt::DockWidgetArea area) {
        auto *d = new QDockWidget(title, win);
        d->setObjectName(name);
        d->setWidget(w);
        win->addDockWidget(area, d);
        docks.push_back(d);
        return d;
    };

    QWidget *text = build_text();
    QDockWidget *text_dock = dock("Scene text", "scene_text_pane", text, Qt::LeftDockWidgetArea);

    // Outline and inspector on the right, the messages below
    out = new OutlinePane(nullptr);
    QDockWidget *outline_dock = dock("Outline", "outline_pane", out, Qt::RightDockWidgetArea);
    insp = new InspectorPane(nullptr);
    auto *scroll = new QScrollArea;
    scroll->setWidget(insp);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QDockWidget *insp_dock = dock("Inspector", "inspector_pane", scroll, Qt::RightDockWidgetArea);
    win->splitDockWidget(outline_dock, insp_dock, Qt::Vertical);
    msgs = new MessagesPane(nullptr);
    QDockWidget *msgs_dock = dock("Messages", "messages_pane", msgs, Qt::BottomDockWidgetArea);
    fresh_layout = [this, text_dock, outline_dock, msgs_dock] {
        win->resizeDocks({text_dock, outline_dock}, {400, 300}, Qt::Horizontal);
        win->resizeDocks({msgs_dock}, {110}, Qt::Vertical);
    };

    // What each tells
    connect(ed, &QsciScintilla::textChanged, this, [this] { text_changed(); });
    connect(ed, &QsciScintilla::modificationChanged, this, [this](bool m) {
        s.studio.modified = m;
        win->show_title();
    });
    connect(ed, &SceneEditor::caret_moved, this, [this] { caret_moved(); });
    connect(ed, &SceneEditor::hovered, this, [this](size_t at, QPoint where) {
        const std::string name = name_at(*latest(), at);
        if (!name.empty())
            QToolTip::showText(where, qs(name), ed);
    });
    connect(ed, &SceneEditor::left, this, [] { QToolTip::hideText(); });
    connect(out, &OutlinePane::chosen, this, [this](int item) {
        if (shown_read && item >= 0 && item < (int)shown_read->outline.size())
            select(shown_read->outline[item].kind, shown_read->outline[item].index, true);
    });
    connect(insp, &InspectorPane::edit, this,
            [this](const std::vector<field_value> &v) { edit_fields(v); });
    connect(msgs, &MessagesPane::chosen, this, [this](int m) { jump_to(m); });

    if (dock_layout.empty() ||
        !win->restoreState(QByteArray::fromBase64(QByteArray::fromStdString(dock_layout))))
        QTimer::singleShot(FIRST_LAYOUT_MS, this, fresh_layout); // once the window has its size
}

// The window in studio view and out of it keeps a place and size of each,
// as the user last left them; the first time in studio view it grows to
// STUDIO_SIZE, and comes back to the size it had. Either fits the screen.
void Studio::fit_window(bool on)
{
    QByteArray &leaving = on ? classic_geometry : studio_geometry;
    const QByteArray &coming = on ? studio_geometry : classic_geometry;
    // a window never shown has no place of its own yet
    leaving = win->isVisible() ? win->saveGeometry() : QByteArray();
    if (coming.isEmpty() || !win->restoreGeometry(coming)) {
        const QSize frame = win->frameGeometry().size() - win->size();
        win->resize(on ? win->size().expandedTo(STUDIO_SIZE) : CLASSIC_SIZE - frame);
    }
    if (win->isVisible())
        keep_on_screen_soon(win);
}

// ---- on and off

void Studio::set_on(bool want)
{
    if (want != on()) {
        if (want)
            turn_on();
        else
            turn_off();
    }
    win->commands_changed(); // its tick
}

void Studio::turn_on()
{
    if (!ed)
        build_panes();
    s.studio.on = true;
    for (QDockWidget *d : docks)
        d->show();
    show_menus(true);
    fit_window(true);
    driver->set_source(this);
    // the scene file's text, when the editor has not got it yet
    studio_take_file(s);
    sync_editor(false);
    // a camera moved by hand in live view is the text's from now on
    studio_round_camera(s.app.model, driver->hand_moved());
    write_camera(driver->hand_moved());
    s.studio.follow.saved(); // read at once: names, problems, the picture
    schedule();
    win->show_title();
}

void Studio::turn_off()
{
    if (!studio_turn_off(s))
        return;
    dock_layout = win->saveState().toBase64().toStdString();
    read_timer.stop();
    s.studio.follow = studio_follow{s.studio.follow.mode};
    for (QDockWidget *d : docks)
        d->hide();
    show_menus(false);
    driver->set_source(nullptr);
    fit_window(false);
    clear_selection(false);
    win->show_title();
    view->update();
}

void Studio::before(int id)
{
    if (id == IDM_SETTING)
        camera_before = camera_of(s.app.model);
}

void Studio::after(int id)
{
    if (!on())
        return;
    if (id == IDM_SETTING) // the camera set in SETTING goes into the text
        write_camera(camera_changes(camera_before, s.app.model));
    const bool taken = studio_take_file(s);
    sync_editor(false);
    if (taken)
        clear_selection(false);
    if (id == IDM_NEWSCENE)
        driver->source_changed();
    if (id == IDM_FOLLOW_TYPING)
        s.studio.follow.saved(); // the picture catches up with the text
    show_follow();
    schedule();
}

void Studio::show_follow() { win->commands_changed(); }

void Studio::load_prefs(const prefs &p)
{
    studio_geometry = QByteArray::fromBase64(QByteArray::fromStdString(p.studio_geometry));
    s.studio.follow.set_mode(p.follow);
    show_follow();
    s.studio.hints = p.hints;
    dock_layout = p.docks;
}

void Studio::save_prefs(prefs &p)
{
    p.studio = on();
    p.follow = s.studio.follow.mode;
    p.hints = s.studio.hints;
    if (on()) {
        dock_layout = win->saveState().toBase64().toStdString();
        studio_geometry = win->saveGeometry();
        if (!classic_geometry.isEmpty())
            p.geometry = classic_geometry.toBase64().toStdString();
    }
    p.docks = dock_layout;
    p.studio_geometry = studio_geometry.toBase64().toStdString();
}

// ---- the text

void Studio::schedule()
{
    const long long w = s.studio.follow.wait(now());
    if (w < 0)
        read_timer.stop();
    else
        read_timer.start((int)w);
}

void Studio::text_changed()
{
    s.studio.text = ed->bytes();
    s.studio.modified = ed->isModified();
    if (quiet)
        s.studio.follow.edited(now());
    else if (s.studio.follow.typed(now()))
        driver->drop_frame(); // its scene is no longer the text's
    schedule();
    if (s.studio.hints)
        show_hints();
    win->show_title();
}

void Studio::sync_editor(bool keep_view)
{
    if (s.studio.loads != loads_seen) {
        loads_seen = s.studio.loads;
        saves_seen = s.studio.saves;
        quiet = true;
        ed->set_bytes(s.studio.text, keep_view);
        quiet = false;
        s.studio.modified = false;
        show_reading(latest()); // marks for the new text at once
    }
    if (s.studio.saves != saves_seen) {
        saves_seen = s.studio.saves;
        ed->set_saved();
    }
    win->show_title();
}

// The scene file's name without its folder, as the marks and messages say it.
std::string Studio::file_name() const
{
    if (s.studio.file.empty())
        return NEW_SCENE_NAME;
    return QFileInfo(QString::fromStdString(s.studio.file)).fileName().toStdString();
}

std::shared_ptr<studio_reading> Studio::latest()
{
    if (!latest_read || latest_read->text != s.studio.text) {
        latest_read = read_studio_text(s.studio.text, file_name());
    }
    return latest_read;
}

void Studio::read_due()
{
    if (s.app.busy) { // a render of the model runs: its picture comes first
        read_timer.start(BUSY_RETRY_MS);
        return;
    }
    const int what = s.studio.follow.tick(now());
    if (what == READ_NONE) {
        schedule();
        return;
    }
    if (what & READ_PICTURE) { // a camera moved meanwhile goes with it
        studio_round_camera(s.app.model, camera_mask);
        write_camera(camera_mask);
    }
    read_beside();
    if (what & READ_PICTURE) {
        msglist m;
        switch (studio_follow_text(s, m)) {
        case FOLLOWED_READ:
            driver->source_changed();
            break;
        case FOLLOWED_CUT:
            if (!blank_text())
                say("The text stops before its primitive list ends: the picture stays as it "
                    "was.");
            break;
        }
    }
    driver->resume();
    schedule();
}

// The names and problems of the text as it is now, for the panes: read
// beside the window, and shown when read (unless the text has changed
// since, when the panes show a read of the text then).
void Studio::read_beside()
{
    auto read = std::make_shared<std::shared_ptr<studio_reading>>();
    const std::string text = s.studio.text, file = file_name();
    reads.start(
        [read, text, file] {
            *read = read_studio_text(text, file);
            return 0;
        },
        [this, read](int) {
            if ((*read)->text == s.studio.text)
                latest_read = *read;
            show_reading(latest());
        });
}

void Studio::show_reading(const std::shared_ptr<studio_reading> &r)
{
    shown_read = r;
    if (blank_text()) { // nothing written yet: nothing is wrong
        ed->show_marks({});
        msgs->show_note("No scene yet: open one with Open *.RT(L), or start one with "
                        "New Scene(N).");
    } else {
        ed->show_marks(r->marks);
        msgs->show_marks(r->marks);
    }
    out->show_items(r->outline);
    const int item = selected_item(*r, sel);
    if (item < 0)
        sel = {}; // its record is gone from the text: nothing is selected anywhere
    out->select_item(item);
    insp->show_rows(qs(inspector_title(*r, item)), inspector_rows(*r, item));
    if (s.studio.hints)
        show_hints();
    view->update();
}

void Studio::check_now()
{
    if (!shown_read || shown_read->text != s.studio.text)
        show_reading(latest());
}

// ---- selection

void Studio::select(int kind, int index, bool select_text)
{
    const std::shared_ptr<studio_reading> r = latest();
    const int item = selected_item(*r, studio_selection{kind, index});
    if (item < 0) {
        clear_selection(false);
        return;
    }
    sel = studio_selection{kind, index};
    if (shown_read)
        out->select_item(find_item(*shown_read, kind, index));
    insp->show_rows(qs(inspector_title(*r, item)), inspector_rows(*r, item));
    if (select_text && r->outline[item].span.len) {
        ed->select_bytes(r->outline[item].span.at, r->outline[item].span.len);
        selected_caret = (long)ed->caret(); // the status line keeps what chose it
    }
    show_hints();
    view->update();
}

void Studio::clear_selection(bool text_too)
{
    sel = {};
    if (!ed)
        return;
    out->select_item(-1);
    insp->show_rows("", {});
    if (text_too && ed->hasSelectedText())
        ed->select_bytes(ed->caret(), 0); // the cursor stays, the record is no longer selected
    show_hints();
    view->update();
}

void Studio::caret_moved()
{
    const std::shared_ptr<studio_reading> r = latest();
    const size_t at = ed->caret();
    const std::string name = name_at(*r, at);
    if (!name.empty() && (long)at != selected_caret)
        say(name, false);
    selected_caret = -1;
    const int item = item_at(*r, at);
    if (item >= 0 && !(studio_selection{r->outline[item].kind, r->outline[item].index} == sel))
        select(r->outline[item].kind, r->outline[item].index, false);
    else if (sel.any() && selected_item(*r, sel) < 0)
        clear_selection(false); // typed away
}

void Studio::show_hints()
{
    if (!ed)
        return;
    if (!s.studio.hints || !sel.any()) {
        ed->show_hints({});
        return;
    }
    const std::shared_ptr<studio_reading> r = latest();
    ed->show_hints(field_hints(*r, selected_item(*r, sel)));
}

void Studio::edit_fields(const std::vector<field_value> &values)
{
    text_edit e;
    std::string why;
    if (!field_edit(s.studio.text, values, e, why)) {
        say(why);
        select(sel.kind, sel.index, false); // the boxes show the text again
        return;
    }
    if (e.old_text != e.new_text)
        ed->apply(e); // typed, as far as the picture goes
}

void Studio::write_camera(unsigned mask)
{
    camera_mask = 0;
    if (!mask || !ed)
        return;
    text_edit e;
    std::string why;
    if (!studio_camera_edit(s, mask, e, why)) {
        say("The camera was not written into the text: " + why);
        return;
    }
    if (e.old_text == e.new_text)
        return;
    quiet = true; // the model has it already
    ed->apply(e);
    quiet = false;
}

void Studio::next_problem()
{
    check_now();
    const std::vector<studio_mark> &marks = shown_read->marks;
    const size_t at = ed->caret();
    int first = -1, next = -1;
    for (int i = 0; i < (int)marks.size(); i++) {
        if (!marks[i].len)
            continue;
        if (first < 0)
            first = i;
        if (marks[i].at > at || (marks[i].at == at && ed->hasSelectedText() == false)) {
            next = i;
            break;
        }
    }
    if (next < 0)
        next = first;
    if (next < 0) {
        say("No problems found.", false);
        return;
    }
    jump_to(next);
}

void Studio::jump_to(int m)
{
    if (!shown_read || shown_read->text != s.studio.text) {
        check_now(); // the list was of an older text
        return;
    }
    if (m < 0 || m >= (int)shown_read->marks.size() || !shown_read->marks[m].len)
        return;
    const studio_mark &k = shown_read->marks[m];
    ed->select_bytes(k.at, k.len);
    ed->setFocus();
    msgs->setCurrentRow(m);
    say(k.text, false);
}

// ---- the camera, as the live view tells

// Esc in the find field closes the find bar, before the window's Esc
// (which stops a render) can take it.
bool Studio::eventFilter(QObject *o, QEvent *e)
{
    if (o == find_field &&
        (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape) {
        e->accept();
        if (e->type() == QEvent::KeyPress) {
            find_bar->hide();
            ed->setFocus();
        }
        return true;
    }
    return QObject::eventFilter(o, e);
}

bool Studio::holding() const { return s.studio.follow.holding(); }

bool Studio::blank_text() const
{
    return s.studio.text.find_first_not_of(" \t\r\n") == std::string::npos;
}

void Studio::file_changed()
{
    switch (studio_file_changed(s)) {
    case DISK_TAKEN:
        sync_editor(true);
        s.studio.follow.saved(); // the picture follows the file's new text
        schedule();
        say(file_name() + " changed on disk and was read again.");
        break;
    case DISK_KEPT:
        say(file_name() + " changed on disk; Save Scene will replace it with the text here.");
        break;
    case DISK_GONE:
        say("The scene file cannot be read any more; Save Scene writes it again.");
        break;
    }
}

void Studio::camera_moved(unsigned fields) { camera_mask |= fields; }

void Studio::camera_rested()
{
    studio_round_camera(s.app.model, camera_mask); // before the exact picture
    write_camera(camera_mask);
}

// ---- the picture

void Studio::mouse(QMouseEvent *e)
{
    if (!on() || (e->button() != Qt::LeftButton && e->type() != QEvent::MouseMove))
        return;
    const QPoint p = e->position().toPoint();
    if (e->type() == QEvent::MouseButtonPress) {
        pressed = !(e->modifiers() & Qt::ShiftModifier);
        press_at = p;
    } else if (e->type() == QEvent::MouseButtonRelease && pressed) {
        pressed = false;
        if ((p - press_at).manhattanLength() <= CLICK_SLOP)
            pick(p);
    }
}

void Studio::pick(QPoint at)
{
    const app_state &a = s.app;
    if (!a.image_ready)
        return;
    std::shared_ptr<const scene> sc = a.made_scene;
    frame f = a.made_frame;
    if (rows) { // a frame of the model covers the picture
        sc = std::make_shared<const scene>(a.model);
        if (!make_frame(*sc, 0, f))
            return;
    } else if (!sc) {
        say("This picture was read from a file: no scene made it, nothing to pick.");
        return;
    }
    int x, y;
    pick_hit h;
    if (!view_dot(s.disp.zoom_size, f.width, f.h, at.x(), at.y(), x, y) ||
        !pick_dot(*sc, f, x, y, h))
        return;
    say(pick_text(*sc, x, y, h));
    if (h.index < 0)
        clear_selection(true);
    else
        select(OUT_PRIMITIVE, h.index, true);
}

bool Studio::silhouette_ready() const
{
    return ids_scene && ids_scene == s.app.made_scene && !computing;
}

void Studio::start_ids()
{
    if (computing)
        return; // one at a time: the next paint asks again
    computing = s.app.made_scene;
    const std::shared_ptr<const scene> sc = computing;
    const frame f = s.app.made_frame;
    auto found = std::make_shared<std::vector<int>>();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    ids_work.start([sc, f, found, stop] { return pick_dots(*sc, f, *found, stop.get()) ? 1 : 0; },
                   [this, sc, f, found](int) {
                       computing.reset();
                       ids_scene = sc;
                       ids_frame = f;
                       ids.swap(*found);
                       sil_scene = nullptr;
                       view->update();
                   },
                   [stop] { *stop = true; });
}

void Studio::paint(QPainter &p, bool rows_shown)
{
    rows = rows_shown;
    if (!on() || rows || !sel.any() || !s.app.image_ready || !s.app.made_scene)
        return;
    // The primitives selected: one, or a group's members
    const std::vector<int> chosen = selected_primitives(*latest(), sel);
    if (chosen.empty())
        return;
    if (ids_scene != s.app.made_scene) {
        start_ids();
        return;
    }
    // Their edge at the zoom, made again only when something changed; the
    // dots within keep their colours
    if (sil_scene != ids_scene.get() || sil_zoom != s.disp.zoom_size || sil_chosen != chosen) {
        std::vector<unsigned char> dots;
        int W, H;
        silhouette(ids, ids_frame.width, ids_frame.h, chosen, s.disp.zoom_size, dots, W, H);
        sil = QImage(W > 0 ? W : 1, H > 0 ? H : 1, QImage::Format_ARGB32_Premultiplied);
        sil.fill(Qt::transparent);
        for (int y = 0; y < H; y++) {
            auto *line = reinterpret_cast<QRgb *>(sil.scanLine(y));
            for (int x = 0; x < W; x++)
                if (dots[(size_t)y * W + x] == 2)
                    line[x] = SIL_EDGE[(x + y) / SIL_DASH % 2];
        }
        sil_scene = ids_scene.get();
        sil_zoom = s.disp.zoom_size;
        sil_chosen = chosen;
    }
    p.drawImage(0, 0, sil);
}

void Studio::say(const std::string &text, bool keep) { ::say(s, text, keep); }
