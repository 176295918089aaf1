// The song layer's part of each program's reset list: the platform's and the common layer's
// records first, then the song store and the records around it.
#pragma once

#include "songcore/song_store.h"

// No other thread may be running. The store is built empty for `config` and its display
// hooks are cleared (the shell installs them again).
void songcore_reset_all(const SongStoreConfig& config);
