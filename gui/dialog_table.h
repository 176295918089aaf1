// The dialogs as data: caption, size and controls in dialog units, the way a dialog resource
// holds them. No drawing here: the in-picture renderer and native dialogs both read it.
// Implemented in: dialog_table.cpp.
#pragma once
#include <cstdint>

enum class ControlKind { static_text, edit, button, radio, check_box, group_box };

// Control flags.
constexpr uint32_t CONTROL_AUTO_SCROLL = 1u << 0; // an edit whose text scrolls past its width
constexpr uint32_t CONTROL_NUMBER = 1u << 1;      // an edit holding a decimal number
constexpr uint32_t CONTROL_GROUP_START = 1u << 2; // a radio group begins here
constexpr uint32_t CONTROL_CENTRED = 1u << 3;     // a static text centred in its rectangle
constexpr uint32_t CONTROL_DEFAULT = 1u << 4;     // the button Enter presses
constexpr uint32_t CONTROL_ENDS = 1u << 5;        // a button that ends the dialog with its id
constexpr uint32_t CONTROL_READ_ONLY = 1u << 6;   // an edit that shows a value but takes no typing

constexpr int CONTROL_OK = 1;
constexpr int CONTROL_CANCEL = 2;
constexpr int CONTROL_NO_ID = -1; // static texts and group boxes
// What dialog_run returns when Esc or the close box ends a dialog whose id 2 is a command.
constexpr int DIALOG_CLOSED = 0;

// Dialog flags.
// Id 2 is an ordinary command button here (melconv's store), not CANCEL: it does not end the
// dialog, and Esc or the close box end it with DIALOG_CLOSED without pressing it.
constexpr uint32_t DIALOG_ID2_IS_COMMAND = 1u << 0;

struct DialogControl {
    ControlKind kind;
    int id;
    const char* text; // Shift-JIS (the tables hold ASCII only)
    int x, y, width, height;
    uint32_t flags;
};

struct DialogTemplate {
    int number;
    const char* caption;
    int width, height;
    const DialogControl* controls;
    int control_count;
    uint32_t flags = 0;
};

// The template of a dialog number, or null for a number no dialog has.
const DialogTemplate* dialog_template(int number);
// The sequencer's dialogs.
constexpr int DIALOG_TITLE = 110;
constexpr int DIALOG_TRACK_NAME = 111;
constexpr int DIALOG_TEXT = 112;
constexpr int DIALOG_CHORD_NAME = 115;
constexpr int DIALOG_GUITAR_INFORMATION = 116;
constexpr int DIALOG_GUITAR_VOICING = 117;
