// The one Shift-JIS (code page 932) <-> wide-character converter of the Windows backend: every
// Shift-JIS text reaches a wide-character call through it, whatever the system's own code page.
// Implemented in: win32_text.cpp.
#pragma once

#include <string>

// Shift-JIS (NUL-terminated) as UTF-16; each byte with no character becomes U+FFFD.
std::wstring win32_widen(const char* sjis);
// UTF-16 as Shift-JIS; false when a character has no Shift-JIS form (`out` then holds the
// others).
bool win32_narrow(const wchar_t* wide, std::string& out);
