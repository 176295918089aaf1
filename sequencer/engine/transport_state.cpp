// The playback engine's records and their start state.
#include "sequencer/engine/transport.h"

#include <cstring>

Transport g_transport;
SongClock g_song_clock;
Player g_player;

void transport_mode_set(int mode) {
    g_transport.transport_mode.store(mode, std::memory_order_relaxed);
}

void transport_reset() {
    Transport& t = g_transport;
    t.transport_mode.store(MODE_STOPPED);
    t.frame_busy.clear();
    t.frame_in_timer.store(false);
    t.thread_running.store(false);
    t.frame_wait.store(1);
    t.thread = nullptr;
    t.paused = false;
    t.record_start_measure = 0;
    t.run_start_measure = 0;
    t.step_recording = false;
    t.was_playing = false;
    t.play_octave = 3;
    t.alt_mode = false;
    t.remote_allowed = false;
    t.mouse_y.store(0, std::memory_order_relaxed);
    t.mouse_y_previous = 0;
    t.mouse_dy = 0;
    g_song_clock = SongClock{};
    g_song_clock.speed_factor = 1;
    g_song_clock.tempo_bpm = 120;
    g_song_clock.tempo_usec = 500000;
    g_song_clock.time_sig_num = 4;
    g_song_clock.time_sig_den = 4;
    g_song_clock.last_beat = -1;
    g_song_clock.baton_mark = -1;
    Player& p = g_player;
    memset(p.tracks, 0, sizeof p.tracks);
    p.playing_track = 0;
    p.send_muted = false;
    p.stop_after_dispatch = false;
    p.click_state = 0;
    p.lyric_line[0] = '\0';
}
