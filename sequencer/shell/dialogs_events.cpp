// The dialogs the event editor opens on the event under its cursor: a text event, an XF
// chord name, and the two XF guitar editors. Each changes the edited event of the write
// track in place (the text event through the event insertion, which may change its length).
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/dialogs_internal.h"

#include "common/text_sjis.h"
#include "sequencer/edit/edit.h"
#include "sequencer/shell/menu_state.h"
#include "songcore/event_parse.h"
#include "songcore/song_store.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int TEXT_EDIT = 1006;
constexpr int NUMBER_CHARS = 19; // the decimal conversion reads no more

// The edited event as the write track of the current bank holds it; false when no event
// starts at edited_event.
bool edited_event_find(TrackEvent& found) {
    TrackWalk walk =
        track_walk_begin(g_song.slots[g_song.current_bank].track_pos[g_song.write_track]);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        if (ev.pos == g_dialogs.edited_event) {
            found = ev;
            return true;
        }
    }
    return false;
}

// The edited event's bytes from its status byte, when it is at least `needed` bytes long.
uint8_t* edited_bytes(uint32_t needed) {
    TrackEvent ev;
    if (!edited_event_find(ev) || ev.length < needed) {
        return nullptr;
    }
    return g_song.arena + ev.pos;
}

void song_changed_here() {
    g_song.song_modified_mask |= 1u << g_song.current_bank;
    if (g_menu_hooks.event_list_refresh) {
        g_menu_hooks.event_list_refresh();
    }
}

// An edit's number (at most 19 characters read as a decimal; empty or not a number is 0)
// goes into the byte when it is 0 to `highest`; otherwise the byte stays.
void number_store(DialogRun& run, int edit, uint8_t& byte, long long highest) {
    std::string text = dialog_get_text(run, edit, NUMBER_CHARS);
    long long value = strtoll(text.c_str(), nullptr, 10);
    if (value >= 0 && value <= highest) {
        byte = static_cast<uint8_t>(value);
    }
}

void number_show(DialogRun& run, int edit, uint8_t value) {
    dialog_set_text(run, edit, std::to_string(value));
}

// Text (112).

} // namespace

void text_init(void*, DialogRun& run) {
    dialog_set_limit(run, TEXT_EDIT, TEXT_EVENT_BUFFER_SIZE - 1);
    dialog_set_text(run, TEXT_EDIT, g_dialogs.text_event_buffer);
}

void text_command(void*, DialogRun& run, int id) {
    if (id != CONTROL_OK) {
        return;
    }
    std::string text = dialog_get_text(run, TEXT_EDIT, TEXT_EVENT_BUFFER_SIZE - 1);
    memcpy(g_dialogs.text_event_buffer, text.c_str(), text.size() + 1);
    TrackEvent ev;
    if (!edited_event_find(ev) || ev.length < 2) {
        return;
    }
    size_t n = sjis_cut_length(text.data(), text.size(), TEXT_EVENT_BYTES);
    uint8_t event[3 + TEXT_EVENT_BYTES];
    event[0] = g_song.arena[ev.pos];
    event[1] = g_song.arena[ev.pos + 1];
    event[2] = static_cast<uint8_t>(n);
    memcpy(event + 3, text.data(), n);
    if (event_insert_at(ev.tick, event, static_cast<uint32_t>(3 + n), ev.pos) == EditResult::done) {
        dialog_song_rebuilt();
    }
    if (g_menu_hooks.event_list_refresh) {
        g_menu_hooks.event_list_refresh();
    }
}

namespace {

// Chord name (115): bytes 6, 7 and 8 of the XF chord event are root, type and bass.

constexpr uint32_t CHORD_EVENT_BYTES = 9;
constexpr int ROOT_FIRST = 1010;   // C..B
constexpr int ROOT_NATURAL = 1017; // then b, #
constexpr int TYPE_FIRST = 1020;   // 35 types
constexpr int TYPE_COUNT = 35;
constexpr int BASS_NONE = 1055;
constexpr int BASS_FIRST = 1056;   // C..B
constexpr int BASS_NATURAL = 1063; // then b, #
constexpr uint8_t NO_BASS = 127;
// Accidental codes as they are written back.
constexpr int CODE_FLAT = 2, CODE_NATURAL = 3, CODE_SHARP = 4;

// The choice the chord dialog remembers while it runs (on the frame's thread).
struct ChordChoice {
    int root_note = 0, root_code = CODE_NATURAL;
    int type = 0;
    bool bass_none = true;
    int bass_note = 0, bass_code = CODE_NATURAL;
};
ChordChoice g_chord;

// Codes 0 to 2 read as flat, 3 as natural, 4 and up as sharp.
int code_read(int code) {
    return code < CODE_NATURAL ? CODE_FLAT : (code == CODE_NATURAL ? CODE_NATURAL : CODE_SHARP);
}

int accidental_button(int natural_id, int code) {
    return natural_id + (code == CODE_NATURAL ? 0 : (code == CODE_FLAT ? 1 : 2));
}

int code_of_button(int natural_id, int id) {
    return id == natural_id ? CODE_NATURAL : (id == natural_id + 1 ? CODE_FLAT : CODE_SHARP);
}

void bass_show(DialogRun& run) {
    dialog_set_check(run, BASS_NONE, g_chord.bass_none);
    if (!g_chord.bass_none) {
        dialog_select_radio(run, BASS_FIRST + g_chord.bass_note);
        dialog_select_radio(run, accidental_button(BASS_NATURAL, g_chord.bass_code));
    }
}

} // namespace

