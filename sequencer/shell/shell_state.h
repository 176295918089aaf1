// The shell's process-wide state: screen mode, the window's input latch, the frame's
// pointer latch, the press-flash queue and start-up facts (program directory, language).
//
// Threads: the window thread writes the window latch (atomics) and runs the tick refresher;
// frames (window thread while stopped, playback thread while music runs) read the latch and
// own everything else here, apart from app_state, which the refresher reads. The
// press-flash queue is pushed by frames and drained by the refresher, one writer and one reader.
#pragma once
#include <atomic>
#include <cstdint>

enum AppState { STATE_RUN = 1, STATE_START = 2, STATE_QUIT = 8 };

constexpr int PROGRAM_DIR_SIZE = 260;
constexpr int COMMAND_LINE_SIZE = 1024;
constexpr int FRAME_QUEUE_SIZE = 5;

struct FlashFrame {
    int left = 0, top = 0, right = 0, bottom = 0;
    int style = 0; // bevel style: 0 raised, 2 pressed
};

// Threads: as the top of this file says.
struct ShellState {
    std::atomic<int> app_state{STATE_START}; // read by the refresher while frames change it
    std::atomic<bool> tick_busy{};
    // Window input latch.
    std::atomic<int> mouse_x{0}, mouse_y{0};
    std::atomic<int> left_down{0}, right_down{0}, shift_down{0};
    std::atomic<int> key_code{}; // virtual key of the last key pressed; 0 once released
    // Frame input latch.
    int pointer_x = 0, pointer_y = 0;
    int pointer_left = 0; // held, or a key stroke standing for a click
    int pointer_alt = 0;  // right button or Shift held during the frame
    int swallow_press = 0;
    std::atomic<int> cursor_shape{}; // 0 arrow, 1 the program's cursor, 2 hourglass
    int cursor_shown = -1;           // the shape the window shows (window thread); -1 none yet
    int exit_stage = 0;              // 0 running, 1 window close under way, 2 pictures released
    int is_japanese = 0;
    char program_dir[PROGRAM_DIR_SIZE] = {}; // with a trailing separator
    char command_line[COMMAND_LINE_SIZE] = {};
    int background_slot = 0; // picture slot of the background image
    // Press flash.
    FlashFrame frame_queue[FRAME_QUEUE_SIZE] = {};
    std::atomic<int> queue_write{0}, queue_read{0};
    int button_pressed = 0; // 1 a button, 2 an on-screen key, 4 an auditioned note
    FlashFrame pressed{};
    int page_before_recording = 1; // the menu page to show again when recording ends
    // Frames follow a clock that a script drives instead of running on the playback thread.
    bool frames_follow_clock = false;
};

extern ShellState g_shell;
// Built afresh in place: the latch and the queue indexes are atomics.
void shell_reset();

// Press flash: the button is drawn sunken now and raised one tick after its release.
void press_flash(int left, int top, int right, int bottom);
void release_flash();
void frame_queue_push(int left, int top, int right, int bottom, int style);
// Draws one queued frame; false when the queue is empty.
bool frame_queue_draw_one();
