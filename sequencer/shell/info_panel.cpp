// The information panel (note statistics of the first tracks, the chord-mode key table, or
// the help list of controllers and octave functions) and the about text.
#include "common/text_sjis.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/name_tables.h"
#include "songcore/event_parse.h"
#include "songcore/song_store.h"

#include <string>

namespace {

constexpr int INFO_TRACKS = 17;

// Text cells of the panel's three forms.
struct StatisticsColumns {
    int track, poly, notes, high, low, high_velocity, low_velocity;
};
constexpr StatisticsColumns STATISTICS = {40, 42, 46, 55, 62, 69, 73};
constexpr int STATISTICS_HEADER_ROW = LIST_FIRST_ROW - 1;
struct HelpColumns {
    int text, count;
};
constexpr HelpColumns HELP = {40, 70};
struct ChordKeyColumns {
    int key, arrow, shifted;
};
constexpr ChordKeyColumns CHORD_KEYS = {45, 56, 60};
constexpr int CHORD_MODE_OCTAVE = 8;
constexpr int MEASURE_MEMORY_F = SLOT_REMOTE_MEASURE_FIRST + 5;

const char* const HELP_LINES[] = {
    "modulation : 1",
    "volume     : 7",
    "panpot     :10",
    "expression :11",
    "reverb     :91",
    "chorus     :93",
    "",
    "OCT:",
    "CO :Micro chord set",
    "-1 :external control change exchange",
    "-2 :remote control from midi keyboard",
    " 2 :chord note check",
    " 1 :chord and melody check",
};

int changed_entries(const uint8_t* map) {
    int count = 0;
    for (int i = 0; i < 128; i++) {
        count += map[i] != i ? 1 : 0;
    }
    return count;
}

void help_draw() {
    int row = LIST_FIRST_ROW;
    for (const char* line : HELP_LINES) {
        text_at(HELP.text, row++, line);
    }
    text_at(HELP.text, row, " 7:Micro scale");
    zero_number_at(HELP.count, row++, 3, changed_entries(g_midi_maps.note_map));
    text_at(HELP.text, row, " 7:Micro program change");
    zero_number_at(HELP.count, row, 3, changed_entries(g_midi_maps.program_map));
}

void chord_keys_draw() {
    static const std::string arrow = utf8_to_sjis("→");
    int shift = (g_settings.slots[MEASURE_MEMORY_F] - 1) % 12;
    shift = shift < 0 ? shift + 12 : shift;
    for (int key = 0; key < 12; key++) {
        int row = LIST_FIRST_ROW + key;
        text_at(CHORD_KEYS.key, row, key_name(key));
        text_at(CHORD_KEYS.arrow, row, arrow.c_str());
        text_at(CHORD_KEYS.shifted, row, key_name((key + shift) % 12));
    }
}

struct TrackNotes {
    int32_t notes = 0; // note-ons
    int poly = 0;      // most notes sounding at once
    int high = -1, low = 128;
    int high_velocity = -1, low_velocity = 128;
};

TrackNotes track_notes_scan(uint32_t track_pos) {
    TrackNotes t;
    int sounding = 0;
    TrackWalk walk = track_walk_begin(track_pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        int kind = note_kind(ev);
        if (kind == 1) {
            int note = event_data(ev, 0);
            int velocity = event_data(ev, 1);
            t.notes++;
            sounding++;
            t.poly = sounding > t.poly ? sounding : t.poly;
            t.high = note > t.high ? note : t.high;
            t.low = note < t.low ? note : t.low;
            t.high_velocity = velocity > t.high_velocity ? velocity : t.high_velocity;
            t.low_velocity = velocity < t.low_velocity ? velocity : t.low_velocity;
        } else if (kind == -1 && sounding > 0) {
            sounding--;
        }
    }
    return t;
}

// Notes that the karaoke pitch moves near (bright red) or past (blue) the edges of the
// usual sound range.
int high_colour(int shifted) {
    return shifted > 119 ? COLOUR_BLUE : (shifted > 107 ? COLOUR_BRIGHT_RED : 0);
}
int low_colour(int shifted) {
    return shifted < 21 ? COLOUR_BLUE : (shifted < 45 ? COLOUR_BRIGHT_RED : 0);
}

void track_statistics_draw() {
    small_text_at(STATISTICS.track, STATISTICS_HEADER_ROW,
                  "TR POLY    NOTES    HIGH      LOW      HVO  LVO");
    int pitch = g_midi_maps.playback_transpose;
    const SongSlot& slot = g_song.slots[g_song.current_bank];
    for (int track_index = 0; track_index < INFO_TRACKS && track_index < g_song.track_count;
         track_index++) {
        int row = LIST_FIRST_ROW + track_index;
        TrackNotes t = track_notes_scan(slot.track_pos[track_index]);
        zero_number_at(STATISTICS.track, row, 2, track_index + 1);
        number_at(STATISTICS.poly, row, 3, t.poly);
        number_at(STATISTICS.notes, row, 7, t.notes);
        if (t.notes == 0) {
            continue;
        }
        set_text_colour(high_colour(t.high + pitch));
        text_at(STATISTICS.high, row, note_name(t.high));
        set_text_colour(low_colour(t.low + pitch));
        text_at(STATISTICS.low, row, note_name(t.low));
        number_at(STATISTICS.high_velocity, row, 3, t.high_velocity);
        number_at(STATISTICS.low_velocity, row, 3, t.low_velocity);
    }
}

} // namespace

void info_panel_draw() {
    if (g_menu.alt_variant != 0) {
        help_draw();
    } else if (g_transport.play_octave == CHORD_MODE_OCTAVE) {
        chord_keys_draw();
    } else {
        track_statistics_draw();
    }
}

void about_panel_draw() {
    text_at(45, 8, "ZB47 MIDI MUSIC SEQUENCER");
    text_at(45, 9, "                  for Win");
    text_at(45, 12, "Ten songs of 64 tracks, kept");
    text_at(45, 13, "as Standard MIDI Files.");
}
