// The frame routine and who runs it: the window timer while stopped, the playback thread
// (frames back to back, optionally sleeping 1 ms) while playing or recording.
#include "platform/midi.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"

namespace {

bool music_runs() {
    int mode = transport_mode();
    return mode == MODE_PLAYING || mode == MODE_RECORDING;
}

void playback_thread_main(void*) {
    while (music_runs()) {
        frame_routine();
        if (sleep_option_on()) {
            platform_sleep_ms(1);
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
    if (g_settings.slots[SLOT_CLOCK_SOURCE] == CLOCK_BATON) {
        baton_detect();
    }
    g_transport.mouse_dy = 0;
    if (g_engine_hooks.screen_handler) {
        g_engine_hooks.screen_handler();
    } else {
        normal_mode_step();
    }
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
