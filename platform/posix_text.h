// Shift-JIS texts turned into UTF-8 where Linux shows them (terminal, window caption, logs).
#pragma once
#include <string>

// A byte with no UTF-8 form shows as '?'.
std::string sjis_text_to_utf8(const char* text);
