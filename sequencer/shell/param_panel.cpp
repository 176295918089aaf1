// Parameter and command panels: the frame, the fields and their stepping, the hit test, the
// value-box shortcuts and the two-press ENTER box.
#include "sequencer/shell/param_panel.h"

#include "sequencer/shell/name_tables.h"

#include "platform/window.h"
#include "sequencer/edit/edit.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/draw_text.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/panel_commands.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/param_effects.h"
#include "sequencer/shell/param_fields.h"
#include "sequencer/shell/param_texts.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/midi_bytes.h"
#include "songcore/song_store.h"

#include <cstdio>

ParamPanelState g_param_panel;

namespace {

constexpr int PROMPT_COL = 40;
constexpr int PROMPT_ROW = 20;
constexpr const char* PROMPT_BLANK = "                  "; // 18 blanks
constexpr const char* PROMPT_SURE = "  Are you sure ? ";
constexpr const char* PROMPT_EXECUTING = "  Executing !!   ";
constexpr int CURSOR_HOURGLASS = 2;

const ParamPanel* shown_panel() {
    return g_param_panel.shown_key >= 0 ? param_panel_find(g_param_panel.shown_key) : nullptr;
}

const FieldRowLayout& field_row(int field) {
    return field <= 4 ? UPPER_FIELDS : LOWER_FIELDS;
}

int value_column(int field) {
    return FIELD_VALUE_COLUMN + (FIELD_BOX_WIDTH / CELL_WIDTH) * ((field - 1) % 4);
}

int value_row(int field) {
    return field_row(field).value_text_row;
}

const char* label_of(int32_t value) {
    return value >= 1 && value <= NUMBER_LABELS ? number_label(value) : nullptr;
}

// The text a value shows as; null where the number itself is shown (kind 1, or a value
// that has no text).
const char* value_text(int32_t value, int kind) {
    const ParamTexts& t = g_param_texts;
    switch (kind) {
    case KIND_SWITCH:
        return value != 0 ? t.on : t.off;
    case KIND_TRACK:
        return value == 0 ? t.all : label_of(value);
    case KIND_NOTE:
        return value >= 0 && value <= 127 ? note_name(value) : nullptr;
    case KIND_CHANNEL:
        return value >= 17 ? t.all : label_of(value);
    case KIND_SONG:
    case KIND_LABEL:
        return label_of(value);
    case KIND_CLOCK:
        return value >= 0 && value <= 2 ? t.clock_source[value] : nullptr;
    default:
        return nullptr;
    }
}

void value_draw(int field, int32_t value, int kind) {
    int col = value_column(field);
    int row = value_row(field);
    const char* text = value_text(value, kind);
    if (text == nullptr) {
        number_at(col, row, 4, value);
    } else if (kind == KIND_NOTE) {
        text_at(col - 1, row, text);
    } else {
        text_at(col, row, text);
    }
}

void value_speak(int32_t value, int kind) {
    char text[SPEECH_TEXT_SIZE * 2];
    const char* shown = value_text(value, kind);
    if (shown == nullptr) {
        snprintf(text, sizeof text, "%d", static_cast<int>(value));
    } else if (kind == KIND_TRACK) {
        snprintf(text, sizeof text, "%s%s", g_speech.speech_text[SPEECH_TRACK_WORD], shown);
    } else if (kind == KIND_CHANNEL) {
        snprintf(text, sizeof text, "%s%s", shown, g_speech.speech_text[SPEECH_CHANNEL_WORD]);
    } else if (kind == KIND_SONG) {
        snprintf(text, sizeof text, "%s%s", g_speech.speech_text[SPEECH_SONG_WORD], shown);
    } else {
        snprintf(text, sizeof text, "%s", shown);
    }
    speak(text, 0);
}

void prompt_show(const char* text) {
    text_at(PROMPT_COL, PROMPT_ROW, text);
}

void boxes_draw(int count, const FieldRowLayout& fields) {
    int top_row = fields.box_text_row;
    const ParamTexts& t = g_param_texts;
    const char* const lines[5] = {t.box_top, t.box_value, t.box_middle, t.box_arrows, t.box_bottom};
    for (int k = 0; k < count; k++) {
        for (int line = 0; line < 5; line++) {
            text_at(FIELD_BOX_COLUMN + (FIELD_BOX_WIDTH / CELL_WIDTH) * k, top_row + line,
                    lines[line]);
        }
    }
}

ScreenRect field_button_face(const FieldRowLayout& fields, int button) {
    int left = FIELDS_LEFT + FIELD_BUTTON_WIDTH * button;
    int top = fields.button_face_top;
    return {left, top, left + FIELD_BUTTON_WIDTH - 1, top + FIELD_FACE_HEIGHT};
}

void frames_draw(int count, const FieldRowLayout& fields) {
    for (int k = 0; k < count; k++) {
        int left = FIELDS_LEFT + FIELD_BOX_WIDTH * k;
        int top = fields.value_face_top;
        bevel_frame(left, top, left + FIELD_BOX_WIDTH - 1, top + FIELD_FACE_HEIGHT, 1);
    }
    for (int j = 0; j < 2 * count; j++) {
        ScreenRect face = field_button_face(fields, j);
        bevel_frame(face.left, face.top, face.right, face.bottom, 0);
    }
}

void values_draw(const ParamPanel& panel) {
    for (int field = 1; field <= PANEL_FIELDS; field++) {
        const ParamField* f = panel_field(panel, field);
        if (f != nullptr) {
            value_draw(field, field_value(panel, field), f->kind);
        }
    }
}

bool depends_on_others(FieldRange range) {
    return range == FieldRange::length || range == FieldRange::create_count ||
           range == FieldRange::copy_times || range == FieldRange::numerator ||
           range == FieldRange::beat;
}

// Fields whose bounds follow another field are pulled back inside them.
void dependents_clamp(const ParamPanel& panel, int changed) {
    for (int field = 1; field <= PANEL_FIELDS; field++) {
        const ParamField* f = panel_field(panel, field);
        if (f == nullptr || field == changed || !depends_on_others(f->range)) {
            continue;
        }
        int32_t min, max;
        field_bounds(panel, field, min, max);
        int32_t value = field_value(panel, field);
        int32_t clamped = value < min ? min : (value > max ? max : value);
        if (clamped != value) {
            field_store(panel, field, clamped);
            draw_field(field, clamped, f->kind);
        }
    }
}

void value_change(int field, int32_t value, bool stepped_up) {
    const ParamPanel* panel = shown_panel();
    const ParamField* f = panel ? panel_field(*panel, field) : nullptr;
    if (f == nullptr) {
        return;
    }
    int32_t min, max;
    field_bounds(*panel, field, min, max);
    value = value < min ? min : (value > max ? max : value);
    int32_t old = field_value(*panel, field);
    field_store(*panel, field, value);
    draw_field(field, value, f->kind);
    if (value != old) {
        dependents_clamp(*panel, field);
        param_effect_change(*panel, field, old, stepped_up);
    }
}

int32_t denominator_step(bool up, int32_t value) {
    if (up) {
        int32_t half = value / 2;
        bool fits = half == 0 || g_song.time_base % half == 0;
        return value < 32 && fits ? value * 2 : value;
    }
    return value > 2 ? value / 2 : value;
}

void button_step(const ParamPanel& panel, int field, bool up) {
    const ParamField* f = panel_field(panel, field);
    if (f == nullptr) {
        return;
    }
    int32_t value = field_value(panel, field);
    int32_t min, max;
    field_bounds(panel, field, min, max);
    switch (f->step) {
    case FieldStep::note_value:
        value = up ? quantize_note_up(value) : quantize_note_down(value);
        break;
    case FieldStep::denominator:
        value = denominator_step(up, value);
        break;
    case FieldStep::all_six:
        if (g_ui.alt_mode != 0) {
            for (int other = 1; other <= 6; other++) {
                value_change(other, up ? 1 : 0, up);
            }
            return;
        }
        value = step_field(up, value, max, min, f->kind);
        break;
    case FieldStep::plain:
    default:
        value = step_field(up, value, max, min, f->kind);
        break;
    }
    value_change(field, value, up);
}

int current_measure() {
    return g_song_clock.current_measure + 1;
}

// The note sounds until the button is released.
void note_audition(int32_t note) {
    if (note < 0 || note > 127 || g_ui.auditioned_note >= 0) {
        return;
    }
    int velocity =
        g_ui.play_velocity < 1 ? 1 : (g_ui.play_velocity > 127 ? 127 : g_ui.play_velocity);
    send_and_record(STATUS_NOTE_ON, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity), 3);
    g_ui.auditioned_note = note;
    g_shell.button_pressed = 4;
}

