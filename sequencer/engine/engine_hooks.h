// What the engine asks of the screen: display hooks the shell fills (null in tests and
// until the shell exists) and the dirty flags the window timer draws from.
#pragma once
#include <atomic>
#include <cstdint>

enum class TransportIndicator { stop, play, record, top, fast_forward, rewind, none };

// Filled on the window thread at start, before the playback thread exists; afterwards read
// by frames on either thread.
struct EngineHooks {
    // The current screen mode's handler; null runs the normal mode: scheduler, then ui_step.
    void (*screen_handler)() = nullptr;
    void (*ui_step)() = nullptr;
    // MIDI input was queued while stopped. Null runs the frame routine at once, on the
    // thread that delivered the input.
    void (*input_arrived)() = nullptr;
    void (*drop_accept)(bool on) = nullptr;
    void (*indicator)(TransportIndicator shown) = nullptr;
    void (*lyric)(const char* text) = nullptr; // Shift-JIS; "" clears the line
    void (*elapsed_time)(const char* text) = nullptr;
    // Recording begins (remember the menu page, show the recording page) or ends (go back).
    void (*record_page)(bool entering) = nullptr;
    void (*measure_shown)(int measure_index) = nullptr; // the measure the song now stands at
    void (*program_panel)(int channel_index) = nullptr; // program or bank of the channel changed
    void (*step_length)(int32_t ticks) = nullptr;       // step-recording length field; 0 clears it
    void (*step_hold_mark)(bool on) = nullptr; // the "M" of a held Ctrl key in step recording
    void (*out_port_changed)() = nullptr;
    void (*input_note)(int note, int velocity) = nullptr; // last note received
};

// Fields the engine changes and the window timer draws. Written by the frame routine,
// read by the window thread: atomics, relaxed, because a field drawn late is redrawn next tick.
struct EngineDisplay {
    std::atomic<bool> position_dirty{};
    std::atomic<bool> timesig_dirty{};
    std::atomic<bool> tempo_dirty{};
    std::atomic<bool> notes_dirty{};
    std::atomic<int> measure{1}; // 1-based as shown
    std::atomic<int> beat{1};
    std::atomic<int> clock{};
    std::atomic<int> tempo_bpm{120};
    std::atomic<int> time_sig_num{4};
    std::atomic<int> time_sig_den{4};
};

extern EngineHooks g_engine_hooks;
extern EngineDisplay g_engine_display;
void engine_hooks_reset();
// Built afresh in place: the fields are atomics.
void engine_display_reset();
// Position display: measure and beat (1-based) and the clock field.
void display_position(int measure_number, int beat, int clock);
void display_tempo(int tempo_bpm);
void display_time_signature(int numerator, int denominator);
