// XF chord and rehearsal names, root arithmetic, and chord, section and guitar events
// written and read back.
#include "sequencer/edit/xf_events.h"

#include "tests/edit/edit_fixture.h"

#include <string>

namespace {

using XfEvents = EditFixture;

TEST_F(XfEvents, ChordNames) {
    struct Case {
        uint8_t root, type, bass;
        const char* name;
    };
    const Case cases[] = {
        {0x31, 0, 0x7F, "C"},           {0x27, 10, 0x7F, "Bbm7"}, {0x41, 19, 0x33, "C#7/E"},
        {0x17, 0, 0x7F, "Bb"},          {0x64, 8, 0x7F, "F#m"},   {0x35, 34, 0x7F, "Gcc"},
        {0x36, 3, 0x27, "AM7(#11)/Bb"}, {0x30, 0, 0x90, " "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(xf_chord_name(c.root, c.type, c.bass, 0)), c.name);
    }
}

TEST_F(XfEvents, RehearsalNames) {
    EXPECT_EQ(std::string(xf_rehearsal_name(0x00)), "Intro");
    EXPECT_EQ(std::string(xf_rehearsal_name(0x13)), "A'");
    EXPECT_EQ(std::string(xf_rehearsal_name(0x25)), "C''");
    EXPECT_EQ(std::string(xf_rehearsal_name(0x72)), "Fill-in'''''''");
    EXPECT_EQ(std::string(xf_rehearsal_name(0x0F)), "M");
}

TEST_F(XfEvents, RootSemitonesAndSharpRoots) {
    EXPECT_EQ(xf_root_semitone(0x44), 6);  // F#
    EXPECT_EQ(xf_root_semitone(0x27), 10); // Bb
    EXPECT_EQ(xf_root_semitone(0x11), 11); // triple-flat C counts as one flat
    EXPECT_EQ(xf_root_semitone(0x08), -1);
    EXPECT_EQ(xf_root_from_semitone(7), 0x35);
    EXPECT_EQ(xf_root_from_semitone(10), 0x46);
    EXPECT_EQ(xf_root_from_semitone(-1), 0x37);
}

TEST_F(XfEvents, EventsWrittenAndReadBack) {
    uint32_t pos = track_chunk_begin();
    xf_chord_append(0, {0x44, 19, 0x33, 0});
    xf_rehearsal_append(10, 0x13);
    const uint8_t info[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const uint8_t voicing[13] = {13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    EXPECT_TRUE(xf_guitar_append(0, XF_GUITAR_INFO, info, 9));
    EXPECT_TRUE(xf_guitar_append(0, XF_GUITAR_VOICING, voicing, 13));
    EXPECT_FALSE(xf_guitar_append(0, XF_GUITAR_VOICING, voicing, 12));
    track_append_end(0);
    track_chunk_finish(pos);
    track_replace(pos, 0, 1);

    Bytes expected = concat(
        {ev(0, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, 0x44, 19, 0x33, 0}),
         ev(10, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x02, 0x13}),
         ev(0, {0xFF, 0x7F, 0x0C, 0x43, 0x7B, 0x10, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
         ev(0, {0xFF, 0x7F, 0x10, 0x43, 0x7B, 0x12, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}),
         end_of_track(0)});
    ASSERT_EQ(track_data(0, 1), expected);

    TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[1]);
    TrackEvent e;
    ASSERT_TRUE(event_parse(walk, e));
    XfChord chord{};
    ASSERT_TRUE(xf_chord_read(e, chord));
    EXPECT_EQ(chord.root, 0x44);
    EXPECT_EQ(chord.bass_root, 0x33);
    EXPECT_EQ(std::string(xf_type_name(e)), "F#7/E");
    ASSERT_TRUE(event_parse(walk, e));
    uint8_t mark = 0;
    EXPECT_TRUE(xf_rehearsal_read(e, mark));
    EXPECT_EQ(mark, 0x13);
    EXPECT_FALSE(xf_chord_read(e, chord));
    ASSERT_TRUE(event_parse(walk, e));
    uint8_t data[16] = {};
    EXPECT_EQ(xf_guitar_read(e, data, 16), 9);
    EXPECT_EQ(data[8], 9);
    EXPECT_EQ(std::string(xf_type_name(e)), "Information flag for Gt");
    ASSERT_TRUE(event_parse(walk, e));
    EXPECT_EQ(xf_guitar_read(e, data, 12), 0); // does not fit the caller's buffer
    EXPECT_EQ(xf_guitar_read(e, data, 16), 13);
    EXPECT_EQ(data[0], 13);
}

TEST_F(XfEvents, TypeNamesOfOtherEvents) {
    install(0, 1,
            concat({ev(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x07, 0x00}),
                    ev(0, {0xFF, 0x7F, 0x03, 0x41, 0x10, 0x01}),
                    ev(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x00, 0x00}),
                    ev(0, {0xFF, 0x7F, 0x04, 0x43, 0x7B, 0x01, 0x31}), end_of_track(0)}));
    TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[1]);
    TrackEvent e;
    const char* names[] = {"other XF", "other", "XF Version ID", "other XF"};
    for (const char* name : names) {
        ASSERT_TRUE(event_parse(walk, e));
        EXPECT_EQ(std::string(xf_type_name(e)), name);
    }
}

} // namespace
