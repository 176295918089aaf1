// The millisecond clock (winmm's timeGetTime at a 1 ms period) and the keyboard state.
#include "platform/win32/win32_files.h"

#include <mmsystem.h>

namespace {

// Asks for the 1 ms period once, before the first reading; it lasts as long as the process.
DWORD clock_start() {
    timeBeginPeriod(1);
    return timeGetTime();
}

// The tick count starts with the program, not with the machine: a deadline kept as "never"
// (999,999,999 ms) must not pass on a machine that has been up for twelve days.
const DWORD g_program_start_ms = clock_start();

} // namespace

uint32_t win32_tick_ms() {
    return static_cast<uint32_t>(timeGetTime() - g_program_start_ms);
}

bool win32_key_down(int virtual_key) {
    return virtual_key > 0 && virtual_key < 256 && (GetAsyncKeyState(virtual_key) & 0x8000) != 0;
}
