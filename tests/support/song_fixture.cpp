// Song store fixture and snapshots.
#include "tests/support/song_fixture.h"

#include "platform/platform.h"

StoreSnapshot store_snapshot() {
    StoreSnapshot s;
    s.arena.assign(g_song.arena, g_song.arena + g_song.arena_end);
    s.arena_end = g_song.arena_end;
    memcpy(s.slots, g_song.slots, sizeof s.slots);
    s.mask = g_song.song_modified_mask;
    s.track_count = g_song.track_count;
    s.time_base = g_song.time_base;
    s.memory_over = g_song.memory_over;
    return s;
}

::testing::AssertionResult store_unchanged(const StoreSnapshot& before) {
    if (g_song.arena_end != before.arena_end) {
        return ::testing::AssertionFailure()
               << "arena_end " << g_song.arena_end << " != " << before.arena_end;
    }
    if (memcmp(g_song.arena, before.arena.data(), before.arena.size()) != 0) {
        return ::testing::AssertionFailure() << "arena bytes differ";
    }
    if (memcmp(g_song.slots, before.slots, sizeof before.slots) != 0) {
        return ::testing::AssertionFailure() << "slots differ";
    }
    if (g_song.song_modified_mask != before.mask || g_song.track_count != before.track_count ||
        g_song.time_base != before.time_base || g_song.memory_over != before.memory_over) {
        return ::testing::AssertionFailure() << "current song fields differ";
    }
    return ::testing::AssertionSuccess();
}

void SongFixture::SetUp() {
    ASSERT_TRUE(platform_select("headless"));
    headless_reset();
    song_files_reset();
    song_store_init(SEQUENCER_STORE);
}

SongLoadResult SongFixture::load_bytes(const Bytes& bytes, const std::string& name) {
    write_file_bytes(dir.file(name), bytes);
    snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s", dir.file(name).c_str());
    file_name_from_path();
    return song_load();
}

Bytes SongFixture::track_bytes(int slot, int track) const {
    uint32_t pos = g_song.slots[slot].track_pos[track];
    return Bytes(g_song.arena + pos - 8, g_song.arena + pos + chunk_data_length(pos));
}

Bytes SongFixture::track_data(int slot, int track) const {
    uint32_t pos = g_song.slots[slot].track_pos[track];
    return Bytes(g_song.arena + pos, g_song.arena + pos + chunk_data_length(pos));
}
