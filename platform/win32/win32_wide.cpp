// Text for the window half's wide-character calls: Shift-JIS through the backend's code page
// 932 converter, and UTF-8 (typed text) through the system's.
#include "platform/win32/win32_gui.h"
#include "platform/win32/win32_text.h"

#include <windows.h>

namespace {

std::wstring to_wide(UINT code_page, const char* text) {
    if (text == nullptr || text[0] == '\0') {
        return std::wstring();
    }
    int count = MultiByteToWideChar(code_page, 0, text, -1, nullptr, 0);
    if (count <= 1) {
        return std::wstring();
    }
    std::wstring out(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(code_page, 0, text, -1, out.data(), count);
    out.resize(static_cast<size_t>(count - 1));
    return out;
}

std::string from_wide(UINT code_page, const wchar_t* wide, int length) {
    if (wide == nullptr || length == 0 || (length < 0 && wide[0] == L'\0')) {
        return std::string();
    }
    int count = WideCharToMultiByte(code_page, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (count <= 0) {
        return std::string();
    }
    std::string out(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(code_page, 0, wide, length, out.data(), count, nullptr, nullptr);
    if (length < 0) {
        out.resize(static_cast<size_t>(count - 1)); // the converted NUL
    }
    return out;
}

} // namespace

// Shift-JIS goes through the backend's one code page 932 converter.
std::wstring win32_wide_from_sjis(const char* sjis) {
    return sjis == nullptr ? std::wstring() : win32_widen(sjis);
}

std::string win32_sjis_from_wide(const wchar_t* wide) {
    std::string out;
    if (wide != nullptr) {
        win32_narrow(wide, out);
    }
    return out;
}

bool win32_sjis_from_wide_strict(const wchar_t* wide, std::string& out) {
    out.clear();
    return wide == nullptr || win32_narrow(wide, out);
}

std::wstring win32_wide_from_utf8(const char* utf8) {
    return to_wide(CP_UTF8, utf8);
}

std::string win32_utf8_from_wide(const wchar_t* wide, int length) {
    return from_wide(CP_UTF8, wide, length);
}
