// What the settings panels do when a field changes: the records that mirror settings slots,
// controller and GS parameter messages sent at once, the metronome's messages, the step
// recording lengths and the fields that follow another field.
#include "sequencer/shell/param_effects.h"

#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/param_fields.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"

namespace {

// Controllers of the sound panel in field order.
const uint8_t SOUND_CONTROLLERS[5] = {CC_REVERB, CC_CHORUS, CC_VOLUME, CC_PAN, CC_EXPRESSION};

const int32_t* slots() {
    return g_settings.slots;
}

int out_channel_index() {
    return g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F;
}

void control_change(uint8_t controller, int value) {
    uint8_t message[3] = {static_cast<uint8_t>(STATUS_CONTROL_CHANGE | out_channel_index()),
                          controller, static_cast<uint8_t>(value & 0x7F)};
    midi_send(message, 3);
}

void redraw(const ParamPanel& panel, int field) {
    const ParamField* f = panel_field(panel, field);
    if (f != nullptr) {
        draw_field(field, field_value(panel, field), f->kind);
    }
}

void midi_thru_change(const ParamPanel& panel, int field, int32_t value) {
    switch (field) {
    case 5:
        // The thru output channel is the current MIDI channel.
        setting_set(SLOT_OUT_CHANNEL, (value - 1) & 0x0F);
        show_channel();
        break;
    case 7:
        if (setting_on(SLOT_FIXED_VELOCITY_ON)) {
            g_ui.play_velocity = value;
        }
        break;
    case 8:
        g_ui.velocity_lock = value != 0;
        if (value != 0) {
            int32_t fixed = slots()[SLOT_FIXED_VELOCITY];
            fixed = fixed < 1 ? 1 : (fixed > 127 ? 127 : fixed);
            setting_set(SLOT_FIXED_VELOCITY, fixed);
            g_ui.play_velocity = fixed;
        }
        redraw(panel, 7);
        break;
    default:
        break;
    }
}

void micro_channel_set(int32_t value) {
    micro_channel_choose(value);
}

void karaoke_change(int field, int32_t value) {
    switch (field) {
    case 1:
        transpose_switch(value != 0);
        break;
    case 2:
        transpose_amount_set(value);
        break;
    case 3:
        if (g_song.tracing_track >= 1 && g_song.tracing_track <= MAX_TRACKS) {
            g_song.track_play[g_song.tracing_track - 1] = 1;
        }
        show_track_mute_mark();
        break;
    case 4:
        g_song.tracing_track = value;
        show_track_mute_mark();
        break;
    case 5:
        rechord_switch(value == 1);
        break;
    case 6:
        rechord_track_set(value);
        break;
    default:
        break;
    }
}

// The slider panel's controller follows measure memory H.
void slider_controller_refresh(int32_t value) {
    int controller = static_cast<int>(value % 128);
    controller = controller < 0 ? controller + 128 : controller;
    if (g_ui.lower_panel_mode.load() != LOWER_CONTROLLER) {
        return;
    }
    g_ui.slider_controller.store(controller);
    g_ui.slider_value.store(g_channel_state.controller_values[out_channel_index()][controller]);
    zero_number_at(70, 27, 3, controller);
}

// The time signature and tempo of the start measure come into the fields 5 to 7.
void create_measure_load(const ParamPanel& panel, int32_t measure_number) {
    const MeasureEntry& m = measure_entry(measure_number - 1);
    setting_set(SLOT_CREATE_DENOMINATOR, m.denominator > 0 ? m.denominator : 4);
    setting_set(SLOT_CREATE_NUMERATOR, m.numerator > 0 ? m.numerator : 4);
    uint32_t tempo = m.tempo;
    setting_set(SLOT_CREATE_TEMPO,
                tempo < 1 ? 120 : (tempo > 600 ? 600 : static_cast<int32_t>(tempo)));
    for (int field = 5; field <= 7; field++) {
        redraw(panel, field);
    }
}

void create_change(const ParamPanel& panel, int field, int32_t value) {
    if (field == 1) {
        create_measure_load(panel, value);
    } else if (field == 6) {
        if (slots()[SLOT_CREATE_NUMERATOR] > 2 * value) {
            setting_set(SLOT_CREATE_NUMERATOR, 2 * value);
            redraw(panel, 5);
        }
    }
}

// Gate and rest of a step from the step length and the gate percentage.
void step_gate_update() {
    int32_t step = slots()[SLOT_STEP_LENGTH];
    int32_t percent = slots()[SLOT_STEP_GATE_PERCENT];
    step_gate_set(step, percent);
}

void step_change(const ParamPanel& panel, int field, int32_t value, bool stepped_up) {
    if (field == 5 && value > 0) {
        int32_t whole = g_song.time_base * 4;
        int32_t step = whole / value;
        if (stepped_up && g_ui.alt_mode != 0) {
            step = step * 3 / 2; // a dotted value
        }
        setting_set(SLOT_STEP_LENGTH, step < 1 ? 1 : (step > whole ? whole : step));
        redraw(panel, 6);
    }
    step_gate_update();
}

} // namespace

