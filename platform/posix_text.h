// Shift-JIS texts turned into UTF-8 where Linux shows them (terminal, window caption, logs).
#pragma once
#include <string>

// A byte with no UTF-8 form shows as '?'.
std::string sjis_text_to_utf8(const char* text);
// UTF-8 to Shift-JIS (code page 932) for text typed or pasted: false, and out empty, when a
// character has no Shift-JIS form or the UTF-8 is malformed; nothing is ever guessed.
bool platform_utf8_to_sjis_strict(const char* utf8, std::string& out);
