// The fixed fields of the main screen, each drawn by whoever changes its value.
#pragma once
#include <cstdint>

#include <atomic>

// The status field belongs to frames. The port's device number is latched by frames (the
// port table belongs to them) and drawn by frames or by the window timer's refresher.
struct MainFields {
    char status_first = 0;          // first byte of the status text last shown
    std::atomic<int> port_device{}; // device number of the current output port, 0-based
};

extern MainFields g_main_fields;
void main_fields_reset();

void show_version();
// The status line (the shell's hook behind show_status).
void status_draw(const char* text);
void show_elapsed_text(const char* text); // "00:00:00.000"
void show_position(int measure_number, int beat, int clock);
void show_time_signature(int numerator, int denominator);
void show_tempo(int tempo_bpm);
void show_title();
void show_step_length(int32_t ticks);
void show_step_hold_mark(bool on);
void show_octave();
void show_bank();
void show_channel();
void show_channel_mute_mark();
void show_track();
void show_track_mute_mark();
// Takes the current output port's device number (frames only), then draws it.
void port_device_latch();
void show_port_device();
// The last lyric of the song on the bottom line; "" clears it.
void show_lyric(const char* text);
// A lamp on the play and record buttons while the song plays, records or stands by.
void show_transport_lamps(bool playing, bool recording);
// Draws the whole set at start-up.
void main_fields_draw_all();