void param_effect_show(int command_key) {
    const int32_t* s = slots();
    switch (menu_command_at(command_key)) {
    case MenuCommand::midi_thru:
        if (s[SLOT_THRU_ON] > 1) {
            setting_set(SLOT_THRU_ON, 1);
        }
        setting_set(SLOT_INPUT_OUT_CHANNEL, out_channel_index() + 1);
        break;
    case MenuCommand::options:
        setting_set(SLOT_SLEEP, s[SLOT_SLEEP] & 1);
        break;
    case MenuCommand::micro_scale: {
        // Captures change the records these slots mirror.
        const MidiMaps& m = g_midi_maps;
        setting_set(SLOT_MICRO_CHANNEL,
                    m.saved_micro_channel >= 0 ? m.saved_micro_channel : m.micro_channel);
        break;
    }
    case MenuCommand::karaoke:
        setting_set(SLOT_TRANSPOSE_ON, g_midi_maps.transpose_on ? 1 : 0);
        setting_set(SLOT_PLAYBACK_TRANSPOSE, g_midi_maps.playback_transpose);
        setting_set(SLOT_TRACING_TRACK, g_song.tracing_track);
        setting_set(SLOT_RECHORD_ON, g_midi_maps.rechord_on ? 1 : 0);
        setting_set(SLOT_RECHORD_TRACK, g_midi_maps.rechord_track);
        break;
    default:
        break;
    }
}

void param_effect_change(const ParamPanel& panel, int field, int32_t old_value, bool stepped_up) {
    (void)old_value;
    int32_t value = field_value(panel, field);
    switch (panel.command) {
    case MenuCommand::midi_thru:
        midi_thru_change(panel, field, value);
        break;
    case MenuCommand::options:
        if (field == 1) {
            position_reset(); // the new clock takes over from the song start and its tempo
        }
        break;
    case MenuCommand::metronome:
        metronome_messages_build();
        break;
    case MenuCommand::micro_scale:
        if (field == 1) {
            micro_channel_set(value);
        }
        break;
    case MenuCommand::channel_effects:
        for (uint8_t controller : SOUND_CONTROLLERS) {
            control_change(controller,
                           g_channel_state.controller_values[out_channel_index()][controller]);
        }
        break;
    case MenuCommand::gs_parameters:
        control_change(CC_NRPN_MSB, GS_SOUND_NRPN_MSB);
        control_change(CC_NRPN_LSB, NRPN_LSB_NUMBERS[(field - 1) & 7]);
        control_change(CC_DATA_ENTRY_MSB, value + GS_PARAMETER_MIDDLE);
        control_change(CC_DATA_ENTRY_LSB, 0);
        break;
    case MenuCommand::karaoke:
        karaoke_change(field, value);
        break;
    case MenuCommand::direct_measure:
        if (field == 8) {
            slider_controller_refresh(value);
        }
        break;
    case MenuCommand::create:
        create_change(panel, field, value);
        break;
    case MenuCommand::event_filter:
        g_event_filter.pass[(field - 1) & 7] = value != 0 ? 1 : 0;
        break;
    case MenuCommand::step_recording:
        step_change(panel, field, value, stepped_up);
        break;
    default:
        break;
    }
}

void param_settings_apply() {
    const int32_t* s = g_settings.slots;
    g_ui.velocity_lock = s[SLOT_FIXED_VELOCITY_ON] != 0;
    int32_t fixed = s[SLOT_FIXED_VELOCITY];
    g_ui.play_velocity = fixed < 1 ? 1 : (fixed > 127 ? 127 : fixed);
}
