// Deadline slots over the platform tick count.
#include "common/deadline.h"

#include "platform/platform.h"

DeadlineTable g_deadlines;

namespace {

bool valid_slot(int slot) {
    return slot >= 0 && slot < DEADLINE_SLOTS;
}

} // namespace

void deadline_reset() {
    g_deadlines = DeadlineTable{};
}

void deadline_set(int slot, uint32_t ms) {
    if (valid_slot(slot)) {
        // Unsigned arithmetic: a sum past 2^32 wraps instead of being undefined.
        g_deadlines.at[slot] = platform_tick_ms() + ms;
    }
}

void deadline_clear(int slot) {
    if (valid_slot(slot)) {
        g_deadlines.at[slot] = DEADLINE_CLEARED;
    }
}

bool deadline_passed(int slot) {
    if (!valid_slot(slot)) {
        return true;
    }
    return platform_tick_ms() > g_deadlines.at[slot];
}

void deadline_extend(int slot, uint32_t ms) {
    if (valid_slot(slot)) {
        g_deadlines.at[slot] += ms;
    }
}

bool deadline_reached(int slot) {
    if (!valid_slot(slot)) {
        return true;
    }
    return platform_tick_ms() >= g_deadlines.at[slot];
}
