// The event list: opening it on the write track, drawing twelve lines, scrolling, and
// choosing a line and a field with the pointer.
#include "sequencer/shell/event_list.h"

#include "common/text_sjis.h"
#include "sequencer/edit/edit.h"
#include "sequencer/edit/xf_events.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/event_list_internal.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/track_normalize.h"

#include "gui/dialog_table.h"

#include <cstring>
#include <string>

EventEditor g_event_editor;
EventListTexts g_event_list_texts;

void event_editor_reset() {
    g_event_editor = EventEditor{};
}

namespace {

void copy_sjis(char* out, size_t size, const char* utf8) {
    std::string text = utf8_to_sjis(utf8);
    sjis_copy_cut(out, text.c_str(), text.size(), size - 1);
}

constexpr int TEXT_META_DIALOG_LAST = 14; // text events the text dialog edits
constexpr uint32_t GUITAR_INFO_LENGTH = 12;
constexpr uint32_t GUITAR_VOICING_LENGTH = 16;

int line_row(int line) {
    return EVENT_LIST.first_line.row + line;
}

} // namespace

void event_list_texts_load() {
    EventListTexts& t = g_event_list_texts;
    copy_sjis(t.header, sizeof t.header, "MEAS:bt:cl  Ch Event");
    const char* block[EVENT_BLOCK_ROWS] = {"┌───┬───┬───────┐", "│ KEY  │ DEL  │              │",
                                           "├─┬─┼─┬─┼─┬─┬───┤", "│▲│▼│▲│▼│↑│↓│ENTER │",
                                           "└─┴─┴─┴─┴─┴─┴───┘"};
    for (int i = 0; i < EVENT_BLOCK_ROWS; i++) {
        copy_sjis(t.block[i], sizeof t.block[i], block[i]);
    }
    copy_sjis(t.key_mark, sizeof t.key_mark, "ＫＥＹ");
    copy_sjis(t.del_mark, sizeof t.del_mark, "ＤＥＬ");
    copy_sjis(t.mark_blank, sizeof t.mark_blank, "　　　");
    copy_sjis(t.notice_first, sizeof t.notice_first, "ＥＤＩＴ　ＭＯＤＥで");
    copy_sjis(t.notice_second, sizeof t.notice_second, "指定してから来てね。");
    const char* sysex[3] = {"┌─┬─┬─┬─┬─┬─┐", "│▲│▼│←│→│↑│↓│", "└─┴─┴─┴─┴─┴─┘"};
    for (int i = 0; i < 3; i++) {
        copy_sjis(t.sysex_block[i], sizeof t.sysex_block[i], sysex[i]);
    }
}

TrackWalk write_track_walk() {
    return track_walk_begin(g_song.slots[g_song.current_bank].track_pos[g_song.write_track]);
}

bool walk_to(uint32_t delta_pos, TrackWalk& walk, uint32_t* index) {
    walk = write_track_walk();
    uint32_t n = 0;
    while (!walk.ended && walk.pos < delta_pos) {
        TrackEvent ev;
        event_parse(walk, ev);
        n++;
    }
    if (index) {
        *index = n;
    }
    return !walk.ended && walk.pos == delta_pos;
}

bool line_event(int line, TrackEvent& ev, TrackWalk& after) {
    EventEditor& e = g_event_editor;
    if (line < 0 || line >= e.line_count) {
        return false;
    }
    if (!walk_to(e.line_pos[line], after, nullptr) || after.tick != e.line_tick[line]) {
        return false;
    }
    return event_parse(after, ev);
}

bool listable(const TrackEvent& ev) {
    return note_kind(ev) >= 0 && event_filter_pass(ev);
}

void indicator_clear() {
    text_at(EVENT_LIST.indicator.column, EVENT_LIST.indicator.row, g_event_list_texts.mark_blank);
}

void indicator_show(bool key) {
    text_at(EVENT_LIST.indicator.column, EVENT_LIST.indicator.row,
            key ? g_event_list_texts.key_mark : g_event_list_texts.del_mark);
}

