// guide_file.h - where the window finds its guide, and the anchors its
// headings go by.
//
// The guide (docs/guide.md, with pictures/ and scenes/ beside it) is
// installed in DATADIR/koru/guide/, and the build copies it to the same
// place under the build folder, so the program finds it beside itself
// wherever it runs from: EXE_DIR/../share/koru/guide/guide.md (bin/ of
// any prefix, app/ of the build folder), then in the folder it was built
// to be installed in.
//
//   guide_file(exe_dir, installed_dir)  the first of the two that is a
//                                       file; "" when neither is
//   heading_anchors({"A first scene", "The .RT format, field by field"})
//       {"a-first-scene", "the-rt-format-field-by-field"}: the anchors Git
//       hosts give a Markdown file's headings, which the guide's own links
//       name (lower case, spaces as hyphens, other punctuation dropped; a
//       heading met again gets -1, -2, ...)
#pragma once

#include <string>
#include <vector>

std::string guide_file(const std::string &exe_dir, const std::string &installed_dir);
std::vector<std::string> heading_anchors(const std::vector<std::string> &headings);
