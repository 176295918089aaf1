// The modal loop: shows a view in a guarded rectangle of the picture, feeds it the window's
// input (pumped on the window thread, posted from it otherwise) and keeps the song playing.
#include "gui/modal.h"
#include "gui/modal_state.h"
#include "platform/virtual_keys.h"

#include "platform/midi.h"
#include "platform/picture.h"
#include "platform/platform.h"

#include <algorithm>

ModalState g_modal;
ModalHooks g_modal_hooks;

namespace {

constexpr uint32_t PUMP_WAIT_MS = 1;

void view_draw(ModalView& view) {
    if (view.draw) {
        view.draw(view.context);
    }
    picture_guard_show(modal_canvas().pixels);
}

// Hands one event to the view; false when it asks the view to end (the window is closing).
bool deliver(ModalView& view, const ModalEvent& event) {
    switch (event.kind) {
    case ModalEventKind::key:
        if (event.code == VK_SHIFT) {
            g_modal.shift_down = event.down;
        } else if (event.code == VK_CONTROL) {
            g_modal.ctrl_down = event.down;
        }
        if (view.key) {
            view.key(view.context, event.code, event.down);
        }
        break;
    case ModalEventKind::text:
        if (view.text && view.wants_text) {
            view.text(view.context, event.text);
        }
        break;
    case ModalEventKind::composition:
        if (view.composition && view.wants_text) {
            view.composition(view.context, event.text, event.code);
        }
        break;
    case ModalEventKind::move:
        g_modal.mouse_x = event.code;
        g_modal.mouse_y = event.y;
        if (view.mouse_move) {
            view.mouse_move(view.context, event.code, event.y);
        }
        break;
    case ModalEventKind::button:
        if (view.mouse_button) {
            view.mouse_button(view.context,
                              event.code == 0 ? MouseButton::left : MouseButton::right, event.down,
                              g_modal.mouse_x, g_modal.mouse_y);
        }
        break;
    case ModalEventKind::close:
        return false;
    }
    return true;
}

bool finished(ModalView& view) {
    return view.finished != nullptr && view.finished(view.context);
}

void cancel(ModalView& view) {
    if (view.cancel) {
        view.cancel(view.context);
    }
}

// Everything posted so far; false when the input has ended.
bool drain(ModalView& view) {
    ModalEvent event;
    bool any = false;
    while (!finished(view) && modal_take(event)) {
        any = true;
        if (!deliver(view, event)) {
            return false;
        }
    }
    if (any && !finished(view)) {
        view_draw(view);
    }
    return true;
}

void keep_playing() {
    if (g_modal_hooks.keep_playing) {
        g_modal_hooks.keep_playing();
    }
}

bool on_window_thread() {
    return g_modal.window_handlers == nullptr ||
           std::this_thread::get_id() == g_modal.window_thread;
}

void loop(ModalView& view) {
    bool pumping = on_window_thread();
    const WindowHandlers& handlers =
        g_modal.window_handlers != nullptr ? *g_modal.window_handlers : MODAL_POST_HANDLERS;
    while (!finished(view)) {
        bool input_goes_on = true;
        if (pumping) {
            input_goes_on = platform_window_pump(handlers, PUMP_WAIT_MS);
        }
        bool open = drain(view);
        if (!open || (!input_goes_on && !finished(view))) {
            cancel(view);
            return;
        }
        if (finished(view)) {
            return;
        }
        keep_playing();
        if (!pumping) {
            platform_sleep_ms(1);
        }
    }
}

} // namespace

void modal_run(ModalView& view) {
    int level = g_modal.depth.load();
    if (level >= MODAL_DEPTH || !picture_guard_push(view.x, view.y, view.width, view.height)) {
        cancel(view);
        return;
    }
    std::vector<uint32_t>& canvas = g_modal.canvases[level];
    canvas.resize(static_cast<size_t>(PICTURE_WIDTH) * PICTURE_HEIGHT);
    {
        std::lock_guard<std::mutex> hold(g_picture.lock);
        std::copy(std::begin(g_picture.pixels), std::end(g_picture.pixels), canvas.begin());
    }
    g_modal.depth.fetch_add(1);
    if (level == 0) {
        g_modal.shift_down = platform_key_down(VK_SHIFT);
        g_modal.ctrl_down = platform_key_down(VK_CONTROL);
    }
    if (g_modal_hooks.opened) {
        g_modal_hooks.opened();
    }
    if (view.wants_text) {
        platform_text_input(true);
    }
    view_draw(view);
    loop(view);
    if (view.wants_text) {
        platform_text_input(false);
    }
    picture_guard_pop();
    g_modal.depth.fetch_sub(1);
    if (level == 0) {
        // Input left over from a view that has ended is not for the next one.
        ModalEvent stale;
        while (modal_take(stale)) {
        }
    }
}

bool modal_active() {
    return g_modal.depth.load() > 0;
}

void modal_attach(const WindowHandlers* handlers) {
    g_modal.window_handlers = handlers;
    g_modal.window_thread = std::this_thread::get_id();
}

Canvas modal_canvas() {
    int level = std::max(0, g_modal.depth.load() - 1);
    std::vector<uint32_t>& canvas = g_modal.canvases[level];
    canvas.resize(static_cast<size_t>(PICTURE_WIDTH) * PICTURE_HEIGHT);
    return Canvas{canvas.data(), PICTURE_WIDTH, PICTURE_HEIGHT};
}

bool modal_shift_down() {
    return g_modal.shift_down;
}

bool modal_ctrl_down() {
    return g_modal.ctrl_down;
}

void modal_reset() {
    {
        std::lock_guard<std::mutex> hold(g_modal.lock);
        g_modal.ring_read = 0;
        g_modal.ring_write = 0;
    }
    g_modal.depth.store(0);
    g_modal.window_handlers = nullptr;
    g_modal.window_thread = std::thread::id{};
    g_modal.mouse_x = 0;
    g_modal.mouse_y = 0;
    g_modal.shift_down = false;
    g_modal.ctrl_down = false;
    g_modal_hooks = ModalHooks{};
}
