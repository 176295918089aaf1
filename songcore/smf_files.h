// Loading and saving Standard MIDI Files into and from the current song bank.
// Implemented in: smf_reader.cpp, smf_writer.cpp, song_files.cpp.
#pragma once

#include "songcore/song_store.h"

#include <cstddef>
#include <cstdint>

// Paths of the file being read or written. Frames only, or the window thread while stopped
// (a dropped file); the converter's only thread.
struct SongFiles {
    char file_path[SONG_PATH_SIZE] = {};
    // The directory part of the last path handled; the save dialog proposes it for a
    // bank without a name.
    char directory[SONG_PATH_SIZE] = {};
};

extern SongFiles g_song_files;

void song_files_reset();

enum class SongLoadResult { loaded, not_loaded };

// What a check of a file image found, before anything in the store changes.
enum class SmfCheck { ok, too_short, not_smf, bad_header, zero_division, no_tracks };

struct SmfLayout {
    uint32_t header_length; // data bytes of the MThd chunk
    int track_count;        // chunks taken as tracks (at most the slot's tracks)
    uint32_t image_size;    // bytes from the file's start to the end of the last taken chunk
    // The last taken chunk ran past the file's end: its length is cut to what is there.
    bool last_chunk_cut;
    uint32_t last_chunk_offset; // offset of that chunk's id in the image
    uint32_t last_chunk_length; // its length after the cut
    // The file holds tracks beyond the slot's limit, which are left out.
    bool tracks_dropped;
};

SmfCheck smf_image_check(const uint8_t* data, size_t size, int max_tracks, SmfLayout& layout);

// What reading a song file came to. The reader neither asks nor tells: song_load() shows
// the status text of the result.
enum class SmfLoadResult {
    complete,
    incomplete,  // loaded without the tracks past the slot's limit
    not_found,   // the file cannot be opened
    close_error, // closing the file after reading it failed
    invalid,     // not a file the store can take, or damage found while attaching it
    memory_over, // larger than the room the store has
};

// Reads the file at `path` into the current bank. A file that fails leaves the whole store
// unchanged.
SmfLoadResult smf_file_load(const char* path);
// Shows the status text of a load's result (none for a complete one).
void smf_load_report(SmfLoadResult result);
// Loads file_path into the current bank as the user asked for it: first the question when
// the bank has unsaved changes (Japanese interface only), then the read and its report.
SongLoadResult song_load();
// Attaches the checked image standing at `start` (the arena's end) to the current bank;
// false, with memory_over set, when its chunks do not fit.
bool smf_attach(uint32_t start, int track_count);
// Sets current_file_name and the directory from file_path.
void file_name_from_path();
bool open_dialog();

// What writing the current bank to a file came to. The writer says nothing; song_save()
// shows the status text of a failure.
enum class SmfSaveResult {
    written,
    cannot_create, // no file can be made beside the target
    write_error,   // a write or the final rename failed
    close_error,
};

// Writes the current bank's chunks to `path`: beside it first, renamed over it only when every
// byte is on the disk, so a failure leaves the previous file as it was.
SmfSaveResult smf_file_save(const char* path);
// Saves the current bank as the user asked for it (the bank's own path with ask_name 1, else
// the save dialog), after the overwrite question: 0 when the user cancelled the file dialog,
// 1 otherwise.
int song_save(int ask_name);
bool save_dialog();
// The save dialog proposing a given name; on OK the path is taken as save_dialog does.
bool save_dialog_proposing(const char* proposal);
