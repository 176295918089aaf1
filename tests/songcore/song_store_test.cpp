// The song store: templates, appends at the limit, replacement with compaction and rollback,
// the measure table, names and bank switching.
#include "songcore/event_parse.h"
#include "songcore/song_store.h"
#include "tests/support/song_fixture.h"

#include <vector>

namespace {

const Bytes EMPTY_TRACK = {'M', 'T', 'r', 'k', 0, 0, 0, 4, 0x00, 0xFF, 0x2F, 0x00};

} // namespace

using SongStoreTest = SongFixture;

TEST_F(SongStoreTest, StartsWithElevenEmptySongsInTheirTemplates) {
    EXPECT_EQ(g_song.arena_end, 11u * 782u);
    EXPECT_EQ(free_memory_kb(), 4087u);
    EXPECT_EQ(Bytes(g_song.arena, g_song.arena + 14),
              (Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0}));
    for (int slot = 0; slot < 11; slot++) {
        EXPECT_EQ(g_song.slots[slot].header_pos, slot * 782u + 8);
        for (int t = 0; t < 64; t++) {
            ASSERT_EQ(track_bytes(slot, t), EMPTY_TRACK);
        }
    }
    EXPECT_EQ(g_song.track_count, 1);
    EXPECT_EQ(g_song.time_base, 480);
    EXPECT_EQ(g_song.ticks_per_midi_clock, 20);
    EXPECT_EQ(g_song.measure_table.last_measure, 0);
    for (int m = 0; m < 2; m++) {
        EXPECT_EQ(g_song.measure_table.measures[m].start_tick, m * 1920);
        EXPECT_EQ(g_song.measure_table.measures[m].numerator, 4);
        EXPECT_EQ(g_song.measure_table.measures[m].denominator, 4);
        EXPECT_EQ(g_song.measure_table.measures[m].tempo, 120u);
    }
    EXPECT_EQ(g_song.song_modified_mask, 0u);
    EXPECT_STREQ(g_song.current_file_name, "ZB47SEQ10");
    EXPECT_EQ(g_song.track_play[63], 0xFF);
    EXPECT_EQ(g_song.channel_play[15], 0xFF);
}

TEST_F(SongStoreTest, ConverterStoreIsTheSameCodeWithThreeSlotsOfThirtyTwoTracks) {
    song_store_init(CONVERTER_STORE);
    EXPECT_EQ(g_song.arena_end, 3u * (14 + 32 * 12));
    EXPECT_EQ(free_memory_kb(), (2097152u - 3 * 398) / 1024);
    EXPECT_EQ(g_song.slots[2].track_pos[31] + 4, g_song.arena_end);
    limit_at_free(10);
    EXPECT_FALSE(arena_append(EMPTY_TRACK.data(), 10));
    EXPECT_TRUE(arena_append(EMPTY_TRACK.data(), 9));
}

TEST_F(SongStoreTest, AppendOfExactlyTheFreeBytesFailsOnceAndOneLessSucceeds) {
    leave_free(100);
    std::vector<uint8_t> bytes(100, 7);
    uint32_t end = g_song.arena_end;
    EXPECT_FALSE(arena_append(bytes.data(), 100));
    EXPECT_TRUE(g_song.memory_over);
    EXPECT_EQ(g_song.arena_end, end);
    EXPECT_FALSE(arena_append(bytes.data(), 100));
    int shown = 0;
    for (const std::string& s : g_headless.status_texts) {
        shown += s == "out of memory";
    }
    EXPECT_EQ(shown, 1);
    g_song.memory_over = false;
    EXPECT_TRUE(arena_append(bytes.data(), 99));
    EXPECT_EQ(g_song.arena_end, g_song.config.arena_limit - 1);
}

