// newscene.h - the scene a new file starts from: a camera, a light, a
// floor and one object, to be changed into what the user has in mind.
//
// The text reads with no warning and no check finding, and is laid out as
// rt_text (rtwrite.h) lays a file out, one record a line:
//   view         look point, look direction, eye distance and width, size
//   light        one, above and to the left of the eye
//   depth        3
//   primitive 1  the floor: a plane through the origin facing up (+z), a
//                checker of 1.5 units
//   primitive 2  a sphere of radius 1 standing on it, with a highlight
//   no groups
#pragma once

extern const char new_scene_text[];
