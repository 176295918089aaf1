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
#include "songcore/song_store.h"

namespace {

constexpr int LABEL_COLUMN = 42;
// Controllers of the three value columns, and with alt_variant.
const int VALUE_COLUMNS[3] = {0, 91, 93};
const int VALUE_COLUMNS_ALT[3] = {10, 7, 11};

void label_draw(int channel, bool inverse) {
    const char* label = number_label(channel + 1);
    if (inverse) {
        small_text_inverse_at(LABEL_COLUMN, LIST_FIRST_ROW + channel, label);
    } else {
        small_text_at(LABEL_COLUMN, LIST_FIRST_ROW + channel, label);
    }
}

} // namespace

void channel_panel_draw(ChannelList kind) {
    bool alt = g_menu.alt_variant != 0;
    text_at(42, 4,
            alt ? "ch   tone name     PRG PAN VOL EXP" : "ch   tone name     PRG BNK rev cor");
    const int* controllers = alt ? VALUE_COLUMNS_ALT : VALUE_COLUMNS;
    for (int ch = 0; ch < 16; ch++) {
        int row = LIST_FIRST_ROW + ch;
        bool inverse =
            kind == ChannelList::mute ? g_song.channel_play[ch] != 0 : ch == current_channel();
        label_draw(ch, inverse);
        uint8_t marker = g_channel_state.drum_channel[ch];
        if (marker != 0) {
            set_text_colour(COLOUR_BLUE);
        }
        text_at(47, row, tone_name(g_channel_state.channel_program[ch] + marker));
        zero_number_at(61, row, 3, g_channel_state.channel_program[ch] + 1);
        for (int i = 0; i < 3; i++) {
            zero_number_at(65 + 4 * i, row, 3,
                           g_channel_state.controller_values[ch][controllers[i]]);
        }
    }
}

void channel_panel_value_draw(int channel, int controller) {
    const int* controllers = g_menu.alt_variant != 0 ? VALUE_COLUMNS_ALT : VALUE_COLUMNS;
    for (int i = 0; i < 3; i++) {
        if (controllers[i] == controller) {
            zero_number_at(65 + 4 * i, LIST_FIRST_ROW + channel, 3,
                           g_channel_state.controller_values[channel & 0x0F][controller & 0x7F]);
        }
    }
}

void channel_panel_click(ChannelList kind, int y) {
    int ch = list_row_at(y, LIST_ROWS);
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
    setting_set(SLOT_OUT_CHANNEL, ch);
    label_draw(old, false);
    label_draw(ch, true);
    show_channel();
    audition_if_alt();
}
