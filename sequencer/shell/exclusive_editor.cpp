// The exclusive byte editor (page 5 row M) and the checksum check of exclusive messages
// against the hd, len and skip fields of the DIRECT MEAS panel.
#include "common/status_line.h"
#include "sequencer/edit/edit.h"
#include "sequencer/engine/settings.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/event_list.h"
#include "sequencer/shell/event_list_internal.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/song_store.h"

namespace {

constexpr int CHECKSUM_MODULUS = 128;
enum ExclusiveButton { BYTE_UP, BYTE_DOWN, CURSOR_LEFT, CURSOR_RIGHT, VIEW_BACK, VIEW_ON };

// The selected exclusive as the write track holds it now.
bool exclusive_find(uint32_t pos, TrackEvent& ev) {
    TrackWalk after;
    return write_track_event_at(pos, ev, after) && ev.status == STATUS_EXCLUSIVE;
}

int32_t field_value(int i) {
    int32_t v = g_settings.slots[SLOT_REMOTE_MEASURE_FIRST + i];
    return v < 0 ? 0 : v;
}

void bytes_draw() {
    const EventEditor& e = g_event_editor;
    const ExclusiveEditorLayout& l = EXCLUSIVE_EDITOR;
    for (int i = 0; i < l.bytes_shown; i++) {
        int column = l.first_byte.column + l.byte_cells * (i % l.bytes_per_row);
        int row = l.first_byte.row + i / l.bytes_per_row;
        uint32_t pos = e.sysex_view_pos + static_cast<uint32_t>(i);
        if (pos > e.sysex_last_pos) {
            text_at(column, row, "--");
        } else if (i == e.sysex_cursor) {
            char text[4];
            snprintf(text, sizeof text, "%02X", g_song.arena[pos]);
            text_inverse_at(column, row, text);
        } else {
            hex_at(column, row, 2, g_song.arena[pos]);
        }
    }
}

// The byte under the cursor always lies before the message's last byte.
void cursor_clamp() {
    EventEditor& e = g_event_editor;
    while (e.sysex_cursor > 0 && e.sysex_view_pos + e.sysex_cursor >= e.sysex_last_pos) {
        e.sysex_cursor--;
    }
}

} // namespace

bool exclusive_checksum_check(uint32_t status_pos) {
    TrackEvent ev;
    if (!exclusive_find(status_pos, ev)) {
        return false;
    }
    int64_t hd = field_value(0), len = field_value(1), skip = field_value(2);
    int64_t n = static_cast<int64_t>(ev.data_length) - 2 - hd;
    if (n <= 0 || len <= 0) {
        show_status("too short "); // nothing to sum: the fields ask for more than there is
        return true;
    }
    const uint8_t* data = g_song.arena + ev.data_pos + hd;
    bool ok = true;
    int64_t sum = 0, count = 0, place = 0;
    // Every byte read stands at place < n or at the checksum place <= n, inside the data.
    while (place < n) {
        sum += data[place];
        count++;
        place++;
        if (count == len) {
            if (data[place] != (CHECKSUM_MODULUS - sum % CHECKSUM_MODULUS) % CHECKSUM_MODULUS) {
                ok = false;
            }
            place += skip;
            sum = 0;
            count = 0;
        }
    }
    show_status(ok ? "sum ok" : "FALSE ");
    return true;
}

bool exclusive_editor_open() {
    EventEditor& e = g_event_editor;
    TrackEvent ev;
    e.sysex_open = false;
    if (e.sysex_pos == 0 || !exclusive_find(e.sysex_pos, ev) || ev.data_length < 1) {
        text_at(EXCLUSIVE_EDITOR.notice_first.column, EXCLUSIVE_EDITOR.notice_first.row,
                g_event_list_texts.notice_first);
        text_at(EXCLUSIVE_EDITOR.notice_second.column, EXCLUSIVE_EDITOR.notice_second.row,
                g_event_list_texts.notice_second);
        return false;
    }
    e.sysex_view_pos = ev.data_pos;
    e.sysex_last_pos = ev.data_pos + ev.data_length - 1;
    e.sysex_cursor = 0;
    e.sysex_open = true;
    bytes_draw();
    for (int i = 0; i < 3; i++) {
        text_at(EXCLUSIVE_EDITOR.block.column, EXCLUSIVE_EDITOR.block.row + i,
                g_event_list_texts.sysex_block[i]);
    }
    return true;
}

void exclusive_editor_click(int x, int y) {
    EventEditor& e = g_event_editor;
    const ExclusiveEditorLayout& l = EXCLUSIVE_EDITOR;
    if (!e.sysex_open || !rect_contains(l.buttons, x, y)) {
        return;
    }
    TrackEvent ev;
    // The song may have changed under the editor: it acts only on the message it opened.
    if (!exclusive_find(e.sysex_pos, ev) || ev.data_pos + ev.data_length - 1 != e.sysex_last_pos) {
        e.sysex_open = false;
        return;
    }
    int step = g_ui.alt_mode != 0 ? 16 : 1;
    uint32_t first = ev.data_pos;
    uint32_t at = e.sysex_view_pos + static_cast<uint32_t>(e.sysex_cursor);
    switch ((x - l.origin) / l.pitch) {
    case BYTE_UP:
    case BYTE_DOWN:
        if (at < e.sysex_last_pos) {
            int delta = (x - l.origin) / l.pitch == BYTE_UP ? step : -step;
            g_song.arena[at] = static_cast<uint8_t>((g_song.arena[at] + delta) & 0x7F);
            g_song.song_modified_mask |= 1u << g_song.current_bank;
        }
        break;
    case CURSOR_LEFT:
        if (e.sysex_cursor > 0) {
            e.sysex_cursor--;
        }
        break;
    case CURSOR_RIGHT:
        if (at + 1 < e.sysex_last_pos && e.sysex_cursor < l.bytes_shown - 1) {
            e.sysex_cursor++;
        }
        break;
    case VIEW_BACK:
        if (e.sysex_view_pos >= first + l.bytes_per_row) {
            e.sysex_view_pos -= l.bytes_per_row;
        }
        break;
    default:
        if (e.sysex_view_pos + l.bytes_per_row < e.sysex_last_pos) {
            e.sysex_view_pos += l.bytes_per_row;
        }
        break;
    }
    cursor_clamp();
    bytes_draw();
}
