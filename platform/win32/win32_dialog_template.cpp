// Builds the in-memory DLGTEMPLATEEX of a dialog table, so the native dialogs come from the
// same data the in-picture renderer draws: sizes in dialog units, texts in UTF-16.
#include "platform/win32/win32_gui.h"

#include <windows.h>

namespace {

constexpr WORD TEMPLATE_VERSION = 1;
constexpr WORD TEMPLATE_SIGNATURE = 0xFFFF; // marks the extended form
constexpr WORD ORDINAL_MARK = 0xFFFF;       // a class given by its atom, not its name
constexpr WORD CLASS_BUTTON = 0x0080;
constexpr WORD CLASS_EDIT = 0x0081;
constexpr WORD CLASS_STATIC = 0x0082;
// The dialogs' font: 9-point "ＭＳ Ｐゴシック" with the Shift-JIS character set.
constexpr WORD FONT_POINTS = 9;
constexpr WORD FONT_WEIGHT = FW_NORMAL;
constexpr const wchar_t* FONT_FACE = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";
constexpr DWORD DIALOG_STYLE =
    DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;

struct TemplateWriter {
    std::vector<uint8_t> bytes;

    void raw(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    }
    void word(WORD value) { raw(&value, sizeof value); }
    void dword(DWORD value) { raw(&value, sizeof value); }
    void byte(uint8_t value) { bytes.push_back(value); }
    void text(const std::wstring& value) {
        raw(value.c_str(), (value.size() + 1) * sizeof(wchar_t)); // with its NUL
    }
    void align_dword() {
        while (bytes.size() % sizeof(DWORD) != 0) {
            bytes.push_back(0);
        }
    }
};

// Radio groups begin where the table says, or at a radio button after anything else; every
// other control gets a group of its own, which also ends the radio group before it.
bool starts_group(const DialogTemplate& dialog, int index) {
    const DialogControl& c = dialog.controls[index];
    if (c.kind != ControlKind::radio) {
        return true;
    }
    return (c.flags & CONTROL_GROUP_START) || index == 0 ||
           dialog.controls[index - 1].kind != ControlKind::radio;
}

DWORD control_style(const DialogTemplate& dialog, int index) {
    const DialogControl& c = dialog.controls[index];
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (starts_group(dialog, index)) {
        style |= WS_GROUP;
    }
    switch (c.kind) {
    case ControlKind::static_text:
        return style | ((c.flags & CONTROL_CENTRED) ? SS_CENTER : SS_LEFT);
    case ControlKind::edit:
        style |= WS_TABSTOP | WS_BORDER | ES_LEFT;
        if (c.flags & CONTROL_AUTO_SCROLL) {
            style |= ES_AUTOHSCROLL;
        }
        if (c.flags & CONTROL_READ_ONLY) {
            style |= ES_READONLY;
        }
        return style;
    case ControlKind::button:
        return style | WS_TABSTOP |
               ((c.flags & CONTROL_DEFAULT) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    case ControlKind::radio:
        return style | WS_TABSTOP | BS_AUTORADIOBUTTON;
    case ControlKind::check_box:
        return style | WS_TABSTOP | BS_AUTOCHECKBOX;
    case ControlKind::group_box:
        return style | BS_GROUPBOX;
    }
    return style;
}

WORD control_class(ControlKind kind) {
    switch (kind) {
    case ControlKind::static_text:
        return CLASS_STATIC;
    case ControlKind::edit:
        return CLASS_EDIT;
    default:
        return CLASS_BUTTON;
    }
}

} // namespace

std::vector<uint8_t> win32_dialog_template_build(const DialogTemplate& dialog) {
    TemplateWriter w;
    w.word(TEMPLATE_VERSION);
    w.word(TEMPLATE_SIGNATURE);
    w.dword(0); // help id
    w.dword(0); // extended style
    w.dword(DIALOG_STYLE);
    w.word(static_cast<WORD>(dialog.control_count));
    w.word(0); // x and y: DS_CENTER places it
    w.word(0);
    w.word(static_cast<WORD>(dialog.width));
    w.word(static_cast<WORD>(dialog.height));
    w.word(0); // no menu
    w.word(0); // the system's dialog class
    w.text(win32_wide_from_sjis(dialog.caption));
    w.word(FONT_POINTS);
    w.word(FONT_WEIGHT);
    w.byte(FALSE); // not italic
    w.byte(SHIFTJIS_CHARSET);
    w.text(FONT_FACE);
    for (int i = 0; i < dialog.control_count; i++) {
        const DialogControl& c = dialog.controls[i];
        w.align_dword();
        w.dword(0); // help id
        w.dword(0); // extended style
        w.dword(control_style(dialog, i));
        w.word(static_cast<WORD>(c.x));
        w.word(static_cast<WORD>(c.y));
        w.word(static_cast<WORD>(c.width));
        w.word(static_cast<WORD>(c.height));
        // Texts and group boxes have no id of their own; the system's "no id" is -1.
        w.dword(static_cast<DWORD>(c.id));
        w.word(ORDINAL_MARK);
        w.word(control_class(c.kind));
        w.text(win32_wide_from_sjis(c.text));
        w.word(0); // no creation data
    }
    return w.bytes;
}