TEST_F(SongStoreTest, VariableLengthQuantitiesUseAsManyGroupsAsNeeded) {
    struct Case {
        uint32_t value;
        Bytes bytes;
    } cases[] = {{0, {0x00}},
                 {0x7F, {0x7F}},
                 {0x80, {0x81, 0x00}},
                 {0x3FFF, {0xFF, 0x7F}},
                 {0x4000, {0x81, 0x80, 0x00}},
                 {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}}};
    for (const Case& c : cases) {
        uint32_t start = g_song.arena_end;
        ASSERT_TRUE(arena_append_vlq(c.value));
        EXPECT_EQ(Bytes(g_song.arena + start, g_song.arena + g_song.arena_end), c.bytes);
        uint32_t pos = start;
        uint32_t value = 0;
        ASSERT_TRUE(arena_get_vlq(pos, g_song.arena_end, value));
        EXPECT_EQ(value, c.value);
        EXPECT_EQ(pos, g_song.arena_end);
    }
}

TEST_F(SongStoreTest, ReplacementCompactsAndMovesOnlyLaterChunks) {
    install(3, 5, concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track()}));
    SongSlot before[MAX_SONG_SLOTS];
    memcpy(before, g_song.slots, sizeof before);
    uint32_t old_size = chunk_total_size(g_song.slots[3].track_pos[5]);
    uint32_t end_before = g_song.arena_end;

    install(3, 5, end_of_track(960));
    EXPECT_EQ(g_song.arena_end, end_before - old_size + 8 + 5);
    for (int slot = 0; slot < 11; slot++) {
        for (int t = 0; t < 64; t++) {
            uint32_t was = before[slot].track_pos[t];
            if (slot == 3 && t == 5) {
                continue;
            }
            uint32_t expected = was > before[3].track_pos[5] ? was - old_size : was;
            ASSERT_EQ(g_song.slots[slot].track_pos[t], expected) << slot << "/" << t;
        }
    }
    EXPECT_EQ(g_song.slots[3].track_pos[5] + 5, g_song.arena_end);
    EXPECT_EQ(track_data(3, 5), end_of_track(960));
    EXPECT_EQ(g_song.song_modified_mask, 1u << 3);
    EXPECT_TRUE(g_song.relocate_pending);
}

TEST_F(SongStoreTest, EditThatRunsOutOfMemoryLeavesEverythingAsBefore) {
    install(0, 0, concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track()}));
    g_song.song_modified_mask = 0;
    limit_at_free(12);
    StoreSnapshot before = store_snapshot();

    uint32_t copy = track_copy_with_end(g_song.slots[0].track_pos[0], 1920);
    EXPECT_TRUE(g_song.memory_over);
    track_replace(copy, 0, 0);
    before.mask |= 1; // the attempt counts as a change of the bank
    EXPECT_TRUE(store_unchanged(before));
    EXPECT_FALSE(g_song.memory_over);
    EXPECT_EQ(last_status(), "out of memory");

    // A header that did not fit still rolls back to the right place.
    limit_at_free(5);
    before = store_snapshot();
    copy = track_copy_with_end(g_song.slots[0].track_pos[0], 1920);
    track_replace(copy, 0, 0);
    EXPECT_TRUE(store_unchanged(before));
}

TEST_F(SongStoreTest, ClearKeepsTrackOneWhileOthersAreInUse) {
    for (int t = 0; t < 3; t++) {
        install(0, t, concat({ev(0, {0xC0, 5}), end_of_track(10)}));
    }
    g_song.track_count = 3;
    Bytes track1 = track_bytes(0, 0);
    track_clear(1);
    EXPECT_EQ(track_bytes(0, 0), track1);
    track_clear(3);
    EXPECT_EQ(track_bytes(0, 2), EMPTY_TRACK);
    EXPECT_EQ(g_song.track_count, 2);
    track_clear(2);
    track_clear(1);
    EXPECT_EQ(track_bytes(0, 0), EMPTY_TRACK);
    EXPECT_EQ(g_song.track_count, 1);
}

TEST_F(SongStoreTest, CopyWithEndKeepsBytesAndRunningStatusAndMovesTheEnd) {
    Bytes events = concat({ev(0, {0x90, 60, 100}), ev(10, {62, 100}), ev(10, {60, 0}),
                           ev(0, {62, 0}), end_of_track(5)});
    install(1, 0, events);
    uint32_t copy = track_copy_with_end(g_song.slots[1].track_pos[0], 1000);
    EXPECT_EQ(Bytes(g_song.arena + copy, g_song.arena + g_song.arena_end),
              concat({ev(0, {0x90, 60, 100}), ev(10, {62, 100}), ev(10, {60, 0}), ev(0, {62, 0}),
                      end_of_track(980)}));
    EXPECT_EQ(track_end_tick(1, 0), 25);
}

