// Normalisation, note pairing, the note-off search and the event filter, checked on the
// exact bytes the store holds afterwards.
#include "songcore/track_normalize.h"

#include "common/status_line.h"
#include "songcore/event_parse.h"
#include "songcore/song_store.h"
#include "tests/support/smf_random.h"
#include "tests/support/song_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

// A store with a limit close enough to reach by filling, for the out-of-memory tests.
constexpr SongStoreConfig SMALL_STORE = {11, 64, 20000};

using TrackNormalize = SongFixture;

// A track of running-status notes, the shape most sequencers write.
Bytes running_status_events() {
    return concat({ev(0, {0x90, 60, 100}), ev(10, {62, 100}), ev(20, {0x80, 60, 0}), ev(0, {62, 0}),
                   end_of_track(5)});
}

TEST_F(TrackNormalize, NormalizeWritesRunningStatusExplicitWithoutModifiedBit) {
    ASSERT_EQ(load_bytes(smf_file(0, 480, {running_status_events()})), SongLoadResult::loaded);
    ASSERT_EQ(g_song.song_modified_mask, 0u);

    EXPECT_EQ(track_normalize(0, 0), 0);

    Bytes expected = concat({ev(0, {0x90, 60, 100}), ev(10, {0x90, 62, 100}), ev(20, {0x80, 60, 0}),
                             ev(0, {0x80, 62, 0}), end_of_track(5)});
    EXPECT_EQ(track_data(0, 0), expected);
    EXPECT_EQ(g_song.song_modified_mask, 0u);
    EXPECT_TRUE(g_song.slots[0].track_normalized[0]);
}

TEST_F(TrackNormalize, NormalizeKeepsOtherModifiedBits) {
    install(0, 1, running_status_events());
    g_song.song_modified_mask = 0x204;
    EXPECT_EQ(track_normalize(0, 1), 0);
    EXPECT_EQ(g_song.song_modified_mask, 0x204u);
}

TEST_F(TrackNormalize, NormalizeDoesNothingWhenFlagSet) {
    install(0, 1, running_status_events());
    g_song.slots[0].track_normalized[1] = true;
    StoreSnapshot before = store_snapshot();
    EXPECT_EQ(track_normalize(0, 1), 0);
    EXPECT_TRUE(store_unchanged(before));
}

TEST_F(TrackNormalize, NormalizeDropsOrphanNoteOffAndCarriesItsDelta) {
    install(0, 1,
            concat({ev(0, {0xB0, 7, 100}), ev(10, {0x80, 60, 0}), ev(5, {0x90, 64, 90}),
                    ev(20, {0x90, 64, 0}), ev(7, {0x90, 65, 0}), end_of_track(3)}));

    EXPECT_EQ(track_normalize(0, 1), 0);

    // The note-on stays at tick 15, the note-off at 35 and the end at 45.
    Bytes expected = concat(
        {ev(0, {0xB0, 7, 100}), ev(15, {0x90, 64, 90}), ev(20, {0x90, 64, 0}), end_of_track(10)});
    EXPECT_EQ(track_data(0, 1), expected);
}

TEST_F(TrackNormalize, NormalizeClosesSoundingNotesBeforeEndOfTrack) {
    install(0, 1,
            concat({ev(0, {0x90, 60, 100}), ev(0, {0x91, 62, 100}), ev(10, {0x90, 60, 90}),
                    ev(10, {0x80, 60, 0}), end_of_track(460)}));

    EXPECT_EQ(track_normalize(0, 1), 0);

    // One note 60 of channel 1 and note 62 of channel 2 still sound at tick 480.
    Bytes expected = concat({ev(0, {0x90, 60, 100}), ev(0, {0x91, 62, 100}), ev(10, {0x90, 60, 90}),
                             ev(10, {0x80, 60, 0}), ev(460, {0x90, 60, 0}), ev(0, {0x91, 62, 0}),
                             end_of_track(0)});
    EXPECT_EQ(track_data(0, 1), expected);
}

