// The playback engine's records and their start state.
#include "sequencer/engine/transport.h"

#include "common/check.h"
#include "common/record_rebuild.h"

Transport g_transport;
SongClock g_song_clock;
Player g_player;

void transport_mode_set(int mode) {
    ZB_CHECK(mode >= MODE_STOPPED && mode <= MODE_STANDBY);
    g_transport.transport_mode.store(mode, std::memory_order_relaxed);
}

void play_octave_step(int delta) {
    int octave = g_transport.play_octave + delta;
    if (octave >= -2 && octave <= 8) {
        g_transport.play_octave = octave;
    }
}

void step_recording_set(bool on) {
    // A recording keeps the mode it began in.
    if (transport_mode() != MODE_RECORDING) {
        g_transport.step_recording = on;
    }
}

void alt_mode_set(bool held) {
    g_transport.alt_mode = held;
}

void baton_mouse_y_set(int y) {
    g_transport.mouse_y.store(y, std::memory_order_relaxed);
}

void transport_reset() {
    record_rebuild(g_transport);
    g_song_clock = SongClock{};
    g_player = Player{};
}
