// The clipboard: Shift-JIS Japanese text goes out as Unicode text and comes back unchanged;
// text that Shift-JIS cannot hold comes back as nothing rather than as changed text.
#include "platform/win32/win32_gui.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

bool put_unicode(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    EmptyClipboard();
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    bool placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return placed;
}

std::wstring get_unicode() {
    std::wstring out;
    if (!OpenClipboard(nullptr)) {
        return out;
    }
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
        out = static_cast<const wchar_t*>(GlobalLock(memory));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    return out;
}

TEST(Win32Clipboard, ShiftJisJapaneseTextRoundTrips) {
    // "着メロ変換 MELCONV --B:M" with a half-width katakana "ｱ" and a full-width "～".
    const std::string sjis = "\x92\x85\x83\x81\x83\x8d\x95\xcf\x8a\xb7 MELCONV --B:M \xb1\x81\x60";
    ASSERT_TRUE(win32_clipboard_put_text(sjis.c_str()));
    // Other programs read Unicode text: the characters, not the bytes.
    EXPECT_EQ(get_unicode(), L"\x7740\x30E1\x30ED\x5909\x63DB MELCONV --B:M \xFF71\xFF5E");
    std::string back;
    ASSERT_TRUE(win32_clipboard_get_text(back));
    EXPECT_EQ(back, sjis);
}

TEST(Win32Clipboard, TextShiftJisCannotHoldIsRefused) {
    ASSERT_TRUE(put_unicode(L"music \xD83C\xDFB5")); // a character outside Shift-JIS
    std::string back = "left over";
    EXPECT_FALSE(win32_clipboard_get_text(back));
    EXPECT_TRUE(back.empty());
    ASSERT_TRUE(put_unicode(L"\x30C9\x30EC\x30DF")); // "ドレミ"
    EXPECT_TRUE(win32_clipboard_get_text(back));
    EXPECT_EQ(back, "\x83\x68\x83\x8c\x83\x7e");
}

} // namespace
