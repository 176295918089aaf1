// Input for a running modal view: a small locked ring any thread posts into and the modal
// loop drains, and the handler table that posts everything.
#include "gui/modal.h"
#include "gui/modal_state.h"

#include <cstring>

namespace {

void post(const ModalEvent& event) {
    std::lock_guard<std::mutex> hold(g_modal.lock);
    int next = (g_modal.ring_write + 1) % MODAL_RING_SIZE;
    if (next == g_modal.ring_read) {
        return; // a view that stopped reading loses input rather than blocking the window
    }
    g_modal.ring[g_modal.ring_write] = event;
    g_modal.ring_write = next;
}

// Copies as much UTF-8 text as fits without splitting a character; returns the bytes taken.
size_t text_copy(char (&out)[64], const char* utf8) {
    size_t length = strlen(utf8);
    if (length >= sizeof out) {
        length = sizeof out - 1;
        while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80) {
            length--;
        }
    }
    memcpy(out, utf8, length);
    out[length] = '\0';
    return length;
}

void no_timer() {}

void post_close_handler() {
    modal_post_close();
}

} // namespace

bool modal_take(ModalEvent& event) {
    std::lock_guard<std::mutex> hold(g_modal.lock);
    if (g_modal.ring_read == g_modal.ring_write) {
        return false;
    }
    event = g_modal.ring[g_modal.ring_read];
    g_modal.ring_read = (g_modal.ring_read + 1) % MODAL_RING_SIZE;
    return true;
}

void modal_post_key(int virtual_key, bool down) {
    ModalEvent event;
    event.kind = ModalEventKind::key;
    event.code = virtual_key;
    event.down = down;
    post(event);
}

// Longer text (a script's or a test's) goes in as several events, cut between characters.
void modal_post_text(const char* utf8) {
    do {
        ModalEvent event;
        event.kind = ModalEventKind::text;
        utf8 += text_copy(event.text, utf8);
        post(event);
    } while (*utf8 != '\0');
}

void modal_post_composition(const char* utf8, int caret) {
    ModalEvent event;
    event.kind = ModalEventKind::composition;
    event.code = caret;
    text_copy(event.text, utf8);
    post(event);
}

void modal_post_mouse_move(int x, int y) {
    ModalEvent event;
    event.kind = ModalEventKind::move;
    event.code = x;
    event.y = y;
    post(event);
}

void modal_post_mouse_button(MouseButton button, bool down) {
    ModalEvent event;
    event.kind = ModalEventKind::button;
    event.code = button == MouseButton::left ? 0 : 1;
    event.down = down;
    post(event);
}

void modal_post_close() {
    ModalEvent event;
    event.kind = ModalEventKind::close;
    post(event);
}

const WindowHandlers MODAL_POST_HANDLERS = {
    no_timer,
    modal_post_key,
    modal_post_mouse_move,
    modal_post_mouse_button,
    nullptr,
    post_close_handler,
    nullptr,
    nullptr,
    modal_post_text,
    modal_post_composition,
};
