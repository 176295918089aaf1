// The sequencer's six dialogs (title, track name, text event, chord name, two guitar editors):
// what they exchange with the song and what OK does.
// Implemented in: dialog_hooks.cpp.
#pragma once

// Lets the dialogs' modal loop into the shell: the window thread's handlers, the swallowed
// press and the song's step while a dialog waits.
void dialog_hooks_install();
