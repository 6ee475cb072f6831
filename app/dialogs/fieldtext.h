// fieldtext.h - the numbers in the dialogs' text fields, as the dialogs
// read and write them.
//
// get_uint reads an unsigned decimal number: blanks around it allowed,
// nothing else; 1 and the value (saturated at INT_MAX), or 0. format_lf
// writes a double as "%lf" does (six decimals), or as "%.17g" when that
// text would not survive a FIELD_READ-character read (about 1e51 and up).
#pragma once

constexpr int FIELD_BYTES = 400; // the longest "%lf" text of a double
constexpr int FIELD_READ = 59;   // characters a decimal field gives

int get_uint(const char *text, int &v);
void format_lf(char *out, double v);
