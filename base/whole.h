// whole.h - a whole decimal number from a text, as the command lines and
// the dialogs take them.
//
//   int v;
//   parse_whole("42", v)                      1, v = 42
//   parse_whole(" 42 ", v, WHOLE_BLANKS)      1 (blanks around it allowed)
//   parse_whole("-3", v, WHOLE_SIGN)          1, v = -3 ("-3" without the flag: 0)
//   parse_whole("99999999999", v)             2, v = INT_MAX
//
// The text must be the number and nothing else: digits, with a sign only
// under WHOLE_SIGN and blanks (spaces, tabs) before and after only under
// WHOLE_BLANKS. Returns 0 when it is not (v untouched), 1 for a number in
// the int range, 2 for one beyond it (v is then the nearer bound).
#pragma once

enum { WHOLE_SIGN = 1, WHOLE_BLANKS = 2 };

int parse_whole(const char *s, int &v, int flags = 0);
