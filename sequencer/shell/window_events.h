// The shell's handlers of window events and the engine's display hooks; and the program.
// Implemented in: shell_main.cpp, window_events.cpp.
#pragma once
#include "platform/window.h"

extern const WindowHandlers SHELL_WINDOW_HANDLERS;
// Fills the engine's, the song store's and the status line's hooks with the shell's.
void shell_hooks_install();
// The program's reset list, at its start and before every shell test: with the version
// check's and the playback thread ended, the records of the platform, common, song, engine,
// edit and shell layers back to their start state, in that order.
void zb47_reset_all();
// The program: options, the window, the event loop, and the devices closed last. Returns
// the process exit status.
int zb47_main(int argc, char** argv);
