// The event list and event editor of the write track (page 5 row C), the exclusive byte
// editor (row M) and the checksum check of exclusive messages.
// Implemented in: event_line_text.cpp, event_list.cpp, event_editor.cpp, exclusive_editor.cpp.
#pragma once

#include "songcore/event_parse.h"

#include <cstdint>

constexpr int EVENT_LINES = 12;
constexpr int EVENT_LINE_CELLS = 34;

enum EventField : uint8_t { FIELD_NONE = 0, FIELD_VALUE = 3, FIELD_TIME = 5, FIELD_GATE = 9 };

// Frames only (the list is drawn, clicked and committed inside the frame routine). Positions
// are arena positions in the write track as it stood when they were taken; every use finds
// them again in the track first, so a track changed meanwhile only makes them miss.
struct EventEditor {
    bool list_from_selected = false;     // the next opening starts at sel_tick
    uint32_t line_pos[EVENT_LINES] = {}; // each line's event: position of its delta time
    int32_t line_tick[EVENT_LINES] = {}; // the tick that delta counts from
    uint8_t line_count = 0;              // lines holding events; the next one is the end
    uint32_t first_index = 0;            // events of the track before line 0
    uint8_t sel_line = 0;
    uint32_t sel_pos = 0; // status byte of the selected event; 0 none
    int32_t sel_tick = 0;
    uint8_t sel_status = 0; // status byte, or the meta type of a meta event
    uint32_t sel_length = 0;
    uint8_t sel_field = FIELD_NONE;
    bool delete_armed = false;
    int32_t sel_gate = 0; // ticks from the selected note-on to its note-off; 0 otherwise
    uint32_t sel_note_off_pos = 0;
    int32_t edit_value1 = 0; // first data byte, or the tempo in quarter notes per minute
    uint8_t edit_value2 = 0;
    // The exclusive message last selected, and the byte editor's view of it.
    uint32_t sysex_pos = 0;
    uint32_t sysex_view_pos = 0; // first byte shown
    uint32_t sysex_last_pos = 0; // the message's last byte (normally F7), never edited
    int sysex_cursor = 0;        // 0..63 from sysex_view_pos
    bool sysex_open = false;     // the byte editor shows a message
};

extern EventEditor g_event_editor;
void event_editor_reset();

// What one line shows: the event, and the values the editor may have stepped.
struct EventLineView {
    TrackEvent ev;
    int32_t tick;
    int32_t gate;   // a note-on's length in ticks
    int32_t value1; // data1, or the tempo in quarter notes per minute
    int32_t value2; // data2
};
// The values a line shows for an event as the track holds it.
EventLineView event_line_view(const TrackEvent& ev, int32_t gate);
// The line's text, EVENT_LINE_CELLS bytes of Shift-JIS and a terminator.
void event_line_text(const EventLineView& view, char out[EVENT_LINE_CELLS + 1]);
// The end-of-track line and a blank one.
void event_end_line_text(int32_t tick, char out[EVENT_LINE_CELLS + 1]);
// Measure (1-based), beat (1-based) and clock of a tick in the current song.
void tick_position(int32_t tick, int& measure_number, int& beat, int& clock);

// Opening the list at the current measure (or at the selected event after a move); true
// when the write track could not be brought into the working form for want of memory.
bool event_list_open();
void event_lines_draw(uint32_t pos, int32_t tick);
void event_list_click(int x, int y);
void event_value_step(int button);
void event_enter();
// The keys of EDIT MODE: 0 next, 1 previous, 2 up, 3 down (value buttons 0..3).
void event_editor_step(int step);
bool event_is_open();
// The list drawn again from its first line, as after a change made elsewhere.
void event_list_refresh();

// The checksum check of an exclusive message; false when the event is no exclusive.
bool exclusive_checksum_check(uint32_t status_pos);
// Opens the byte editor on the exclusive selected last; false when there is none.
bool exclusive_editor_open();
void exclusive_editor_click(int x, int y);

// The list's texts in Shift-JIS, filled once at start.
void event_list_texts_load();
// The shell's hooks into the list: clicks, keys and refreshes.
void event_list_hooks_install();
