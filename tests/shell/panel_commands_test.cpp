// ENTER of the command panels: the commands run with the panel's values, the variants with
// track 0, Move Track's special cases, the sound-settings insertion and the fields a row
// adjusts afterwards.
#include "tests/shell/command_fixture.h"

#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/ui_input.h"
#include "songcore/track_normalize.h"

namespace {

class PanelCommands : public CommandFixture {
protected:
    EditParams& p = g_edit.params;
    Bytes conductor(int measures) const {
        return concat({tempo_event(0, 500000), time_signature(0, 4, 2),
                       end_of_track(static_cast<uint32_t>(measures) * 1920)});
    }
};

TEST_F(PanelCommands, TransposeOfTrackZeroRunsOncePerTrack) {
    load_song(2, {concat({note_on(0, 60), note_end(480, 60), end_of_track(0)}),
                  concat({note_on(0, 70, 1), note_end(480, 70, 1), end_of_track(0)})});
    p.transpose_track = 0;
    p.transpose_start = 1;
    p.transpose_length = 2;
    p.transpose_pitch = 2;

    panel_command_run(menu_command_key(MenuCommand::transpose));

    EXPECT_EQ(track_data(0, 1), concat({note_on(0, 62), note_end(480, 62), end_of_track(0)}));
    EXPECT_EQ(track_data(0, 2), concat({note_on(0, 72, 1), note_end(480, 72, 1), end_of_track(0)}));
    EXPECT_EQ(track_data(0, 0), conductor(2)); // no notes: unchanged
}

TEST_F(PanelCommands, MoveOfEveryTrackIntoTrackOneMixesThemThere) {
    load_song(2, {concat({note_on(0, 60), note_end(480, 60), end_of_track(0)}),
                  concat({note_on(0, 70, 1), note_end(480, 70, 1), end_of_track(0)})});
    p.move_src_song = p.move_dst_song = 1;
    p.move_src_track = 0;
    p.move_dst_track = 1;
    p.move_delete = true;

    panel_command_run(menu_command_key(MenuCommand::move_track));

    // Track 3 is mixed in first, then track 2; at one tick the events already in track 1
    // come first.
    EXPECT_EQ(track_data(0, 0),
              concat({tempo_event(0, 500000), time_signature(0, 4, 2), note_on(0, 70, 1),
                      note_on(0, 60), note_end(480, 70, 1), note_end(0, 60), end_of_track(3360)}));
    EXPECT_EQ(track_data(0, 1), end_of_track(0));
    EXPECT_EQ(track_data(0, 2), end_of_track(0));
    EXPECT_EQ(g_song.track_count, 1);
}

TEST_F(PanelCommands, MoveOfAOneTrackSongToTrackZeroSplitsItByChannel) {
    ASSERT_EQ(
        load_bytes(smf_file(0, 480,
                            {concat({tempo_event(0, 500000), note_on(0, 60), note_on(0, 40, 2),
                                     note_end(480, 60), note_end(0, 40, 2), end_of_track(1440)})})),
        SongLoadResult::loaded);
    ASSERT_EQ(g_song.track_count, 1);
    p.move_src_song = p.move_dst_song = 1;
    p.move_src_track = 1;
    p.move_dst_track = 0;
    p.move_delete = true;

    panel_command_run(menu_command_key(MenuCommand::move_track));

    // Channel c goes to track c + 1 with its channel; track 1 keeps the rest.
    EXPECT_EQ(track_data(0, 0), concat({tempo_event(0, 500000), end_of_track(1920)}));
    EXPECT_EQ(track_data(0, 1), concat({note_on(0, 60), note_end(480, 60), end_of_track(1440)}));
    EXPECT_EQ(track_data(0, 3),
              concat({note_on(0, 40, 2), note_end(480, 40, 2), end_of_track(1440)}));
    EXPECT_EQ(track_data(0, 2), end_of_track(1920));
    EXPECT_EQ(g_song.track_count, 17);
}

TEST_F(PanelCommands, SoundSettingsAreInsertedAtMeasureBeatAndClock) {
    const Bytes before = concat({note_on(0, 60), note_end(480, 60), end_of_track(0)});
    ChannelState& c = g_channel_state;
    c.controller_values[2][32] = 1; // bank LSB
    c.controller_values[2][0] = 8;  // bank MSB
    c.channel_program[2] = 25;
    c.controller_values[2][91] = 40; // reverb
    c.controller_values[2][93] = 0;  // chorus
    c.nrpn_values[2][0] = 70;        // vibrato rate
    c.nrpn_values[2][3] = 50;        // cutoff
    g_settings.slots[SLOT_OUT_CHANNEL] = 2;
    struct Case {
        const char* name;
        int alt_mode;
        Bytes block;
    };
    const Case cases[] = {
        {"all settings",
         0,
         {0xB2, 0x20, 0x01, 0x00, 0xB2, 0x00, 0x08, 0x00, 0xC2, 0x19, 0x00, 0xB2,
          0x5B, 0x28, 0x00, 0xB2, 0x5D, 0x00,                                     //
          0x00, 0xB2, 0x63, 0x01, 0x00, 0xB2, 0x62, 0x08, 0x00, 0xB2, 0x06, 0x46, //
          0x00, 0xB2, 0x26, 0x00,                                                 //
          0x00, 0xB2, 0x63, 0x01, 0x00, 0xB2, 0x62, 0x20, 0x00, 0xB2, 0x06, 0x32, //
          0x00, 0xB2, 0x26, 0x00}},
        {"alt: the program change only", 2, {0xC2, 0x19}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        load_song(3, {before});
        g_song.write_track = 1;
        p.sound_measure = 2;
        p.sound_beat = 3;
        p.sound_clock = 5;
        g_ui.alt_mode = k.alt_mode;

        panel_command_run(menu_command_key(MenuCommand::insert_program_change));

        // Measure 2 starts at 1920; beat 3 adds 2 * 480, and 5 clocks: tick 2885, which is
        // 2405 after the note's end.
        Bytes inserted = vlq_bytes(2405);
        inserted.insert(inserted.end(), k.block.begin(), k.block.end());
        EXPECT_EQ(track_data(0, 1),
                  concat({note_on(0, 60), note_end(480, 60), inserted, end_of_track(0)}));
        EXPECT_EQ(g_shell.cursor_shape.load(), 0);
    }
}

TEST_F(PanelCommands, DeleteReturnsItsFieldsToOneAndKeepsThePositionInTheSong) {
    load_song(4, {concat({note_on(0, 60), note_end(480, 60), end_of_track(0)})});
    g_song_clock.current_measure = 3;
    p.delete_start = 2;
    p.delete_length = 2;

    panel_command_run(menu_command_key(MenuCommand::delete_measures));

    EXPECT_EQ(g_song.measure_table.song_end_tick, 3840);
    EXPECT_EQ(p.delete_start, 1);
    EXPECT_EQ(p.delete_length, 1);
    EXPECT_LE(g_song_clock.current_measure, g_song.measure_table.last_measure);
    EXPECT_LT(g_song_clock.current_measure, 3);
}

TEST_F(PanelCommands, TrackFieldsAreLoweredToTheTrackCount) {
    struct Case {
        const char* name;
        MenuCommand command;
    };
    const Case cases[] = {{"clear", MenuCommand::clear_track}, {"mix", MenuCommand::mix}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        load_song(2, {concat({note_on(0, 60), note_end(480, 60), end_of_track(0)}),
                      concat({note_on(0, 70), note_end(480, 70), end_of_track(0)})});
        ASSERT_EQ(g_song.track_count, 3);
        p.clear_track = 3;
        p.mix_a = 2;
        p.mix_b = 3;
        p.mix_out = 2;
        p.mix_delete = true;

        panel_command_run(menu_command_key(k.command));

        EXPECT_EQ(g_song.track_count, 2);
        if (k.command == MenuCommand::clear_track) {
            EXPECT_EQ(p.clear_track, 2);
        } else {
            EXPECT_EQ(p.mix_b, 2);
            EXPECT_EQ(p.mix_a, 2);
            EXPECT_EQ(p.mix_out, 2);
        }
    }
}

TEST_F(PanelCommands, FilterAndPolyToMonoWithBothTracksZeroRunOnEveryTrack) {
    struct Case {
        const char* name;
        MenuCommand command;
        Bytes before, after;
    };
    const Case cases[] = {
        // Program changes switched off in the event filter.
        {"filter", MenuCommand::filter_copy,
         concat({ev(0, {0xC0, 5}), note_on(0, 60), note_end(480, 60), end_of_track(0)}),
         concat({note_on(0, 60), note_end(480, 60), end_of_track(0)})},
        // One voice: the second note of the chord ends the first.
        {"poly to mono", MenuCommand::poly_to_mono,
         concat(
             {note_on(0, 60), note_on(0, 64), note_end(480, 60), note_end(0, 64), end_of_track(0)}),
         concat({note_on(0, 60), note_end(0, 60), note_on(0, 64), note_end(480, 64),
                 end_of_track(0)})},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        load_song(2, {k.before, k.before});
        g_event_filter.pass[FILTER_PROGRAM_CHANGE] = 0;
        p.filter_in = p.filter_out = 0;
        p.poly_track = p.mono_track = 0;
        p.poly_voices = 1;

        panel_command_run(menu_command_key(k.command));

        EXPECT_EQ(track_data(0, 1), k.after);
        EXPECT_EQ(track_data(0, 2), k.after);
    }
}

TEST_F(PanelCommands, AfterACommandTheScreenShowsTheChangedSong) {
    load_song(2, {concat({meta_text(0, 0x03, "Tune"), note_on(0, 60), note_end(480, 60),
                          end_of_track(0)})});
    EXPECT_EQ(g_headless_window.caption, "ZB47 MIDI MUSIC SEQUENCER");
    p.mix_a = 1;
    p.mix_b = 2;
    p.mix_out = 1;

    panel_command_run(menu_command_key(MenuCommand::mix));

    // Track 1 now leads with the name: it is the song's title.
    EXPECT_EQ(g_headless_window.caption, "Tune - ZB47 MIDI MUSIC SEQUENCER");
    EXPECT_EQ(g_shell.cursor_shape.load(), 0);
}

} // namespace
