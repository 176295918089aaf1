// The state of one running dialog, shared by the runner's source files.
// Implemented in: dialog_run.cpp, dialog_input.cpp, dialog_draw.cpp, dialog_native.cpp.
//
// Threads: only the thread running the dialog (the modal_run thread) touches it.
#pragma once
#include "gui/dialog_run.h"

#include <string>
#include <vector>

// Inner margin of an edit's text, in pixels.
constexpr int EDIT_MARGIN = 4;

struct ControlState {
    TextEdit edit;        // edits
    bool checked = false; // radio buttons, check boxes
    size_t scroll = 0;    // edits: the first byte shown
    int group = -1;       // radio buttons: the index of their group's first button
};

struct DialogRun {
    const DialogTemplate* dialog = nullptr;
    DialogBehaviour* behaviour = nullptr;
    std::vector<ControlState> controls;
    PixelRect frame{};
    int focus = -1;   // control index
    int pressed = -1; // a control held down by the mouse or Space
    bool pressed_inside = false;
    std::string composition; // UTF-8 an input method is still composing
    int composition_caret = 0;
    int text_area_x = -1, text_area_y = -1; // where an input method was last told the caret is
    int end_id = 0;                         // 0 while running
    bool ended = false;
};

// Points the run at its dialog, lays the controls out and runs the behaviour's init.
void dialog_run_setup(DialogRun& run, const DialogTemplate& dialog, DialogBehaviour& behaviour);
#ifdef _WIN32
// Runs the dialog as a native one (dialog_native.cpp): false when it could not be shown, and
// the in-picture runner takes over.
bool dialog_run_native(const DialogTemplate& dialog, DialogBehaviour& behaviour, int& end_id);
#endif
int dialog_index_of(const DialogRun& run, int id);
bool dialog_focusable(const DialogRun& run, int index);
// Runs a control's action: radio selected, check toggled, button pressed (command, then the
// end for CONTROL_ENDS buttons).
void dialog_activate(DialogRun& run, int index);

// Input (dialog_input.cpp).
void dialog_key(DialogRun& run, int virtual_key, bool down);
void dialog_text_typed(DialogRun& run, const char* utf8);
void dialog_composition(DialogRun& run, const char* utf8, int caret);
void dialog_mouse_button(DialogRun& run, bool down, int x, int y);
// Painting into the modal canvas (dialog_draw.cpp).
void dialog_draw(DialogRun& run);
