// Song store fixture and snapshots.
#include "tests/support/song_fixture.h"

#include "platform/platform.h"
#include "songcore/event_parse.h"
#include "songcore/track_normalize.h"

#include <algorithm>

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
    headless_backend_reset();
    reset_all();
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

uint32_t SongFixture::install(int slot, int track0, const Bytes& events) {
    uint32_t pos = track_chunk_begin();
    arena_append(events.data(), static_cast<uint32_t>(events.size()));
    track_chunk_finish(pos);
    track_replace(pos, slot, track0);
    return g_song.slots[slot].track_pos[track0];
}

void SongFixture::leave_free(uint32_t free_bytes) {
    int slot = g_song.config.slot_count - 1;
    int track0 = g_song.config.tracks_per_slot - 1;
    uint32_t old_size = chunk_total_size(g_song.slots[slot].track_pos[track0]);
    uint32_t length = g_song.config.arena_limit - g_song.arena_end + old_size - 8 - free_bytes;
    // delta, FF 01, length, text, end of track
    for (uint32_t text = length; text > 0; text--) {
        if (7 + vlq_bytes(text).size() + text == length) {
            install(slot, track0, concat({meta(0, 1, Bytes(text, 'x')), end_of_track()}));
            break;
        }
    }
    ASSERT_EQ(g_song.config.arena_limit - g_song.arena_end, free_bytes);
    ASSERT_FALSE(g_song.memory_over);
}

int SongFixture::out_of_memory_shown() {
    return static_cast<int>(std::count(g_headless.status_texts.begin(),
                                       g_headless.status_texts.end(),
                                       std::string("out of memory")));
}

Bytes SongFixture::chunk_at(uint32_t pos) {
    return Bytes(g_song.arena + pos - 8, g_song.arena + pos + chunk_data_length(pos));
}

Bytes SongFixture::data_at(uint32_t pos) {
    return Bytes(g_song.arena + pos, g_song.arena + pos + chunk_data_length(pos));
}

std::vector<SongFixture::Flat> SongFixture::flatten(uint32_t pos, int32_t* end_tick) {
    std::vector<Flat> out;
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent ev;
    while (event_parse(walk, ev)) {
        Flat f{ev.tick, {}};
        if (ev.running) {
            f.bytes.push_back(ev.status);
        }
        f.bytes.insert(f.bytes.end(), g_song.arena + ev.pos, g_song.arena + ev.pos + ev.length);
        out.push_back(f);
    }
    if (end_tick != nullptr) {
        *end_tick = ev.tick;
    }
    return out;
}

::testing::AssertionResult SongFixture::notes_paired(const std::vector<Flat>& events) {
    int sounding[16][128] = {};
    for (const Flat& e : events) {
        uint8_t kind = e.bytes[0] & 0xF0;
        if (e.bytes.size() != 3 || (kind != 0x80 && kind != 0x90)) {
            continue;
        }
        int& count = sounding[e.bytes[0] & 0x0F][e.bytes[1]];
        if (kind == 0x90 && e.bytes[2] > 0) {
            count++;
        } else if (--count < 0) {
            return ::testing::AssertionFailure()
                   << "note-off of a silent key " << +e.bytes[1] << " at tick " << e.tick;
        }
    }
    for (int channel = 0; channel < 16; channel++) {
        for (int key = 0; key < 128; key++) {
            if (sounding[channel][key] != 0) {
                return ::testing::AssertionFailure()
                       << "key " << key << " of channel " << channel + 1 << " never ends";
            }
        }
    }
    return ::testing::AssertionSuccess();
}
