// The headless window backend: remembers what the program asked of its window; its run loop
// is a script run or, without a script, a real-time timer until the window is destroyed.
#include "platform/headless/headless_window.h"

#include "platform/headless/headless.h"
#include "platform/midi.h"
#include "platform/platform.h"
#include "platform/window_backend.h"

#include <atomic>
#include <csignal>

HeadlessWindowState g_headless_window;

namespace {

std::atomic<bool> g_wake{false};
volatile std::sig_atomic_t g_interrupted = 0;

void on_interrupt(int) {
    g_interrupted = 1;
}

bool open(const char* caption, const WindowOptions& options) {
    g_headless_window.open = true;
    g_headless_window.destroyed = false;
    g_headless_window.caption = caption;
    g_headless_window.options = options;
    return true;
}

// Without a script the program runs in real time until it closes itself or is interrupted,
// which counts as the window's close box.
void run_real_time(const WindowHandlers& handlers) {
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    uint32_t next_tick = platform_tick_ms() + 20;
    while (!g_headless_window.destroyed) {
        if (g_interrupted) {
            g_interrupted = 0;
            handlers.close();
            continue;
        }
        if (g_wake.exchange(false) && handlers.wake) {
            handlers.wake();
        }
        int32_t until_tick = static_cast<int32_t>(next_tick - platform_tick_ms());
        if (until_tick <= 0) {
            next_tick += 20;
            handlers.timer();
            continue;
        }
        // Headless input comes from tests and scripts, so a wake may wait for the next tick.
        platform_sleep_ms(static_cast<uint32_t>(until_tick));
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
}

void run(const WindowHandlers& handlers) {
    if (g_headless_window.options.script) {
        g_headless_window.script_errors =
            headless_script_run(g_headless_window.options.script, handlers);
        return;
    }
    run_real_time(handlers);
}

void deliver(const HeadlessEvent& event, const WindowHandlers& handlers) {
    switch (event.kind) {
    case HeadlessEventKind::key:
        g_headless.keys_down[event.code & 0xFF] = event.down;
        handlers.key(event.code, event.down);
        break;
    case HeadlessEventKind::text:
        if (handlers.text) {
            handlers.text(event.text.c_str());
        }
        break;
    case HeadlessEventKind::composition:
        if (handlers.composition) {
            handlers.composition(event.text.c_str(), event.code);
        }
        break;
    case HeadlessEventKind::move:
        handlers.mouse_move(event.code, event.y);
        break;
    case HeadlessEventKind::button:
        handlers.mouse_button(event.code == 0 ? MouseButton::left : MouseButton::right, event.down);
        break;
    }
}

// Queued test input first, then the script's next line; neither left: the input has ended.
bool pump(const WindowHandlers& handlers, uint32_t) {
    if (g_headless_window.destroyed) {
        return false;
    }
    if (!g_headless_window.queued.empty()) {
        HeadlessEvent event = g_headless_window.queued.front();
        g_headless_window.queued.pop_front();
        deliver(event, handlers);
        return true;
    }
    return headless_script_pump() && !g_headless_window.destroyed;
}

void text_input(bool on) {
    g_headless_window.text_input = on;
}

void text_input_area(int x, int y, int, int) {
    g_headless_window.text_area_x = x;
    g_headless_window.text_area_y = y;
}

void destroy() {
    g_headless_window.destroyed = true;
    g_headless_window.open = false;
}

void caption(const char* text) {
    g_headless_window.caption = text;
}

void drop_accept(bool on) {
    g_headless_window.drop_accepted = on;
}

void wake() {
    g_wake.store(true);
}

void pointer_warp(int x, int y) {
    g_headless_window.warp_x = x;
    g_headless_window.warp_y = y;
    g_headless_window.warps++;
}

void cursor_shape(int shape) {
    g_headless_window.cursor_shape = shape;
}

} // namespace

void headless_window_reset() {
    g_headless_window = HeadlessWindowState{};
    g_wake.store(false);
}

// Taken by the script runner, which delivers a wake at its next step.
bool headless_window_take_wake() {
    return g_wake.exchange(false);
}

void headless_queue_key(int virtual_key, bool down) {
    HeadlessEvent event{HeadlessEventKind::key};
    event.code = virtual_key;
    event.down = down;
    g_headless_window.queued.push_back(event);
}

void headless_queue_stroke(int virtual_key) {
    headless_queue_key(virtual_key, true);
    headless_queue_key(virtual_key, false);
}

void headless_queue_text(const char* utf8) {
    HeadlessEvent event{HeadlessEventKind::text};
    event.text = utf8;
    g_headless_window.queued.push_back(event);
}

void headless_queue_composition(const char* utf8, int caret) {
    HeadlessEvent event{HeadlessEventKind::composition};
    event.text = utf8;
    event.code = caret;
    g_headless_window.queued.push_back(event);
}

void headless_queue_move(int x, int y) {
    HeadlessEvent event{HeadlessEventKind::move};
    event.code = x;
    event.y = y;
    g_headless_window.queued.push_back(event);
}

void headless_queue_click(int x, int y) {
    headless_queue_move(x, y);
    HeadlessEvent press{HeadlessEventKind::button};
    press.down = true;
    g_headless_window.queued.push_back(press);
    HeadlessEvent release{HeadlessEventKind::button};
    g_headless_window.queued.push_back(release);
}

const PlatformWindowBackend HEADLESS_WINDOW = {
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
