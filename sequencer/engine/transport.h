// The playback engine: transport, song clock, per-track cursors, dispatch, metronome and
// the frame routine with the thread that runs it while music plays.
// Implemented in: frame_loop.cpp, scheduler.cpp, song_clock.cpp, transport_ops.cpp,
// transport_state.cpp.
#pragma once
#include "songcore/event_parse.h"
#include "songcore/song_store.h"

#include <atomic>
#include <cstdint>

enum TransportMode { MODE_STOPPED = 0, MODE_PLAYING = 1, MODE_RECORDING = 2, MODE_STANDBY = 3 };
enum ClockSource { CLOCK_INTERNAL = 0, CLOCK_MIDI = 1, CLOCK_BATON = 2 };
enum class WindPhase { press, hold, release };

// Shared between the window thread and the playback thread: the mode and the flags that
// decide who runs the frame routine are atomics; everything else is touched only inside
// the frame routine, which never runs on both threads at once.
struct Transport {
    std::atomic<int> transport_mode{MODE_STOPPED};
    std::atomic_flag frame_busy{};
    std::atomic<bool> frame_in_timer{};
    std::atomic<bool> thread_running{};
    std::atomic<uint32_t> frame_wait{1}; // ms the playback loop may wait after the last frame
    struct PlatformThread* thread = nullptr;
    bool paused = false;
    int record_start_measure = 0;
    // The measure the last run (playback, recording or record standby) started from: where
    // a full stop takes the song back to.
    int run_start_measure = 0;
    bool step_recording = false;
    bool was_playing = false; // a fast-forward or rewind press stopped playback
    // The keyboard octave (-2..8): -1 enables controller exchange, -2 remote control,
    // 7 and 8 choose the captures of a start with alt_mode.
    int play_octave = 3;
    bool alt_mode = false;       // Shift or the right mouse button held
    bool remote_allowed = false; // the menu is in a state that offers remote control
    // The window's mouse y (written by the window thread); each frame works out mouse_dy,
    // the movement since the previous frame (up < 0), for the baton.
    std::atomic<int> mouse_y{};
    int mouse_y_previous = 0;
    int mouse_dy = 0;
};

// Milliseconds unless noted; signed 32-bit, as the clock wraps only after 24 days.
// Frames only (the playback thread while music runs, else the window thread).
struct SongClock {
    uint32_t clock_origin = 0;
    uint32_t pause_mark = 0;
    int32_t elapsed_ms = 0;
    int32_t last_elapsed_ms = 0;
    int32_t anchor_ms = 0;
    int32_t anchor_ticks = 0;
    // Time between the anchor tick and the anchor itself, in units of 1/(1000 * time_base) ms:
    // re-anchoring keeps the part of a tick already played, so rounding never accumulates.
    int64_t anchor_extra = 0;
    int32_t run_ticks = 0;
    int32_t start_tick = 0;
    int32_t song_tick = 0;
    int speed_factor = 1; // 1..16
    int32_t midi_clocks_sent = 0;
    int tempo_bpm = 120;         // 1..600, whole quarter notes per minute as shown and set by hand
    int32_t tempo_usec = 500000; // microseconds per quarter played: a file's tempo exactly
    int time_sig_num = 4;
    int time_sig_den = 4;
    int current_measure = 0; // 0-based
    int32_t timesig_tick = 0;
    int timesig_measure = 0;
    int32_t beat_count = 0;
    int32_t last_beat = -1;
    // Mouse baton.
    int baton_mark = -1; // -1 no mark yet, 0 none new, 1 a new mark
    int baton_state = 0; // 0 idle, 1 moving down, 2 moving up
    int32_t baton_ticks = 0;
    int32_t baton_last_mark_ms = 0;
    bool midi_clock_seen = false;
};

struct PlayCursor {
    TrackWalk walk{};
    TrackEvent pending_event{};
    int32_t play_next_tick = 0;
    bool play_pending = false;
    bool track_ended = false;
};

