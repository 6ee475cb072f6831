// sizes.h - the largest picture KORU makes, shows and reads: WIDTH_MAX x
// HEIGHT_MAX dots. A render clamps a scene's size to it; pictures in
// files are refused beyond it.
#pragma once

constexpr int WIDTH_MAX = 1024;
constexpr int HEIGHT_MAX = 768;
