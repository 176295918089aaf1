// Where the clickable items of the screen sit: the entries of the right panel's lists and
// grids, and the main screen's tabs and buttons. Drawing, click tests, the keyboard pointer
// and the tests all read these tables.
#pragma once

constexpr int CELL_WIDTH = 8;   // pixels of a text cell
constexpr int CELL_HEIGHT = 16; // pixels of a text row

struct ScreenRect {
    int left, top, right, bottom; // inclusive pixels
};

struct ScreenPoint {
    int x, y;
};

inline bool rect_contains(const ScreenRect& r, int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

// The menu column: row r of the page shown on text row MENU_FIRST_ROW + r.
constexpr int MENU_FIRST_ROW = 5;
constexpr int MENU_TEXT_COLUMN = 2;
inline constexpr ScreenRect MENU_COLUMN = {7, 81, 293, 287};
// The menu row under y; -1 outside the column's rows.
int menu_row_at(int y);
// Where the keyboard pointer stands on a menu row.
ScreenPoint menu_row_point(int row);

// The right panel, where the shown row's panel takes clicks.
inline constexpr ScreenRect RIGHT_PANEL = {295, 40, 629, 358};
// The ENTER box of a command panel: its face, the part that takes clicks, and where the
// keyboard pointer (and the keypad's plus key) puts the pointer on it.
inline constexpr ScreenRect ENTER_BOX_FACE = {519, 312, 582, 343};
inline constexpr ScreenRect ENTER_BOX = {521, 314, 581, 342};
inline constexpr ScreenPoint ENTER_BOX_POINT = {570, 330};

// A parameter panel's two rows of fields (1 to 4 above, 5 to 8 below). Field k of a row is a
// value box FIELD_BOX_WIDTH pixels wide from FIELDS_LEFT, with its down and up buttons of
// FIELD_BUTTON_WIDTH under it; clicks count from FIELDS_HIT_ORIGIN.
struct FieldRowLayout {
    int box_text_row;   // first text row of the drawn box
    int value_text_row; // text row of the value
    int value_face_top, button_face_top;
    int value_hit_top, value_hit_bottom;
    int button_hit_top, button_hit_bottom;
    int pointer_y; // where the keyboard pointer stands on the row's buttons
};
inline constexpr FieldRowLayout UPPER_FIELDS = {6, 7, 104, 136, 106, 135, 137, 166, 155};
inline constexpr FieldRowLayout LOWER_FIELDS = {14, 15, 232, 264, 235, 263, 265, 294, 280};
constexpr int FIELDS_LEFT = 327;
constexpr int FIELDS_HIT_ORIGIN = 328; // clicks from x 329 to 583
constexpr int FIELDS_HIT_RIGHT = 583;
constexpr int FIELD_BOX_WIDTH = 64;
constexpr int FIELD_BUTTON_WIDTH = 32;
constexpr int FIELD_FACE_HEIGHT = 31;
constexpr int FIELD_BOX_COLUMN = 41;   // text cell of the first box
constexpr int FIELD_VALUE_COLUMN = 43; // text cell of the first value
constexpr int FIELD_POINTER_X = 345;   // the keyboard pointer on the first button
constexpr int ENTER_BOX_COLUMN = 64;   // the drawn ENTER box, three text rows from row 19
constexpr int ENTER_BOX_ROW = 19;

// The lists and grids of the right panel.

constexpr int LIST_FIRST_ROW = 5; // text row of a list's first entry
constexpr int LIST_ROWS = 16;     // text rows a list can fill

// Entry i stands in column i / rows, on text row LIST_FIRST_ROW + i % rows; a click anywhere
// on its row chooses it, except where only the label takes clicks.
struct ListLayout {
    int entries;      // entries the keyboard pointer steps through
    int rows;         // entries in one column
    int label_column; // text cell of the label (number) in the first column
    int label_cells;  // cells of the label
    int text_column;  // text cell of the entry's text (title, name, tone) in the first column
    int column_cells; // text cells from one column to the next
    int pointer_x;    // pixel the keyboard pointer stands on in the first column
};

inline constexpr ListLayout BANK_LIST = {10, 10, 40, 2, 43, 0, 330};
inline constexpr ListLayout CHANNEL_LIST = {16, 16, 42, 3, 47, 0, 350};
// MIDI input devices and output ports: one-digit numbers.
inline constexpr ListLayout DEVICE_LIST = {10, 10, 40, 1, 43, 0, 330};
// Tracks 1 to 32 (33 to 64 with the alternative variant) in two columns; the text is the
// name, or the port on the port list.
inline constexpr ListLayout TRACK_LIST = {32, 16, 42, 3, 46, 18, 350};
constexpr int TRACK_NAME_CELLS = 13; // a click on these cells of a name opens its dialog
inline constexpr ListLayout SPEED_LIST = {16, 16, 56, 3, 56, 0, 460};
// The program and bank grids: 128 values of three digits in eight columns; a cell takes
// clicks from half a text cell before its digits to half a cell before the next column.
inline constexpr ListLayout VALUE_GRID = {128, 16, 42, 3, 42, 4, 350};

int list_label_column(const ListLayout& list, int entry);
int list_text_column(const ListLayout& list, int entry);
int list_text_row(const ListLayout& list, int entry);
// The list row under y (0 .. LIST_ROWS - 1), or -1 outside the rows or past `count`.
int list_row_at(int y, int count);
// The entry whose label is under (x, y), or -1.
int list_label_at(const ListLayout& list, int x, int y);
// The entry whose text's first `cells` text cells are under (x, y), or -1.
int list_text_at(const ListLayout& list, int x, int y, int cells);
// The grid cell under (x, y), or -1.
int grid_cell_at(const ListLayout& grid, int x, int y);
// Where the keyboard pointer stands on an entry; a click there chooses it.
ScreenPoint list_entry_point(const ListLayout& list, int entry);

// The main screen.

// A row of equal buttons: button i takes clicks in its slice of `area`, `pitch` pixels wide,
// and its face (drawn raised, sunken while pressed) starts at face_left + i * pitch.
struct ButtonRow {
    ScreenRect area;
    int pitch;
    int face_left, face_width, face_top, face_bottom;
};

// Page tabs 0 to 5; the recording page has none.
inline constexpr ButtonRow PAGE_TABS = {{7, 295, 293, 328}, 48, 8, 46, 297, 327};
enum TransportButton {
    BUTTON_RECORD,
    BUTTON_TOP,
    BUTTON_REWIND,
    BUTTON_STOP,
    BUTTON_PLAY,
    BUTTON_FORWARD
};
inline constexpr ButtonRow TRANSPORT_BUTTONS = {{7, 330, 293, 358}, 48, 8, 46, 329, 359};

// The button of a row under (x, y), or -1.
int button_at(const ButtonRow& buttons, int x, int y);
ScreenRect button_face(const ButtonRow& buttons, int button);
// A point inside a button that a click there presses.
ScreenPoint button_point(const ButtonRow& buttons, int button);

inline constexpr ScreenRect KEYBOARD_AREA = {7, 360, 453, 453};
// The on-screen keys: 14 white keys `key_width` pixels wide from white_left, taking clicks
// from white_top down; above it the black keys' slices, which start at black_left.
struct KeyboardLayout {
    int white_left, key_width, black_left, white_top;
};
inline constexpr KeyboardLayout ON_SCREEN_KEYS = {6, 32, 22, 406};
inline constexpr ScreenRect OCTAVE_BUTTONS = {456, 394, 486, 455}; // up above y 426, down below
inline constexpr ScreenRect OCTAVE_UP_FACE = {456, 394, 487, 426};
inline constexpr ScreenRect OCTAVE_DOWN_FACE = {456, 426, 487, 456};
// The lower panel: the slider, and under it the tempo buttons (cells 0-3 down, 11-14 up) and
// the mode switch between them.
inline constexpr ScreenRect LOWER_PANEL = {493, 417, 624, 449}; // to x 624: its last column too
inline constexpr ScreenRect SLIDER = {496, 417, 623, 431};
constexpr int SLIDER_LINE_Y = 424; // the line the slider's value is marked and pointed on
inline constexpr ScreenRect SLIDER_FACE = {496, 417, 624, 432};
inline constexpr ScreenRect SLIDER_BUTTONS = {496, 433, 623, 447};
inline constexpr ScreenRect TEMPO_DOWN_FACE = {496, 433, 528, 448};
inline constexpr ScreenRect TEMPO_UP_FACE = {584, 433, 616, 448};

// The main screen's value fields: the text cell each starts at.
struct TextCell {
    int column, row;
};
inline constexpr TextCell VERSION_FIELD = {16, 1};
inline constexpr TextCell STATUS_FIELD = {61, 1};      // also the elapsed time at a stop
inline constexpr TextCell STEP_LENGTH_FIELD = {47, 1}; // beats, clocks three cells on
inline constexpr TextCell POSITION_FIELD = {43, 2};    // measure, beat at +4, clock at +7
inline constexpr TextCell STEP_HOLD_MARK = {53, 2};
inline constexpr TextCell TIME_SIGNATURE_FIELD = {60, 2}; // denominator three cells on
inline constexpr TextCell TEMPO_FIELD = {71, 2};
inline constexpr TextCell TITLE_FIELD = {3, 3};
inline constexpr TextCell OCTAVE_FIELD = {58, 23};
inline constexpr TextCell BANK_FIELD = {75, 23};
inline constexpr TextCell CHANNEL_FIELD = {75, 24};
inline constexpr TextCell TRACK_FIELD = {75, 25};
inline constexpr int MUTE_MARK_COLUMN = 73; // on the channel's and the track's rows
inline constexpr TextCell PORT_DEVICE_FIELD = {74, 26};
// The lower panel's caption, controller number and value, on one row.
inline constexpr TextCell LOWER_PANEL_CAPTION = {62, 27};
inline constexpr TextCell LOWER_PANEL_CONTROLLER = {70, 27};
inline constexpr TextCell LOWER_PANEL_VALUE = {74, 27};
inline constexpr TextCell LYRIC_LINE = {1, 29};

// The event list (page 5 row C): a header, twelve lines of events and the button block
// under them. A line's fields take clicks in their pixel columns; the value buttons are four
// boxes from `buttons.left`, the KEY and DEL boxes two twice as wide above them.
struct EventListLayout {
    TextCell header;             // "MEAS:bt:cl  Ch Event"
    TextCell first_line;         // line 0; line i on the row i below
    int lines;                   // lines shown at a time
    int line_cells;              // text cells of a line
    int lines_top;               // first pixel row of line 0 (rows of CELL_HEIGHT)
    int time_left, time_right;   // pixel columns of the time field
    int value_left, value_right; // of the value field
    int gate_left, gate_right;   // of the gate field
    ScreenRect value_buttons;    // four buttons of button_pitch pixels from left + 1
    ScreenRect key_buttons;      // KEY and DEL, key_pitch pixels each
    int button_origin;           // x from which button slices count
    int button_pitch, key_pitch;
    ScreenRect scroll_up, scroll_down, enter;
    TextCell block;     // the button block's five text rows
    TextCell indicator; // "KEY" or "DEL" while armed
    // The keyboard pointer: the three fields of each line, then KEY and DEL, then the four
    // value buttons, the two scroll buttons and ENTER in one row.
    int pointer_line_x, pointer_field_pitch, pointer_line_y;
    int pointer_key_x, pointer_key_y, pointer_button_x, pointer_button_y;
    int pointer_items;
};
inline constexpr EventListLayout EVENT_LIST = {{41, 4},
                                               {42, 5},
                                               12,
                                               34,
                                               80,
                                               330,
                                               419,
                                               420,
                                               549,
                                               550,
                                               609,
                                               {329, 314, 453, 342},
                                               {329, 282, 453, 310},
                                               328,
                                               32,
                                               64,
                                               {457, 314, 485, 342},
                                               {489, 314, 517, 342},
                                               {521, 314, 581, 342},
                                               {40, 17},
                                               {60, 18},
                                               375,
                                               100,
                                               90,
                                               345,
                                               300,
                                               345,
                                               330,
                                               45};
// Offsets of a line's parts from its first cell.
constexpr int EVENT_TIME_CELLS = 11;     // "MMM:BB:CCC|"
constexpr int EVENT_CHANNEL_OFFSET = 11; // channel, or the text of other events
constexpr int EVENT_KIND_OFFSET = 13;    // a channel event's text
constexpr int EVENT_VALUE_OFFSET = 23;
constexpr int EVENT_NOTE_OFFSET = 16;
constexpr int EVENT_GATE_OFFSET = 27;

// Where the keyboard pointer stands on item i of the event list.
ScreenPoint event_list_point(int item);

// The exclusive editor (page 5 row M): 64 bytes, eight to a row, and six buttons.
struct ExclusiveEditorLayout {
    TextCell first_byte; // byte i at column + 3 * (i % 8), row + i / 8
    int bytes_shown, bytes_per_row, byte_cells;
    ScreenRect buttons; // six buttons of `pitch` pixels counted from `origin`
    int origin, pitch, count;
    TextCell block;                       // the buttons' three text rows
    TextCell notice_first, notice_second; // the notice when no exclusive is chosen
    int pointer_x, pointer_y;             // the keyboard pointer on button i: x + pitch * i
};
inline constexpr ExclusiveEditorLayout EXCLUSIVE_EDITOR = {
    {42, 5}, 64, 8, 3, {329, 313, 518, 342}, 328, 32, 6, {40, 19}, {45, 10}, {45, 12}, 345, 330};