constexpr int LYRIC_LINE_SIZE = 264;

// The track cursors and what is being sent. Frames only.
struct Player {
    PlayCursor tracks[MAX_TRACKS] = {};
    int playing_track = 0;     // 1-based track being sent, 0 when not from a track
    int32_t sending_tick = -1; // tick of the track event inside midi_send, -1 for other sends
    bool send_muted = false;
    bool stop_after_dispatch = false;
    int click_state = 0;         // 0 none, 1 accent sounding, 2 normal sounding
    uint8_t click_on[2][3] = {}; // accent, normal
    uint8_t click_off[2][3] = {};
    char lyric_line[LYRIC_LINE_SIZE] = {};
};

extern Transport g_transport;
extern SongClock g_song_clock;
extern Player g_player;
// All three records afresh; the playback thread must have ended.
void transport_reset();

inline int transport_mode() {
    return g_transport.transport_mode.load(std::memory_order_relaxed);
}
void transport_mode_set(int mode);
// Moves the keyboard octave by `delta` when the result stays inside -2..8.
void play_octave_step(int delta);
void alt_mode_set(bool held);
// The record mode chosen on the recording page: step by step or in real time.
void step_recording_set(bool on);
// The window's mouse y for the baton (window thread).
void baton_mouse_y_set(int y);

// The frame routine and who runs it.
void frame_routine();
void normal_mode_step();
// The 20 ms window timer: starts the playback thread or runs a frame.
void engine_timer_tick();
// Ends the playback thread when it is running (it stops by itself once the mode is 0).
void playback_thread_join();
bool sleep_option_on();

// Clock.
uint32_t clock_now();
void clock_reset();
void clock_mark();
void clock_resume();
// A tempo set by hand: tempo_bpm, clamped to 1..600, played as that whole BPM from now on.
void tempo_set();
// A tempo from the song (microseconds per quarter), played exactly from now on and shown in
// whole BPM; clamped to the 1..600 BPM bounds.
void tempo_from_usec(uint32_t usec);
// A tempo event of a track at song tick `tick`: the new tempo counts from that tick.
void tempo_event_apply(uint32_t usec, int32_t tick);
// Moves the anchor to `run_tick` (at most run_ticks), keeping the time played since it.
void clock_reanchor_at(int32_t run_tick);
void clock_advance();
void baton_detect();
// With the internal clock: the elapsed milliseconds at which song_tick will first pass
// `tick` (the current elapsed time when it already has).
int64_t elapsed_when_past(int32_t tick);
// The elapsed time, in milliseconds since the run's origin (with its fraction), at which the
// internal clock reached `tick` at the tempo in force: when an event the scheduler sends on a
// later frame was due. For a tick already passed in this run.
double elapsed_ms_at_tick(int32_t tick);
// How long the playback loop may wait before the next frame has something to send: the next
// event of a track, MIDI clock or beat; between 1 and `cap` milliseconds.
uint32_t frame_wait_ms(uint32_t cap);
// Ticks of `ms` milliseconds at `tempo_usec`, without overflow.
int32_t ticks_for_ms(int64_t ms, int32_t tempo_usec);

// Scheduling.
int scheduler_step();
void dispatch_due_events();
void locate_tracks(int32_t tick);
// After an edit while music runs (chunks rebuilt or moved): every track's cursor is found
// again at the same time in the song, so nothing is sent twice or skipped.
void play_cursors_follow_edit();
int32_t locate_measure(int measure_index);
void position_reset();
void counters_reset();

// Transport operations.
void transport_start();
void transport_stop(bool full);
void record_standby();
void to_top();
void fast_forward(WindPhase phase);
void rewind(WindPhase phase);
void tempo_step(int delta);
// Moves the song to a measure while stopped; the next start re-locates there.
void measure_move(int measure_index);
void speed_factor_set(int factor);
// "00:00:00.000" of elapsed_ms.
void elapsed_time_text(int32_t elapsed_ms, char out[13]);
