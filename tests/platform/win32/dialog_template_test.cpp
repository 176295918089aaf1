// The in-memory dialog templates: the DLGTEMPLATEEX bytes built from every dialog table are
// read back field by field and must say what the table says, and the system must create
// each dialog with the controls the table lists.
#include "converter/converter_desktop.h"
#include "gui/dialog_table.h"
#include "platform/win32/win32_gui.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A reader of the template bytes, independent of the writer: it follows the published layout.
struct Reader {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;

    uint16_t word() {
        EXPECT_LE(at + 2, bytes.size());
        uint16_t v = 0;
        if (at + 2 <= bytes.size()) {
            memcpy(&v, bytes.data() + at, 2);
        }
        at += 2;
        return v;
    }
    uint32_t dword() {
        uint32_t low = word();
        return low | (static_cast<uint32_t>(word()) << 16);
    }
    uint8_t byte() {
        EXPECT_LT(at, bytes.size());
        return at < bytes.size() ? bytes[at++] : 0;
    }
    std::wstring text() {
        std::wstring out;
        while (at + 2 <= bytes.size()) {
            uint16_t unit = word();
            if (unit == 0) {
                return out;
            }
            out += static_cast<wchar_t>(unit);
        }
        ADD_FAILURE() << "text runs past the end";
        return out;
    }
    void align() { at = (at + 3) & ~static_cast<size_t>(3); }
};

uint16_t expected_class(ControlKind kind) {
    switch (kind) {
    case ControlKind::edit:
        return 0x0081;
    case ControlKind::static_text:
        return 0x0082;
    default:
        return 0x0080;
    }
}

const wchar_t* expected_class_name(ControlKind kind) {
    switch (kind) {
    case ControlKind::edit:
        return L"Edit";
    case ControlKind::static_text:
        return L"Static";
    default:
        return L"Button";
    }
}

