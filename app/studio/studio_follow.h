// studio_follow.h - when the studio's picture follows the text being typed.
//
// In studio view the picture is made from the editor's text, not from the
// file on disk. The text is read TYPE_REST_MS after its last change (a
// keystroke, a paste, an undo, an inspector's edit), so that no picture is
// started for every keystroke. While the picture follows the typing, a
// change also stops the frame that runs (its scene is no longer the
// text's), and no frame starts until the text has been read: frames ask
// holding() before the live view's next() (live.h).
//
// "On save" (FOLLOW_SAVE) follows Save Scene only: typing leaves the
// picture alone and the text is read for its names and problems alone;
// a save reads it at once, for the picture too.
//
//   studio_follow f;
//   if (f.typed(now)) job->cancel();        // now: milliseconds, any clock
//   ... f.wait(now) ms later:
//   int what = f.tick(now);                  // READ_CHECK, READ_PICTURE
//   int k = f.holding() ? LIVE_IDLE : live.next();
//
// What a read then does (read_studio_text, studio_follow_text) is the
// caller's; this only decides when.
#pragma once

constexpr int TYPE_REST_MS = 300;

enum { FOLLOW_TYPING = 0, FOLLOW_SAVE = 1 };
enum { READ_NONE = 0, READ_CHECK = 1, READ_PICTURE = 2 };

struct studio_follow {
    int mode = FOLLOW_TYPING;
    bool pending = false;     // the text changed since it was last read
    bool picture = false;     // ... and the picture is to follow that read
    long long changed_at = 0; // when it last changed
    bool save_now = false;    // a save wants the read at once

    // The text changed at now. true when the frame that runs shows a scene
    // the text no longer holds, and is to be stopped.
    bool typed(long long now);
    // The text changed as the model already holds it (a camera moved by
    // hand, written back): read for its names and problems only.
    void edited(long long now);
    // Save Scene wrote the text: it is read at once, the picture following.
    void saved();
    // An edit made on the picture with the mouse or the keys: read at once,
    // the picture following, in either mode (the user made it there).
    void at_once() { saved(); }
    // Milliseconds from now until a read is due (0: at once); -1 when none.
    long long wait(long long now) const;
    // The read due at now, if any: READ_CHECK (names and problems), with
    // READ_PICTURE when the picture follows it. READ_NONE before its time.
    int tick(long long now);
    // No frame starts while a read for the picture is due.
    bool holding() const { return pending && picture; }
    // Another choice of mode: a read not yet due keeps its time, and
    // follows the new choice.
    void set_mode(int m);
};