TEST_F(SongStoreTest, MeasureTableFollowsTimeSignaturesOfTrackOne) {
    install(0, 0,
            concat({time_signature(0, 3, 2), time_signature(2880, 4, 2), end_of_track(1920)}));
    measure_table_rebuild();
    const MeasureTable& mt = g_song.measure_table;
    EXPECT_EQ(mt.measures[0].start_tick, 0);
    EXPECT_EQ(mt.measures[1].start_tick, 1440);
    EXPECT_EQ(mt.measures[0].numerator, 3);
    EXPECT_EQ(mt.measures[2].start_tick, 2880);
    EXPECT_EQ(mt.measures[2].numerator, 4);
    EXPECT_EQ(mt.measures[3].start_tick, 4800);
    EXPECT_EQ(mt.last_measure, 3); // end at 4800 starts measure 3
    EXPECT_EQ(mt.song_end_tick, 4800);

    // A signature inside a measure starts a measure at its own tick; the partial measure
    // before it is not counted.
    install(0, 0, concat({time_signature(2500, 6, 3), end_of_track(1440)}));
    measure_table_rebuild();
    EXPECT_EQ(mt.measures[0].start_tick, 0);
    EXPECT_EQ(mt.measures[0].numerator, 4);
    EXPECT_EQ(mt.measures[1].start_tick, 2500);
    EXPECT_EQ(mt.measures[1].numerator, 6);
    EXPECT_EQ(mt.measures[1].denominator, 8);
    EXPECT_EQ(mt.measures[2].start_tick, 3940);
    EXPECT_EQ(mt.last_measure, 2);
}

TEST_F(SongStoreTest, MeasureTempoIsTheTempoInForceAtEachMeasureStart) {
    install(0, 0,
            concat({tempo_event(0, 500000), tempo_event(960, 600000), tempo_event(960, 400000),
                    tempo_event(1920, 1000000), end_of_track(1920)}));
    measure_table_rebuild();
    const MeasureTable& mt = g_song.measure_table;
    EXPECT_EQ(mt.measures[0].tempo, 120u);
    EXPECT_EQ(mt.measures[1].tempo, 150u); // the change at 960 shows from the next measure
    EXPECT_EQ(mt.measures[2].tempo, 60u);  // a change at the measure's own start
    EXPECT_EQ(mt.measures[3].tempo, 60u);
    EXPECT_EQ(mt.measures[1].tempo_usec, 400000u);
    EXPECT_EQ(mt.measures[3].tempo_usec, 1000000u);

    // Fractional tempos: whole BPM for display and edits, the exact microseconds for playing.
    install(0, 0,
            concat({tempo_event(0, 497925), tempo_event(960, 687285), tempo_event(2880, 489796),
                    end_of_track(1920)}));
    measure_table_rebuild();
    EXPECT_EQ(mt.measures[0].tempo, 120u);
    EXPECT_EQ(mt.measures[0].tempo_usec, 497925u);
    EXPECT_EQ(mt.measures[1].tempo, 87u);
    EXPECT_EQ(mt.measures[1].tempo_usec, 687285u);
    EXPECT_EQ(mt.measures[2].tempo, 122u);
    EXPECT_EQ(mt.measures[2].tempo_usec, 489796u);
    EXPECT_EQ(mt.measures[3].tempo_usec, 489796u);

    // Without a tempo event: 120 BPM, 500,000 microseconds.
    install(0, 0, end_of_track(1920));
    measure_table_rebuild();
    EXPECT_EQ(mt.measures[0].tempo, 120u);
    EXPECT_EQ(mt.measures[0].tempo_usec, 500000u);
}

