// The sequencer's six dialogs (title, track name, text event, chord name, two guitar editors):
// what they exchange with the song and what OK does.
// Implemented in: dialogs_run.cpp, dialogs_names.cpp, dialogs_events.cpp, dialog_hooks.cpp.
#pragma once
#include <cstdint>

constexpr int DIALOG_TEXT_SIZE = 128;
constexpr int TEXT_EVENT_BUFFER_SIZE = 256;
constexpr int TITLE_BYTES = 30;       // what the title dialog keeps of a title
constexpr int TEXT_EVENT_BYTES = 127; // the longest text the text dialog writes

// One instance. Frames own it (dialogs open inside frames).
struct DialogData {
    char dialog_text[DIALOG_TEXT_SIZE] = {};             // dialogs 110 and 111, Shift-JIS
    char text_event_buffer[TEXT_EVENT_BUFFER_SIZE] = {}; // dialog 112
    uint32_t edited_event = 0; // arena position of the status byte of the event 112-117 change
    int edited_track = 0;      // 0-based track whose name 111 changes
};

extern DialogData g_dialogs;
void dialogs_reset();

// Runs dialog 110, 111, 112, 115, 116 or 117 modally; other numbers do nothing.
void run_dialog(int number);

// The title dialog on the current bank's title (page 1 row C), then the caption follows.
void title_dialog_open();
// The track-name dialog on a track's name (the track lists' name columns).
void track_name_dialog_open(int track0);

// Writes dialog_text as the track-name meta event at the start of a track of the current
// bank: it replaces the first track-name event that comes before any event with a non-zero
// delta, or is inserted before everything. False when the song had no room.
bool write_name_event(int track0);

// Lets the dialogs' modal loop into the shell: the window thread's handlers, the swallowed
// press and the song's step while a dialog waits.
void dialog_hooks_install();
