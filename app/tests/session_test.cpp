// The session's own parts: what the window says and keeps, and a job's
// start, stop and end.
#include "app/session/say.h"
#include "app/session/session.h"
#include "app/tests/script_ui.h"

#include <gtest/gtest.h>

// Message boxes of errors and status lines are kept in the session's log,
// in order, whole; a line that only names what the cursor is on is not.
TEST(Say, TheLogKeepsWhatWasSaid)
{
    scripted w;
    EXPECT_EQ(ErrorMsg(w.s, "The picture was not saved.\nno room"), 0);
    say(w.s, "primitive 3 (box), ks: specular weight", false);
    say(w.s, "room.RT changed on disk and was read again.");
    say(w.s, "");
    ASSERT_EQ(w.ui.msgs.size(), 1u);
    EXPECT_EQ(w.ui.msgs[0].caption, "Error !");
    EXPECT_EQ(w.ui.statuses,
              (std::vector<std::string>{"primitive 3 (box), ks: specular weight",
                                        "room.RT changed on disk and was read again.", ""}));
    EXPECT_EQ(log_text(w.s.said),
              "The picture was not saved.\nno room\n\nroom.RT changed on disk and was read again.");
}

// A job: busy while it runs, Stop render reaching it, and what was to
// follow its command run once, after it ended.
TEST(Jobs, StopReachesTheJobAndWhatFollowsRunsOnce)
{
    scripted w;
    int stops = 0, after = 0;
    begin_job(w.s, [&] { stops++; });
    EXPECT_EQ(w.a.busy, 1);
    w.s.after_job = [&] { after++; };
    stop_job(w.s);
    EXPECT_EQ(stops, 1);
    end_job(w.s);
    stop_job(w.s); // nothing runs: nothing to stop
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(w.a.busy, 0);
    EXPECT_EQ(after, 0);
    job_done(w.s);
    job_done(w.s);
    EXPECT_EQ(after, 1);
    EXPECT_EQ(w.ui.command_changes, 2);
}
