// Shift-JIS <-> UTF-8 and UTF-16 through the system's code page 932 tables, character by
// character so that each failing byte is seen and the conversion goes on after it.
#include "platform/win32/win32_text.h"
#include "platform/text_convert.h"

#include <cstdint>
#include <cstring>
#include <windows.h>

namespace {

constexpr UINT SHIFT_JIS = 932;
constexpr char32_t NO_CHARACTER = 0xFFFFFFFF;

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void append_utf16(std::wstring& out, char32_t c) {
    if (c < 0x10000) {
        out.push_back(static_cast<wchar_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
    }
}

// The character of one Shift-JIS character at text[0..) and its byte count in `used`;
// NO_CHARACTER (used 1) when the bytes form none.
char32_t sjis_character(const char* text, size_t length, size_t& used) {
    auto first = static_cast<unsigned char>(text[0]);
    used = 1;
    if (first < 0x80) {
        return first;
    }
    size_t count = IsDBCSLeadByteEx(SHIFT_JIS, first) && length >= 2 ? 2 : 1;
    wchar_t wide[2];
    int n = MultiByteToWideChar(SHIFT_JIS, MB_ERR_INVALID_CHARS, text, static_cast<int>(count),
                                wide, 2);
    if (n != 1) {
        return NO_CHARACTER;
    }
    used = count;
    return wide[0];
}

// The code point of the UTF-8 sequence at text[0..length) and its byte count in `used`;
// NO_CHARACTER (used 1) for a byte that starts no valid sequence.
char32_t utf8_character(const char* text, size_t length, size_t& used) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    used = 1;
    unsigned char first = byte(0);
    if (first < 0x80) {
        return first;
    }
    size_t count = first >= 0xF0 && first < 0xF5 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 ? 2 : 0;
    if (count == 0 || count > length) {
        return NO_CHARACTER;
    }
    char32_t c = first & (0x7F >> count);
    for (size_t i = 1; i < count; i++) {
        if ((byte(i) & 0xC0) != 0x80) {
            return NO_CHARACTER;
        }
        c = (c << 6) | (byte(i) & 0x3F);
    }
    constexpr char32_t SMALLEST[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < SMALLEST[count] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
        return NO_CHARACTER;
    }
    used = count;
    return c;
}

// The Shift-JIS bytes of one code point; false when code page 932 has no exact form for it.
bool sjis_of(char32_t c, std::string& out) {
    std::wstring wide;
    append_utf16(wide, c);
    char bytes[4];
    BOOL defaulted = FALSE;
    int n = WideCharToMultiByte(SHIFT_JIS, WC_NO_BEST_FIT_CHARS, wide.data(),
                                static_cast<int>(wide.size()), bytes, sizeof bytes, nullptr,
                                &defaulted);
    if (n <= 0 || defaulted) {
        return false;
    }
    out.append(bytes, static_cast<size_t>(n));
    return true;
}

// Converts UTF-8 to Shift-JIS; `placeholder` puts one '?' per byte of a failing character,
// otherwise the whole character is left out. Returns the number of failures.
size_t from_utf8(const char* utf8, bool placeholder, std::string& out) {
    out.clear();
    size_t length = strlen(utf8);
    size_t failures = 0;
    for (size_t at = 0; at < length;) {
        size_t used;
        char32_t c = utf8_character(utf8 + at, length - at, used);
        if (c != NO_CHARACTER && sjis_of(c, out)) {
            at += used;
            continue;
        }
        failures++;
        if (placeholder) {
            out.push_back('?');
            at += 1;
        } else {
            at += used;
        }
    }
    return failures;
}

} // namespace

std::string sjis_to_utf8(const char* text, size_t length) {
    std::string out;
    for (size_t at = 0; at < length;) {
        size_t used;
        char32_t c = sjis_character(text + at, length - at, used);
        if (c == NO_CHARACTER) {
            out.push_back('?');
        } else {
            append_utf8(out, c);
        }
        at += used;
    }
    return out;
}

std::string utf8_to_sjis(const char* utf8) {
    std::string out;
    from_utf8(utf8, true, out);
    return out;
}

bool platform_utf8_to_sjis_strict(const char* utf8, std::string& out) {
    return from_utf8(utf8, false, out) == 0;
}

std::wstring win32_widen(const char* sjis) {
    std::wstring out;
    size_t length = strlen(sjis);
    for (size_t at = 0; at < length;) {
        size_t used;
        char32_t c = sjis_character(sjis + at, length - at, used);
        append_utf16(out, c == NO_CHARACTER ? 0xFFFD : c);
        at += used;
    }
    return out;
}

bool win32_narrow(const wchar_t* wide, std::string& out) {
    out.clear();
    bool whole = true;
    for (size_t at = 0; wide[at] != L'\0'; at++) {
        char32_t c = static_cast<char16_t>(wide[at]);
        if (c >= 0xD800 && c < 0xDC00 && wide[at + 1] >= 0xDC00 && wide[at + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t>(wide[at + 1]) - 0xDC00);
            at++;
        }
        whole = sjis_of(c, out) && whole;
    }
    return whole;
}
