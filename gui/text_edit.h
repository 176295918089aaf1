// One line of Shift-JIS text being edited: caret moves and changes by whole characters (a
// double-byte character is never split), within a byte limit.
// Implemented in: text_edit.cpp.
#pragma once
#include <cstddef>
#include <string>

struct TextEdit {
    std::string text; // Shift-JIS
    size_t caret = 0; // byte offset, always on a character boundary
    size_t limit = 0; // most bytes the text may hold; 0: no limit
};

// The offset of the character boundary before / after `at` (found scanning from the start,
// so a trail byte is never taken for a lead byte).
size_t text_edit_previous(const std::string& text, size_t at);
size_t text_edit_next(const std::string& text, size_t at);
// The boundary at or before a byte offset.
size_t text_edit_boundary(const std::string& text, size_t at);

void text_edit_left(TextEdit& edit);
void text_edit_right(TextEdit& edit);
void text_edit_home(TextEdit& edit);
void text_edit_end(TextEdit& edit);
void text_edit_backspace(TextEdit& edit);
void text_edit_delete(TextEdit& edit);
// Inserts Shift-JIS text at the caret, as much of it as the limit leaves room for (whole
// characters only); returns false when some of it did not fit.
bool text_edit_insert(TextEdit& edit, const std::string& sjis);
// Replaces the text (cut to the limit) and puts the caret at its end.
void text_edit_set(TextEdit& edit, const std::string& sjis);
