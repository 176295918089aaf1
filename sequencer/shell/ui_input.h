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
constexpr int CHORD_PAD_NOTES = 4;  // notes of each chord of the pads' table
constexpr int CHORD_PAD_OCTAVE = 8; // the keyboard octave at which the note keys are chord pads

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
    // A key whose note pitch tracing handed to another key: silent until it is released.
    bool note_key_traced_out[PC_NOTE_KEYS] = {};
    // Chord pads: the one pad key sounding (-1 none), its four notes and channel, and the
    // chord it plays (0-based; -1 none yet).
    int pad_key = -1;
    uint8_t pad_notes[CHORD_PAD_NOTES] = {};
    uint8_t pad_channel = 0;
    int pad_chord = -1;
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
// The note key `index` (0..19) plays at keyboard octave `octave`, limited to 0..127.
int pc_key_note(int octave, int index);
// Sends and records the note-ons of chord `chord` (1..24) of the chord table on the current
// channel and keeps them as the sounding pad, whose note-offs pc_note_keys sends.
void chord_pad_play(int chord, int velocity);
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