TEST_F(TrackNormalize, NormalizeClosesEveryOpenNoteOfOneKey) {
    install(0, 1, concat({ev(0, {0x90, 60, 100}), ev(5, {0x90, 60, 100}), end_of_track(5)}));
    EXPECT_EQ(track_normalize(0, 1), 0);
    Bytes expected = concat({ev(0, {0x90, 60, 100}), ev(5, {0x90, 60, 100}), ev(5, {0x90, 60, 0}),
                             ev(0, {0x90, 60, 0}), end_of_track(0)});
    EXPECT_EQ(track_data(0, 1), expected);
}

TEST_F(TrackNormalize, NormalizeKeepsMetaAndExclusiveAsStored) {
    Bytes events =
        concat({meta_text(0, META_TRACK_NAME, "Lead"), ev(0, {0xF0, 3, 0x43, 0x10, 0xF7}),
                ev(10, {0xC0, 5}), ev(0, {6}), tempo_event(0, 500000), end_of_track(20)});
    install(0, 1, events);
    EXPECT_EQ(track_normalize(0, 1), 0);
    Bytes expected =
        concat({meta_text(0, META_TRACK_NAME, "Lead"), ev(0, {0xF0, 3, 0x43, 0x10, 0xF7}),
                ev(10, {0xC0, 5}), ev(0, {0xC0, 6}), tempo_event(0, 500000), end_of_track(20)});
    EXPECT_EQ(track_data(0, 1), expected);
}

TEST_F(TrackNormalize, NormalizeOutOfMemoryLeavesStoreUnchanged) {
    song_store_init(SMALL_STORE);
    install(0, 1, running_status_events());
    g_song.song_modified_mask = 0;
    // The normalised copy is 8 + 20 bytes; one byte short of that.
    leave_free(28);
    StoreSnapshot before = store_snapshot();

    EXPECT_EQ(track_normalize(0, 1), 1);

    EXPECT_TRUE(store_unchanged(before));
    EXPECT_FALSE(g_song.slots[0].track_normalized[1]);
    EXPECT_EQ(out_of_memory_shown(), 1);

    // With one byte more it fits.
    song_store_init(SMALL_STORE);
    install(0, 1, running_status_events());
    leave_free(29);
    EXPECT_EQ(track_normalize(0, 1), 0);
    EXPECT_EQ(g_song.config.arena_limit - g_song.arena_end, 29u - 2u);
}

TEST_F(TrackNormalize, NormalizeOutOfMemoryAtTheHeaderLeavesStoreUnchanged) {
    song_store_init(SMALL_STORE);
    install(0, 1, running_status_events());
    limit_at_free(6);
    StoreSnapshot before = store_snapshot();
    EXPECT_EQ(track_normalize(0, 1), 1);
    EXPECT_TRUE(store_unchanged(before));
    EXPECT_EQ(out_of_memory_shown(), 1);
}

TEST_F(TrackNormalize, NormalizeWalksCutTrackSafely) {
    // The chunk ends inside the second note-on: only the first note survives, and it is
    // closed where the walk stopped.
    Bytes events = concat({ev(0, {0x90, 60, 100}), ev(10, {0x90, 62, 100})});
    events.resize(events.size() - 1);
    install(0, 1, events);

    EXPECT_EQ(track_normalize(0, 1), 0);

    Bytes expected = concat({ev(0, {0x90, 60, 100}), ev(0, {0x90, 60, 0}), end_of_track(0)});
    EXPECT_EQ(track_data(0, 1), expected);
}

TEST_F(TrackNormalize, NormalizeStopsAtDataBeforeAnyStatus) {
    install(0, 1, concat({ev(0, {60, 100}), end_of_track()}));
    EXPECT_EQ(track_normalize(0, 1), 0);
    EXPECT_EQ(track_data(0, 1), end_of_track(0));
}

