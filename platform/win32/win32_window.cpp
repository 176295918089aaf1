// The Windows main window: a fixed client area showing the picture at a whole-number scale,
// the 20 ms window timer, painting, the caption, cursors and the message loop.
#include "platform/picture.h"
#include "platform/win32/win32_gui.h"
#include "platform/win32/win32_window_state.h"

#include <imm.h>
#include <mutex>
#include <shellapi.h>

Win32WindowState g_win32_window;

namespace {

constexpr const wchar_t* WINDOW_CLASS = L"ZB47Picture";
constexpr DWORD WINDOW_STYLE = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The largest whole zoom whose window fits the work area.
int choose_scale() {
    RECT work{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        return 1;
    }
    RECT frame{0, 0, 0, 0};
    AdjustWindowRect(&frame, WINDOW_STYLE, FALSE);
    int extra_x = frame.right - frame.left;
    int extra_y = frame.bottom - frame.top;
    int scale_x = (work.right - work.left - extra_x) / PICTURE_WIDTH;
    int scale_y = (work.bottom - work.top - extra_y) / PICTURE_HEIGHT;
    int scale = scale_x < scale_y ? scale_x : scale_y;
    return scale < 1 ? 1 : scale;
}

void paint(HDC dc) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = PICTURE_WIDTH;
    info.bmiHeader.biHeight = -PICTURE_HEIGHT; // rows from the top, as the picture keeps them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32; // 0x00RRGGBB is what a 32-bit DIB holds
    info.bmiHeader.biCompression = BI_RGB;
    int scale = g_win32_window.scale;
    std::lock_guard<std::mutex> hold(g_picture.lock);
    g_win32_window.shown_version = g_picture.version.load(std::memory_order_acquire);
    StretchDIBits(dc, 0, 0, PICTURE_WIDTH * scale, PICTURE_HEIGHT * scale, 0, 0, PICTURE_WIDTH,
                  PICTURE_HEIGHT, g_picture.pixels, &info, DIB_RGB_COLORS, SRCCOPY);
}

// Asks for a repaint when the picture changed since it was last shown.
void present_if_changed() {
    if (g_win32_window.window == nullptr) {
        return;
    }
    if (g_picture.version.load(std::memory_order_acquire) != g_win32_window.shown_version) {
        InvalidateRect(g_win32_window.window, nullptr, FALSE);
    }
}

HCURSOR cursor_handle(int shape) {
    switch (shape) {
    case 1:
        return LoadCursorW(nullptr, IDC_CROSS);
    case 2:
        return LoadCursorW(nullptr, IDC_WAIT);
    default:
        return LoadCursorW(nullptr, IDC_ARROW);
    }
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
    const WindowHandlers* h = g_win32_window.handlers;
    LRESULT result = 0;
    if (h != nullptr && win32_window_input(window, message, w, l, result)) {
        return result;
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        paint(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1; // the picture covers the whole client area
    case WM_TIMER:
        if (w == FRAME_TIMER_ID && h != nullptr && h->timer) {
            h->timer();
            present_if_changed();
        }
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(l) == HTCLIENT) {
            SetCursor(cursor_handle(g_win32_window.cursor.load()));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        if (h != nullptr && h->close) {
            h->close();
        } else {
            DestroyWindow(window);
        }
        return 0;
    case WM_ZB_WAKE:
        if (h != nullptr && h->wake) {
            h->wake();
            present_if_changed();
        }
        return 0;
    case WM_ZB_WARP: {
        POINT p{g_win32_window.warp_x.load() * g_win32_window.scale,
                g_win32_window.warp_y.load() * g_win32_window.scale};
        ClientToScreen(window, &p);
        SetCursorPos(p.x, p.y);
        return 0;
    }
    case WM_ZB_TEXT_INPUT:
        win32_text_input_apply();
        return 0;
    case WM_ZB_DESTROY:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, FRAME_TIMER_ID);
        g_win32_window.running = false;
        g_win32_window.window = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, w, l);
}