void value_box(const ParamPanel& panel, int field) {
    const ParamField* f = panel_field(panel, field);
    if (f == nullptr) {
        return;
    }
    bool alt = g_ui.alt_mode != 0;
    int32_t value = field_value(panel, field);
    switch (f->shortcut) {
    case FieldShortcut::none:
        return;
    case FieldShortcut::constant:
        value = f->constant;
        break;
    case FieldShortcut::constant_alt:
        value = alt ? 127 : f->constant;
        break;
    case FieldShortcut::track:
        value = g_song.write_track + 1;
        break;
    case FieldShortcut::measure:
        if (alt) {
            measure_move(value - 1);
            return;
        }
        value = current_measure();
        break;
    case FieldShortcut::measure_only:
        value = current_measure();
        break;
    case FieldShortcut::channel:
        value = alt ? 17 : (g_settings.slots[SLOT_OUT_CHANNEL] & 0x0F) + 1;
        break;
    case FieldShortcut::song:
        value = g_song.current_bank + 1;
        break;
    case FieldShortcut::tempo:
        value = g_song_clock.tempo_bpm;
        break;
    case FieldShortcut::memory:
        if (!alt) {
            measure_move(value - 1);
            return;
        }
        value = current_measure();
        break;
    case FieldShortcut::note:
        if (!alt) {
            note_audition(value);
            return;
        }
        if (g_ui.last_note < 0) {
            return;
        }
        value = g_ui.last_note;
        break;
    case FieldShortcut::lock_velocity:
        value = setting_on(SLOT_FIXED_VELOCITY_ON) ? 100 : 0;
        break;
    }
    value_change(field, value, false);
}

