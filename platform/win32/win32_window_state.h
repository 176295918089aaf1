// The main window's record, shared by the window's source files.
// Implemented in: win32_window.cpp, win32_window_input.cpp.
#pragma once
#include "platform/window.h"

#include <atomic>
#include <windows.h>

// Private messages the window posts to itself so work asked for on another thread is done on
// the window thread.
constexpr UINT WM_ZB_WAKE = WM_APP + 1;
constexpr UINT WM_ZB_WARP = WM_APP + 2;
constexpr UINT WM_ZB_TEXT_INPUT = WM_APP + 3;
constexpr UINT WM_ZB_DESTROY = WM_APP + 4;
constexpr UINT_PTR FRAME_TIMER_ID = 1;
constexpr UINT FRAME_TIMER_MS = 20;

// Threads: the window thread owns everything except the atomics, which the playback thread
// may set (warp target, text input switch and area, cursor shape) before posting a message.
struct Win32WindowState {
    HWND window = nullptr;
    int scale = 1;
    bool running = false;
    bool drops_accepted = false;
    const WindowHandlers* handlers = nullptr; // run's or, inside a modal pump, the pump's
    uint32_t shown_version = 0;
    HIMC input_context = nullptr; // the window's own, kept aside while text input is off
    std::atomic<int> warp_x{0}, warp_y{0};
    std::atomic<bool> text_input_on{false};
    std::atomic<int> text_area[4] = {};
    std::atomic<int> cursor{0}; // 0 arrow, 1 the program's own, 2 hourglass
    wchar_t high_surrogate = 0; // the first half of a character typed as two WM_CHARs
};

extern Win32WindowState g_win32_window;

// Input messages (win32_window_input.cpp): true when the message was handled.
bool win32_window_input(HWND window, UINT message, WPARAM w, LPARAM l, LRESULT& result);
// Switches the input method on or off and places its window, on the window thread.
void win32_text_input_apply();
