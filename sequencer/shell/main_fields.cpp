// Main-screen fields: version, status line, elapsed time, title, position, tempo, and the
// octave, bank, channel, track and port fields under the panel.
#include "sequencer/shell/main_fields.h"

#include "common/record_rebuild.h"
#include "common/text_sjis.h"
#include "platform/picture.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "songcore/song_store.h"

#include <cstring>
#include <string>

MainFields g_main_fields;

namespace {

constexpr int COLOUR_RED = 2;
constexpr int COLOUR_BLUE = 1;
constexpr int COLOUR_BRIGHT_RED = 10;
const uint32_t LAMP_RED = colour_rgb(220, 0, 0);
const uint32_t LAMP_GREEN = colour_rgb(0, 176, 0);

// The title row is blanked with full-width blanks before the title is drawn.
const std::string& title_blank() {
    static const std::string blank = [] {
        std::string one = utf8_to_sjis("　");
        std::string row;
        for (int i = 0; i < 16; i++) {
            row += one;
        }
        return row;
    }();
    return blank;
}

} // namespace

void main_fields_reset() {
    record_rebuild(g_main_fields);
}

void show_version() {
    text_at(VERSION_FIELD.column, VERSION_FIELD.row, "V 1.39");
}

void status_draw(const char* text) {
    // A message is drawn only when it starts differently from the one shown last, so a
    // message repeated every frame does not flicker.
    if (text[0] == g_main_fields.status_first) {
        return;
    }
    g_main_fields.status_first = text[0];
    text_at(STATUS_FIELD.column, STATUS_FIELD.row, "               ");
    set_text_colour(COLOUR_BRIGHT_RED);
    text_at(STATUS_FIELD.column, STATUS_FIELD.row, text);
    if (strlen(text) >= 2) {
        speak(text, 1);
    }
}

void show_elapsed_text(const char* text) {
    // A longer status text may stand there; none of it may trail after the time.
    text_at(STATUS_FIELD.column, STATUS_FIELD.row, "               ");
    text_at(STATUS_FIELD.column, STATUS_FIELD.row, text);
    g_main_fields.status_first = text[0];
}

void show_position(int measure_number, int beat, int clock) {
    // Three cells: a song that plays on past the 999 measures of its grid shows 999 there
    // rather than spilling a fourth digit over the colon.
    zero_number_at(POSITION_FIELD.column, POSITION_FIELD.row, 3,
                   measure_number > MAX_MEASURES ? MAX_MEASURES : measure_number);
    zero_number_at(POSITION_FIELD.column + 4, POSITION_FIELD.row, 2, beat);
    zero_number_at(POSITION_FIELD.column + 7, POSITION_FIELD.row, 3, clock);
}

void show_time_signature(int numerator, int denominator) {
    zero_number_at(TIME_SIGNATURE_FIELD.column, TIME_SIGNATURE_FIELD.row, 2, numerator);
    zero_number_at(TIME_SIGNATURE_FIELD.column + 3, TIME_SIGNATURE_FIELD.row, 2, denominator);
}

void show_tempo(int tempo_bpm) {
    if (g_settings.slots[SLOT_CLOCK_SOURCE] == CLOCK_MIDI) {
        text_at(TEMPO_FIELD.column, TEMPO_FIELD.row, "***");
    } else {
        zero_number_at(TEMPO_FIELD.column, TEMPO_FIELD.row, 3, tempo_bpm);
    }
}

void show_title() {
    text_at(TITLE_FIELD.column, TITLE_FIELD.row, title_blank().c_str());
    const char* title = g_song.slots[g_song.current_bank].song_title;
    text_at(TITLE_FIELD.column, TITLE_FIELD.row, title);
}

void show_step_length(int32_t ticks) {
    int32_t beat = g_song.time_base > 0 ? g_song.time_base : 480;
    zero_number_at(STEP_LENGTH_FIELD.column, STEP_LENGTH_FIELD.row, 2, ticks / beat);
    zero_number_at(STEP_LENGTH_FIELD.column + 3, STEP_LENGTH_FIELD.row, 3, ticks % beat);
}