// The hourglass while a command runs. Frames run commands on the window thread while the
// transport is stopped, so the cursor can be set at once; otherwise the next window event
// shows it.
void busy_cursor(bool on, int& saved) {
    if (on) {
        saved = g_shell.cursor_shape.load();
        g_shell.cursor_shape.store(CURSOR_HOURGLASS);
    } else {
        g_shell.cursor_shape.store(saved);
    }
    if (transport_mode() == MODE_STOPPED) {
        platform_cursor_shape(on ? CURSOR_HOURGLASS : saved);
        g_shell.cursor_shown = on ? CURSOR_HOURGLASS : saved;
    }
}

void params_fill(const ParamPanel& panel) {
    EditParams& p = g_edit.params;
    for (int field = 1; field <= PANEL_FIELDS; field++) {
        const ParamField* f = panel_field(panel, field);
        if (f == nullptr) {
            continue;
        }
        if (f->param != nullptr) {
            p.*(f->param) = field_value(panel, field);
        }
        if (f->flag != nullptr) {
            p.*(f->flag) = field_value(panel, field) != 0;
        }
    }
    // Shift and the octave are taken by the command run itself, at the second press.
    p.backup = setting_on(SLOT_BACKUP_ALLOWED);
}

// The command may have adjusted its fields (lowered tracks, lengths back to 1).
void params_take_back(const ParamPanel& panel) {
    const EditParams& p = g_edit.params;
    for (int field = 1; field <= PANEL_FIELDS; field++) {
        const ParamField* f = panel_field(panel, field);
        if (f == nullptr) {
            continue;
        }
        if (f->param != nullptr) {
            field_store(panel, field, p.*(f->param));
        }
        if (f->flag != nullptr) {
            field_store(panel, field, p.*(f->flag) ? 1 : 0);
        }
    }
}

void command_execute(const ParamPanel& panel) {
    params_fill(panel);
    if (!panel_command_ready(menu_command_key(panel.command))) {
        prompt_show(PROMPT_BLANK);
        return;
    }
    prompt_show(PROMPT_EXECUTING);
    command_backup();
    int saved = 0;
    busy_cursor(true, saved);
    panel_command_run(menu_command_key(panel.command));
    busy_cursor(false, saved);
    if (shown_panel() == &panel) {
        params_take_back(panel);
        values_draw(panel);
    }
}

} // namespace

void param_panel_reset() {
    g_param_panel = ParamPanelState{};
}

bool param_panel_show(int command_key) {
    if (param_panel_find(command_key) == nullptr) {
        return false;
    }
    g_param_panel.shown_key = command_key;
    param_effect_show(command_key);
    draw_panel(command_key);
    return true;
}

