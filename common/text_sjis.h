// Shift-JIS (code page 932) helpers: every user-visible text and every name in a song is
// Shift-JIS bytes; Unicode appears only at the edges (glyphs, terminal, keyboard text).
#pragma once

// The conversions to and from UTF-8 are the platform's (they need the system's converter).
#include "platform/text_convert.h"

#include <cstddef>
#include <cstdint>
#include <string>

// True for a byte that opens a double-byte character (0x81-0x9F, 0xE0-0xFC).
bool sjis_is_lead_byte(uint8_t byte);

// Number of bytes of text[0..length) that can be kept within max_bytes without splitting a
// double-byte character. Scans from the start, so a trail byte that looks like a lead byte
// is never mistaken for one.
size_t sjis_cut_length(const char* text, size_t length, size_t max_bytes);

// Copies at most max_bytes of text into out (NUL-terminated; out holds max_bytes + 1),
// dropping a trailing lone lead byte. Returns the bytes copied.
size_t sjis_copy_cut(char* out, const char* text, size_t length, size_t max_bytes);
