// Shared start of the screen benchmarks: a fresh headless zb47, its window, a song loaded.
#pragma once

#include "platform/headless/headless.h"
#include "platform/headless/headless_midi.h"
#include "platform/platform.h"
#include "platform/window.h"
#include "sequencer/shell/window_events.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tests/support/smf_builder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

// The headless backend with one virtual MIDI port, every record of zb47 as at its start.
inline void bench_headless_start() {
    platform_select("headless");
    headless_backend_reset();
    zb47_reset_all();
    g_headless_midi.out_names = {"virtual port"};
}

// The program's window open and its start-up frame drawn; false (said on stderr) when it
// cannot open.
inline bool bench_window_open(const char* bench) {
    shell_hooks_install();
    WindowOptions options{1, nullptr, nullptr};
    if (!platform_window_open("ZB47 MIDI MUSIC SEQUENCER", options)) {
        fprintf(stderr, "%s: %s\n", bench, platform_window_error());
        return false;
    }
    SHELL_WINDOW_HANDLERS.timer(); // the start-up frame
    return true;
}

// Loads `song` as a file would be opened, through a temporary file that is gone afterwards.
inline SongLoadResult bench_load_song(const char* name, const Bytes& song) {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / (std::string(name) + ".mid");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(song.data()),
               static_cast<std::streamsize>(song.size()));
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", path.c_str());
    file_name_from_path();
    SongLoadResult loaded = song_load();
    std::filesystem::remove(path);
    return loaded;
}
