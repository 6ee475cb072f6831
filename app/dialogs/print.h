// print.h - printing a window's picture on one page.
//
// InitPrint(s) prints the session's picture (its ixmx x iymx dots in
// gdata) as its display state shows it. The zoomed size (the display
// size) must have at least one dot each way, else the user is told and
// nothing is printed. Then the print dialog; on OK the display's grid is
// rebuilt for the printer and copied to the page's top-left, enlarged by
// print_scale. The document is named "KORU(szFName)". Returns 1 when the
// page was printed, 0 when cancelled or failed (a failure is reported
// with ErrorMsg). The grid stays as the printer had it: the caller
// rebuilds it for the window.
//
// print_scale: the smaller whole quotient of the printable area in device
// dots by the zoomed size; 0 (a page smaller than the picture) prints one
// device dot per display dot.
#pragma once

struct session;

int print_scale(int pw, int ph, int zw, int zh);
int InitPrint(session &s);
