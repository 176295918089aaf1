// The main window under a real window system: it opens, its 20 ms timer runs the handler,
// keys arrive as virtual-key codes, mouse positions in picture pixels at any scale, a wake
// from another thread reaches the window thread, and destroy ends the loop.
#include "platform/win32/win32_gui.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <vector>

namespace {

// Threads: the window thread, except `wake_thread_id` written before the wake is asked for.
struct WindowTest {
    int ticks = 0;
    std::vector<int> keys_down;
    std::vector<int> keys_up;
    int mouse_x = -1, mouse_y = -1;
    int left_downs = 0, right_ups = 0;
    bool woken = false;
    DWORD window_thread = 0;
    DWORD wake_thread = 0;
    bool closed = false;
};
WindowTest g_test;

HWND main_window() {
    return static_cast<HWND>(win32_main_window());
}

// Once the timer has run a few times, the test's input is posted like the system would.
void on_timer() {
    g_test.ticks++;
    if (g_test.ticks == 3) {
        HWND w = main_window();
        PostMessageW(w, WM_KEYDOWN, VK_F1, 0);
        PostMessageW(w, WM_KEYUP, VK_F1, 0);
        PostMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 100));
        PostMessageW(w, WM_RBUTTONUP, 0, MAKELPARAM(201, 101));
        std::thread([] { WIN32_WINDOW_BACKEND.wake(); }).detach();
    }
    if (g_test.ticks == 6) {
        PostMessageW(main_window(), WM_CLOSE, 0, 0);
    }
}

void on_key(int key, bool down) {
    (down ? g_test.keys_down : g_test.keys_up).push_back(key);
}

void on_mouse_move(int x, int y) {
    g_test.mouse_x = x;
    g_test.mouse_y = y;
}

void on_mouse_button(MouseButton button, bool down) {
    if (button == MouseButton::left && down) {
        g_test.left_downs++;
    }
    if (button == MouseButton::right && !down) {
        g_test.right_ups++;
    }
}

void on_close() {
    g_test.closed = true;
    WIN32_WINDOW_BACKEND.destroy();
}

void on_wake() {
    g_test.woken = true;
    g_test.wake_thread = GetCurrentThreadId();
}

TEST(Win32Window, OpensRunsItsTimerTakesInputAndCloses) {
    g_test = WindowTest{};
    g_test.window_thread = GetCurrentThreadId();
    WindowOptions options{2, nullptr, nullptr};
    ASSERT_TRUE(WIN32_WINDOW_BACKEND.open("ZB47 \x83\x65\x83\x58\x83\x67", options)); // テスト
    HWND window = main_window();
    ASSERT_NE(window, nullptr);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 640 * 2);
    EXPECT_EQ(client.bottom - client.top, 480 * 2);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_EQ(std::wstring(title), L"ZB47 \x30C6\x30B9\x30C8");

    WindowHandlers handlers{};
    handlers.timer = on_timer;
    handlers.key = on_key;
    handlers.mouse_move = on_mouse_move;
    handlers.mouse_button = on_mouse_button;
    handlers.close = on_close;
    handlers.wake = on_wake;
    WIN32_WINDOW_BACKEND.run(handlers);

    EXPECT_GE(g_test.ticks, 6);
    EXPECT_EQ(g_test.keys_down, (std::vector<int>{VK_F1, VK_RETURN}));
    EXPECT_EQ(g_test.keys_up, std::vector<int>{VK_F1});
    EXPECT_EQ(g_test.left_downs, 1);
    EXPECT_EQ(g_test.right_ups, 1);
    EXPECT_EQ(g_test.mouse_x, 100); // 201 / 2: the picture's pixel under the pointer
    EXPECT_EQ(g_test.mouse_y, 50);
    EXPECT_TRUE(g_test.woken);
    EXPECT_EQ(g_test.wake_thread, g_test.window_thread);
    EXPECT_TRUE(g_test.closed);
    EXPECT_EQ(main_window(), nullptr);
    EXPECT_FALSE(IsWindow(window));
}

TEST(Win32Window, ASecondWindowRunsAfterTheFirstClosed) {
    for (int round = 0; round < 2; round++) {
        g_test = WindowTest{};
        ASSERT_TRUE(WIN32_WINDOW_BACKEND.open("ZB47", WindowOptions{1, nullptr, nullptr}));
        WindowHandlers handlers{};
        handlers.timer = [] {
            if (++g_test.ticks == 2) {
                WIN32_WINDOW_BACKEND.destroy();
            }
        };
        handlers.key = on_key;
        handlers.mouse_move = on_mouse_move;
        handlers.mouse_button = on_mouse_button;
        handlers.close = on_close;
        WIN32_WINDOW_BACKEND.run(handlers);
        EXPECT_EQ(g_test.ticks, 2) << round;
    }
}

// Typed text reaches the text handler as UTF-8 only while text input is on.
TEST(Win32Window, TypedCharactersArriveAsUtf8WhileTextInputIsOn) {
    static std::string typed;
    typed.clear();
    g_test = WindowTest{};
    ASSERT_TRUE(WIN32_WINDOW_BACKEND.open("ZB47", WindowOptions{1, nullptr, nullptr}));
    WindowHandlers handlers{};
    handlers.timer = [] {
        HWND w = main_window();
        g_test.ticks++;
        if (g_test.ticks == 1) {
            PostMessageW(w, WM_CHAR, L'x', 0); // text input still off
        } else if (g_test.ticks == 2) {
            WIN32_WINDOW_BACKEND.text_input(true);
            PostMessageW(w, WM_CHAR, 0x66F2, 0); // "曲"
            PostMessageW(w, WM_CHAR, 0xD83C, 0); // a surrogate pair
            PostMessageW(w, WM_CHAR, 0xDFB5, 0);
            PostMessageW(w, WM_CHAR, L'\r', 0); // Enter comes as its key, not as text
        } else if (g_test.ticks == 3) {
            WIN32_WINDOW_BACKEND.text_input(false);
            PostMessageW(w, WM_CHAR, L'y', 0); // off again
        } else if (g_test.ticks == 4) {
            WIN32_WINDOW_BACKEND.destroy();
        }
    };
    handlers.key = on_key;
    handlers.mouse_move = on_mouse_move;
    handlers.mouse_button = on_mouse_button;
    handlers.close = on_close;
    handlers.text = [](const char* utf8) { typed += utf8; };
    WIN32_WINDOW_BACKEND.run(handlers);
    EXPECT_EQ(typed, "\xE6\x9B\xB2\xF0\x9F\x8E\xB5");
}

} // namespace
