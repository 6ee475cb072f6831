// onscreen.h - windows that open, and stay, inside the screen's available
// area (the screen less its panels and docks).
//
//   keep_on_screen(w)    a shown top-level window moved, and shrunk where
//                        it is larger, so that its frame lies inside the
//                        available area of the screen it is on
//   place_over(w, over)  a top-level window about to be shown put centred
//                        over the window of `over`, inside the same area,
//                        shrunk to fit; its frame reckoned as over's, as
//                        the window manager has not framed it yet
//
// A window manager keeps the place a program gives a window before it is
// shown; a window it has placed (or resized since) is checked again with
// keep_on_screen once the manager has framed it.
#pragma once

class QWidget;

void keep_on_screen(QWidget *w);
void place_over(QWidget *w, const QWidget *over);
// keep_on_screen now, and again once the window manager has had time to
// frame and place the window (FRAMED_MS).
void keep_on_screen_soon(QWidget *w);
constexpr int FRAMED_MS = 300;
