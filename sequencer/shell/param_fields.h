// The parameter and command panels as data: for every menu row that has one, its captions
// and fields (kind, range, value-box shortcut, stepping rule and where the value lives).
#pragma once
#include "sequencer/edit/edit.h"
#include "sequencer/shell/menu_commands.h"

#include <cstdint>

// A GS sound parameter is sent as the NRPN with this MSB and the parameter's LSB; its
// value's middle changes nothing, and the panel shows values around it.
constexpr uint8_t GS_SOUND_NRPN_MSB = 1;
constexpr int GS_PARAMETER_MIDDLE = 64;

constexpr int PANEL_FIELDS = 8;   // fields 1..4 in the upper row, 5..8 in the lower
constexpr int PANEL_CAPTIONS = 5; // caption lines of one panel

// How a value is shown.
enum FieldKind : uint8_t {
    KIND_NONE = 0,    // no field at this place
    KIND_NUMBER = 1,  // 4 characters wide
    KIND_SWITCH = 2,  // "Ｏff" / "ＯＮ"
    KIND_TRACK = 3,   // "ａll" for 0, else the track label
    KIND_NOTE = 4,    // note name
    KIND_CHANNEL = 5, // channel label, "ａll" from 17
    KIND_SONG = 6,    // song bank label
    KIND_LABEL = 7,   // the label of the value
    KIND_CLOCK = 8,   // "INT ", "EXT ", "MOS "
};

// What bounds a value; `ref` names the field (1..8) the bound depends on.
enum class FieldRange : uint8_t {
    fixed,         // min..max
    tracks,        // min..the current song's track count
    measure,       // 1..last measure + 1
    length,        // 1..the measures left from the start in field ref
    create_count,  // 0..999 - the start in field ref
    copy_times,    // 1..(999 - destination start (field 6)) / length (field 3)
    numerator,     // 1..2 x the denominator in field ref
    beat,          // 1..the numerator of the measure in field ref
    clock,         // 0..time base - 1
    step_length,   // 1..time base x 4
    velocity_lock, // 1..127 with field 8 on, else -127..127
};

// What a click on the value box does.
enum class FieldShortcut : uint8_t {
    none,
    constant,      // set `constant`
    constant_alt,  // set `constant`, or 127 with alt_mode
    track,         // the current track
    measure,       // the current measure, or with alt_mode move the song position there
    measure_only,  // the current measure, never a jump
    channel,       // the current MIDI channel, or 17 with alt_mode
    song,          // the current song bank
    tempo,         // the current tempo
    memory,        // move the song position there, or with alt_mode store the current measure
    note,          // audition the note until release, or with alt_mode take the last note
    lock_velocity, // 100 with the velocity lock on, else 0
};

// How the up and down buttons move a value.
enum class FieldStep : uint8_t {
    plain,       // by one (with alt_mode by the kind's larger step)
    note_value,  // through 1, 2, 3, 4, 6, 8, 12, 16, 24, 32
    denominator, // doubling and halving
    all_six,     // input filter: with alt_mode up sets all six on, down all off
};

// Where a value lives.
enum class FieldStore : uint8_t {
    slot,          // settings slot `index`
    controller,    // controller `index` of the current channel
    nrpn,          // GS sound parameter `index` of the current channel, shown minus 64
    lock_velocity, // the fixed velocity or the velocity offset, by field 8
};

struct ParamField {
    FieldKind kind;
    FieldRange range;
    int min, max;
    int ref;
    FieldShortcut shortcut;
    int constant;
    FieldStep step;
    FieldStore store;
    int index;
    // The command's parameter the field is copied into on ENTER (null for settings).
    int EditParams::*param;
    bool EditParams::*flag;
};

struct CaptionLine {
    int row;          // text cell row; 0 ends the list
    const char* text; // UTF-8
};

struct ParamPanel {
    MenuCommand command;
    int upper, lower; // fields in use in each row, from the left
    bool enter;       // an ENTER box that runs the row's command
    CaptionLine captions[PANEL_CAPTIONS];
    ParamField fields[PANEL_FIELDS];
};

// The panel of a menu row (page * 13 + row), or null when the row has none.
const ParamPanel* param_panel_find(int command_key);
// Field 1..8 of a panel, or null when the panel does not use that place.
const ParamField* panel_field(const ParamPanel& panel, int field);
// The caption of page 5 row G differs by language.
const char* caption_text(const ParamPanel& panel, int line, bool japanese);

// The value of a field and its setting (no drawing, no effects).
int32_t field_value(const ParamPanel& panel, int field);
void field_store(const ParamPanel& panel, int field, int32_t value);
// The bounds of a field now (they may depend on the song and on other fields).
void field_bounds(const ParamPanel& panel, int field, int32_t& min, int32_t& max);
