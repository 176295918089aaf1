// The options dialog's behaviour (controls from and back into the options, the up and down
// buttons, convert and store) and the open chooser for the file to convert.
#include "converter/converter.h"
#include "converter/converter_desktop.h"
#include "gui/dialog_run.h"
#include "platform/platform.h"

#include <cstring>
#include <string>

namespace {

// The check boxes and the option each one stands for.
struct CheckOption {
    int id;
    int ConverterOptions::*field;
};

const CheckOption CHECK_OPTIONS[] = {
    {OPTION_VEL, &ConverterOptions::vel},   {OPTION_SEPARATION, &ConverterOptions::separation},
    {OPTION_LINK, &ConverterOptions::link}, {OPTION_DISP, &ConverterOptions::disp},
    {OPTION_PLAY, &ConverterOptions::play}, {OPTION_PAN, &ConverterOptions::pan},
    {OPTION_EXP, &ConverterOptions::exp},   {OPTION_PB, &ConverterOptions::pb},
    {OPTION_MOD, &ConverterOptions::mod},   {OPTION_MESSAGE, &ConverterOptions::message},
};

// The format radio buttons in the order of the "model" values 0..3.
const int MODEL_RADIOS[4] = {OPTION_MODEL_MLD, OPTION_MODEL_PMD, OPTION_MODEL_MMF,
                             OPTION_MODEL_MFI3};

// One up/down pair: the field it shows in and the value's bounds.
struct StepOption {
    int up;
    int down;
    int field_id;
    int ConverterOptions::*field;
    int low;
    int high;
};

const StepOption STEP_OPTIONS[] = {
    {OPTION_AUTOCUT_UP, OPTION_AUTOCUT_DOWN, OPTION_AUTOCUT_FIELD, &ConverterOptions::autocut, 1,
     900},
    {OPTION_TONESHIFT_UP, OPTION_TONESHIFT_DOWN, OPTION_TONESHIFT_FIELD,
     &ConverterOptions::toneshift, -12, 12},
    {OPTION_MSVOL_UP, OPTION_MSVOL_DOWN, OPTION_MSVOL_FIELD, &ConverterOptions::msvol, 0, 127},
};

void fields_show(DialogRun& run) {
    for (const StepOption& step : STEP_OPTIONS) {
        dialog_set_text(run, step.field_id, std::to_string(g_options.*step.field));
    }
}

void init(void*, DialogRun& run) {
    for (const CheckOption& check : CHECK_OPTIONS) {
        dialog_set_check(run, check.id, g_options.*check.field == 1);
    }
    if (g_options.model >= 0 && g_options.model < 4) {
        dialog_select_radio(run, MODEL_RADIOS[g_options.model]);
    }
    fields_show(run);
}

// Convert and store both clear every check-box option and the model first, then take each
// from its control.
void controls_read(DialogRun& run) {
    for (const CheckOption& check : CHECK_OPTIONS) {
        g_options.*check.field = 0;
    }
    g_options.model = 0;
    for (const CheckOption& check : CHECK_OPTIONS) {
        g_options.*check.field = dialog_get_check(run, check.id) ? 1 : 0;
    }
    int selected = dialog_selected_radio(run, OPTION_MODEL_MLD);
    for (int model = 0; model < 4; model++) {
        if (MODEL_RADIOS[model] == selected) {
            g_options.model = model;
        }
    }
}

// The up and down buttons change their value by one within its bounds; false for other ids.
bool step(DialogRun& run, int id) {
    for (const StepOption& s : STEP_OPTIONS) {
        int& value = g_options.*s.field;
        if (id == s.up || id == s.down) {
            if (id == s.up && value < s.high) {
                value++;
            } else if (id == s.down && value > s.low) {
                value--;
            }
            fields_show(run);
            return true;
        }
    }
    return false;
}

void command(void*, DialogRun& run, int id) {
    if (step(run, id)) {
        return;
    }
    switch (id) {
    case OPTION_README:
        platform_open_document("readme.htm");
        break;
    case OPTION_CONVERT:
        controls_read(run);
        if (g_converter.input_path[0] == '\0') {
            choose_input_file();
        }
        break;
    case OPTION_STORE:
        controls_read(run);
        options_save();
        break;
    default:
        break;
    }
}

} // namespace

void options_dialog() {
    const DialogTemplate& dialog = options_dialog_template(g_converter.ui_japanese);
    // Store (id 2 here) keeps the dialog open; convert, Esc or the close box end it.
    DialogBehaviour behaviour;
    behaviour.init = init;
    behaviour.command = command;
    dialog_run(dialog, behaviour);
}

bool choose_input_file() {
    static const FileDialogFilter filters[] = {
        {"MID Files (*.MID)", "*.mid"}, {"MLD Files (*.MLD)", "*.mld"},
        {"PMD Files (*.PMD)", "*.pmd"}, {"MMF Files (*.MMF)", "*.mmf"},
        {"All Files (*.*)", "*.*"},
    };
    FileDialogRequest request{filters, static_cast<int>(std::size(filters)), "MID", "*.MID"};
    char path[CONVERTER_PATH_SIZE];
    if (!platform_open_file_dialog(request, path, sizeof path)) {
        return false;
    }
    memcpy(g_converter.input_path, path, sizeof path);
    return true;
}
