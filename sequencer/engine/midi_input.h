// MIDI input processing and the recorder: received bytes become thru output, transport
// commands, remote commands and recorded events.
// Implemented in: midi_input.cpp, recorder.cpp.
#pragma once
#include "songcore/event_parse.h"

#include <cstdint>

// The received bytes being assembled and the guide track. Frames only.
struct InputState {
    uint8_t in_msg[3] = {}; // status kept between messages as running status; 0 none
    int in_count = 0;
    int in_len = 0;
    bool in_sysex = false;
    uint32_t sysex_len = 0;     // data bytes counted, F7 included at the end
    uint32_t sysex_len_pos = 0; // arena position of the reserved length byte
    bool sysex_stored = false;  // the open message is being written to the recording
    // Guide track.
    int guide_note = -1; // -1 none left
    int guide_velocity = 0;
    TrackWalk guide_walk{};               // where guide_next goes on in the tracing track
    uint8_t key_substitute[16][128] = {}; // 255 none
};

// Frames only, or the window thread while stopped (a recording installed at a stop).
struct Recorder {
    uint32_t record_chunk_start = 0; // data position of the recording's chunk
    bool chunk_open = false;
    int32_t last_written_tick = 0;
    int held_notes = 0;
    bool step_pending = false;
    bool pedal_down = false;
    int32_t step_gate = 432;
    int32_t step_rest = 48;
    int step_multiplier = 1;
    int32_t shown_clock = -1; // last clock field shown in step recording
    // What the written events leave sounding, so a stop can end it: note-ons not yet
    // ended per channel and key, and channels whose sustain pedal is down.
    uint8_t open_notes[16][128] = {};
    bool open_pedals[16] = {};
};

extern InputState g_input;
extern Recorder g_recorder;
void input_reset();
void recorder_reset();

void midi_in_process();
// Ends an exclusive message still open (its end never came) as if F7 had arrived, so a
// recording stopped meanwhile holds a whole message.
void midi_in_sysex_end();
// Whether the guide-track substitution is active now.
bool guide_active();
void guide_reset();
void guide_next();
void remote_command(int program);

void recorder_event(const uint8_t* bytes, uint32_t length);
// Recording in real time now, so that received events are written as they come.
bool recorder_realtime();
void recorder_append(const uint8_t* bytes, uint32_t length);
// Opens the recording's chunk at the arena's end.
void recording_begin();
void recording_finish();
// A recording ended by a full stop: its chunk is given back to the arena.
void recording_discard();
// Step lengths from the step settings and the time base.
void step_lengths_update();
// Gate and rest of a step of `step` ticks whose gate is `percent` of it.
void step_gate_set(int32_t step, int32_t percent);