namespace {

// Cells of the value field of a line, by kind of event: first cell and count.
void value_cells(const TrackEvent& ev, int& first, int& count) {
    first = EVENT_VALUE_OFFSET;
    count = 3;
    switch (ev.status & 0xF0) {
    case STATUS_NOTE_ON:
        first = EVENT_NOTE_OFFSET;
        count = EVENT_VALUE_OFFSET + 3 - EVENT_NOTE_OFFSET;
        break;
    case STATUS_KEY_PRESSURE:
        count = 10;
        break;
    case STATUS_CONTROL_CHANGE:
        count = 8;
        break;
    case STATUS_PROGRAM_CHANGE:
        first = EVENT_KIND_OFFSET + 1;
        count = 17;
        break;
    case STATUS_PITCH_BEND:
        count = 5;
        break;
    default:
        break;
    }
}

void cells_inverse(const char* text, int first, int count, int row) {
    char part[EVENT_LINE_CELLS + 1];
    memcpy(part, text + first, count);
    part[count] = 0;
    text_inverse_at(EVENT_LIST.first_line.column + first, row, part);
}

} // namespace

void event_line_draw(int line, const EventLineView& view, uint8_t field) {
    char text[EVENT_LINE_CELLS + 1];
    event_line_text(view, text);
    int row = line_row(line);
    int column = EVENT_LIST.first_line.column;
    text_at(column, row, text);
    const TrackEvent& ev = view.ev;
    if (ev.status >= STATUS_NOTE_OFF && ev.status < STATUS_EXCLUSIVE) {
        int channel = ev.status & 0x0F;
        uint8_t offset = g_channel_state.drum_channel[channel];
        if (offset != 0) {
            char digits[3] = {text[EVENT_CHANNEL_OFFSET], text[EVENT_CHANNEL_OFFSET + 1], 0};
            set_text_colour(COLOUR_BLUE);
            text_at(column + EVENT_CHANNEL_OFFSET, row, digits);
        }
    }
    if (field == FIELD_TIME) {
        cells_inverse(text, 0, EVENT_TIME_CELLS - 1, row);
    } else if (field == FIELD_VALUE) {
        int first = 0, count = 0;
        value_cells(ev, first, count);
        cells_inverse(text, first, count, row);
    } else if (field == FIELD_GATE) {
        cells_inverse(text, EVENT_GATE_OFFSET, EVENT_LINE_CELLS - EVENT_GATE_OFFSET, row);
    }
}

void event_lines_draw(uint32_t pos, int32_t tick) {
    EventEditor& e = g_event_editor;
    e.sel_field = FIELD_NONE;
    e.delete_armed = false;
    indicator_clear();
    TrackWalk walk;
    walk_to(pos, walk, &e.first_index);
    (void)tick; // the walk from the track's start knows the tick before the event
    e.line_count = EVENT_LINES;
    for (int i = 0; i < EVENT_LINES; i++) {
        e.line_pos[i] = walk.pos;
        e.line_tick[i] = walk.tick;
        TrackEvent ev;
        bool more = event_parse(walk, ev);
        while (more && !listable(ev)) {
            e.line_pos[i] = walk.pos;
            e.line_tick[i] = walk.tick;
            more = event_parse(walk, ev);
        }
        if (!more) {
            e.line_count = static_cast<uint8_t>(i);
            char text[EVENT_LINE_CELLS + 1];
            event_end_line_text(ev.tick, text);
            text_at(EVENT_LIST.first_line.column, line_row(i), text);
            memset(text, ' ', EVENT_LINE_CELLS);
            for (int j = i + 1; j < EVENT_LINES; j++) {
                text_at(EVENT_LIST.first_line.column, line_row(j), text);
            }
            return;
        }
        int32_t gate = note_kind(ev) > 0 ? note_off_find(walk, ev).gate : 0;
        event_line_draw(i, event_line_view(ev, gate), FIELD_NONE);
    }
}

// The list from the event the walk of `index` events from the track's start reaches.
void event_lines_draw_at_index(uint32_t index) {
    TrackWalk walk = write_track_walk();
    TrackEvent ev;
    for (uint32_t i = 0; i < index && !walk.ended; i++) {
        uint32_t before = walk.pos;
        if (!event_parse(walk, ev)) {
            walk.pos = before;
            break;
        }
    }
    event_lines_draw(walk.pos, walk.tick);
}

