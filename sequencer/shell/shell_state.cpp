// The shell's state at start, and the press-flash queue.
#include "sequencer/shell/shell_state.h"

#include "sequencer/shell/draw.h"

#include <cstring>

ShellState g_shell;

void shell_reset() {
    ShellState& s = g_shell;
    s.app_state = STATE_START;
    s.tick_busy.store(false);
    s.mouse_x.store(0);
    s.mouse_y.store(0);
    s.left_down.store(0);
    s.right_down.store(0);
    s.shift_down.store(0);
    s.key_code.store(0);
    s.pointer_x = s.pointer_y = 0;
    s.pointer_left = s.pointer_alt = 0;
    s.swallow_press = 0;
    s.cursor_shape.store(0);
    s.cursor_shown = -1;
    s.exit_stage = 0;
    s.is_japanese = 0;
    memset(s.program_dir, 0, sizeof s.program_dir);
    memset(s.command_line, 0, sizeof s.command_line);
    s.background_slot = 0;
    memset(s.frame_queue, 0, sizeof s.frame_queue);
    s.queue_write.store(0);
    s.queue_read.store(0);
    s.button_pressed = 0;
    s.pressed = FlashFrame{};
    s.page_before_recording = 1;
    s.frames_follow_clock = false;
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
