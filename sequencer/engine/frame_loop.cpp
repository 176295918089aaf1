// The frame routine and who runs it: the window timer while stopped, the playback thread
// (frames back to back, optionally sleeping 1 ms) while playing or recording.
#include "platform/midi.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"

namespace {

// The longest wait between frames while playing: keys and clicks are still seen promptly.
constexpr uint32_t FRAME_WAIT_CAP_MS = 8;

bool music_runs() {
    int mode = transport_mode();
    return mode == MODE_PLAYING || mode == MODE_RECORDING;
}

void playback_thread_main(void*) {
    while (music_runs()) {
        frame_routine();
        if (sleep_option_on()) {
            platform_wait_ms(g_transport.frame_wait.load(std::memory_order_relaxed));
        }
    }
    platform_priority_raise(false);
    g_transport.thread_running.store(false, std::memory_order_release);
}

void run_frame_in_timer() {
    if (g_transport.frame_in_timer.load() || g_transport.thread_running.load()) {
        return;
    }
    g_transport.frame_in_timer.store(true);
    frame_routine();
    g_transport.frame_in_timer.store(false);
}

} // namespace

bool sleep_option_on() {
    return (g_settings.slots[SLOT_SLEEP] & 1) != 0;
}

// Frames with nothing due are skipped: the loop waits for the next event, MIDI clock or beat
// (input wakes it early), so it costs little more than the messages it sends. Only the
// internal clock while playing can say when that is; otherwise a frame runs every 1 ms.
uint32_t frame_wait_ms(uint32_t cap) {
    const SongClock& c = g_song_clock;
    if (transport_mode() != MODE_PLAYING || g_settings.slots[SLOT_CLOCK_SOURCE] != CLOCK_INTERNAL ||
        c.tempo_usec <= 0 || g_midi_devices.sysex_out_busy ||
        g_midi_in_queue.written.load(std::memory_order_acquire) !=
            g_midi_in_queue.read.load(std::memory_order_relaxed)) {
        return 1;
    }
    int64_t now = static_cast<int32_t>(clock_now() - c.clock_origin);
    int64_t due = now + cap;
    auto earlier = [&due](int64_t when) { due = when < due ? when : due; };
    for (int track = 0; track < g_song.track_count; track++) {
        const PlayCursor& cursor = g_player.tracks[track];
        if (!cursor.track_ended) {
            // A track whose next event is not read yet is read by the next frame.
            earlier(cursor.play_pending ? elapsed_when_past(cursor.play_next_tick) : now);
        }
    }
    int32_t per_clock = g_song.ticks_per_midi_clock < 1 ? 1 : g_song.ticks_per_midi_clock;
    int32_t next_clock_run_tick = c.midi_clocks_sent * per_clock;
    earlier(elapsed_when_past(c.start_tick + (next_clock_run_tick - 1) * c.speed_factor));
    int den = c.time_sig_den < 1 ? 4 : c.time_sig_den;
    int32_t beat_ticks = g_song.time_base * 4 / den < 1 ? 1 : g_song.time_base * 4 / den;
    earlier(elapsed_when_past(c.timesig_tick + (c.beat_count + 1) * beat_ticks - 1));
    int64_t wait = due - now;
    return wait < 1 ? 1 : (wait > cap ? cap : static_cast<uint32_t>(wait));
}

void normal_mode_step() {
    if (scheduler_step() == 1) {
        return; // a long message is in flight: nothing else goes out until it is done
    }
    if (g_engine_hooks.ui_step) {
        g_engine_hooks.ui_step();
    }
}

void frame_routine() {
    if (g_transport.frame_busy.test_and_set(std::memory_order_acquire)) {
        return;
    }
    int mouse_y = g_transport.mouse_y.load(std::memory_order_relaxed);
    g_transport.mouse_dy = mouse_y - g_transport.mouse_y_previous;
    if (g_settings.slots[SLOT_CLOCK_SOURCE] == CLOCK_BATON) {
        baton_detect();
    }
    if (g_engine_hooks.screen_handler) {
        g_engine_hooks.screen_handler();
    } else {
        normal_mode_step();
    }
    g_transport.mouse_y_previous = mouse_y;
    // Worked out here, while the frame owns the engine's state.
    g_transport.frame_wait.store(frame_wait_ms(FRAME_WAIT_CAP_MS), std::memory_order_relaxed);
    g_transport.frame_busy.clear(std::memory_order_release);
}

void playback_thread_join() {
    if (g_transport.thread) {
        platform_thread_join(g_transport.thread);
        g_transport.thread = nullptr;
    }
}

void engine_timer_tick() {
    if (!music_runs()) {
        run_frame_in_timer();
        return;
    }
    if (g_transport.thread_running.load(std::memory_order_acquire)) {
        return;
    }
    playback_thread_join(); // the previous run's thread has ended by itself
    g_transport.thread_running.store(true);
    platform_priority_raise(true);
    // Real-time scheduling only for a loop that sleeps: a busy loop at that priority would
    // starve the window thread and run into the kernel's real-time throttling.
    g_transport.thread = platform_thread_start(playback_thread_main, nullptr, sleep_option_on());
    if (!g_transport.thread) {
        // No thread to be had: play on, one frame per timer tick.
        g_transport.thread_running.store(false);
        platform_priority_raise(false);
        run_frame_in_timer();
    }
}
