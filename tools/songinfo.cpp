// Loads a Standard MIDI File into the song store and prints what the store then holds:
// a quick look at a song from the command line, with the headless platform.
#include "common/status_line.h"
#include "common/text_sjis.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: songinfo FILE.mid\n");
        return 2;
    }
    platform_select("headless");
    song_store_init(SEQUENCER_STORE);
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", argv[1]);
    file_name_from_path();
    if (song_load() != SongLoadResult::loaded) {
        fprintf(stderr, "%s: %s\n", argv[1], headless_last_status().c_str());
        return 1;
    }
    const SongSlot& slot = g_song.slots[g_song.current_bank];
    printf("file        %s\n", g_song.current_file_name);
    printf("title       %s\n", sjis_to_utf8(slot.song_title, strlen(slot.song_title)).c_str());
    printf("time base   %d\n", g_song.time_base);
    printf("tracks      %d\n", g_song.track_count);
    printf("Max meas    %d\n", g_song.measure_table.last_measure + 1);
    printf("end tick    %d\n", g_song.measure_table.song_end_tick);
    printf("tempo       %u\n", g_song.measure_table.measures[0].tempo);
    printf("Free memory %u K Byte(s)\n", free_memory_kb());
    for (int t = 0; t < g_song.track_count; t++) {
        const char* name = g_song.track_names[t];
        printf("track %2d    %6u bytes  %s\n", t + 1, chunk_data_length(slot.track_pos[t]),
               sjis_to_utf8(name, strlen(name)).c_str());
    }
    return 0;
}
