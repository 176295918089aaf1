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

void label_draw(int channel_index, bool inverse) {
    const char* label = number_label(channel_index + 1);
    if (inverse) {
        small_text_inverse_at(CHANNEL_LIST.label_column, list_text_row(CHANNEL_LIST, channel_index),
                              label);
    } else {
        small_text_at(CHANNEL_LIST.label_column, list_text_row(CHANNEL_LIST, channel_index), label);
    }
}

} // namespace

void channel_panel_draw(ChannelList kind) {
    bool alt = g_menu.alt_variant != 0;
    text_at(CHANNEL_LIST.label_column, LIST_FIRST_ROW - 1,
            alt ? "ch   tone name     PRG PAN VOL EXP" : "ch   tone name     PRG BNK rev cor");
    const int* controllers = alt ? VALUE_CONTROLLERS_ALT : VALUE_CONTROLLERS;
    for (int channel_index = 0; channel_index < 16; channel_index++) {
        int row = list_text_row(CHANNEL_LIST, channel_index);
        bool inverse = kind == ChannelList::mute ? g_song.channel_play[channel_index] != 0
                                                 : channel_index == current_channel_index();
        label_draw(channel_index, inverse);
        uint8_t marker = g_channel_state.drum_channel[channel_index];
        if (marker != 0) {
            set_text_colour(COLOUR_BLUE);
        }
        text_at(CHANNEL_LIST.text_column, row,
                tone_name(g_channel_state.channel_program[channel_index] + marker));
        zero_number_at(PROGRAM_COLUMN, row, 3, g_channel_state.channel_program[channel_index] + 1);
        for (int i = 0; i < 3; i++) {
            zero_number_at(VALUE_COLUMN + 4 * i, row, 3,
                           g_channel_state.controller_values[channel_index][controllers[i]]);
        }
    }
}

void channel_panel_value_draw(int channel_index, int controller) {
    const int* controllers = g_menu.alt_variant != 0 ? VALUE_CONTROLLERS_ALT : VALUE_CONTROLLERS;
    for (int i = 0; i < 3; i++) {
        if (controllers[i] == controller) {
            zero_number_at(
                VALUE_COLUMN + 4 * i, list_text_row(CHANNEL_LIST, channel_index), 3,
                g_channel_state.controller_values[channel_index & 0x0F][controller & 0x7F]);
        }
    }
}

void channel_panel_click(ChannelList kind, int y) {
    int channel_index = list_row_at(y, CHANNEL_LIST.entries);
    if (channel_index < 0) {
        return;
    }
    if (kind == ChannelList::mute) {
        uint8_t play = g_song.channel_play[channel_index] != 0 ? 0 : PLAY_ON;
        if (g_ui.alt_mode != 0) {
            for (uint8_t& p : g_song.channel_play) {
                p = play;
            }
        } else {
            g_song.channel_play[channel_index] = play;
        }
        for (int other = 0; other < 16; other++) {
            label_draw(other, g_song.channel_play[other] != 0);
        }
        show_channel_mute_mark();
        return;
    }
    int old = current_channel_index();
    setting_set(SLOT_OUT_CHANNEL, channel_index);
    label_draw(old, false);
    label_draw(channel_index, true);
    show_channel();
    audition_if_alt();
}