bool event_list_open() {
    EventEditor& e = g_event_editor;
    int bank = g_song.current_bank;
    int track0 = g_song.write_track;
    if (track_normalize(bank, track0) != 0) {
        // Edits assume the working form: with none, nothing of the old list stays usable.
        e.line_count = 0;
        e.sel_field = FIELD_NONE;
        e.delete_armed = false;
        return true;
    }
    int32_t end = track_end_tick(bank, track0);
    if (track0 != 0 && end > track_end_tick(bank, 0)) {
        uint32_t mask = g_song.song_modified_mask;
        uint32_t copy = track_copy_with_end(g_song.slots[bank].track_pos[0], end);
        track_replace(copy, bank, 0);
        g_song.song_modified_mask = mask; // the grid grows; the song itself is the same
        measure_table_rebuild();
    }
    int measure = g_song_clock.current_measure;
    int32_t start = measure_entry(measure).start_tick;
    show_position(measure + 1, 1, 0);
    if (e.list_from_selected) {
        start = e.sel_tick;
        e.list_from_selected = false;
    }
    TrackWalk walk = write_track_walk();
    TrackWalk before = walk;
    TrackEvent ev;
    // `before` ends before the first event at or after the start, or before the end.
    while (event_parse(walk, ev) && ev.tick < start) {
        before = walk;
    }
    text_at(EVENT_LIST.header.column, EVENT_LIST.header.row, g_event_list_texts.header);
    for (int i = 0; i < EVENT_BLOCK_ROWS; i++) {
        text_at(EVENT_LIST.block.column, EVENT_LIST.block.row + i, g_event_list_texts.block[i]);
    }
    event_lines_draw(before.pos, before.tick);
    return false;
}

void event_list_refresh() {
    if (shown_with(MenuCommand::event_edit_mode)) {
        clear_panel();
        event_list_open();
    }
}

bool event_is_open() {
    return g_event_editor.sel_field != FIELD_NONE;
}

namespace {

void scroll_down() {
    EventEditor& e = g_event_editor;
    if (e.line_count == 0) {
        return; // the end of track stands first
    }
    event_lines_draw(e.line_pos[1], e.line_tick[1]);
}

void scroll_up() {
    EventEditor& e = g_event_editor;
    TrackWalk walk = write_track_walk();
    TrackWalk found = walk;
    bool any = false;
    TrackEvent ev;
    while (walk.pos < e.line_pos[0]) {
        TrackWalk at = walk;
        if (!event_parse(walk, ev)) {
            break;
        }
        if (listable(ev)) {
            found = at;
            any = true;
        }
    }
    if (!any) {
        found = write_track_walk();
    }
    if (found.pos == e.line_pos[0]) {
        e.sel_field = FIELD_NONE;
        e.delete_armed = false;
        return;
    }
    event_lines_draw(found.pos, found.tick);
}

void text_dialog(const TrackEvent& ev) {
    uint32_t n = ev.data_length < DIALOG_TEXT_SIZE ? ev.data_length : DIALOG_TEXT_SIZE;
    memset(g_dialogs.text_event_buffer, 0, sizeof g_dialogs.text_event_buffer);
    memcpy(g_dialogs.text_event_buffer, g_song.arena + ev.data_pos, n);
    g_dialogs.edited_event = ev.pos;
    run_dialog(DIALOG_TEXT);
}

// Meta and exclusive events have no value or gate field; text and XF events open their
// dialogs instead. Returns the field the press leaves selected.
uint8_t field_for_event(const TrackEvent& ev, uint8_t field) {
    if (field == FIELD_TIME || field == FIELD_NONE) {
        return field;
    }
    if (ev.status == STATUS_META) {
        if (ev.meta_type == META_TEMPO && field == FIELD_VALUE && ev.data_length == 3 &&
            event_line_view(ev, 0).value1 > 0) {
            return field;
        }
        if (ev.meta_type >= 1 && ev.meta_type <= TEXT_META_DIALOG_LAST) {
            text_dialog(ev);
        } else {
            int xf = xf_event_type(ev);
            g_dialogs.edited_event = ev.pos;
            if (xf == XF_CHORD) {
                run_dialog(DIALOG_CHORD_NAME);
            } else if (xf == XF_GUITAR_INFO && ev.data_length == GUITAR_INFO_LENGTH) {
                run_dialog(DIALOG_GUITAR_INFORMATION);
            } else if (xf == XF_GUITAR_VOICING && ev.data_length == GUITAR_VOICING_LENGTH) {
                run_dialog(DIALOG_GUITAR_VOICING);
            }
        }
        return FIELD_NONE;
    }
    if (ev.status >= STATUS_EXCLUSIVE) {
        return FIELD_NONE;
    }
    // Only a note-on has a gate; a press there on another event must not move anything.
    if (field == FIELD_GATE && note_kind(ev) <= 0) {
        return FIELD_NONE;
    }
    return field;
}

uint8_t field_at(int x) {
    const EventListLayout& l = EVENT_LIST;
    if (x >= l.time_left && x <= l.time_right) {
        return FIELD_TIME;
    }
    if (x >= l.value_left && x <= l.value_right) {
        return FIELD_VALUE;
    }
    if (x >= l.gate_left && x <= l.gate_right) {
        return FIELD_GATE;
    }
    return FIELD_NONE;
}

void line_press(int line, int x) {
    EventEditor& e = g_event_editor;
    indicator_clear();
    e.delete_armed = false;
    TrackEvent ev;
    TrackWalk after;
    if (!line_event(line, ev, after)) {
        return;
    }
    uint8_t before = e.sel_field;
    if (before != FIELD_NONE) {
        TrackEvent old;
        TrackWalk old_after;
        if (line_event(e.sel_line, old, old_after)) {
            int32_t gate = note_kind(old) > 0 ? note_off_find(old_after, old).gate : 0;
            event_line_draw(e.sel_line, event_line_view(old, gate), FIELD_NONE);
        }
    }
    uint8_t field = field_at(x);
    if (field == FIELD_NONE) {
        field = before;
    } else if (field == before && line == e.sel_line) {
        field = FIELD_NONE;
    }
    NoteOffMatch off{};
    if (note_kind(ev) > 0) {
        off = note_off_find(after, ev);
    }
    e.sel_pos = ev.pos;
    e.sel_tick = ev.tick;
    e.sel_line = static_cast<uint8_t>(line);
    e.sel_status = ev.status == STATUS_META ? ev.meta_type : ev.status;
    e.sel_length = ev.length;
    e.sel_gate = off.found ? off.gate : 0;
    e.sel_note_off_pos = off.found ? off.note_off.pos : 0;
    EventLineView view = event_line_view(ev, e.sel_gate);
    e.edit_value1 = view.value1;
    e.edit_value2 = static_cast<uint8_t>(view.value2);
    if (ev.status == STATUS_EXCLUSIVE) {
        e.sysex_pos = ev.pos;
        if (g_ui.alt_mode != 0) {
            exclusive_checksum_check(ev.pos);
        }
    }
    e.sel_field = field_for_event(ev, field);
    if (note_kind(ev) > 0) {
        if (g_ui.alt_mode != 0) {
            setting_set(SLOT_OUT_CHANNEL, ev.status & 0x0F);
            show_channel();
        }
        // The note sounds on the current channel while the button is held, and the release
        // ends it there: so it is the note's own channel when alt_mode chose it.
        g_ui.auditioned_note = event_data(ev, 0);
        send_and_record(STATUS_NOTE_ON, event_data(ev, 0), event_data(ev, 1), 3);
        g_shell.button_pressed = 4;
    }
    if (e.sel_field != FIELD_NONE) {
        event_line_draw(line, view, e.sel_field);
    }
}

} // namespace

