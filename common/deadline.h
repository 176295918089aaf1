// One-shot deadlines in milliseconds of the platform tick count, kept in numbered slots.
#pragma once

#include <cstdint>

constexpr int DEADLINE_SLOTS = 16;
// What deadline_clear stores: about 11.6 days of tick count. It is only "far ahead" while the
// tick count is below it; a cleared slot reads as passed after that.
constexpr uint32_t DEADLINE_CLEARED = 999999999;

// Used by input handling inside the frame routine, which runs on one thread at a time (the
// window thread, or the playback thread while playing); not synchronised otherwise.
struct DeadlineTable {
    uint32_t at[DEADLINE_SLOTS] = {}; // tick count in ms; 0 at start, so every slot has passed
};

extern DeadlineTable g_deadlines;

void deadline_reset();
// Slot numbers outside 0..DEADLINE_SLOTS-1 are ignored by set and clear and read as passed.
void deadline_set(int slot, uint32_t ms);
void deadline_clear(int slot);
// True when the tick count exceeds the slot's deadline: a plain unsigned comparison, so a
// deadline set within ms of the 32-bit wrap of the tick count reads as passed at once.
bool deadline_passed(int slot);
// Moves the slot's deadline on by ms from where it stands, not from now: a chain of
// deadlines then keeps to its schedule however late each one was noticed.
void deadline_extend(int slot, uint32_t ms);
// True once the tick count has reached the slot's deadline, so a schedule kept with
// deadline_extend is met on its own millisecond rather than one later.
bool deadline_reached(int slot);
