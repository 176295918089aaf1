// Shift-JIS (code page 932) <-> UTF-8: the one conversion every layer uses at the edges
// (text tables at start, glyphs, terminal, window caption, typed text).
// Implemented in: posix_text.cpp or win32/win32_text.cpp (the system's converter) and
// text_convert.cpp (the forms over it).
#pragma once

#include <cstddef>
#include <string>

// Lossy: each byte that cannot be converted becomes one '?', and the conversion goes on
// after it. Without a converter in the system the text comes back unchanged.
std::string sjis_to_utf8(const char* text, size_t length);
std::string sjis_to_utf8(const std::string& text);
std::string sjis_to_utf8(const char* text); // NUL-terminated
std::string utf8_to_sjis(const char* utf8);
// Message texts end in CR LF for the Windows boxes; other boxes and terminal lines want none.
std::string sjis_line_to_utf8(const char* text);

// Strict: false when a character has no Shift-JIS form or the text is not UTF-8; `out` then
// holds the characters that could be converted, the others left out (without a converter in
// the system: false, and the text unchanged). For typed text, which must not change behind
// the user's back.
bool platform_utf8_to_sjis_strict(const char* utf8, std::string& out);