// Model test: on generated tracks the normalised track holds, at the same ticks, the
// source's events minus unmatched note-offs, every event with its status byte, and no
// note left sounding.
TEST_F(TrackNormalize, NormalizeMatchesReferenceOnGeneratedTracks) {
    for (uint32_t seed = 1; seed <= 40; seed++) {
        song_store_init(SEQUENCER_STORE);
        Bytes events = random_track_events(seed, 80, 1920);
        // Orphan note-offs and a hanging note, which generated tracks may lack.
        events = concat({ev(0, {0x85, 40, 0}), ev(0, {0x9F, 41, 1}), events});
        uint32_t src = install(0, 1, events);
        std::vector<Flat> reference;
        int counters[NOTE_COUNTERS] = {};
        int32_t end_tick = 0;
        {
            TrackWalk walk = track_walk_begin(src);
            TrackEvent e;
            for (const Flat& f : flatten(src)) {
                event_parse(walk, e);
                int kind = note_kind(e);
                if (kind != 0) {
                    int index = (e.status & 0x0F) * 128 + event_data(e, 0);
                    if (kind < 0 && counters[index] == 0) {
                        continue;
                    }
                    counters[index] += kind;
                }
                reference.push_back(f);
            }
            event_parse(walk, e);
            end_tick = e.tick;
        }
        for (int i = 0; i < NOTE_COUNTERS; i++) {
            for (; counters[i] > 0; counters[i]--) {
                reference.push_back(
                    {end_tick,
                     {static_cast<uint8_t>(0x90 + i / 128), static_cast<uint8_t>(i % 128), 0}});
            }
        }

        ASSERT_EQ(track_normalize(0, 1), 0) << "seed " << seed;

        uint32_t pos = g_song.slots[0].track_pos[1];
        EXPECT_EQ(flatten(pos), reference) << "seed " << seed;
        TrackWalk walk = track_walk_begin(pos);
        TrackEvent e;
        while (event_parse(walk, e)) {
            EXPECT_FALSE(e.running) << "seed " << seed;
        }
        EXPECT_FALSE(e.synthetic_end);
        EXPECT_EQ(e.tick, end_tick) << "seed " << seed;
    }
}

// Walks a track and returns its events in order.
std::vector<TrackEvent> events_of(uint32_t pos) {
    std::vector<TrackEvent> out;
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent e;
    while (event_parse(walk, e)) {
        out.push_back(e);
    }
    return out;
}

TEST_F(TrackNormalize, NotePairCountingDropsOnlyUnmatchedNoteOffs) {
    uint32_t pos =
        install(0, 1,
                concat({ev(0, {0x80, 60, 0}), ev(0, {0x90, 60, 100}), ev(0, {0xB0, 7, 1}),
                        ev(0, {0x90, 60, 0}), ev(0, {0x90, 60, 0}), end_of_track()}));
    std::vector<TrackEvent> e = events_of(pos);
    int8_t* counters = g_track_rewrite.note_counters;

    EXPECT_FALSE(note_pair_track(e[0], NotePairMode::counting));
    EXPECT_EQ(counters[60], 0);
    EXPECT_TRUE(note_pair_track(e[1], NotePairMode::counting));
    EXPECT_EQ(counters[60], 1);
    EXPECT_TRUE(note_pair_track(e[2], NotePairMode::counting));
    EXPECT_EQ(counters[60], 1);
    EXPECT_TRUE(note_pair_track(e[3], NotePairMode::counting));
    EXPECT_EQ(counters[60], 0);
    EXPECT_FALSE(note_pair_track(e[4], NotePairMode::counting));
    EXPECT_EQ(counters[60], 0);
}

