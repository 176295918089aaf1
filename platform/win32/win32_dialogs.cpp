// Native modal dialogs from the dialog table: the template is built in memory, the controls
// are filled and read through the accessors, and ending follows the in-picture runner (OK,
// CONTROL_ENDS buttons and a CANCEL that is not a command end the dialog after their command;
// Esc is CANCEL, or ends a dialog whose id 2 is a command without pressing it; the close box
// ends it without any command).
#include "platform/win32/win32_gui.h"

#include <windows.h>

struct Win32Dialog {
    HWND window = nullptr;
    const DialogTemplate* dialog = nullptr;
    Win32DialogBehaviour* behaviour = nullptr;
    std::vector<size_t> limits; // bytes of Shift-JIS an edit may hold, per control (0: any)
    bool ended = false;
    bool restoring = false; // a cut text being put back: its change is not typing
};

namespace {

int index_of(const Win32Dialog& d, int id) {
    if (id == CONTROL_NO_ID) {
        return -1;
    }
    for (int i = 0; i < d.dialog->control_count; i++) {
        if (d.dialog->controls[i].id == id) {
            return i;
        }
    }
    return -1;
}

int closed_id(const DialogTemplate& dialog) {
    return (dialog.flags & DIALOG_ID2_IS_COMMAND) ? DIALOG_CLOSED : CONTROL_CANCEL;
}

std::wstring control_text(HWND control) {
    int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(control, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// Keeps an edit within its byte limit: whole characters from the start while they fit.
void limit_apply(Win32Dialog& d, int index) {
    size_t limit = d.limits[static_cast<size_t>(index)];
    HWND control = GetDlgItem(d.window, d.dialog->controls[index].id);
    if (limit == 0 || control == nullptr) {
        return;
    }
    std::wstring text = control_text(control);
    std::string bytes = win32_sjis_from_wide(text.c_str());
    if (bytes.size() <= limit) {
        return;
    }
    size_t kept = 0;
    size_t units = 0;
    while (units < text.size()) {
        wchar_t one[2] = {text[units], L'\0'};
        size_t size = win32_sjis_from_wide(one).size();
        if (kept + size > limit) {
            break;
        }
        kept += size;
        units++;
    }
    d.restoring = true;
    SetWindowTextW(control, text.substr(0, units).c_str());
    SendMessageW(control, EM_SETSEL, units, units);
    d.restoring = false;
}

void focus_first(Win32Dialog& d) {
    const DialogTemplate& t = *d.dialog;
    int chosen = -1;
    for (int i = 0; i < t.control_count && chosen < 0; i++) {
        if (t.controls[i].kind == ControlKind::edit) {
            chosen = i;
        }
    }
    for (int i = 0; i < t.control_count && chosen < 0; i++) {
        if (t.controls[i].flags & CONTROL_DEFAULT) {
            chosen = i;
        }
    }
    HWND control = chosen < 0 ? nullptr : GetDlgItem(d.window, t.controls[chosen].id);
    if (control == nullptr) {
        return;
    }
    SetFocus(control);
    if (t.controls[chosen].kind == ControlKind::edit) {
        int end = GetWindowTextLengthW(control);
        SendMessageW(control, EM_SETSEL, end, end); // the caret after the text, as typed
    }
}

void activate(Win32Dialog& d, int index) {
    const DialogControl& c = d.dialog->controls[index];
    Win32DialogBehaviour& b = *d.behaviour;
    if (b.command) {
        b.command(b.context, d, c.id);
    }
    bool cancel_ends = c.id == CONTROL_CANCEL && !(d.dialog->flags & DIALOG_ID2_IS_COMMAND);
    bool ends = c.kind == ControlKind::button &&
                ((c.flags & CONTROL_ENDS) || c.id == CONTROL_OK || cancel_ends);
    if (ends && !d.ended) {
        win32_dialog_end(d, c.id);
    }
}

void command(Win32Dialog& d, int id, int code) {
    // Esc reaches a dialog as id 2; where id 2 is a command it only closes.
    if (id == IDCANCEL && (GetKeyState(VK_ESCAPE) & 0x8000)) {
        if (d.dialog->flags & DIALOG_ID2_IS_COMMAND) {
            win32_dialog_end(d, DIALOG_CLOSED);
            return;
        }
        if (index_of(d, CONTROL_CANCEL) < 0) {
            win32_dialog_end(d, CONTROL_CANCEL);
            return;
        }
    }
    int index = index_of(d, id);
    if (index < 0) {
        return;
    }
    const DialogControl& c = d.dialog->controls[index];
    if (c.kind == ControlKind::edit) {
        if (code == EN_CHANGE && !d.restoring) {
            limit_apply(d, index);
        }
        return;
    }
    bool clicked = code == BN_CLICKED;
    if (clicked && (c.kind == ControlKind::button || c.kind == ControlKind::radio ||
                    c.kind == ControlKind::check_box)) {
        activate(d, index);
    }
}

INT_PTR CALLBACK dialog_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    auto* d = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        d = reinterpret_cast<Win32Dialog*>(l);
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(d));
        d->window = window;
        if (d->behaviour->init) {
            d->behaviour->init(d->behaviour->context, *d);
        }
        if (!d->ended) {
            focus_first(*d);
        }
        return FALSE; // the focus is set
    }
    case WM_COMMAND:
        if (d != nullptr && !d->ended) {
            command(*d, LOWORD(w), HIWORD(w));
        }
        return TRUE;
    case WM_CLOSE:
        if (d != nullptr && !d->ended) {
            win32_dialog_end(*d, closed_id(*d->dialog));
        }
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int win32_dialog_run(const DialogTemplate& dialog, Win32DialogBehaviour& behaviour) {
    std::vector<uint8_t> bytes = win32_dialog_template_build(dialog);
    Win32Dialog d;
    d.dialog = &dialog;
    d.behaviour = &behaviour;
    d.limits.assign(static_cast<size_t>(dialog.control_count), 0);
    INT_PTR result = DialogBoxIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(bytes.data()),
        static_cast<HWND>(win32_main_window()), dialog_procedure, reinterpret_cast<LPARAM>(&d));
    return static_cast<int>(result);
}

