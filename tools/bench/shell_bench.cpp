// Figures of the screen while stopped: the time of one frame and of one tick refresh, and
// the CPU an idle, stopped zb47 takes in its real event loop (headless, and the SDL window
// on its offscreen driver when this build has it).
#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/tick_refresh.h"
#include "sequencer/shell/window_events.h"
#include "tools/bench/bench_shell.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void shell_start() {
    shell_hooks_install();
    WindowOptions options{1, nullptr, nullptr};
    if (!platform_window_open("ZB47 MIDI MUSIC SEQUENCER", options)) {
        fprintf(stderr, "shell_bench: %s\n", platform_window_error());
        exit(1);
    }
}

template <typename Step> double microseconds_each(int count, Step step) {
    Clock::time_point begin = Clock::now();
    for (int i = 0; i < count; i++) {
        step(i);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - begin).count() / count;
}

int g_ticks_left = 0;

void counting_timer() {
    SHELL_WINDOW_HANDLERS.timer();
    if (--g_ticks_left == 0) {
        platform_window_destroy();
    }
}

// Runs the backend's own event loop, stopped and untouched, for `seconds`.
double idle_cpu_percent(double seconds) {
    WindowHandlers handlers = SHELL_WINDOW_HANDLERS;
    handlers.timer = counting_timer;
    g_ticks_left = static_cast<int>(seconds * 50);
    double cpu_before = cpu_seconds();
    Clock::time_point begin = Clock::now();
    platform_window_run(handlers);
    double wall = std::chrono::duration<double>(Clock::now() - begin).count();
    return 100.0 * (cpu_seconds() - cpu_before) / wall;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = argc > 1 ? atof(argv[1]) : 5.0;
    bench_headless_start();
    shell_start();
    SHELL_WINDOW_HANDLERS.timer(); // the start-up frame
    const int count = 20000;
    double frame_us = microseconds_each(count, [](int) { frame_routine(); });
    // A key command: Z and X in turn change the tempo and flag its field.
    double key_frame_us = microseconds_each(count, [](int i) {
        SHELL_WINDOW_HANDLERS.key(i % 2 ? 'X' : 'Z', true);
        SHELL_WINDOW_HANDLERS.key(i % 2 ? 'X' : 'Z', false);
    });
    double tick_us = microseconds_each(count, [](int i) {
        // Position, tempo and time signature all changed: the busiest ordinary tick.
        EngineDisplay& d = g_engine_display;
        d.measure.store(1 + i % 999);
        d.beat.store(1 + i % 4);
        d.clock.store(i % 480);
        d.tempo_bpm.store(60 + i % 200);
        display_position(1 + i % 999, 1 + i % 4, i % 480);
        display_tempo(60 + i % 200);
        display_time_signature(3 + i % 2, 4);
        tick_refresh();
    });
    printf("stopped frame:        %8.2f us\n", frame_us);
    printf("key command (2 frames): %6.2f us\n", key_frame_us);
    printf("tick refresh (busy):  %8.2f us\n", tick_us);
    printf("idle headless loop:   %8.2f %% of a core over %.1f s\n", idle_cpu_percent(seconds),
           seconds);
    engine_devices_close();
    // A real display when there is one (Xvfb will do), else SDL's offscreen driver, whose
    // event wait polls and so costs more than a display's would.
    bool display = getenv("DISPLAY") != nullptr || getenv("WAYLAND_DISPLAY") != nullptr;
    if (!display) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
    }
    if (platform_select("sdl")) {
        platform_select_midi("headless");
        shell_start();
        printf("idle SDL window loop: %8.2f %% of a core over %.1f s (%s)\n",
               idle_cpu_percent(seconds), seconds, display ? "display" : "offscreen driver");
        engine_devices_close();
    }
    return 0;
}
