// The main window's input: keys (virtual-key codes are the program's own), mouse in picture
// pixels, typed text and input-method composition as UTF-8, and dropped files.
#include "platform/win32/win32_gui.h"
#include "platform/win32/win32_window_state.h"

#include <imm.h>
#include <shellapi.h>
#include <vector>
#include <windowsx.h>

namespace {

constexpr wchar_t FIRST_PRINTABLE = 0x20;
constexpr wchar_t DELETE_CHARACTER = 0x7F;

int picture_x(LPARAM l) {
    return GET_X_LPARAM(l) / g_win32_window.scale;
}

int picture_y(LPARAM l) {
    return GET_Y_LPARAM(l) / g_win32_window.scale;
}

void mouse_button(HWND window, LPARAM l, MouseButton button, bool down) {
    const WindowHandlers& h = *g_win32_window.handlers;
    // Held buttons keep reporting when the pointer leaves the window, as a drag expects.
    if (down) {
        SetCapture(window);
    } else if (GetCapture() == window) {
        ReleaseCapture();
    }
    if (h.mouse_move) {
        h.mouse_move(picture_x(l), picture_y(l));
    }
    if (h.mouse_button) {
        h.mouse_button(button, down);
    }
}

// One UTF-16 unit of typed text; a surrogate pair arrives as two messages.
void character_typed(wchar_t unit) {
    const WindowHandlers& h = *g_win32_window.handlers;
    if (!g_win32_window.text_input_on.load() || h.text == nullptr) {
        return;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        g_win32_window.high_surrogate = unit;
        return;
    }
    wchar_t text[3] = {unit, 0, 0};
    if (unit >= 0xDC00 && unit <= 0xDFFF) {
        if (g_win32_window.high_surrogate == 0) {
            return;
        }
        text[0] = g_win32_window.high_surrogate;
        text[1] = unit;
    }
    g_win32_window.high_surrogate = 0;
    // Control characters come with their keys, which the key handler already has.
    if (text[0] < FIRST_PRINTABLE || text[0] == DELETE_CHARACTER) {
        return;
    }
    h.text(win32_utf8_from_wide(text).c_str());
}

std::wstring composition_string(HIMC context, DWORD kind) {
    LONG bytes = ImmGetCompositionStringW(context, kind, nullptr, 0);
    if (bytes <= 0) {
        return std::wstring();
    }
    std::wstring text(static_cast<size_t>(bytes) / sizeof(wchar_t), L'\0');
    ImmGetCompositionStringW(context, kind, text.data(), static_cast<DWORD>(bytes));
    return text;
}

// The input method's text reaches the program as the SDL window gives it: the finished text
// as typed text, the text still being composed with its caret.
bool ime_composition(HWND window, LPARAM l) {
    const WindowHandlers& h = *g_win32_window.handlers;
    HIMC context = ImmGetContext(window);
    if (context == nullptr) {
        return false;
    }
    if ((l & GCS_RESULTSTR) && h.text) {
        std::wstring result = composition_string(context, GCS_RESULTSTR);
        if (!result.empty()) {
            h.text(win32_utf8_from_wide(result.c_str()).c_str());
        }
    }
    if ((l & GCS_COMPSTR) && h.composition) {
        std::wstring composing = composition_string(context, GCS_COMPSTR);
        LONG caret = ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0);
        h.composition(win32_utf8_from_wide(composing.c_str()).c_str(),
                      caret < 0 ? 0 : static_cast<int>(caret));
    }
    ImmReleaseContext(window, context);
    return true;
}

void file_dropped(HDROP drop) {
    const WindowHandlers& h = *g_win32_window.handlers;
    if (g_win32_window.drops_accepted && h.drop) {
        UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        if (length > 0) {
            std::vector<wchar_t> name(length + 1, L'\0');
            DragQueryFileW(drop, 0, name.data(), length + 1);
            // Paths are Shift-JIS here; a name that has no Shift-JIS form could not be opened.
            std::string path;
            if (win32_sjis_from_wide_strict(name.data(), path)) {
                h.drop(path.c_str());
            }
        }
    }
    DragFinish(drop);
}

} // namespace

void win32_text_input_apply() {
    HWND window = g_win32_window.window;
    if (window == nullptr) {
        return;
    }
    if (!g_win32_window.text_input_on.load()) {
        HIMC current = ImmAssociateContext(window, nullptr);
        if (current != nullptr) {
            g_win32_window.input_context = current;
        }
        return;
    }
    if (g_win32_window.input_context != nullptr) {
        ImmAssociateContext(window, g_win32_window.input_context);
    }
    HIMC context = ImmGetContext(window);
    if (context == nullptr) {
        return;
    }
    int scale = g_win32_window.scale;
    COMPOSITIONFORM form{};
    form.dwStyle = CFS_POINT;
    form.ptCurrentPos.x = g_win32_window.text_area[0].load() * scale;
    form.ptCurrentPos.y = g_win32_window.text_area[1].load() * scale;
    ImmSetCompositionWindow(context, &form);
    ImmReleaseContext(window, context);
}

bool win32_window_input(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT& result) {
    const WindowHandlers& h = *g_win32_window.handlers;
    result = 0;
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
        // Repeats come as further downs, as the handler expects. Keys an input method takes
        // for its composition are its own.
        if (w == VK_PROCESSKEY) {
            return false;
        }
        if (h.key) {
            h.key(static_cast<int>(w), message == WM_KEYDOWN);
        }
        return true;
    case WM_CHAR:
        character_typed(static_cast<wchar_t>(w));
        return true;
    case WM_MOUSEMOVE:
        if (h.mouse_move) {
            h.mouse_move(picture_x(l), picture_y(l));
        }
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        mouse_button(window, l, MouseButton::left, message == WM_LBUTTONDOWN);
        return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        mouse_button(window, l, MouseButton::right, message == WM_RBUTTONDOWN);
        return true;
    case WM_DROPFILES:
        file_dropped(reinterpret_cast<HDROP>(w));
        return true;
    case WM_IME_STARTCOMPOSITION:
        // The composition is drawn by the program in its own field, not in the system's window.
        return h.composition != nullptr;
    case WM_IME_COMPOSITION:
        return ime_composition(window, l);
    case WM_IME_ENDCOMPOSITION:
        if (h.composition) {
            h.composition("", 0);
            return true;
        }
        return false;
    default:
        // Alt combinations and F10 (WM_SYSKEYDOWN) stay the system's.
        return false;
    }
}
