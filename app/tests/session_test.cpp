// The session's own parts: what the window says and keeps, and a job's
// start, stop and end.
#include "app/session/guide_file.h"
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

// The guide is found beside the program (an installation's bin/, the build
// folder's app/) before the folder it was built for; its headings' anchors
// are those its links name.
TEST(Guide, FoundBesideTheProgramFirstAndItsHeadingsNamed)
{
    temp_dir tmp;
    const std::string bin = tmp.mkdir("p/bin"), other = tmp.mkdir("other");
    tmp.mkdir("p/share/koru/guide");
    tmp.mkdir("i");
    EXPECT_EQ(guide_file(bin, tmp.path + "/i"), "");
    const std::string installed = tmp.file("i/guide.md", "# A guide\n");
    EXPECT_EQ(guide_file(bin, tmp.path + "/i"), installed);
    EXPECT_EQ(guide_file(other, tmp.path + "/i"), installed);
    tmp.file("p/share/koru/guide/guide.md", "# A guide\n");
    EXPECT_EQ(guide_file(bin, tmp.path + "/i"), bin + "/../share/koru/guide/guide.md");
    EXPECT_EQ(guide_file(bin, ""), bin + "/../share/koru/guide/guide.md");
    EXPECT_EQ(guide_file("", ""), "");

    EXPECT_EQ(
        heading_anchors({"A first scene", "The .RT format, field by field",
                         "Constructive solid geometry: sense and groups", "Patterns 0-3",
                         "Stereo_pairs", "From here", "From here", "From here"}),
        (std::vector<std::string>{"a-first-scene", "the-rt-format-field-by-field",
                                  "constructive-solid-geometry-sense-and-groups", "patterns-0-3",
                                  "stereo_pairs", "from-here", "from-here-1", "from-here-2"}));
}
