// Keyboard, mouse and pointer input: the per-frame step that turns the latched input into
// clicks, keyboard commands, notes from the on-screen keyboard and auto-repeat.
// Implemented in: key_handler.cpp, lower_click.cpp, pc_note_keys.cpp, pointer_keys.cpp,
// ui_input_state.cpp, ui_step.cpp.
#pragma once
#include <atomic>
#include <cstdint>

enum LowerPanelMode { LOWER_TEMPO = 0, LOWER_PITCH_BEND = 1, LOWER_CONTROLLER = 2 };

constexpr int REPEAT_DEADLINE = 1; // deadline slot of the auto-repeat
constexpr int PC_NOTE_KEYS = 20;

// The virtual-key codes of the PC keyboard's note keys, chromatic from the octave's C.
extern const int PC_NOTE_KEY_CODES[PC_NOTE_KEYS];

// Frames own everything here; the lower panel's mode and the slider value are also read by
// the window timer's refresher, so they are atomics.
struct UiInput {
    int alt_mode = 0;      // 0 none, 2 Shift or right button held, 1 and a sustain "on" was sent
    int pointer_focus = 0; // 0 menu column, 1 right panel
    int32_t pointer_index = 0;
    int last_key_handled = 0;
    int press_active = 0;
    int repeat_armed = 0;
    int repeat_count = 0;
    int pointer_strayed = 0;
    int deferred_click = 0;
    bool click_is_release = false; // the deferred click of a release is running
    uint8_t bend_drag = 0;
    std::atomic<int> lower_panel_mode{LOWER_TEMPO};
    std::atomic<int> slider_value{64}; // 0..127 as shown (pitch bend shows value - 64)
    // The slider's controller, latched by the frame that chose controller mode: the channel
    // state and settings it comes from belong to the frames.
    std::atomic<int> slider_controller{};
    int slider_sent = -1; // last value sent from the slider; -1 none
    int play_velocity = 100;
    bool velocity_lock = false;     // the on-screen keyboard plays play_velocity
    uint8_t keyboard_notes[4] = {}; // notes sounding from the on-screen keyboard
    int keyboard_note_count = 0;
    int auditioned_note = -1; // -1 none
    int last_note = -1;       // the last note played or received; -1 none
    // The PC keyboard's note keys: each key's edge word, the note it sounds (-1 none) and the
    // channel it sounds on, and the octave they play in, latched while none sounds.
    int note_key_state[PC_NOTE_KEYS] = {};
    int note_key_sounding[PC_NOTE_KEYS] = {};
    uint8_t note_key_channel[PC_NOTE_KEYS] = {};
    int note_key_octave = 3;
};

extern UiInput g_ui;
// Built afresh in place: the fields the refresher reads are atomics.
void ui_input_reset();

// The per-frame step; returns the cursor row of menu page 0 (1 while a long message is
// still being sent).
int ui_step();
void key_handler();
// Plays and ends the notes of the PC keyboard's note keys; polled every frame while "PC KEY"
// is on.
void pc_note_keys();
void pointer_move(int direction);
void page_key(int page);
void lower_click(int x, int y);
// The main screen's tabs and transport buttons, as a click on them runs them.
void page_tab_click(int page);
void transport_button_click(int button); // TransportButton
// A whole press and release of a transport button, for a key that stands for a click on it.
void transport_button_stroke(int button);
bool clicks_allowed();
void warp_pointer(int x, int y);
// Sends a channel message on the current channel to the output and to the recorder.
void send_and_record(uint8_t status, uint8_t data1, uint8_t data2, int length);