void draw_panel(int command_key) {
    const ParamPanel* panel = param_panel_find(command_key);
    if (panel == nullptr) {
        return;
    }
    const ParamTexts& t = g_param_texts;
    clear_panel();
    for (int line = 0; line < PANEL_CAPTIONS && panel->captions[line].row != 0; line++) {
        text_at(40, panel->captions[line].row, t.caption[command_key][line]);
    }
    boxes_draw(panel->upper, UPPER_FIELDS);
    boxes_draw(panel->lower, LOWER_FIELDS);
    if (panel->enter) {
        text_at(ENTER_BOX_COLUMN, ENTER_BOX_ROW, t.enter_top);
        text_at(ENTER_BOX_COLUMN, ENTER_BOX_ROW + 1, t.enter_middle);
        text_at(ENTER_BOX_COLUMN, ENTER_BOX_ROW + 2, t.enter_bottom);
    }
    frames_draw(panel->upper, UPPER_FIELDS);
    frames_draw(panel->lower, LOWER_FIELDS);
    if (panel->enter) {
        bevel_frame(ENTER_BOX_FACE.left, ENTER_BOX_FACE.top, ENTER_BOX_FACE.right,
                    ENTER_BOX_FACE.bottom, 0);
    }
    values_draw(*panel);
    g_param_panel.confirm_count = 0;
}

void draw_field(int field, int32_t value, int kind) {
    value_draw(field, value, kind);
    value_speak(value, kind);
    g_param_panel.confirm_count = 0;
    prompt_show(PROMPT_BLANK);
}

int32_t step_field(bool up, int32_t value, int32_t max, int32_t min, int kind) {
    int extra = kind == KIND_NOTE ? 11 : (kind == KIND_NUMBER ? 9 : 0);
    if (kind == KIND_TRACK || kind == KIND_CHANNEL) {
        extra = 4;
    }
    if (g_ui.alt_mode == 0) {
        extra = 0;
    }
    if (up) {
        if (value < max) {
            value++;
            if (extra > 0 && value + extra <= max) {
                value += extra;
            }
        }
    } else if (value > min) {
        value--;
        if (extra > 0 && value - extra >= min) {
            value -= extra;
        }
    }
    return value;
}

void confirm_press() {
    const ParamPanel* panel = shown_panel();
    if (panel == nullptr || !panel->enter) {
        return;
    }
    if (g_ui.repeat_count == 0) {
        press_flash(ENTER_BOX_FACE.left, ENTER_BOX_FACE.top, ENTER_BOX_FACE.right,
                    ENTER_BOX_FACE.bottom);
    }
    if (g_param_panel.confirm_count >= 2) {
        return;
    }
    g_param_panel.confirm_count++;
    if (g_param_panel.confirm_count == 1) {
        prompt_show(PROMPT_SURE);
        speak(PROMPT_SURE, 1);
        return;
    }
    command_execute(*panel);
}

void param_panel_click(int x, int y, int command_key) {
    const ParamPanel* panel = shown_panel();
    if (panel == nullptr || command_key != g_param_panel.shown_key || g_ui.click_is_release) {
        return;
    }
    if (g_speech.value_speech) {
        g_speech.speech_armed = true;
    }
    if (x <= FIELDS_HIT_ORIGIN || x > FIELDS_HIT_RIGHT) {
        return;
    }
    int box = (x - FIELDS_HIT_ORIGIN) / FIELD_BOX_WIDTH;
    int j = (x - FIELDS_HIT_ORIGIN) / FIELD_BUTTON_WIDTH; // button 1..8 of its row, 0-based
    const FieldRowLayout& upper = UPPER_FIELDS;
    const FieldRowLayout& lower = LOWER_FIELDS;
    if (y >= upper.value_hit_top && y <= upper.value_hit_bottom) {
        value_box(*panel, box + 1);
    } else if (y >= lower.value_hit_top && y <= lower.value_hit_bottom) {
        value_box(*panel, box + 5);
    } else if ((y >= upper.button_hit_top && y <= upper.button_hit_bottom) ||
               (y >= lower.button_hit_top && y <= lower.button_hit_bottom)) {
        bool in_lower = y >= lower.button_hit_top;
        int field = j / 2 + 1 + (in_lower ? 4 : 0);
        if (panel_field(*panel, field) == nullptr) {
            return;
        }
        if (g_ui.repeat_count == 0) {
            ScreenRect face = field_button_face(in_lower ? lower : upper, j);
            press_flash(face.left, face.top, face.right, face.bottom);
        }
        button_step(*panel, field, j % 2 == 0);
        g_ui.repeat_armed = 1;
    } else if (rect_contains(ENTER_BOX, x, y)) {
        confirm_press();
    }
}

void param_panel_values_redraw() {
    const ParamPanel* panel = shown_panel();
    if (panel != nullptr && g_param_panel.shown_key == command_key()) {
        values_draw(*panel);
    }
}

int panel_layout() {
    const ParamPanel* panel = shown_panel();
    if (panel == nullptr || g_param_panel.shown_key != command_key()) {
        return 0;
    }
    return panel->upper * 8 + panel->lower + (panel->enter ? 64 : 0);
}
