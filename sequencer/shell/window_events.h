// The shell's handlers of window events and the engine's display hooks; and the program.
// Implemented in: shell_main.cpp, window_events.cpp.
#pragma once
#include "platform/window.h"

extern const WindowHandlers SHELL_WINDOW_HANDLERS;
// Fills the engine's, the song store's and the status line's hooks with the shell's.
void shell_hooks_install();
// Every shell record back to its start state (for a run and for tests).
void shell_all_reset();
// The program: options, the window, the event loop, and the devices closed last. Returns
// the process exit status.
int zb47_main(int argc, char** argv);