TEST_F(TrackNormalize, NotePairClosingKeepsOnlyNoteOffsOfSoundingNotes) {
    uint32_t pos = install(0, 1,
                           concat({ev(0, {0x93, 50, 100}), ev(0, {0xB3, 7, 1}),
                                   ev(0, {0x83, 50, 0}), ev(0, {0x83, 50, 0}), end_of_track()}));
    std::vector<TrackEvent> e = events_of(pos);
    int8_t& counter = g_track_rewrite.note_counters[3 * 128 + 50];
    counter = 1;

    EXPECT_FALSE(note_pair_track(e[0], NotePairMode::closing)); // a note-on starts nothing
    EXPECT_EQ(counter, 1);
    EXPECT_FALSE(note_pair_track(e[1], NotePairMode::closing));
    EXPECT_TRUE(note_pair_track(e[2], NotePairMode::closing));
    EXPECT_EQ(counter, 0);
    EXPECT_FALSE(note_pair_track(e[3], NotePairMode::closing));
    EXPECT_EQ(counter, 0);
}

TEST_F(TrackNormalize, SoundingNotesCloseWritesNoteOffsInCounterOrder) {
    uint32_t start = g_song.arena_end;
    EXPECT_FALSE(sounding_notes_close(7));
    EXPECT_EQ(g_song.arena_end, start);

    g_track_rewrite.note_counters[2 * 128 + 10] = 1;
    g_track_rewrite.note_counters[0 * 128 + 127] = 2;
    EXPECT_TRUE(sounding_notes_close(200));

    Bytes written(g_song.arena + start, g_song.arena + g_song.arena_end);
    Bytes expected = concat({ev(200, {0x90, 127, 0}), ev(0, {0x90, 127, 0}), ev(0, {0x92, 10, 0})});
    EXPECT_EQ(written, expected);
    for (int8_t c : g_track_rewrite.note_counters) {
        EXPECT_EQ(c, 0);
    }
    g_song.arena_end = start;
}

TEST_F(TrackNormalize, NoteOffFindPairsOverlappingNotesOfOneKeyInOrder) {
    uint32_t pos = install(
        0, 1,
        concat({ev(0, {0x90, 60, 100}), ev(10, {0x90, 60, 90}), ev(0, {0x91, 60, 0}),
                ev(0, {0x90, 61, 0}), ev(10, {0x80, 60, 0}), ev(10, {60, 0}), end_of_track()}));
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent first;
    ASSERT_TRUE(event_parse(walk, first));

    TrackWalk kept = walk;
    NoteOffMatch match = note_off_find(walk, first);
    EXPECT_EQ(walk.pos, kept.pos);
    EXPECT_EQ(walk.tick, kept.tick);
    EXPECT_EQ(walk.running_status, kept.running_status);
    ASSERT_TRUE(match.found);
    EXPECT_EQ(match.gate, 30);
    EXPECT_EQ(match.note_off.tick, 30);
    EXPECT_TRUE(match.note_off.running);
    EXPECT_EQ(event_data(match.note_off, 0), 60);

    TrackEvent second;
    ASSERT_TRUE(event_parse(walk, second));
    match = note_off_find(walk, second);
    ASSERT_TRUE(match.found);
    EXPECT_EQ(match.gate, 10);
    EXPECT_EQ(g_song.arena[match.note_off.pos], 0x80);
    EXPECT_EQ(match.note_off.data_pos, match.note_off.pos + 1);
}

TEST_F(TrackNormalize, NoteOffFindGivesZeroForOtherEventsAndMissingNoteOff) {
    uint32_t pos =
        install(0, 1,
                concat({ev(0, {0xB0, 60, 100}), ev(0, {0x90, 60, 0}), ev(0, {0x90, 62, 100}),
                        ev(5, {0x90, 62, 100}), ev(5, {0x80, 62, 0}), end_of_track(100)}));
    std::vector<TrackEvent> e = events_of(pos);
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent ev_read;
    event_parse(walk, ev_read);
    NoteOffMatch match = note_off_find(walk, e[0]); // control change
    EXPECT_FALSE(match.found);
    EXPECT_EQ(match.gate, 0);
    event_parse(walk, ev_read);
    match = note_off_find(walk, e[1]); // a note-off
    EXPECT_FALSE(match.found);
    event_parse(walk, ev_read);
    match = note_off_find(walk, e[2]); // its only note-off belongs to the later note-on
    EXPECT_FALSE(match.found);
    EXPECT_EQ(match.gate, 0);
}

