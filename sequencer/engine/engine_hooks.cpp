// The engine's display hooks and dirty flags.
#include "sequencer/engine/engine_hooks.h"

EngineHooks g_engine_hooks;
EngineDisplay g_engine_display;

void engine_hooks_reset() {
    g_engine_hooks = EngineHooks{};
}

void engine_display_reset() {
    g_engine_display.position_dirty = false;
    g_engine_display.timesig_dirty = false;
    g_engine_display.tempo_dirty = false;
    g_engine_display.notes_dirty = false;
    g_engine_display.measure = 1;
    g_engine_display.beat = 1;
    g_engine_display.clock = 0;
}

void display_position(int measure, int beat, int clock) {
    g_engine_display.measure.store(measure, std::memory_order_relaxed);
    g_engine_display.beat.store(beat, std::memory_order_relaxed);
    g_engine_display.clock.store(clock, std::memory_order_relaxed);
    g_engine_display.position_dirty.store(true, std::memory_order_relaxed);
}