void event_list_click(int x, int y) {
    if (shown_with(MenuCommand::exclusive_edit)) {
        exclusive_editor_click(x, y);
        return;
    }
    EventEditor& e = g_event_editor;
    const EventListLayout& l = EVENT_LIST;
    if (y > l.lines_top && y < l.lines_top + CELL_HEIGHT * e.line_count) {
        line_press((y - l.lines_top) / CELL_HEIGHT, x);
        return;
    }
    if (rect_contains(l.scroll_down, x, y)) {
        scroll_down();
        return;
    }
    if (rect_contains(l.scroll_up, x, y)) {
        scroll_up();
        return;
    }
    if (e.sel_field == FIELD_NONE) {
        return;
    }
    if (rect_contains(l.value_buttons, x, y)) {
        event_value_step((x - l.button_origin) / l.button_pitch);
    } else if (rect_contains(l.key_buttons, x, y)) {
        event_key_button((x - l.button_origin) / l.key_pitch);
    } else if (rect_contains(l.enter, x, y)) {
        event_enter();
    }
}

void event_editor_step(int step) {
    event_value_step(step);
}

namespace {

bool hook_event_open() {
    return event_is_open();
}

} // namespace

void event_list_hooks_install() {
    g_menu_hooks.event_open = hook_event_open;
    g_menu_hooks.event_list_click = event_list_click;
    g_menu_hooks.event_editor_step = event_editor_step;
    g_menu_hooks.event_list_refresh = event_list_refresh;
}

void event_list_refresh_lines() {
    event_lines_draw_at_index(g_event_editor.first_index);
}