TEST_F(SongStoreTest, MeasureTableStopsAt999AndSurvivesBrokenMetaEvents) {
    // 2,000 measures of 4/4 at 480.
    install(0, 0, end_of_track(2000 * 1920));
    measure_table_rebuild();
    EXPECT_EQ(g_song.measure_table.last_measure, 999);
    EXPECT_EQ(g_song.measure_table.measures[998].start_tick, 998 * 1920);
    // Measures beyond the table read its last entry.
    for (int m : {998, 999, 1500}) {
        EXPECT_EQ(measure_entry_index(m), 998) << m;
        EXPECT_EQ(&measure_entry(m), &g_song.measure_table.measures[998]) << m;
    }
    EXPECT_EQ(measure_entry_index(-1), 0);

    // Tempo 0, a tempo of one byte, a signature of one byte and a note value of 2^200.
    install(0, 0,
            concat({meta(0, 0x51, {0, 0, 0}), meta(0, 0x51, {7}), meta(0, 0x58, {3}),
                    meta(0, 0x58, {3, 200, 24, 8}), end_of_track(1920)}));
    measure_table_rebuild();
    EXPECT_EQ(g_song.measure_table.measures[0].tempo, 120u);
    EXPECT_EQ(g_song.measure_table.measures[0].tempo_usec, 500000u);
    EXPECT_EQ(g_song.measure_table.measures[0].numerator, 4);
    EXPECT_EQ(g_song.measure_table.last_measure, 1);
    // A short song's table ends one entry past its last measure: what lies further is not
    // this song's.
    EXPECT_EQ(measure_entry_index(5), 2);

    // A tiny time base with 1/128 signatures never makes a measure 0 ticks long.
    g_song.time_base = 1;
    install(0, 0, concat({time_signature(0, 1, 7), end_of_track(50)}));
    measure_table_rebuild();
    EXPECT_EQ(g_song.measure_table.last_measure, 50);
}

TEST_F(SongStoreTest, NamesComeFromLeadingTextEventsAndAreCutWithoutSplittingCharacters) {
    install(0, 0, concat({meta_text(0, 3, "My Song"), end_of_track()}));
    // 20 bytes whose 18th byte opens a double-byte character: the name keeps 17.
    std::string sjis = "ABCDEFGHIJKLMNOPQ\x82\xa0X";
    install(0, 1, concat({ev(0, {0xC0, 1}), meta_text(0, 3, sjis), end_of_track()}));
    install(0, 2, concat({ev(5, {0xC0, 1}), meta_text(0, 3, "late"), end_of_track()}));
    // "ぁ" ends in 0x9F, a trail byte that looks like a lead byte: it must stay whole.
    std::string hiragana = "ABCDEFGHIJKLMNOP\x82\x9f";
    install(0, 3, concat({meta_text(0, 3, hiragana), end_of_track()}));
    install(0, 4, concat({meta_text(0, 1, "just text"), end_of_track()}));
    song_scan_names();
    EXPECT_STREQ(g_song.slots[0].song_title, "My Song");
    EXPECT_STREQ(g_song.track_names[0], "My Song");
    EXPECT_EQ(std::string(g_song.track_names[1]), sjis.substr(0, 17));
    EXPECT_STREQ(g_song.track_names[2], " ");
    EXPECT_EQ(std::string(g_song.track_names[3]), hiragana);
    EXPECT_STREQ(g_song.track_names[4], " ");

    install(0, 0, concat({meta_text(0, 1, std::string(40, 'x')), end_of_track()}));
    song_scan_names();
    EXPECT_EQ(std::string(g_song.slots[0].song_title), std::string(32, 'x'));
    EXPECT_STREQ(g_song.track_names[0], " ");
}

namespace {
int g_title_updates;
int g_bank_switches;
} // namespace

