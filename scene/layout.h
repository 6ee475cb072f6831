// layout.h - what the lines of a scene's text say that the reader does
// not hear.
//
// The reader takes numbers in order and knows no lines (rtread.h). A
// record typed a few numbers short takes the rest from the next line, and
// every record after it is read out of step; a whole number typed with a
// fraction ("1450.15") is read as 1450, and ".15" becomes the next
// number. check_layout reads the text as the reader does and says so, one
// line of msgs per finding, at its line and column:
//  - a whole number that stops at a '.', at that number:
//      'primitive 19: col.r is a whole number, so "1450.15" is read as 1450
//       and ".15" is left for col.g'
//  - where the text writes its records one a line (at least half of the
//    lights and primitives that begin a line end on it), a line on which
//    a record begins with fewer numbers than it needs, at its last number:
//      'line 27: primitive 19 has 17 of its 21 numbers here (pos.z, col.r,
//       col.g, col.b missing); the reader takes them from line 28'
//    or with more, at the first of those:
//      'line 27: primitive 19 has 2 numbers more than its 21 here; the
//       reader takes them as type, surf of primitive 20'
//    A record spread over lines that ends where its last line ends is laid
//    out so on purpose, and so is a line of whole records. Lines read out
//    of step after a finding are not judged until a record begins a line
//    again. A record the reader could not finish (text that is no number,
//    the end of the file) is the reader's to report, unless it took
//    numbers from a later line.
// What the reader reads is never changed by this.
#pragma once

#include <cstddef>

struct msglist;

// The number of lines added.
int check_layout(const char *text, size_t n, msglist &msgs);
