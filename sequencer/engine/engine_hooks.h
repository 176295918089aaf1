// What the engine asks of the screen: display hooks the shell fills (null in tests and
// until the shell exists) and the dirty flags the window timer draws from.
#pragma once
#include <atomic>
#include <cstdint>

enum class TransportIndicator { stop, play, record, top, fast_forward, rewind, none };

struct EngineHooks {
    // The current screen mode's handler; null runs the normal mode: scheduler, then ui_step.
    void (*screen_handler)();
    void (*ui_step)();
    // MIDI input was queued while stopped. Null runs the frame routine at once, on the
    // thread that delivered the input.
    void (*input_arrived)();
    void (*drop_accept)(bool on);
    void (*indicator)(TransportIndicator shown);
    void (*lyric)(const char* text); // Shift-JIS; "" clears the line
    void (*elapsed_time)(const char* text);
    // Recording begins (remember the menu page, show the recording page) or ends (go back).
    void (*record_page)(bool entering);
    void (*measure_shown)(int measure_index); // the measure the song now stands at
    void (*program_panel)(int channel_index); // program or bank of the channel changed
    void (*step_length)(int32_t ticks);       // step-recording length field; 0 clears it
    void (*step_hold_mark)(bool on);          // the "M" of a held Ctrl key in step recording
    void (*out_port_changed)();
    void (*input_note)(int note, int velocity); // last note received
};

// Fields the engine changes and the window timer draws. Written by the frame routine,
// read by the window thread: atomics, relaxed, because a field drawn late is redrawn next tick.
struct EngineDisplay {
    std::atomic<bool> position_dirty;
    std::atomic<bool> timesig_dirty;
    std::atomic<bool> tempo_dirty;
    std::atomic<bool> notes_dirty;
    std::atomic<int> measure; // 1-based as shown
    std::atomic<int> beat;
    std::atomic<int> clock;
    std::atomic<int> tempo_bpm;
    std::atomic<int> time_sig_num;
    std::atomic<int> time_sig_den;
};

extern EngineHooks g_engine_hooks;
extern EngineDisplay g_engine_display;
void engine_hooks_reset();
void engine_display_reset();
// Position display: measure and beat (1-based) and the clock field.
void display_position(int measure_number, int beat, int clock);
void display_tempo(int tempo_bpm);
void display_time_signature(int numerator, int denominator);