TEST_F(SongStoreTest, BankSelectTakesTheNewBanksHeaderAndKeepsTheOldTrackCount) {
    g_title_updates = 0;
    g_bank_switches = 0;
    g_song.hooks.set_window_title = [] { g_title_updates++; };
    g_song.hooks.bank_selected = [] { g_bank_switches++; };
    install(0, 2, end_of_track(1));
    g_song.track_count = 3;
    arena_put_be(g_song.slots[4].header_pos + 2, 2, 5);
    arena_put_be(g_song.slots[4].header_pos + 4, 2, 96);
    song_bank_select(4);
    EXPECT_EQ(g_song.current_bank, 4);
    EXPECT_EQ(g_song.track_count, 5);
    EXPECT_EQ(g_song.time_base, 96);
    EXPECT_EQ(g_song.ticks_per_midi_clock, 4);
    EXPECT_EQ(slot_header_track_count(0), 3);
    EXPECT_EQ(g_bank_switches, 1);
    EXPECT_GE(g_title_updates, 1);
    song_bank_select(10); // the spare slot is never selected
    EXPECT_EQ(g_song.current_bank, 4);
    g_song.hooks = SongStoreHooks{};
}

TEST_F(SongStoreTest, WalksStopAtDamageInsideTheChunk) {
    struct Case {
        const char* defect;
        Bytes events;
        int events_before_end;
        int32_t end_tick;
    } cases[] = {
        {"delta of five bytes", concat({ev(1, {0xC0, 1}), Bytes{0x81, 0x81, 0x81, 0x81, 0x01}}), 1,
         1},
        {"data before any status", concat({ev(3, {60, 100}), end_of_track()}), 0, 0},
        {"exclusive longer than the chunk", concat({ev(2, {0xC0, 1}), ev(0, {0xF0, 0x7F, 1, 2})}),
         1, 2},
        {"meta cut after its type", concat({ev(0, {0x90, 60, 1}), Bytes{0x00, 0xFF}}), 1, 0},
        {"message cut short", concat({ev(0, {0x90, 60, 1}), ev(7, {0x90, 60})}), 1, 0},
        {"no end of track", concat({ev(0, {0x90, 60, 1}), ev(7, {0x80, 60, 0})}), 2, 7},
        {"ticks beyond the limit",
         concat({ev(0x0FFFFFFF, {0xC0, 1}), ev(0x0FFFFFFF, {0xC0, 1}), ev(0x0FFFFFFF, {0xC0, 1}),
                 ev(0x0FFFFFFF, {0xC0, 1}), ev(0x0FFFFFFF, {0xC0, 1}), end_of_track()}),
         1, 0x0FFFFFFF},
    };
    for (const Case& c : cases) {
        install(0, 0, c.events);
        // Bytes right behind the chunk that a runaway walk would take for events.
        install(0, 1, {0x00, 0x90, 60, 100, 0x00, 0xFF, 0x2F, 0x00});
        TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[0]);
        TrackEvent e;
        int n = 0;
        while (event_parse(walk, e)) {
            ASSERT_LE(e.pos + e.length, walk.end) << c.defect;
            n++;
        }
        EXPECT_EQ(n, c.events_before_end) << c.defect;
        EXPECT_TRUE(e.synthetic_end) << c.defect;
        EXPECT_EQ(e.tick, c.end_tick) << c.defect;
        EXPECT_FALSE(event_parse(walk, e)) << c.defect; // the end repeats
    }
}

TEST_F(SongStoreTest, RunningStatusSurvivesMetaEventsAndEachWalkStartsFresh) {
    install(
        0, 0,
        concat({ev(0, {0x90, 60, 100}), meta_text(0, 1, "t"), ev(10, {60, 0}), end_of_track()}));
    install(0, 1, concat({ev(0, {64, 100}), end_of_track()}));
    TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[0]);
    TrackEvent e;
    ASSERT_TRUE(event_parse(walk, e));
    ASSERT_TRUE(event_parse(walk, e));
    EXPECT_EQ(e.meta_type, 1);
    ASSERT_TRUE(event_parse(walk, e));
    EXPECT_TRUE(e.running);
    EXPECT_EQ(e.status, 0x90);
    EXPECT_EQ(note_kind(e), -1);
    EXPECT_EQ(e.length, 2u);
    EXPECT_FALSE(event_parse(walk, e));
    EXPECT_FALSE(e.synthetic_end);
    // A new walk does not inherit the 0x90 of the last one.
    walk = track_walk_begin(g_song.slots[0].track_pos[1]);
    EXPECT_FALSE(event_parse(walk, e));
    EXPECT_TRUE(e.synthetic_end);
}
