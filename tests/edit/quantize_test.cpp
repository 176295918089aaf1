// Quantize: notes moved onto the grid with the gate length, everything else kept at its
// own tick, and the source untouched when memory runs out.
#include "tests/edit/edit_fixture.h"

namespace {

using Quantize = EditFixture;

struct QuantizeCase {
    const char* name;
    int start, length, n, gate;
    Bytes events;   // track 2 before
    Bytes expected; // track 2 after
};

TEST_F(Quantize, WorkedExamples) {
    const QuantizeCase cases[] = {
        // Grid 480, gate 432: 230 goes to 0, 240 to 480 (half a grid goes to the later
        // point); each moved note lasts 432 ticks.
        {"n4 gate90", 1, 1, 4, 90,
         concat({on(230, 60), on(10, 62), off(60, 60), off(100, 62), end_of_track(3440)}),
         concat({on(0, 60), off(432, 60), on(48, 62), off(432, 62), end_of_track(2928)})},
        // Gate 100 ends a note exactly at the next grid point, before the next note-on.
        {"gate100", 1, 1, 4, 100,
         concat({on(0, 60), off(100, 60), on(370, 62), off(430, 62), end_of_track(2940)}),
         concat({on(0, 60), off(480, 60), on(0, 62), off(480, 62), end_of_track(2880)})},
        // Gate 0: the note-off stands at its note-on's tick.
        {"gate0", 1, 1, 4, 0, concat({on(500, 60), off(200, 60), end_of_track(3140)}),
         concat({on(480, 60), off(0, 60), end_of_track(3360)})},
        // n 3: grid 640, gate 50% = 320; 300 goes to 0 and 330 to 640.
        {"n3", 1, 1, 3, 50,
         concat({on(300, 60), off(10, 60), on(20, 62), off(70, 62), end_of_track(3440)}),
         concat({on(0, 60), off(320, 60), on(320, 62), off(320, 62), end_of_track(2880)})},
        // A note from before the range that ends in the first cell ends at S + g.
        {"from before", 2, 1, 4, 90, concat({on(1000, 60), off(1000, 60), end_of_track(1840)}),
         concat({on(1000, 60), off(1352, 60), end_of_track(1488)})},
        // A note that ends after E keeps its note-off tick.
        {"past the end", 1, 1, 4, 90, concat({on(10, 60), off(2490, 60), end_of_track(1340)}),
         concat({on(0, 60), off(2500, 60), end_of_track(1340)})},
        // Controllers, program changes and meta events stay at their own ticks; a note-on in
        // the last half grid keeps its tick and its note-off.
        {"kept events", 1, 1, 4, 90,
         concat({ev(100, {0xC0, 5}), on(130, 60), ev(70, {0xB0, 7, 80}), off(50, 60), on(1350, 64),
                 off(100, 64), meta_text(100, META_TEXT, "x"), end_of_track(1940)}),
         concat({on(0, 60), ev(100, {0xC0, 5}), ev(200, {0xB0, 7, 80}), off(132, 60), on(1268, 64),
                 off(100, 64), meta_text(100, META_TEXT, "x"), end_of_track(1940)})},
        // A whole-note grid over one 4/4 measure: one cell, the gate 90% of 1,920.
        {"whole note", 1, 1, 1, 90,
         concat({on(300, 60), off(10, 60), ev(0, {0xB0, 1, 2}), end_of_track(3530)}),
         concat({on(0, 60), ev(310, {0xB0, 1, 2}), off(1418, 60), end_of_track(2112)})},
    };
    for (const QuantizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        load_song(2, {c.events});

        EXPECT_EQ(quantize(2, c.start, c.length, c.n, c.gate), EditResult::done);

        EXPECT_EQ(track_data(0, 1), c.expected);
        EXPECT_EQ(g_edit.edit_mode, 0u);
    }
}

TEST_F(Quantize, WholeCellsKeepTheTicksAfterTheRange) {
    load_song(3, {concat({on(250, 60), off(100, 60), ev(1720, {0xB0, 7, 1}), on(2000, 62),
                          off(10, 62), end_of_track(0)})});

    EXPECT_EQ(quantize(2, 1, 1, 8, 50), EditResult::done);

    // Grid 240: 250 goes to 240 with gate 120; the events after 1920 keep 2070 and 4070.
    EXPECT_EQ(track_data(0, 1), concat({on(240, 60), off(120, 60), ev(1710, {0xB0, 7, 1}),
                                        on(2000, 62), off(10, 62), end_of_track(0)}));
}

TEST_F(Quantize, RangeShorterThanOneCellKeepsItsEvents) {
    // 3/4: measure 1 is 1,440 ticks, less than the whole-note grid of 1,920.
    ASSERT_EQ(load_bytes(smf_file(1, 480,
                                  {concat({time_signature(0, 3, 2), end_of_track(2880)}),
                                   concat({on(300, 60), off(10, 60), ev(0, {0xB0, 1, 2}),
                                           on(2000, 62), end_of_track(0)})})),
              SongLoadResult::loaded);

    EXPECT_EQ(quantize(2, 1, 1, 1, 90), EditResult::done);

    // Kept as they were; the note without a note-off gets one at the end of the track.
    EXPECT_EQ(track_data(0, 1), concat({on(300, 60), off(10, 60), ev(0, {0xB0, 1, 2}), on(2000, 62),
                                        on0(0, 62), end_of_track(0)}));
}

TEST_F(Quantize, OutOfMemoryLeavesTheSourceTrackUntouched) {
    int failures = 0;
    bool completed = false;
    for (uint32_t free_bytes = 1; !completed && free_bytes < 200; free_bytes++) {
        SetUp();
        load_song(2, {concat({on(230, 60), ev(10, {62, 100}), ev(60, {60, 0}), ev(100, {62, 0}),
                              ev(0, {0xB0, 7, 1}), end_of_track(0)})});
        limit_at_free(free_bytes);
        StoreSnapshot before = store_snapshot();

        EditResult result = quantize(2, 1, 1, 4, 90);

        if (result == EditResult::done) {
            completed = true;
            continue;
        }
        failures++;
        EXPECT_EQ(result, EditResult::out_of_memory);
        EXPECT_TRUE(store_unchanged(before)) << free_bytes;
        EXPECT_EQ(out_of_memory_shown(), 1);
    }
    EXPECT_TRUE(completed);
    EXPECT_GT(failures, 10);
}

TEST_F(Quantize, NoteValueFieldStepsThroughTheList) {
    const int up[][2] = {{1, 2},  {2, 3},   {3, 4},   {4, 6},   {6, 8},
                         {8, 12}, {12, 16}, {16, 24}, {24, 32}, {32, 32}};
    for (const auto& step : up) {
        EXPECT_EQ(quantize_note_up(step[0]), step[1]) << step[0];
        EXPECT_EQ(quantize_note_down(step[1]), step[0] == 32 ? 24 : step[0]) << step[1];
    }
    EXPECT_EQ(quantize_note_down(1), 1);
}

TEST_F(Quantize, RejectsValuesOutsideTheFields) {
    load_song(2, {concat({on(0, 60), off(10, 60), end_of_track(0)})});
    StoreSnapshot before = store_snapshot();
    EXPECT_EQ(quantize(2, 1, 1, 5, 90), EditResult::invalid);
    EXPECT_EQ(quantize(2, 1, 1, 4, 101), EditResult::invalid);
    EXPECT_EQ(quantize(2, 1, 0, 4, 90), EditResult::invalid);
    EXPECT_TRUE(store_unchanged(before));
}

} // namespace
