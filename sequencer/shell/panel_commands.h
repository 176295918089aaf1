// What the ENTER box of a command panel runs, with the panel's values in g_edit.params.
// Implemented in: edit_hooks.cpp, panel_commands.cpp, sound_insert.cpp.
#pragma once

#include <cstdint>

// Runs the command of a menu row (page * 13 + row) after the second ENTER press and the
// backup; the caller redraws the panel afterwards (fields a command adjusts are written back
// into g_edit.params).
void panel_command_run(int command_key);
// Whether the row's command would run with the values in g_edit.params: false for a row
// without a command, and for one that refuses at once (saying why on the status line), so
// that nothing is backed up for it.
bool panel_command_ready(int command_key);

// Installs the shell's side of the editing commands: the hourglass while one runs, the
// micro scale for Transpose, and the redraw of the changed song.
void edit_hooks_install();

// The current channel's sound settings as one block of events for the insertion at a
// tick: bank LSB, bank MSB, program, reverb and chorus, then the NRPN group of every GS
// sound parameter off its middle value; only the program change with `program_only`.
// Returns the bytes written (at most SOUND_BLOCK_MAX).
constexpr uint32_t SOUND_BLOCK_MAX = 18 + 8 * 16;
uint32_t sound_block_build(int channel_index, bool program_only, uint8_t* out);
// Inserts that block into the write track at the measure, beat and clock of the panel.
void sound_settings_insert();
