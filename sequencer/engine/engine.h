// The engine as a whole: its start state, and the devices opened at start and closed last.
#pragma once

// Every engine record back to its start state (settings at their defaults).
void engine_reset();
// The engine's reset list for its own tests and tools: the playback thread ended, the song
// layer's list (sequencer store), then engine_reset().
void engine_reset_all();
// Opens the output ports (a saved port the system lacks falls back to 0), then the input.
void engine_devices_open();
// Ends the playback thread, closes the input and then every output port.
void engine_devices_close();