// The table's text as UTF-16 by the system's own code page 932 converter.
std::wstring widened(const char* sjis) {
    int n = MultiByteToWideChar(932, 0, sjis, -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(932, 0, sjis, -1, out.data(), n);
    out.resize(static_cast<size_t>(n > 0 ? n - 1 : 0));
    return out;
}

std::vector<const DialogTemplate*> every_dialog() {
    std::vector<const DialogTemplate*> all;
    for (int number : {DIALOG_TITLE, DIALOG_TRACK_NAME, DIALOG_TEXT, DIALOG_CHORD_NAME,
                       DIALOG_GUITAR_INFORMATION, DIALOG_GUITAR_VOICING}) {
        const DialogTemplate* d = dialog_template(number);
        EXPECT_NE(d, nullptr) << number;
        if (d != nullptr) {
            all.push_back(d);
        }
    }
    all.push_back(&options_dialog_template(false));
    all.push_back(&options_dialog_template(true));
    return all;
}

void check_template(const DialogTemplate& d) {
    SCOPED_TRACE(d.number);
    std::vector<uint8_t> bytes = win32_dialog_template_build(d);
    Reader r{bytes};
    EXPECT_EQ(r.word(), 1);      // version
    EXPECT_EQ(r.word(), 0xFFFF); // extended template
    r.dword();                   // help id
    r.dword();                   // extended style
    uint32_t style = r.dword();
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & DS_MODALFRAME);
    ASSERT_TRUE(style & DS_SETFONT);
    EXPECT_EQ(r.word(), d.control_count);
    r.word(); // x
    r.word(); // y
    EXPECT_EQ(r.word(), d.width);
    EXPECT_EQ(r.word(), d.height);
    EXPECT_EQ(r.word(), 0); // menu
    EXPECT_EQ(r.word(), 0); // class
    EXPECT_EQ(r.text(), widened(d.caption));
    EXPECT_EQ(r.word(), 9); // points
    r.word();               // weight
    r.byte();               // italic
    EXPECT_EQ(r.byte(), SHIFTJIS_CHARSET);
    EXPECT_EQ(r.text(), L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF");
    for (int i = 0; i < d.control_count; i++) {
        const DialogControl& c = d.controls[i];
        SCOPED_TRACE(i);
        r.align();
        r.dword(); // help id
        r.dword(); // extended style
        uint32_t control_style = r.dword();
        EXPECT_TRUE(control_style & WS_CHILD);
        EXPECT_TRUE(control_style & WS_VISIBLE);
        EXPECT_EQ(static_cast<int16_t>(r.word()), c.x);
        EXPECT_EQ(static_cast<int16_t>(r.word()), c.y);
        EXPECT_EQ(static_cast<int16_t>(r.word()), c.width);
        EXPECT_EQ(static_cast<int16_t>(r.word()), c.height);
        EXPECT_EQ(static_cast<int32_t>(r.dword()), c.id);
        EXPECT_EQ(r.word(), 0xFFFF);
        EXPECT_EQ(r.word(), expected_class(c.kind));
        EXPECT_EQ(r.text(), widened(c.text));
        EXPECT_EQ(r.word(), 0); // creation data
        uint32_t kind = control_style & BS_TYPEMASK;
        switch (c.kind) {
        case ControlKind::radio:
            EXPECT_EQ(kind, static_cast<uint32_t>(BS_AUTORADIOBUTTON));
            break;
        case ControlKind::check_box:
            EXPECT_EQ(kind, static_cast<uint32_t>(BS_AUTOCHECKBOX));
            break;
        case ControlKind::group_box:
            EXPECT_EQ(kind, static_cast<uint32_t>(BS_GROUPBOX));
            break;
        case ControlKind::button:
            EXPECT_EQ(kind, static_cast<uint32_t>((c.flags & CONTROL_DEFAULT) ? BS_DEFPUSHBUTTON
                                                                              : BS_PUSHBUTTON));
            break;
        default:
            break;
        }
        // Arrow keys must stay inside the radio groups the table draws.
        if (c.kind == ControlKind::radio) {
            bool starts = (c.flags & CONTROL_GROUP_START) || i == 0 ||
                          d.controls[i - 1].kind != ControlKind::radio;
            EXPECT_EQ((control_style & WS_GROUP) != 0, starts);
        } else {
            EXPECT_TRUE(control_style & WS_GROUP);
        }
    }
    EXPECT_EQ(r.at, bytes.size());
}

TEST(Win32DialogTemplate, EveryTableReadsBackAsWritten) {
    for (const DialogTemplate* d : every_dialog()) {
        check_template(*d);
    }
}

TEST(Win32DialogTemplate, JapaneseTextsReachTheTemplateThroughCodePage932) {
    // "確認" and "曲名" in Shift-JIS, whatever the system's own code page.
    const char caption[] = "\x8a\x6d\x94\x46";
    const DialogControl controls[] = {
        {ControlKind::static_text, CONTROL_NO_ID, "\x8b\xc8\x96\xbc", 1, 2, 30, 10, 0},
        {ControlKind::button, CONTROL_OK, "OK", 5, 20, 50, 14, CONTROL_DEFAULT | CONTROL_ENDS},
    };
    DialogTemplate d{900, caption, 100, 40, controls, 2};
    std::vector<uint8_t> bytes = win32_dialog_template_build(d);
    std::vector<uint8_t> caption_units = {0xBA, 0x78, 0x8D, 0x8A, 0, 0};
    std::vector<uint8_t> text_units = {0xF2, 0x66, 0x0D, 0x54, 0, 0};
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), caption_units.begin(), caption_units.end()),
              bytes.end());
    EXPECT_NE(std::search(bytes.begin(), bytes.end(), text_units.begin(), text_units.end()),
              bytes.end());
    check_template(d);
}

// The system takes every template and creates the controls the table lists.
TEST(Win32DialogTemplate, TheSystemCreatesEveryControl) {
    for (const DialogTemplate* d : every_dialog()) {
        SCOPED_TRACE(d->number);
        std::vector<uint8_t> bytes = win32_dialog_template_build(*d);
        HWND dialog = CreateDialogIndirectParamW(
            GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()), nullptr,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        ASSERT_NE(dialog, nullptr);
        for (int i = 0; i < d->control_count; i++) {
            const DialogControl& c = d->controls[i];
            if (c.id == CONTROL_NO_ID) {
                continue;
            }
            HWND control = GetDlgItem(dialog, c.id);
            ASSERT_NE(control, nullptr) << c.id;
            wchar_t name[32] = {};
            GetClassNameW(control, name, 32);
            EXPECT_EQ(_wcsicmp(name, expected_class_name(c.kind)), 0) << c.id;
            wchar_t text[256] = {};
            GetWindowTextW(control, text, 256);
            EXPECT_EQ(std::wstring(text), widened(c.text)) << c.id;
        }
        DestroyWindow(dialog);
    }
}

} // namespace
