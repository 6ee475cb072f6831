// studio_text.h - the studio's text in the editor, mirrored in the
// session: what is typed goes to s.studio.text, what the logic puts there
// (a scene opened, a new scene, a save) goes to the editor, and the text
// is read when studio_follow.h says, on the typing pause's clock.
//
// A read for the picture reads the text into the model at once
// (studio_follow_text), the camera moved meanwhile written into it first
// (before_picture); the names and problems of the text are read beside
// the window (session/worker.h) and shown when read: the marks in the
// editor, the outline, the messages, then shown_read for the selection.
// Next Problem goes to the next mark (studio_doc.h's next_mark).
#pragma once

#include "app/session/worker.h"
#include "app/studio/studio_doc.h"

#include <QObject>
#include <functional>
#include <memory>

class PauseClock;
class live_view;
struct session;
struct studio_host;
struct studio_panes;

class StudioText : public QObject {
public:
    StudioText(session &s, live_view &live, studio_host &host, const studio_panes &panes,
               PauseClock &clock);
    ~StudioText() override;

    // The editor's text changed (typed, or an edit applied).
    void changed();
    // The logic's text and saves into the editor; keep_view: the cursor and
    // the scroll stay.
    void sync(bool keep_view);
    // An edit the model holds already (the camera written back): it is read
    // for the names and problems only.
    void apply_quietly(const text_edit &e);
    // An edit made on the picture (a drag, a nudge, a size): one step of
    // undo, read at once for the picture (studio_follow::at_once).
    void apply_now(const text_edit &e);
    // A read of the text as it is now, and the one the panes show.
    std::shared_ptr<studio_reading> latest();
    std::shared_ptr<studio_reading> shown() const { return shown_read; }
    // The read that is due, on the clock; stop(): none.
    void schedule();
    void stop();
    void read_due();
    // Waits for a read that runs beside the window; it is not shown.
    void stop_reading() { reads.stop(); }
    void next_problem();
    void jump_to(int mark);
    // The panes show a read of the text as it is now (after an edit that
    // changed its records, before the typing pause has passed).
    void check_now();
    // The scene file changed on disk (the live view's source hears it).
    void file_changed();
    bool reading() const { return reads.running(); }
    // A name for the file in the marks and messages.
    std::string file_name() const;

    std::function<void()> before_picture;
    std::function<void(const std::shared_ptr<studio_reading> &)> shown_read_to;
    std::function<void()> edited; // after changed()

private:
    void read_beside();
    void show(const std::shared_ptr<studio_reading> &r);
    void follow_text();
    bool blank() const;

    session &s;
    live_view &live;
    studio_host &host;
    const studio_panes &panes;
    PauseClock &clock;
    bool quiet = false; // a change of the studio's own, which the model holds
    unsigned loads_seen = 0, saves_seen = 0;
    std::shared_ptr<studio_reading> shown_read, latest_read;
    worker reads; // the text read beside the window, for the panes
};
