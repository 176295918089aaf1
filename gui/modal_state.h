// The modal loop's one record, shared by its two source files.
// Implemented in: modal.cpp, modal_input.cpp.
//
// Threads: `ring` and its indexes are written by any thread posting input and read by the
// modal_run thread, under `lock`; `depth` is atomic; everything else belongs to the modal_run
// thread (attachment is set once at start, before any view runs).
#pragma once
#include "platform/window.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

enum class ModalEventKind { key, text, composition, move, button, close };

struct ModalEvent {
    ModalEventKind kind = ModalEventKind::key;
    int code = 0; // key: virtual key; composition: caret; move: x; button: 0 left, 1 right
    int y = 0;
    bool down = false;
    char text[64] = {}; // UTF-8, cut on a character boundary
};

constexpr int MODAL_RING_SIZE = 128;
constexpr int MODAL_DEPTH = 4;

// Threads: see the top of this file (the ring under `lock`, `depth` atomic, the rest the
// modal_run thread's).
struct ModalState {
    std::mutex lock;
    ModalEvent ring[MODAL_RING_SIZE] = {};
    int ring_read = 0, ring_write = 0; // under lock; equal: empty
    std::atomic<int> depth{0};
    const WindowHandlers* window_handlers = nullptr;
    std::thread::id window_thread{};
    // The modal_run thread's.
    int mouse_x = 0, mouse_y = 0;
    bool shift_down = false, ctrl_down = false;
    std::vector<uint32_t> canvases[MODAL_DEPTH];
};

extern ModalState g_modal;

// Takes the oldest posted event; false when none is waiting.
bool modal_take(ModalEvent& event);
// Handlers that post everything, for a pump with no program handlers attached.
extern const WindowHandlers MODAL_POST_HANDLERS;
