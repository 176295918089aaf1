// The engine's display hooks and dirty flags.
#include "sequencer/engine/engine_hooks.h"

#include "common/record_rebuild.h"

EngineHooks g_engine_hooks;
EngineDisplay g_engine_display;

void engine_hooks_reset() {
    g_engine_hooks = EngineHooks{};
}

void engine_display_reset() {
    record_rebuild(g_engine_display);
}

void display_position(int measure, int beat, int clock) {
    g_engine_display.measure.store(measure, std::memory_order_relaxed);
    g_engine_display.beat.store(beat, std::memory_order_relaxed);
    g_engine_display.clock.store(clock, std::memory_order_relaxed);
    g_engine_display.position_dirty.store(true, std::memory_order_relaxed);
}

void display_tempo(int tempo_bpm) {
    g_engine_display.tempo_bpm.store(tempo_bpm, std::memory_order_relaxed);
    g_engine_display.tempo_dirty.store(true, std::memory_order_relaxed);
}

void display_time_signature(int numerator, int denominator) {
    g_engine_display.time_sig_num.store(numerator, std::memory_order_relaxed);
    g_engine_display.time_sig_den.store(denominator, std::memory_order_relaxed);
    g_engine_display.timesig_dirty.store(true, std::memory_order_relaxed);
}