bool class_register() {
    WNDCLASSEXW c{};
    c.cbSize = sizeof(c);
    c.lpfnWndProc = window_procedure;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hIcon = LoadIconW(c.hInstance, MAKEINTRESOURCEW(1));
    if (c.hIcon == nullptr) {
        c.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    }
    c.hCursor = nullptr; // WM_SETCURSOR chooses
    c.lpszClassName = WINDOW_CLASS;
    return RegisterClassExW(&c) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool open(const char* caption, const WindowOptions& options) {
    if (g_win32_window.window != nullptr) {
        return true;
    }
    if (!class_register()) {
        platform_window_error_set("the window class could not be registered");
        return false;
    }
    g_win32_window.scale = options.scale > 0 ? options.scale : choose_scale();
    RECT frame{0, 0, PICTURE_WIDTH * g_win32_window.scale, PICTURE_HEIGHT * g_win32_window.scale};
    AdjustWindowRect(&frame, WINDOW_STYLE, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int x = work.left + (work.right - work.left - width) / 2;
    int y = work.top + (work.bottom - work.top - height) / 2;
    std::wstring title = win32_wide_from_sjis(caption);
    HWND window =
        CreateWindowExW(0, WINDOW_CLASS, title.c_str(), WINDOW_STYLE, x < 0 ? 0 : x, y < 0 ? 0 : y,
                        width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window == nullptr) {
        platform_window_error_set("the window could not be created");
        return false;
    }
    g_win32_window.window = window;
    g_win32_window.shown_version = g_picture.version.load() - 1;
    g_win32_window.drops_accepted = false;
    // Typing goes to the input method only while a text field is open.
    g_win32_window.text_input_on.store(false);
    g_win32_window.input_context = ImmAssociateContext(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return true;
}

void dispatch_pending() {
    MSG message;
    while (g_win32_window.running && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            g_win32_window.running = false;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void run(const WindowHandlers& handlers) {
    if (g_win32_window.window == nullptr) {
        return;
    }
    g_win32_window.handlers = &handlers;
    g_win32_window.running = true;
    // A timer that falls behind is coalesced by the system rather than piling up.
    SetTimer(g_win32_window.window, FRAME_TIMER_ID, FRAME_TIMER_MS, nullptr);
    InvalidateRect(g_win32_window.window, nullptr, FALSE);
    MSG message;
    while (g_win32_window.running && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
        present_if_changed();
    }
    if (g_win32_window.window != nullptr) {
        DestroyWindow(g_win32_window.window);
    }
    // The quit message the destroyed window left must not end a later window's loop.
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    g_win32_window.running = false;
    g_win32_window.handlers = nullptr;
}

// A modal loop inside a handler of run(): the same messages and timer, one round.
bool pump(const WindowHandlers& handlers, uint32_t wait_ms) {
    if (!g_win32_window.running || g_win32_window.window == nullptr) {
        return false;
    }
    const WindowHandlers* outer = g_win32_window.handlers;
    g_win32_window.handlers = &handlers;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait_ms, QS_ALLINPUT);
    dispatch_pending();
    present_if_changed();
    g_win32_window.handlers = outer;
    return g_win32_window.running;
}

// May be called from a handler or another thread: the window goes on the window thread.
void destroy() {
    g_win32_window.running = false;
    if (g_win32_window.window != nullptr) {
        PostMessageW(g_win32_window.window, WM_ZB_DESTROY, 0, 0);
    }
}

void caption(const char* text) {
    if (g_win32_window.window != nullptr) {
        SetWindowTextW(g_win32_window.window, win32_wide_from_sjis(text).c_str());
    }
}

void drop_accept(bool on) {
    g_win32_window.drops_accepted = on;
    if (g_win32_window.window != nullptr) {
        DragAcceptFiles(g_win32_window.window, on ? TRUE : FALSE);
    }
}

void wake() {
    if (g_win32_window.window != nullptr) {
        PostMessageW(g_win32_window.window, WM_ZB_WAKE, 0, 0);
    }
}

void pointer_warp(int x, int y) {
    g_win32_window.warp_x.store(x);
    g_win32_window.warp_y.store(y);
    if (g_win32_window.window != nullptr) {
        PostMessageW(g_win32_window.window, WM_ZB_WARP, 0, 0);
    }
}

void cursor_shape(int shape) {
    if (shape < 0 || shape > 2) {
        return;
    }
    g_win32_window.cursor.store(shape);
    // The cursor of the thread that owns the window; another thread's change shows at the
    // next mouse move through WM_SETCURSOR.
    if (g_win32_window.window != nullptr &&
        GetWindowThreadProcessId(g_win32_window.window, nullptr) == GetCurrentThreadId()) {
        SetCursor(cursor_handle(shape));
    }
}

void text_input(bool on) {
    g_win32_window.text_input_on.store(on);
    if (g_win32_window.window != nullptr) {
        PostMessageW(g_win32_window.window, WM_ZB_TEXT_INPUT, 0, 0);
    }
}

void text_input_area(int x, int y, int width, int height) {
    g_win32_window.text_area[0].store(x);
    g_win32_window.text_area[1].store(y);
    g_win32_window.text_area[2].store(width);
    g_win32_window.text_area[3].store(height);
    if (g_win32_window.window != nullptr && g_win32_window.text_input_on.load()) {
        PostMessageW(g_win32_window.window, WM_ZB_TEXT_INPUT, 0, 0);
    }
}

} // namespace

void* win32_main_window() {
    return g_win32_window.window;
}

bool win32_on_window_thread() {
    HWND window = g_win32_window.window;
    return window == nullptr || GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

const PlatformWindowBackend WIN32_WINDOW_BACKEND = {
    .open = open,
    .run = run,
    .destroy = destroy,
    .caption = caption,
    .drop_accept = drop_accept,
    .wake = wake,
    .pointer_warp = pointer_warp,
    .cursor_shape = cursor_shape,
    .pump = pump,
    .text_input = text_input,
    .text_input_area = text_input_area,
};
