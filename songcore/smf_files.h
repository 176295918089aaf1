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

// Loads file_path into the current bank. A file that fails leaves the whole store unchanged.
SongLoadResult song_load();
// Attaches the checked image standing at `start` (the arena's end) to the current bank.
bool smf_attach(uint32_t start, int track_count);
// Sets current_file_name and the directory from file_path.
void file_name_from_path();
bool open_dialog();

// Saves the current bank: 0 when the user cancelled the file dialog, 1 otherwise.
int song_save(int ask_name);
bool save_dialog();
// The save dialog proposing a given name; on OK the path is taken as save_dialog does.
bool save_dialog_proposing(const char* proposal);
