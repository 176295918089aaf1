// Message boxes with formatted text and yes/no questions, both captioned "メッセージ".
#pragma once

#include <cstddef>

constexpr size_t MESSAGE_BUFFER_SEQUENCER = 516;
constexpr size_t MESSAGE_BUFFER_CONVERTER = 256;

// Set once at start, before any other thread runs; afterwards only read, so the version-check
// thread may show messages too.
struct MessageBoxes {
    size_t buffer_size = MESSAGE_BUFFER_SEQUENCER; // bytes for text, CR LF and NUL; 3..516
};

extern MessageBoxes g_message_boxes;

void messages_reset();
// Formats into the program's text buffer (cut without splitting a double-byte character so
// CR LF still fits), appends CR LF and shows a system-modal box with the exclamation icon.
void show_message(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Shows text (up to 513 bytes in both programs) plus CR LF with Yes and No buttons; true
// exactly when Yes was chosen.
bool ask_yes_no(const char* text);
