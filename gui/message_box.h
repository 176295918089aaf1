// Message boxes and questions drawn inside the picture with the program's own fonts, so
// Japanese texts read right whatever fonts and locale the desktop has.
// Implemented in: message_box.cpp.
#pragma once
#include "platform/platform.h"

// Texts are Shift-JIS; lines end with LF or CR LF, and a line too wide for the picture wraps
// on a character boundary. The box ends with OK, Enter or Esc.
void gui_message_box(const char* caption, const char* text, MessageIcon icon);
// True for the first button (Yes or OK, also Enter); false for the second, Esc, the close box
// or the end of input.
bool gui_ask_yes_no(const char* caption, const char* text);
bool gui_ask_ok_cancel(const char* caption, const char* text);
