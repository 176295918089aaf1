// The clipboard: Shift-JIS text goes in and comes out as Unicode text through code page 932,
// so other programs read it right whatever the system's own code page is.
#include "platform/win32/win32_gui.h"

#include <windows.h>

namespace {

// Another program may hold the clipboard for a moment; a few short tries ride that out.
constexpr int OPEN_TRIES = 10;
constexpr DWORD OPEN_RETRY_MS = 10;

bool clipboard_open() {
    for (int i = 0; i < OPEN_TRIES; i++) {
        if (OpenClipboard(static_cast<HWND>(win32_main_window()))) {
            return true;
        }
        Sleep(OPEN_RETRY_MS);
    }
    return false;
}

} // namespace

bool win32_clipboard_put_text(const char* sjis) {
    if (sjis == nullptr) {
        return false;
    }
    std::wstring wide = win32_wide_from_sjis(sjis);
    size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        return false;
    }
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return false;
    }
    CopyMemory(target, wide.c_str(), bytes);
    GlobalUnlock(memory);
    if (!clipboard_open()) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // On success the clipboard owns the memory.
    bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) {
        GlobalFree(memory);
    }
    return placed;
}

bool win32_clipboard_get_text(std::string& out_sjis) {
    out_sjis.clear();
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !clipboard_open()) {
        return false;
    }
    bool converted = false;
    HANDLE memory = GetClipboardData(CF_UNICODETEXT);
    if (memory != nullptr) {
        const auto* wide = static_cast<const wchar_t*>(GlobalLock(memory));
        if (wide != nullptr) {
            // Bounded by the block's size: another program's text need not end in a NUL.
            size_t units = GlobalSize(memory) / sizeof(wchar_t);
            std::wstring text(wide, units);
            GlobalUnlock(memory);
            size_t end = text.find(L'\0');
            if (end != std::wstring::npos) {
                text.resize(end);
            }
            converted = win32_sjis_from_wide_strict(text.c_str(), out_sjis);
        }
    }
    CloseClipboard();
    if (!converted) {
        out_sjis.clear();
    }
    return converted && !out_sjis.empty();
}
