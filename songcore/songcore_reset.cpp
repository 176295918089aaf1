// The records of the song layer, and those below it, back to their start state.
#include "songcore/songcore_reset.h"

#include "common/common_reset.h"
#include "songcore/smf_files.h"
#include "songcore/track_normalize.h"

void songcore_reset_all(const SongStoreConfig& config) {
    common_reset_all();
    g_song.hooks = SongStoreHooks{};
    song_store_init(config);
    song_files_reset();
    track_rewrite_reset();
    event_filter_reset();
}
