// The shell's state at start, and the press-flash queue.
#include "sequencer/shell/shell_state.h"

#include "common/record_rebuild.h"
#include "sequencer/shell/draw.h"

#include <cstring>

ShellState g_shell;

void shell_reset() {
    record_rebuild(g_shell);
}

void frame_queue_push(int left, int top, int right, int bottom, int style) {
    int write = g_shell.queue_write.load(std::memory_order_relaxed);
    g_shell.frame_queue[write] = FlashFrame{left, top, right, bottom, style};
    g_shell.queue_write.store((write + 1) % FRAME_QUEUE_SIZE, std::memory_order_release);
}

bool frame_queue_draw_one() {
    int read = g_shell.queue_read.load(std::memory_order_relaxed);
    if (read == g_shell.queue_write.load(std::memory_order_acquire)) {
        return false;
    }
    const FlashFrame& f = g_shell.frame_queue[read];
    bevel_frame(f.left, f.top, f.right, f.bottom, f.style);
    g_shell.queue_read.store((read + 1) % FRAME_QUEUE_SIZE, std::memory_order_release);
    return true;
}

void press_flash(int left, int top, int right, int bottom) {
    frame_queue_push(left, top, right, bottom, 2);
    g_shell.pressed = FlashFrame{left, top, right, bottom, 2};
    g_shell.button_pressed = 1;
}

void release_flash() {
    if (g_shell.button_pressed) {
        const FlashFrame& p = g_shell.pressed;
        frame_queue_push(p.left, p.top, p.right, p.bottom, 0);
    }
}
