// sizes.h - the largest things KORU makes, shows and reads.
//
// Pictures: at most WIDTH_MAX x HEIGHT_MAX dots. A render clamps a scene's
// size to it; pictures in files, and the frames of animations, are refused
// beyond it.
//
// Files: each reader takes a file of at most its *_FILE_MAX bytes and
// refuses a larger one with one line before it reads it, so that what a
// reader holds stays within what any machine can give:
//   SCENE_FILE_MAX     a .RT scene file, and a scene's text in the studio
//   PICTURE_FILE_MAX   a BMP or PNG file
//   ANIM_FILE_MAX      an animated WebP or GIF file
// Animations in one file (WebP or GIF), written or read: at most
// ANIM_FRAMES_MAX frames, and at most ANIM_DOTS_MAX dots in all (frames x
// width x height: 341 frames of 1024 x 768, 873 of 640 x 480). A WebP
// encoder holds every frame until the file is made, and a WebP file is
// read whole, so these bound the memory either takes. Numbered pictures
// are files of their own and have no such bound.
#pragma once

constexpr int WIDTH_MAX = 1024;
constexpr int HEIGHT_MAX = 768;

constexpr long long MEGABYTE = 1LL << 20;
constexpr long long SCENE_FILE_MAX = 1 * MEGABYTE;
constexpr long long PICTURE_FILE_MAX = 64 * MEGABYTE;
constexpr long long ANIM_FILE_MAX = 1024 * MEGABYTE;
constexpr int ANIM_FRAMES_MAX = 100000;
constexpr long long ANIM_DOTS_MAX = 1LL << 28;