void show_step_hold_mark(bool on) {
    if (on) {
        set_text_colour(COLOUR_RED);
        text_at(STEP_HOLD_MARK.column, STEP_HOLD_MARK.row, "M");
    } else {
        text_at(STEP_HOLD_MARK.column, STEP_HOLD_MARK.row, " ");
    }
}

void show_octave() {
    if (g_transport.play_octave == 8) {
        text_at(OCTAVE_FIELD.column, OCTAVE_FIELD.row, "CO");
    } else {
        number_at(OCTAVE_FIELD.column, OCTAVE_FIELD.row, 2, g_transport.play_octave);
    }
}

void show_bank() {
    zero_number_at(BANK_FIELD.column, BANK_FIELD.row, 2, g_song.current_bank + 1);
}

void show_channel() {
    zero_number_at(CHANNEL_FIELD.column, CHANNEL_FIELD.row, 2,
                   g_settings.slots[SLOT_OUT_CHANNEL] + 1);
}

// "M" in red at the mute mark of the row when anything of the list is muted, else a blank.
void mute_mark(int row, const uint8_t* play, int count) {
    bool muted = false;
    for (int i = 0; i < count; i++) {
        muted = muted || play[i] == 0;
    }
    if (muted) {
        set_text_colour(COLOUR_RED);
    }
    text_at(MUTE_MARK_COLUMN, row, muted ? "M" : " ");
}

void show_channel_mute_mark() {
    mute_mark(CHANNEL_FIELD.row, g_song.channel_play, 16);
}

void show_track() {
    zero_number_at(TRACK_FIELD.column, TRACK_FIELD.row, 2, g_song.write_track + 1);
}

void show_track_mute_mark() {
    mute_mark(TRACK_FIELD.row, g_song.track_play, 32);
    if (setting_on(SLOT_GUIDE_MODE)) {
        if (g_song.tracing_track == g_song.write_track + 1) {
            set_text_colour(COLOUR_RED);
        } else if (g_input.guide_note < 0) {
            set_text_colour(COLOUR_BLUE);
        }
        text_at(MUTE_MARK_COLUMN, TRACK_FIELD.row, "T");
    }
}

void port_device_latch() {
    int port = g_midi_devices.current_out_port;
    int device = port >= 0 && port < LOGICAL_PORTS ? g_midi_devices.port_map[port] : 0;
    g_main_fields.port_device.store(device);
}

void show_port_device() {
    zero_number_at(PORT_DEVICE_FIELD.column, PORT_DEVICE_FIELD.row, 3,
                   g_main_fields.port_device.load() + 1);
}

void show_lyric(const char* text) {
    constexpr int LYRIC_COLUMNS = 78;
    static const std::string blank(LYRIC_COLUMNS, ' ');
    text_at(LYRIC_LINE.column, LYRIC_LINE.row, blank.c_str());
    char line[LYRIC_COLUMNS + 1];
    sjis_copy_cut(line, text, strlen(text), LYRIC_COLUMNS);
    text_at(LYRIC_LINE.column, LYRIC_LINE.row, line);
}

void show_transport_lamps(bool playing, bool recording) {
    // A small lamp in the top-right corner of a button face; off, the background shows.
    auto lamp = [](int button, bool on, uint32_t colour) {
        int left = button_face(TRANSPORT_BUTTONS, button).left + 36;
        if (on) {
            fill_rect(left, 333, left + 7, 337, colour, colour, 1);
        } else {
            blit(left, 333, g_shell.background_slot, left, 333, left + 7, 337);
        }
    };
    lamp(BUTTON_RECORD, recording, LAMP_RED);
    lamp(BUTTON_PLAY, playing, LAMP_GREEN);
}

void main_fields_draw_all() {
    show_version();
    show_channel();
    show_track();
}
