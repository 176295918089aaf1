// melconv started from a desktop: its small window, the options dialog and the file chooser
// drawn in it, and its messages as boxes instead of lines on a terminal.
// Implemented in: converter_desktop.cpp, options_dialog.cpp, options_dialog_table.cpp.
#pragma once

struct DialogTemplate;

// The window's run. Window thread only.
struct ConverterDesktop {
    bool started = false; // the first timer tick ran the conversion
    bool written = false; // and it wrote its output file
};

extern ConverterDesktop g_converter_desktop;

// The window's run (the backend is chosen and the options loaded): start-up's dialog and the
// one conversion happen on its first timer tick, then the window closes. `script` and `log`
// drive a headless run. True when an output file was written.
bool converter_desktop_run(const char* script, const char* log);

// The options dialog: shown modally; its convert button reads the controls into the options
// and, with no input path yet, asks for one with the open chooser; store saves MELCONV.INI
// and keeps the dialog open; closing keeps the controls unread.
void options_dialog();
// The open chooser for the file to convert; true when one was chosen (the input path).
bool choose_input_file();
// The options dialog's template in the interface language.
const DialogTemplate& options_dialog_template(bool japanese);

// Control identifiers of the options dialog.
constexpr int OPTION_AUTOCUT_FIELD = 1000;
constexpr int OPTION_TONESHIFT_FIELD = 1003;
constexpr int OPTION_MSVOL_FIELD = 1004;
constexpr int OPTION_MODEL_MLD = 1007;
constexpr int OPTION_MODEL_PMD = 1013;
constexpr int OPTION_MODEL_MMF = 1033;
constexpr int OPTION_MODEL_MFI3 = 1034;
constexpr int OPTION_VEL = 1009;
constexpr int OPTION_SEPARATION = 1012;
constexpr int OPTION_LINK = 1017;
constexpr int OPTION_AUTOCUT_UP = 1020;
constexpr int OPTION_AUTOCUT_DOWN = 1021;
constexpr int OPTION_TONESHIFT_UP = 1022;
constexpr int OPTION_TONESHIFT_DOWN = 1023;
constexpr int OPTION_MSVOL_UP = 1024;
constexpr int OPTION_DISP = 1025;
constexpr int OPTION_PLAY = 1026;
constexpr int OPTION_README = 1027;
constexpr int OPTION_PAN = 1028;
constexpr int OPTION_EXP = 1029;
constexpr int OPTION_MSVOL_DOWN = 1030;
constexpr int OPTION_PB = 1031;
constexpr int OPTION_MOD = 1032;
constexpr int OPTION_MESSAGE = 1035;
constexpr int OPTION_CONVERT = 1; // the dialog's OK
constexpr int OPTION_STORE = 2;   // the dialog's CANCEL id, which here stores
