// Running a dialog table inside the picture: the controls' state, keyboard and mouse
// handling, and the calls a dialog's behaviour uses to fill and read its controls.
// Implemented in: dialog_run.cpp, dialog_input.cpp, dialog_draw.cpp.
#pragma once
#include "gui/dialog_table.h"
#include "gui/text_edit.h"

#include <cstddef>
#include <string>
#include <vector>

struct DialogRun;

// What a dialog does. Either callback may be null.
struct DialogBehaviour {
    void* context = nullptr;
    // Fills the controls before the dialog is first drawn.
    void (*init)(void* context, DialogRun& run) = nullptr;
    // A button pressed, a radio button or check box chosen (by mouse or keyboard). A button
    // with CONTROL_ENDS ends the dialog with its id once this returns, unless this ended it
    // already; so OK's effects go here, while the controls can still be read.
    void (*command)(void* context, DialogRun& run, int id) = nullptr;
};

// Runs the dialog modally; returns the id that ended it (dialog_closed_id() when the input
// ended or the window closed).
int dialog_run(const DialogTemplate& dialog, DialogBehaviour& behaviour);
// What Esc and the close box end a dialog with: CONTROL_CANCEL, or DIALOG_CLOSED where id 2 is
// a command.
int dialog_closed_id(const DialogTemplate& dialog);

// Control accessors, for the behaviour's callbacks. Texts are Shift-JIS. Unknown ids do
// nothing (getters: empty, false, 0).
void dialog_set_text(DialogRun& run, int id, const std::string& sjis);
// At most max_bytes of the edit's text, cut on a character boundary.
std::string dialog_get_text(DialogRun& run, int id, size_t max_bytes);
// The most bytes typing and pasting may put into an edit (0: no limit).
void dialog_set_limit(DialogRun& run, int id, size_t max_bytes);
void dialog_set_check(DialogRun& run, int id, bool checked);
bool dialog_get_check(DialogRun& run, int id);
// Selects a radio button and clears the others of its group.
void dialog_select_radio(DialogRun& run, int id);
// The selected radio button of the group that `id_in_group` belongs to, or 0.
int dialog_selected_radio(DialogRun& run, int id_in_group);
void dialog_end(DialogRun& run, int id);

// Pixel layout, shared by the drawing, the mouse and the tests.
struct PixelRect {
    int x1, y1, x2, y2; // right and bottom exclusive
    bool contains(int x, int y) const { return x >= x1 && x < x2 && y >= y1 && y < y2; }
};
// Dialog units to pixels: one scale for every dialog, so the largest (338 x 272) fits the
// picture with its caption and frame.
constexpr int DIALOG_UNIT_NUM = 3;
constexpr int DIALOG_UNIT_DEN = 2;
constexpr int DIALOG_CAPTION_HEIGHT = 20;
constexpr int DIALOG_FRAME = 3;
// The whole dialog, centred in the picture.
PixelRect dialog_frame_rect(const DialogTemplate& dialog);
PixelRect dialog_control_rect(const DialogTemplate& dialog, int index);
