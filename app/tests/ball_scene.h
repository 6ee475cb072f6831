// ball_scene.h - the window tests' small scene: a plane seen from above
// with a sphere on it, 40 x 30 dots, quick to trace.
#pragma once

inline const char *const BALL = "0 0 0\n"
                                "0 0.2 1\n"
                                "10 6\n"
                                "40 30\n"
                                "1\n"
                                "2 -3 9 1\n"
                                "2\n"
                                "1 1 0.3 0.6 0 0 1 1 0 0 1 1 0 0 1 0 0 0 200 100 50\n"
                                "3 1 0.2 0.7 0.4 0 20 1 0 0 1 1 1.2 1.2 1.2 0.5 0.5 1 40 90 210\n"
                                "-1\n"
                                "-1\n";
