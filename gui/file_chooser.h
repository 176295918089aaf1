// The file choosers drawn in the picture: open and save over one directory's folders and the
// files the request's filters let through, with a name field for saving.
// Implemented in: file_chooser_model.cpp, file_chooser_input.cpp, file_chooser_view.cpp,
// file_chooser.cpp.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ChooserMode { open, save };
enum class ChooserEnd { running, chosen, cancelled };

struct ChooserEntry {
    std::string name;  // as stored on the disk: what is opened
    std::string shown; // Shift-JIS for the glyphs, '?' where the fonts have none
    bool is_directory;
};

// Rows of the list on screen; the page keys move by this many.
constexpr int CHOOSER_VISIBLE_ROWS = 16;
// Letters typed within this pause add to the type-ahead prefix; later ones start a new one.
constexpr uint32_t CHOOSER_TYPE_AHEAD_MS = 1000;

// The chooser being shown, and the folder last chosen in during this run. Touched only on the
// thread that runs the dialog (the window thread, while the transport is stopped).
struct FileChooser {
    ChooserMode mode = ChooserMode::open;
    const FileDialogRequest* request = nullptr;
    char* path_out = nullptr; // the caller's buffer and its size
    size_t path_size = 0;
    int filter = 0;                    // index into the request's filters
    std::string directory;             // absolute, without a trailing separator ("/" stays)
    std::vector<ChooserEntry> entries; // "..", then folders, then files, each sorted
    bool unreadable = false;           // the directory could not be listed
    int selected = -1;                 // entry index, -1 none (a new folder starts so)
    int top = 0;                       // first entry on screen
    std::string name;                  // save mode: the name field, bytes as typed (UTF-8)
    bool name_selected = false;        // a proposed or picked name, which typing replaces
    std::string type_ahead;            // open mode: the prefix typed so far
    uint32_t type_ahead_ms = 0;        // when its last letter came
    std::string status;                // Shift-JIS line under the list, "" for none
    ChooserEnd end = ChooserEnd::running;
    bool japanese = false;
    std::string last_directory; // remembered for the run: the next chooser starts there
};

extern FileChooser g_file_chooser;

// Everything back to the start, the remembered folder too.
void file_chooser_reset();

// Model: what the keys, clicks and buttons do, without drawing.
// Starts a chooser: the folder of the proposal, else the one last chosen in, else the working
// directory; the proposal's name fills the name field (save mode).
void chooser_begin(ChooserMode mode, const FileDialogRequest& request, char* path_out,
                   size_t path_size);
// Lists `directory` (sorted once); a directory that cannot be read leaves an empty list with
// ".." and a status line, so the parent can still be reached.
void chooser_change_directory(const std::string& directory);
// True when a file name passes the current filter ("*.*" passes all; case does not matter).
bool chooser_filter_passes(const char* name);
void chooser_next_filter();
// Display text of a stored name: UTF-8 turned into Shift-JIS for the glyphs, a character the
// fonts cannot show (or a byte that is no text) drawn as '?'.
std::string chooser_display_name(const char* name);
// The first entry whose name begins with `prefix` (case does not matter), or -1.
int chooser_find_prefix(const std::string& prefix);
// Open mode: one more typed character; jumps to the first entry matching the prefix.
void chooser_type_ahead(const char* utf8, uint32_t now_ms);
// Save mode: the name field changed; the list follows it to the first matching entry.
void chooser_name_changed();
void chooser_select(int entry);
void chooser_move(int delta);
// Enter: opens the selected folder, or chooses the file (open) or the name field (save).
void chooser_activate();
void chooser_parent();
void chooser_home();
void chooser_program_folder();
void chooser_cancel();
// Chooses `name` in the current directory: refused with a status text when the path would not
// fit the caller's buffer; in save mode the default extension is added to a name without a
// period and an existing file is replaced only after the overwrite question.
void chooser_choose(const std::string& name);
// Entries from `top` on screen; keeps the selection visible.
void chooser_scroll_to_selection();
void chooser_scroll(int delta);

// The dialogs themselves: run the chooser as a modal view until a path is chosen (true, the
// path copied into the caller's buffer) or it is cancelled (false, nothing changed).
bool file_chooser_open(const FileDialogRequest& request, char* path, size_t path_size);
bool file_chooser_save(const FileDialogRequest& request, char* path, size_t path_size);
// Makes them the window's file dialogs, and the in-picture message boxes its message boxes
// and questions (platform_set_dialog_handlers).
void file_chooser_register();
