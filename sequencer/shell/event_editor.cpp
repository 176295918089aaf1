// The event editor: stepping the selected field with the value buttons, KEY and DEL, and
// ENTER, which writes values in place or rebuilds the write track.
#include "common/status_line.h"
#include "sequencer/edit/edit.h"
#include "sequencer/engine/last_key.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/event_list.h"
#include "sequencer/shell/event_list_internal.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/song_store.h"

namespace {

constexpr int TEMPO_HIGHEST = 600;
constexpr int BEND_HIGHEST = 8191;
constexpr int BEND_LOWEST = -8192;
constexpr int BEND_CENTRE = 8192;
constexpr int BIG_STEP = 100;

bool alt() {
    return g_ui.alt_mode != 0;
}

void tempo_value_step(int button) {
    int32_t& v = g_event_editor.edit_value1;
    if (button == 0 && v < TEMPO_HIGHEST) {
        v++;
    } else if (button == 1 && v > 1) {
        v--;
    }
}

void bend_step(int button) {
    EventEditor& e = g_event_editor;
    int b = e.edit_value2 * 128 + e.edit_value1 - BEND_CENTRE;
    switch (button) {
    case 0:
        if (b < BEND_HIGHEST) {
            b++;
            if (alt() && b + 9 < BEND_HIGHEST) {
                b += 9;
            }
        }
        break;
    case 1:
        if (b > BEND_LOWEST) {
            b--;
            if (alt() && b - 9 > BEND_LOWEST) {
                b -= 9;
            }
        }
        break;
    case 2:
        if (b + BIG_STEP < BEND_HIGHEST) {
            b += BIG_STEP;
        }
        break;
    default:
        if (b - BIG_STEP > BEND_LOWEST) {
            b -= BIG_STEP;
        }
        break;
    }
    e.edit_value1 = (b + BEND_CENTRE) & 0x7F;
    e.edit_value2 = static_cast<uint8_t>((b + BEND_CENTRE) / 128);
}

void data_step(int button, bool note_on) {
    EventEditor& e = g_event_editor;
    int v1 = e.edit_value1;
    int v2 = e.edit_value2;
    switch (button) {
    case 0:
        if (v1 < 127) {
            v1++;
            if (alt() && v1 + 11 < 127) {
                v1 += 11;
            }
        }
        break;
    case 1:
        if (v1 > 0) {
            v1--;
            if (alt() && v1 > 11) {
                v1 -= 11;
            }
        }
        break;
    case 2:
        if (v2 < 127) {
            v2++;
            if (alt() && v2 + 9 < 127) {
                v2 += 9;
            }
        }
        break;
    default:
        if (v2 > 0) {
            v2--;
            if (alt() && v2 - 9 > 0) {
                v2 -= 9;
            }
        }
        break;
    }
    if (note_on && v2 < 1) {
        v2 = 1;
    }
    e.edit_value1 = v1;
    e.edit_value2 = static_cast<uint8_t>(v2);
}

void time_step(int button) {
    EventEditor& e = g_event_editor;
    int32_t base = g_song.time_base > 0 ? g_song.time_base : 1; // it divides
    int32_t end = g_song.measure_table.song_end_tick - e.sel_gate;
    int32_t& t = e.sel_tick;
    switch (button) {
    case 0:
        if (t <= end - base) {
            t += base;
        }
        break;
    case 1:
        if (alt()) {
            t -= t % base;
        } else if (t >= base) {
            t -= base;
        }
        break;
    case 2:
        if (t < end) {
            t++;
            if (alt() && t + 9 < end) {
                t += 9;
            }
        }
        break;
    default:
        if (t > 0) {
            t--;
            if (alt() && t > 9) {
                t -= 9;
            }
        }
        break;
    }
}

void gate_step(int button) {
    EventEditor& e = g_event_editor;
    int32_t base = g_song.time_base > 0 ? g_song.time_base : 1; // it divides
    int32_t end = g_song.measure_table.song_end_tick - e.sel_tick;
    int32_t& g = e.sel_gate;
    switch (button) {
    case 0:
        if (g <= end - base) {
            g += base;
        }
        break;
    case 1:
        // A note ends at least one tick after it starts: at the same tick its note-off would
        // stand before it and leave it sounding.
        if (g - base >= 1) {
            g -= base;
        }
        break;
    case 2:
        if (g < end) {
            g++;
            if (alt() && g + 9 < end) {
                g += 9;
            }
        }
        break;
    default:
        if (g > 1) {
            g--;
            if (alt() && g - 9 > 1) {
                g -= 9;
            }
        }
        break;
    }
}

// The selected line with the values as stepped so far.
void selected_line_draw() {
    EventEditor& e = g_event_editor;
    TrackEvent ev;
    TrackWalk after;
    if (!line_event(e.sel_line, ev, after) || ev.pos != e.sel_pos) {
        return;
    }
    EventLineView view = event_line_view(ev, e.sel_gate);
    view.tick = e.sel_tick;
    view.value1 = e.edit_value1;
    view.value2 = e.edit_value2;
    event_line_draw(e.sel_line, view, e.sel_field);
}

uint8_t selected_kind() {
    const EventEditor& e = g_event_editor;
    return e.sel_status >= STATUS_NOTE_OFF && e.sel_status < STATUS_EXCLUSIVE
               ? static_cast<uint8_t>(e.sel_status & 0xF0)
               : 0;
}

void reopen_at_selected() {
    EventEditor& e = g_event_editor;
    int measure_number = 0, beat = 0, clock = 0;
    tick_position(e.sel_tick, measure_number, beat, clock);
    measure_move(measure_number - 1);
    e.list_from_selected = true;
    event_list_open();
}

// A rebuild that happened shows the list at the selected event; one refused or short of
// memory left the track as it was, so the list stays where it stood.
void after_move(EditResult result) {
    if (result != EditResult::done) {
        event_list_refresh_lines();
        return;
    }
    if (g_edit.hooks.song_changed) {
        g_edit.hooks.song_changed();
    }
    reopen_at_selected();
}

} // namespace

