// What the event list's files share: the texts, walks over the write track and the drawing
// of one line.
#pragma once

#include "sequencer/shell/event_list.h"

constexpr int EVENT_BLOCK_ROWS = 5;
constexpr int TEXT_ROW_BYTES = 96;

// Shift-JIS texts, filled once at start; constant afterwards.
struct EventListTexts {
    char header[32] = {};
    char block[EVENT_BLOCK_ROWS][TEXT_ROW_BYTES] = {};
    char key_mark[8] = {}, del_mark[8] = {}, mark_blank[8] = {};
    char notice_first[32] = {}, notice_second[32] = {};
    char sysex_block[3][TEXT_ROW_BYTES] = {};
};
extern EventListTexts g_event_list_texts;

TrackWalk write_track_walk();
// A walk of the write track standing just before the event whose delta time is at
// `delta_pos`; false when no event starts there. `index` gets the events walked.
bool walk_to(uint32_t delta_pos, TrackWalk& walk, uint32_t* index);
// A shown line's event as the track holds it now; false when the track changed under it.
bool line_event(int line, TrackEvent& ev, TrackWalk& after);
// Whether the list gives the event a line.
bool listable(const TrackEvent& ev);
void event_line_draw(int line, const EventLineView& view, uint8_t field);
void event_lines_draw_at_index(uint32_t index);
void indicator_clear();
void indicator_show(bool key);
void event_key_button(int button);
// The lines drawn again from the same first event, selection dropped.
void event_list_refresh_lines();