void win32_dialog_set_text(Win32Dialog& dialog, int id, const char* sjis) {
    int index = index_of(dialog, id);
    if (index < 0) {
        return;
    }
    dialog.restoring = true;
    SetDlgItemTextW(dialog.window, id, win32_wide_from_sjis(sjis).c_str());
    dialog.restoring = false;
    if (dialog.dialog->controls[index].kind == ControlKind::edit) {
        limit_apply(dialog, index);
    }
}

std::string win32_dialog_get_text(Win32Dialog& dialog, int id) {
    HWND control = index_of(dialog, id) < 0 ? nullptr : GetDlgItem(dialog.window, id);
    if (control == nullptr) {
        return std::string();
    }
    return win32_sjis_from_wide(control_text(control).c_str());
}

void win32_dialog_set_limit(Win32Dialog& dialog, int id, size_t max_bytes) {
    int index = index_of(dialog, id);
    if (index < 0) {
        return;
    }
    dialog.limits[static_cast<size_t>(index)] = max_bytes;
    limit_apply(dialog, index);
}

void win32_dialog_set_check(Win32Dialog& dialog, int id, bool checked) {
    if (index_of(dialog, id) >= 0) {
        CheckDlgButton(dialog.window, id, checked ? BST_CHECKED : BST_UNCHECKED);
    }
}

bool win32_dialog_get_check(Win32Dialog& dialog, int id) {
    return index_of(dialog, id) >= 0 && IsDlgButtonChecked(dialog.window, id) == BST_CHECKED;
}

void win32_dialog_end(Win32Dialog& dialog, int id) {
    if (dialog.ended) {
        return;
    }
    dialog.ended = true;
    EndDialog(dialog.window, id);
}
