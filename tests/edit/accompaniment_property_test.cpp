// Auto accompaniment over random pattern and chord tracks, from this bank and from a bank of
// another time base, often with too little memory: a generated track walks to its own end of
// track with its ticks in order and every note paired, and a command that refused or ran out
// of memory left every byte of the store as it was.
#include "tests/edit/edit_fixture.h"

#include "sequencer/edit/accompaniment.h"
#include "songcore/track_normalize.h"
#include "tests/support/smf_random.h"

#include <random>

namespace {

struct Rng {
    std::mt19937 gen;
    int range(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); }
    uint8_t byte(int lo, int hi) { return static_cast<uint8_t>(range(lo, hi)); }
};

void append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

// XF chords with any root, type and bass bytes, and groups of notes whose note-offs may be
// missing; sometimes nothing at all.
Bytes random_chord_track(Rng& rng) {
    Bytes out;
    int count = rng.range(0, 12);
    for (int i = 0; i < count; i++) {
        uint32_t delta = static_cast<uint32_t>(rng.range(0, 700));
        if (rng.range(0, 1) == 0) {
            append(out, ev(delta, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, rng.byte(0, 0x7F),
                                   rng.byte(0, 40), rng.byte(0, 0x7F), 0}));
            continue;
        }
        int notes = rng.range(1, 5);
        uint8_t channel = rng.byte(0, 15);
        for (int k = 0; k < notes; k++) {
            uint8_t key = rng.byte(0, 127);
            append(out, ev(k == 0 ? delta : 0, {static_cast<uint8_t>(0x90 | channel), key, 90}));
            if (rng.range(0, 3) != 0) {
                append(out, ev(static_cast<uint32_t>(rng.range(0, 300)),
                               {static_cast<uint8_t>(0x80 | channel), key, 0}));
            }
        }
    }
    append(out, end_of_track(static_cast<uint32_t>(rng.range(0, 2000))));
    return out;
}

// The generated track: a real end of track, ticks that never go back, notes 0..127 each
// with its note-off on the same channel and key, and no note-off without its note.
::testing::AssertionResult generated_track_sound(int track0) {
    TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[track0]);
    TrackEvent e;
    std::vector<int> sounding(NOTE_COUNTERS, 0);
    int32_t last_tick = 0;
    while (event_parse(walk, e)) {
        if (e.tick < last_tick) {
            return ::testing::AssertionFailure() << "tick " << e.tick << " after " << last_tick;
        }
        last_tick = e.tick;
        int kind = note_kind(e);
        if (kind == 0) {
            continue;
        }
        int key = event_data(e, 0);
        if (key > 127) {
            return ::testing::AssertionFailure() << "note " << key << " at " << e.tick;
        }
        int& count = sounding[static_cast<size_t>((e.status & 0x0F) * 128 + key)];
        count += kind;
        if (count < 0) {
            return ::testing::AssertionFailure() << "note-off without its note at " << e.tick;
        }
    }
    if (e.synthetic_end || walk.pos != walk.end) {
        return ::testing::AssertionFailure() << "no end of track of its own";
    }
    for (int count : sounding) {
        if (count != 0) {
            return ::testing::AssertionFailure() << "a note left sounding";
        }
    }
    return ::testing::AssertionSuccess();
}

class AccompanimentProperty : public EditFixture {
protected:
    // Fills a slot with random tracks (2..5, track 1 a conductor reaching past them all) at a
    // time base, none of them in the working form.
    static void random_bank(Rng& rng, uint32_t seed, int slot, uint16_t time_base) {
        int tracks = rng.range(2, 5);
        int32_t longest = 0;
        for (int t = 1; t < tracks; t++) {
            Bytes events =
                rng.range(0, 2) == 0
                    ? random_chord_track(rng)
                    : random_track_events(seed * 16 + static_cast<uint32_t>(slot * 8 + t),
                                          rng.range(0, 40), 0);
            install(slot, t, events);
            longest = std::max(longest, track_end_tick(slot, t));
        }
        install(slot, 0,
                concat({tempo_event(0, 500000), time_signature(0, rng.byte(2, 6), 2),
                        end_of_track(static_cast<uint32_t>(longest + rng.range(0, 4000)))}));
        arena_put_be(g_song.slots[slot].header_pos + 4, 2, time_base);
        slot_set_track_count(slot, tracks);
        if (slot == g_song.current_bank) {
            g_song.track_count = tracks;
            time_base_set(time_base);
            measure_table_rebuild();
        }
    }
};

TEST_F(AccompanimentProperty, RandomPatternsAndChordsGiveSoundTracksOrChangeNothing) {
    int done = 0, refused = 0, out_of_memory = 0;
    for (uint32_t seed = 1; seed <= 400; seed++) {
        SetUp();
        Rng rng{std::mt19937(seed)};
        const uint16_t time_bases[] = {48, 96, 480, 960};
        random_bank(rng, seed, 1, time_bases[rng.range(0, 3)]);
        random_bank(rng, seed, 0, 480);
        g_song.song_modified_mask = 0;
        int pattern_song = rng.range(1, 2);
        int chord_song = rng.range(1, 2);
        // Mostly tracks that exist, sometimes one beyond its song's count.
        int pattern_track = rng.range(0, 5) == 0
                                ? rng.range(1, 6)
                                : rng.range(2, slot_header_track_count(pattern_song - 1));
        int chord_track = rng.range(0, 5) == 0
                              ? rng.range(1, 6)
                              : rng.range(2, slot_header_track_count(chord_song - 1));
        int out_track = rng.range(1, g_song.track_count + 1);
        g_edit.params.ctrl_held = rng.range(0, 1) == 1;
        if (rng.range(0, 2) == 0) {
            limit_at_free(static_cast<uint32_t>(rng.range(1, 600)));
        }
        StoreSnapshot before = store_snapshot();
        int shown = out_of_memory_shown();

        EditResult result =
            auto_accompany(out_track, pattern_song, pattern_track, chord_song, chord_track);

        g_song.config.arena_limit = SEQUENCER_ARENA_LIMIT;
        SCOPED_TRACE(::testing::Message() << "seed " << seed);
        ASSERT_EQ(g_edit.stage.depth, 0);
        ASSERT_FALSE(g_song.memory_over);
        if (result != EditResult::done) {
            ASSERT_TRUE(store_unchanged(before));
            if (result == EditResult::out_of_memory) {
                out_of_memory++;
                ASSERT_EQ(out_of_memory_shown(), shown + 1);
            } else {
                refused++;
            }
            continue;
        }
        done++;
        ASSERT_TRUE(generated_track_sound(out_track - 1));
        ASSERT_GE(g_song.track_count, out_track);
        // The song ends with track 1, at or after the generated track's end.
        ASSERT_GE(track_end_tick(0, 0), track_end_tick(0, out_track - 1));
        ASSERT_EQ(g_song.measure_table.song_end_tick, track_end_tick(0, 0));
        ASSERT_LE(g_song.measure_table.last_measure, MAX_MEASURES);
    }
    EXPECT_GT(done, 150);
    EXPECT_GT(refused, 80);
    EXPECT_GT(out_of_memory, 40);
}

} // namespace
