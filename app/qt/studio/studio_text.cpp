#include "app/qt/studio/studio_text.h"

#include "app/live/live_view.h"
#include "app/qt/studio/pause_clock.h"
#include "app/qt/studio/studio_docks.h"
#include "app/qt/studio/studio_editor.h"
#include "app/qt/studio/studio_host.h"
#include "app/qt/studio/studio_panes.h"
#include "app/qt/window/to_window.h"
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/studio/studio.h"
#include "base/msg.h"

#include <QFileInfo>

namespace {

constexpr int BUSY_RETRY_MS = 50; // a read waits for a render this often

} // namespace

StudioText::StudioText(session &ses, live_view &lv, studio_host &h, const studio_panes &p,
                       PauseClock &c)
    : s(ses), live(lv), host(h), panes(p), clock(c), reads(to_window())
{
}

StudioText::~StudioText() { reads.stop(); }

void StudioText::changed()
{
    s.studio.text = panes.ed->bytes();
    s.studio.modified = panes.ed->isModified();
    if (quiet)
        s.studio.follow.edited(clock.now());
    else if (s.studio.follow.typed(clock.now()))
        live.drop_frame(); // its scene is no longer the text's
    schedule();
    if (edited)
        edited();
    host.show_title();
}

void StudioText::sync(bool keep_view)
{
    if (s.studio.loads != loads_seen) {
        loads_seen = s.studio.loads;
        saves_seen = s.studio.saves;
        quiet = true;
        panes.ed->set_bytes(s.studio.text, keep_view);
        quiet = false;
        s.studio.modified = false;
        show(latest()); // marks for the new text at once
    }
    if (s.studio.saves != saves_seen) {
        saves_seen = s.studio.saves;
        panes.ed->set_saved();
    }
    host.show_title();
}

void StudioText::apply_quietly(const text_edit &e)
{
    const std::string before = s.studio.text;
    quiet = true;
    panes.ed->apply(e);
    quiet = false;
    studio_followed_edit(s, before);
}

void StudioText::apply_now(const text_edit &e)
{
    if (e.old_text != e.new_text)
        panes.ed->apply(e);
    s.studio.follow.at_once();
    read_due();
}

std::string StudioText::file_name() const
{
    if (s.studio.file.empty())
        return NEW_SCENE_NAME;
    return QFileInfo(QString::fromStdString(s.studio.file)).fileName().toStdString();
}

std::shared_ptr<studio_reading> StudioText::latest()
{
    if (!latest_read || latest_read->text != s.studio.text)
        latest_read = read_studio_text(s.studio.text, file_name());
    return latest_read;
}

void StudioText::schedule()
{
    const long long w = s.studio.follow.wait(clock.now());
    if (w < 0)
        clock.stop();
    else
        clock.alarm(w);
}

void StudioText::stop() { clock.stop(); }

void StudioText::read_due()
{
    if (s.app.busy) { // a render of the model runs: its picture comes first
        clock.alarm(BUSY_RETRY_MS);
        return;
    }
    const int what = s.studio.follow.tick(clock.now());
    if (what == READ_NONE) {
        schedule();
        return;
    }
    if ((what & READ_PICTURE) && before_picture)
        before_picture(); // a camera moved meanwhile goes with it
    read_beside();
    if (what & READ_PICTURE)
        follow_text();
    live.resume();
    schedule();
}

// The text into the model, for the picture.
void StudioText::follow_text()
{
    msglist m;
    switch (studio_follow_text(s, m)) {
    case FOLLOWED_READ:
        live.source_changed();
        break;
    case FOLLOWED_CUT:
        if (!blank())
            say(s, "The text stops before its primitive list ends: the picture stays as it was.");
        break;
    }
}

// The names and problems of the text as it is now, for the panes: read
// beside the window, and shown when read (unless the text has changed
// since, when the panes show a read of the text then).
void StudioText::read_beside()
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
            show(latest());
        });
}

void StudioText::show(const std::shared_ptr<studio_reading> &r)
{
    shown_read = r;
    if (blank()) { // nothing written yet: nothing is wrong
        panes.ed->show_marks({});
        panes.msgs->show_note("No scene yet: open one with Open *.RT(L), or start one with "
                              "New Scene(N).");
    } else {
        panes.ed->show_marks(r->marks);
        panes.msgs->show_marks(r->marks);
    }
    panes.out->show_items(r->outline);
    if (shown_read_to)
        shown_read_to(r);
}

void StudioText::check_now()
{
    if (!shown_read || shown_read->text != s.studio.text)
        show(latest());
}

void StudioText::next_problem()
{
    check_now();
    const int next = next_mark(shown_read->marks, panes.ed->caret(), panes.ed->hasSelectedText());
    if (next < 0) {
        say(s, "No problems found.", false);
        return;
    }
    jump_to(next);
}

void StudioText::jump_to(int m)
{
    if (!shown_read || shown_read->text != s.studio.text) {
        check_now(); // the list was of an older text
        return;
    }
    if (m < 0 || m >= (int)shown_read->marks.size() || !shown_read->marks[m].len)
        return;
    const studio_mark &k = shown_read->marks[m];
    panes.ed->select_bytes(k.at, k.len);
    panes.ed->setFocus();
    panes.msgs->setCurrentRow(m);
    say(s, k.text, false);
}

bool StudioText::blank() const
{
    return s.studio.text.find_first_not_of(" \t\r\n") == std::string::npos;
}

void StudioText::file_changed()
{
    switch (studio_file_changed(s)) {
    case DISK_TAKEN:
        sync(true);
        s.studio.follow.saved(); // the picture follows the file's new text
        schedule();
        say(s, file_name() + " changed on disk and was read again.");
        break;
    case DISK_KEPT:
        say(s, file_name() + " changed on disk; Save Scene will replace it with the text here.");
        break;
    case DISK_GONE:
        say(s, "The scene file cannot be read any more; Save Scene writes it again.");
        break;
    }
}
