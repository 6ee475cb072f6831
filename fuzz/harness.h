// harness.h - what the fuzz targets do with one input. The same code
// replays the seed corpora and the kept crash inputs in the tests.
//
// scene_input: the bytes as a .RT file -> data_load -> the scene model's
// invariants -> info_json (must be valid JSON) -> two renders at a tiny
// size, depth as read but bounded (render_each_way). An odd size of input
// renders a stereo pair, with one of a few eye offsets (length3d); some
// sizes are anti-aliased (aa 2) or an anaglyph.
//
// render_each_way: renders sc at its own size and depth on the plain tracer
// and again, from the same camera, on two threads with every kernel path
// the processor runs (kernels.h), as the window makes a picture (the
// frame written back to sc). All must end alike: the same result, the same
// bytes and camera after a picture, the camera untouched after a refusal.
// Returns the render's RAY_ code.
//
// reader_input: the bytes as .RT text -> data_load_text with a scene_map
// -> the model's invariants -> every line's place lies in the text ->
// info_json (valid JSON) -> the bounds of each primitive -> check_scene
// (places in the text) -> explain_scene -> the studio's index of the text
// (every number within it, in order, named), its outline, one field edit
// and its undo, and (on one input in 8) a primitive copied and the copy
// deleted, a group made and unmade, each giving back the text's bytes.
// No render: a million inputs a minute reach the reader.
//
// picture_input: the bytes as a picture file -> load_picture (BMP or PNG)
// alone, to be fast: loaded at a valid picture size, or refused in one
// line at 0 x 0 with the planes untouched.
//
// display_input: the same load, then display conversions in every mode at
// a few zooms, and at a size set after the load (beyond the planes too):
// the grid has the display size, every dot a value of its mode, and what
// a paint or a print copies lies within the grid.
//
// anim_input: the bytes as a .webp and as a .gif file through anim_reader:
// open, every frame, rewind, every frame again. A refusal is one line; a
// file opened has a canvas of a valid picture size, and every frame is a
// picture of that size, ending no earlier than the one before; the second
// pass gives the same frames, times and end as the first. The targets run
// with a limit on any one allocation (tools/fuzz.sh), so that a canvas or
// a frame count beyond the limits (sizes.h) must be refused before room is
// made for it.
//
// edit_input: "FIELD=VALUE" lines, a line "%%", then a scene's text (no
// "%%" line: the whole input is the text, with a few edits of its own)
// -> field_edit: refused in one line, or an edit that changes exactly the
// characters of the numbers named (each to its last value), whose text
// reads back to the model with those numbers, every other number to the
// bit, and whose undo gives the text back. Then the camera moved (numbers
// taken from the input) and written into the text with model_edit: the
// text reads back to that camera.
//
// keys_input: two scene texts split by a line "%%" (none: the text with
// itself) -> key_differs, the same either way round and with places in
// the texts; a key matches itself, and mixed with itself at any u is
// itself; two keys that match, mixed at a few u, give a scene whose text
// (rt_text with its semi-axes) reads back as exactly that scene; frame
// places from the input lie on the keys.
//
// encode_input: the bytes as a picture of up to 64 x 64 dots -> KORU's own
// lossless WebP encoder, with options from the input -> libwebp's decoder:
// the same dots. Then that picture, one with a rectangle of other dots,
// and that one again -> an animated WebP at the fast or normal effort ->
// anim_reader: the two pictures, the second lasting until the third
// frame ends (the same picture three times: a still).
//
// A broken check prints what broke on stderr and aborts, which the fuzzer
// and the tests both see; memory errors and undefined behaviour are left to
// the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>

struct scene;

void scene_input(const uint8_t *data, size_t n);
void reader_input(const uint8_t *data, size_t n);
void picture_input(const uint8_t *data, size_t n);
void display_input(const uint8_t *data, size_t n);
void anim_input(const uint8_t *data, size_t n);
void edit_input(const uint8_t *data, size_t n);
void keys_input(const uint8_t *data, size_t n);
void encode_input(const uint8_t *data, size_t n);
int render_each_way(scene &sc, int stereo, int aa = 1, bool anaglyph = false);

// 1 when text[0..n) is one JSON value (with optional white space around).
int json_valid(const char *text, size_t n);

// Writes data to a temporary file kept for the process (one per name, e.g.
// "in.RT"), rewritten by each call; returns its path. The files and their
// folders are removed when the process exits.
const char *input_file(const char *name, const uint8_t *data, size_t n);