TEST_F(TrackNormalize, NoteOffFindStopsAtCutChunk) {
    Bytes events = concat({ev(0, {0x90, 60, 100}), ev(10, {0x80, 60, 0})});
    events.resize(events.size() - 1);
    uint32_t pos = install(0, 1, events);
    TrackWalk walk = track_walk_begin(pos);
    TrackEvent on;
    ASSERT_TRUE(event_parse(walk, on));
    EXPECT_FALSE(note_off_find(walk, on).found);
}

// Each event kind in switch order, plus a velocity-0 note-on and a running-status note.
Bytes one_of_each_kind() {
    return concat({ev(0, {0x90, 60, 100}), ev(0, {0xA0, 60, 5}), ev(0, {0xB0, 7, 100}),
                   ev(0, {0xC0, 1}), ev(0, {0xD0, 9}), ev(0, {0xE0, 0, 64}), ev(0, {0xF0, 1, 0xF7}),
                   meta_text(0, META_TEXT, "x"), ev(0, {0x80, 60, 0}), ev(0, {0x90, 61, 0}),
                   ev(0, {0x90, 62, 1}), ev(0, {63, 1}), end_of_track()});
}

TEST_F(TrackNormalize, EventFilterPassesEverythingAtStart) {
    std::vector<TrackEvent> e = events_of(install(0, 1, one_of_each_kind()));
    for (const TrackEvent& x : e) {
        EXPECT_TRUE(event_filter_pass(x));
    }
    for (uint8_t s : g_event_filter.pass) {
        EXPECT_EQ(s, 1);
    }
}

TEST_F(TrackNormalize, EventFilterSwitchesInOrder) {
    std::vector<TrackEvent> e = events_of(install(0, 1, one_of_each_kind()));
    // Which switch judges each event: notes of every form go by the note switch.
    const int judged_by[] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0};
    ASSERT_EQ(e.size(), std::size(judged_by));
    for (int sw = 0; sw < FILTER_SWITCHES; sw++) {
        event_filter_reset();
        g_event_filter.pass[sw] = 0;
        for (size_t i = 0; i < e.size(); i++) {
            EXPECT_EQ(event_filter_pass(e[i]), judged_by[i] != sw)
                << "switch " << sw << " event " << i;
        }
    }
    event_filter_reset();
}

TEST_F(TrackNormalize, EventFilterJudgesEscapeExclusiveAsExclusive) {
    std::vector<TrackEvent> e =
        events_of(install(0, 1, concat({ev(0, {0xF7, 1, 0x7F}), end_of_track()})));
    g_event_filter.pass[FILTER_EXCLUSIVE] = 0;
    EXPECT_FALSE(event_filter_pass(e[0]));
    event_filter_reset();
}

} // namespace

TEST_F(TrackNormalize, NormalizeKeepsNotesBalancedBeyond127OpenNotesOfOneKey) {
    Bytes events;
    for (int i = 0; i < 130; i++) {
        events = concat({events, ev(1, {0x90, 60, 100})});
    }
    ASSERT_EQ(load_bytes(smf_file(0, 480, {concat({events, end_of_track()})})),
              SongLoadResult::loaded);
    ASSERT_EQ(track_normalize(0, 0), 0);
    int on = 0;
    int off = 0;
    for (const Flat& f : flatten(g_song.slots[0].track_pos[0])) {
        (f.bytes[2] != 0 ? on : off)++;
    }
    EXPECT_EQ(on, 127);
    EXPECT_EQ(off, 127);
}
