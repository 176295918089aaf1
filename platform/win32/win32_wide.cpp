// Text for the wide-character calls: Shift-JIS through code page 932 explicitly, so Japanese
// texts are right on a Windows whose own code page is not Japanese, and UTF-8 for paths.
#include "platform/win32/win32_gui.h"

#include <windows.h>

namespace {

constexpr UINT CODE_PAGE_SJIS = 932;

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

std::string from_wide(UINT code_page, const wchar_t* wide, int length, BOOL* lost) {
    if (wide == nullptr || length == 0 || (length < 0 && wide[0] == L'\0')) {
        return std::string();
    }
    // Code page 932 takes the lost-character flag; UTF-8 refuses it (and loses nothing).
    BOOL* flag = code_page == CP_UTF8 ? nullptr : lost;
    int count = WideCharToMultiByte(code_page, 0, wide, length, nullptr, 0, nullptr, flag);
    if (count <= 0) {
        return std::string();
    }
    std::string out(static_cast<size_t>(count), '\0');
    WideCharToMultiByte(code_page, 0, wide, length, out.data(), count, nullptr, flag);
    if (length < 0) {
        out.resize(static_cast<size_t>(count - 1)); // the converted NUL
    }
    return out;
}

} // namespace

std::wstring win32_wide_from_sjis(const char* sjis) {
    return to_wide(CODE_PAGE_SJIS, sjis);
}

std::string win32_sjis_from_wide(const wchar_t* wide) {
    BOOL lost = FALSE;
    return from_wide(CODE_PAGE_SJIS, wide, -1, &lost);
}

bool win32_sjis_from_wide_strict(const wchar_t* wide, std::string& out) {
    BOOL lost = FALSE;
    out = from_wide(CODE_PAGE_SJIS, wide, -1, &lost);
    return lost == FALSE;
}

std::wstring win32_wide_from_utf8(const char* utf8) {
    return to_wide(CP_UTF8, utf8);
}

std::string win32_utf8_from_wide(const wchar_t* wide, int length) {
    return from_wide(CP_UTF8, wide, length, nullptr);
}
