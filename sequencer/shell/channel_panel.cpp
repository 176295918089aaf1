// The channel lists: the 16 channels with tone, program and three controllers; choosing the
// current MIDI channel, or muting channels.
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/settings.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/name_tables.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

namespace {

constexpr int PROGRAM_COLUMN = 61;
constexpr int VALUE_COLUMN = 65; // the first of three, four cells apart
// Controllers of the three value columns, and with alt_variant.
const int VALUE_CONTROLLERS[3] = {CC_BANK_SELECT_MSB, CC_REVERB, CC_CHORUS};
const int VALUE_CONTROLLERS_ALT[3] = {CC_PAN, CC_VOLUME, CC_EXPRESSION};

void label_draw(int channel, bool inverse) {
    const char* label = number_label(channel + 1);
    if (inverse) {
        small_text_inverse_at(CHANNEL_LIST.label_column, list_text_row(CHANNEL_LIST, channel),
                              label);
    } else {
        small_text_at(CHANNEL_LIST.label_column, list_text_row(CHANNEL_LIST, channel), label);
    }
}

} // namespace

void channel_panel_draw(ChannelList kind) {
    bool alt = g_menu.alt_variant != 0;
    text_at(CHANNEL_LIST.label_column, LIST_FIRST_ROW - 1,
            alt ? "ch   tone name     PRG PAN VOL EXP" : "ch   tone name     PRG BNK rev cor");
    const int* controllers = alt ? VALUE_CONTROLLERS_ALT : VALUE_CONTROLLERS;
    for (int ch = 0; ch < 16; ch++) {
        int row = list_text_row(CHANNEL_LIST, ch);
        bool inverse =
            kind == ChannelList::mute ? g_song.channel_play[ch] != 0 : ch == current_channel();
        label_draw(ch, inverse);
        uint8_t marker = g_channel_state.drum_channel[ch];
        if (marker != 0) {
            set_text_colour(COLOUR_BLUE);
        }
        text_at(CHANNEL_LIST.text_column, row,
                tone_name(g_channel_state.channel_program[ch] + marker));
        zero_number_at(PROGRAM_COLUMN, row, 3, g_channel_state.channel_program[ch] + 1);
        for (int i = 0; i < 3; i++) {
            zero_number_at(VALUE_COLUMN + 4 * i, row, 3,
                           g_channel_state.controller_values[ch][controllers[i]]);
        }
    }
}

void channel_panel_value_draw(int channel, int controller) {
    const int* controllers = g_menu.alt_variant != 0 ? VALUE_CONTROLLERS_ALT : VALUE_CONTROLLERS;
    for (int i = 0; i < 3; i++) {
        if (controllers[i] == controller) {
            zero_number_at(VALUE_COLUMN + 4 * i, list_text_row(CHANNEL_LIST, channel), 3,
                           g_channel_state.controller_values[channel & 0x0F][controller & 0x7F]);
        }
    }
}

void channel_panel_click(ChannelList kind, int y) {
    int ch = list_row_at(y, CHANNEL_LIST.entries);
    if (ch < 0) {
        return;
    }
    if (kind == ChannelList::mute) {
        uint8_t play = g_song.channel_play[ch] != 0 ? 0 : PLAY_ON;
        if (g_ui.alt_mode != 0) {
            for (uint8_t& p : g_song.channel_play) {
                p = play;
            }
        } else {
            g_song.channel_play[ch] = play;
        }
        for (int c = 0; c < 16; c++) {
            label_draw(c, g_song.channel_play[c] != 0);
        }
        show_channel_mute_mark();
        return;
    }
    int old = current_channel();
    g_settings.slots[SLOT_OUT_CHANNEL] = ch;
    label_draw(old, false);
    label_draw(ch, true);
    show_channel();
    audition_if_alt();
}
