// The file chooser's input: keys, typed text and clicks, as the modal view hands them on.
// Implemented in: file_chooser_input.cpp.
#pragma once

#include <cstdint>

// Virtual-key codes; Up/Down/PageUp/PageDown/Home/End move, Enter opens or chooses,
// Backspace erases the name (save) or goes to the parent, Esc cancels, Tab changes the filter.
void chooser_key(int virtual_key, bool down);
// Typed text (UTF-8): the name field when saving, type-ahead when opening.
void chooser_text(const char* utf8, uint32_t now_ms);
// A left-button press at a picture point.
void chooser_click(int x, int y);