void chord_init(void*, DialogRun& run) {
    g_chord = ChordChoice{};
    const uint8_t* bytes = edited_bytes(CHORD_EVENT_BYTES);
    if (bytes == nullptr) {
        return;
    }
    g_chord.root_note = (bytes[6] & 15) - 1;
    g_chord.root_code = code_read(bytes[6] >> 4);
    g_chord.type = bytes[7];
    g_chord.bass_none = bytes[8] >= NO_BASS;
    if (!g_chord.bass_none) {
        g_chord.bass_note = (bytes[8] & 15) - 1;
        g_chord.bass_code = code_read(bytes[8] >> 4);
    }
    if (g_chord.root_note >= 0 && g_chord.root_note < 7) {
        dialog_select_radio(run, ROOT_FIRST + g_chord.root_note);
    }
    dialog_select_radio(run, accidental_button(ROOT_NATURAL, g_chord.root_code));
    if (g_chord.type < TYPE_COUNT) {
        dialog_select_radio(run, TYPE_FIRST + g_chord.type);
    }
    bass_show(run);
}

void chord_command(void*, DialogRun& run, int id) {
    if (id >= ROOT_FIRST && id < ROOT_NATURAL) {
        g_chord.root_note = id - ROOT_FIRST;
    } else if (id >= ROOT_NATURAL && id < TYPE_FIRST) {
        g_chord.root_code = code_of_button(ROOT_NATURAL, id);
    } else if (id >= TYPE_FIRST && id < TYPE_FIRST + TYPE_COUNT) {
        g_chord.type = id - TYPE_FIRST;
    } else if (id == BASS_NONE) {
        // "no" switches between no bass and C natural.
        g_chord.bass_none = !g_chord.bass_none;
        if (!g_chord.bass_none) {
            g_chord.bass_note = 0;
            g_chord.bass_code = CODE_NATURAL;
        }
        bass_show(run);
    } else if (id >= BASS_FIRST && id < BASS_NATURAL) {
        g_chord.bass_none = false;
        g_chord.bass_note = id - BASS_FIRST;
        bass_show(run);
    } else if (id >= BASS_NATURAL && id < BASS_NATURAL + 3) {
        g_chord.bass_none = false;
        g_chord.bass_code = code_of_button(BASS_NATURAL, id);
        bass_show(run);
    } else if (id == CONTROL_OK) {
        uint8_t* bytes = edited_bytes(CHORD_EVENT_BYTES);
        if (bytes == nullptr) {
            return;
        }
        bytes[6] = static_cast<uint8_t>(g_chord.root_note + 1 + 16 * g_chord.root_code);
        bytes[7] = static_cast<uint8_t>(g_chord.type);
        bytes[8] = g_chord.bass_none
                       ? NO_BASS
                       : static_cast<uint8_t>(g_chord.bass_note + 1 + 16 * g_chord.bass_code);
        song_changed_here();
    }
}

namespace {

// Guitar information (116): the key in byte 8, the notes of strings 1 to 6 in bytes 9 to 14.

constexpr int KEY_EDIT = 1066;
constexpr uint32_t INFORMATION_BYTES = 15;

} // namespace

void information_init(void*, DialogRun& run) {
    const uint8_t* bytes = edited_bytes(INFORMATION_BYTES);
    for (int i = 0; i < 7; i++) {
        number_show(run, KEY_EDIT + i, bytes != nullptr ? bytes[8 + i] : 0);
    }
}

void information_command(void*, DialogRun& run, int id) {
    uint8_t* bytes = id == CONTROL_OK ? edited_bytes(INFORMATION_BYTES) : nullptr;
    if (bytes == nullptr) {
        return;
    }
    number_store(run, KEY_EDIT, bytes[8], 23);
    for (int i = 0; i < 6; i++) {
        number_store(run, KEY_EDIT + 1 + i, bytes[9 + i], 127); // strings 1 to 6
    }
    song_changed_here();
}

namespace {

// Guitar chord voicing (117): position and fingering of strings 6 down to 1 in bytes 7 to 18.

constexpr int VOICING_EDIT = 1073;
constexpr uint32_t VOICING_BYTES = 19;

} // namespace

void voicing_init(void*, DialogRun& run) {
    const uint8_t* bytes = edited_bytes(VOICING_BYTES);
    for (int i = 0; i < 12; i++) {
        number_show(run, VOICING_EDIT + i, bytes != nullptr ? bytes[7 + i] : 0);
    }
}

void voicing_command(void*, DialogRun& run, int id) {
    uint8_t* bytes = id == CONTROL_OK ? edited_bytes(VOICING_BYTES) : nullptr;
    if (bytes == nullptr) {
        return;
    }
    for (int k = 0; k < 6; k++) {
        number_store(run, VOICING_EDIT + 2 * k, bytes[7 + 2 * k], 23);    // position
        number_store(run, VOICING_EDIT + 2 * k + 1, bytes[8 + 2 * k], 5); // fingering
    }
    song_changed_here();
}
