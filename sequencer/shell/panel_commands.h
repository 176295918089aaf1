// What the ENTER box of a command panel runs, with the panel's values in g_edit.params.
#pragma once

// Runs the command of a menu row (page * 13 + row) after the second ENTER press and the
// backup; the caller redraws the panel afterwards (fields a command adjusts are written back
// into g_edit.params).
void panel_command_run(int command_key);
