// Inserting the current channel's sound settings into the write track at a measure, beat
// and clock.
#include "sequencer/shell/panel_commands.h"

#include "sequencer/edit/edit.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/settings.h"
#include "sequencer/shell/param_fields.h"
#include "songcore/midi_bytes.h"

namespace {

uint32_t put_event(uint8_t* out, uint32_t n, bool first, uint8_t status, uint8_t data1, int data2) {
    if (!first) {
        out[n++] = 0; // the events of the block share one tick
    }
    out[n++] = status;
    out[n++] = static_cast<uint8_t>(data1 & 0x7F);
    if (data2 >= 0) {
        out[n++] = static_cast<uint8_t>(data2 & 0x7F);
    }
    return n;
}

} // namespace

uint32_t sound_block_build(int channel_index, bool program_only, uint8_t* out) {
    int c = channel_index & 0x0F;
    const ChannelState& state = g_channel_state;
    uint8_t control = static_cast<uint8_t>(STATUS_CONTROL_CHANGE | c);
    uint8_t program = static_cast<uint8_t>(STATUS_PROGRAM_CHANGE | c);
    if (program_only) {
        return put_event(out, 0, true, program, state.channel_program[c], -1);
    }
    uint32_t n = put_event(out, 0, true, control, CC_BANK_SELECT_LSB,
                           state.controller_values[c][CC_BANK_SELECT_LSB]);
    n = put_event(out, n, false, control, CC_BANK_SELECT_MSB,
                  state.controller_values[c][CC_BANK_SELECT_MSB]);
    n = put_event(out, n, false, program, state.channel_program[c], -1);
    n = put_event(out, n, false, control, CC_REVERB, state.controller_values[c][CC_REVERB]);
    n = put_event(out, n, false, control, CC_CHORUS, state.controller_values[c][CC_CHORUS]);
    for (int i = 0; i < NRPN_PARAMETERS; i++) {
        uint8_t value = state.nrpn_values[c][i];
        if (value == GS_PARAMETER_MIDDLE) {
            continue;
        }
        n = put_event(out, n, false, control, CC_NRPN_MSB, GS_SOUND_NRPN_MSB);
        n = put_event(out, n, false, control, CC_NRPN_LSB, NRPN_LSB_NUMBERS[i]);
        n = put_event(out, n, false, control, CC_DATA_ENTRY_MSB, value);
        n = put_event(out, n, false, control, CC_DATA_ENTRY_LSB, 0);
    }
    return n;
}

void sound_settings_insert() {
    const EditParams& p = g_edit.params;
    const MeasureTable& table = g_song.measure_table;
    // The fields keep to their ranges; a song changed since they were set may not.
    if (p.sound_measure < 1 || p.sound_measure > table.last_measure + 2 ||
        p.sound_measure > MAX_MEASURES || p.sound_beat < 1 || p.sound_clock < 0) {
        return;
    }
    int64_t tick = static_cast<int64_t>(measure_entry(p.sound_measure - 1).start_tick) +
                   static_cast<int64_t>(p.sound_beat - 1) * g_song.time_base + p.sound_clock;
    if (tick > TICK_LIMIT) {
        return;
    }
    uint8_t block[SOUND_BLOCK_MAX];
    uint32_t count = sound_block_build(g_settings.slots[SLOT_OUT_CHANNEL], p.alt_mode, block);
    if (event_insert_at(static_cast<int32_t>(tick), block, count, 0) == EditResult::done &&
        g_edit.hooks.song_changed != nullptr) {
        g_edit.hooks.song_changed();
    }
}