void event_value_step(int button) {
    EventEditor& e = g_event_editor;
    if (e.sel_field == FIELD_NONE || button < 0 || button > 3) {
        return;
    }
    if (e.sel_field == FIELD_TIME) {
        time_step(button);
    } else if (e.sel_field == FIELD_GATE) {
        gate_step(button);
    } else if (e.sel_status == META_TEMPO && selected_kind() == 0) {
        tempo_value_step(button);
    } else if (selected_kind() == STATUS_PITCH_BEND) {
        bend_step(button);
    } else if (selected_kind() != 0) {
        data_step(button, selected_kind() == STATUS_NOTE_ON);
    }
    selected_line_draw();
}

void event_key_button(int button) {
    EventEditor& e = g_event_editor;
    if (button == 0) {
        if (selected_kind() == STATUS_NOTE_ON && e.sel_field == FIELD_VALUE) {
            indicator_show(true);
            e.edit_value1 = g_last_key.last_key_note;
            e.edit_value2 = g_last_key.last_key_velocity < 1 ? 1 : g_last_key.last_key_velocity;
            selected_line_draw();
        }
    } else if (button == 1) {
        indicator_show(false);
        e.delete_armed = true;
    }
}

void event_enter() {
    EventEditor& e = g_event_editor;
    if (e.sel_field == FIELD_NONE) {
        return;
    }
    indicator_clear();
    uint8_t field = e.sel_field;
    bool note_on = selected_kind() == STATUS_NOTE_ON;
    if (e.delete_armed) {
        uint32_t first = e.first_index;
        EditResult result = event_delete(e.sel_pos);
        if (result == EditResult::done && g_edit.hooks.song_changed) {
            g_edit.hooks.song_changed();
        }
        event_lines_draw_at_index(first);
    } else if (field == FIELD_VALUE) {
        if (event_values_write(e.sel_pos, e.edit_value1, e.edit_value2)) {
            g_song.song_modified_mask |= 1u << g_song.current_bank;
            if (e.sel_status == META_TEMPO && g_song.write_track == 0) {
                measure_table_rebuild();
            }
        }
        event_list_refresh_lines();
    } else if (field == FIELD_GATE) {
        after_move(note_gate_set(e.sel_pos, e.sel_gate));
    } else if (note_on) {
        after_move(note_move(e.sel_pos, e.sel_tick));
    } else {
        after_move(event_move(e.sel_pos, e.sel_tick));
    }
    e.sel_field = FIELD_NONE;
    e.delete_armed = false;
}
