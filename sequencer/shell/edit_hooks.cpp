// The shell's side of the editing commands: hourglass, micro scale and the redraw of the
// song a command changed.
#include "sequencer/shell/panel_commands.h"

#include "sequencer/edit/edit.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/screen_modes.h"
#include "sequencer/shell/shell_state.h"

namespace {

void busy_cursor(bool on) {
    g_shell.cursor_shape.store(on ? 2 : 0);
}

int scale_map(int note) {
    return g_midi_maps.note_map[note & 0x7F];
}

// Track 1 may have gained or lost measures, names may have moved, and chunks have moved:
// the grid, the names, the caption and the position follow the song.
void song_changed() {
    measure_table_rebuild();
    song_scan_names();
    if (g_song_clock.current_measure > g_song.measure_table.last_measure) {
        measure_move(g_song.measure_table.last_measure);
    }
    g_song.relocate_pending = true;
    set_window_title();
    show_track();
}

} // namespace

void edit_hooks_install() {
    g_edit.hooks.busy_cursor = busy_cursor;
    g_edit.hooks.scale_map = scale_map;
    g_edit.hooks.song_changed = song_changed;
}
