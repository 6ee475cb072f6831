// textruns.h - runs of a scene text's numbers with the blanks that go
// with them, so that records, lights and group lists can be taken out,
// copied and added in the text's own layout.
//
// A run is the numbers first..last of a scene_text (indices into
// st.numbers) of a text that holds nothing but blanks between them. Its
// stretch is
//  - whole lines, when no other number shares them: from the start of the
//    first number's line to the end of the last's, its line end included;
//  - else, when the first number begins its line: from it to the next
//    number (the run and the blanks after it);
//  - else: from the end of the number before to the end of the last (the
//    blanks before the run and the run).
// Taking the stretch out leaves the text as if the run had never been
// written. A copy of it put at its end writes the run a second time in the
// same layout, and taking the second run's stretch out again gives back
// the text's bytes.
//
//   text_span s = run_stretch(text, st, a, b);
//   std::string copy = run_copy(text, st, a, b, {"1", "2", "-1"});
//   std::string out = apply_splices(text, {{s.end(), 0, copy}});
#pragma once

#include "scenetext.h"
#include "textedit.h"

#include <string>
#include <vector>

text_span run_stretch(const std::string &text, const scene_text &st, int first, int last);

// The run's stretch with its numbers replaced by nums: each in the place
// of one when there are as many, else all of them in the place of the run,
// apart as the text sets its numbers apart (number_gap).
std::string run_copy(const std::string &text, const scene_text &st, int first, int last,
                     const std::vector<std::string> &nums);

// The blanks between two numbers on one line: the first such gap in the
// run, else in the text, else one space.
std::string number_gap(const std::string &text, const scene_text &st, int first, int last);

// A stretch of a text replaced (len 0: something put in at `at`).
struct splice {
    size_t at, len;
    std::string with;
};
// The text with every splice made; they must not overlap.
std::string apply_splices(const std::string &text, std::vector<splice> s);

// The one text_edit that turns before into after: the stretch between
// their common beginning and their common end.
text_edit edit_between(const std::string &before, const std::string &after);
