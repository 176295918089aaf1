// A plain window face for a program without a screen of its own (melconv): the light grey
// client area with one text word-wrapped in it, drawn into the picture.
// Implemented in: window_face.cpp.
#pragma once

// Clears the picture to the desktop colour, fills the top-left width x height pixels with the
// dialog face colour and word-wraps the Shift-JIS text inside it (12 px font).
void window_face_draw(int width, int height, const char* sjis_text);
