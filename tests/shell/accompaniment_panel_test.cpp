// Page 4 row M through its panel: the second ENTER runs the auto accompaniment with the
// panel's fields, and BACK UP copies the song into bank 10 only when the command runs.
#include "tests/shell/shell_fixture.h"

#include "sequencer/edit/edit.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/screen_layout.h"

#include <algorithm>

namespace {

Bytes g7_chord() {
    // XF chord G7: root 0x35, type 19, no bass.
    return concat(
        {ev(0, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, 0x35, 19, 0x7F, 0x00}), end_of_track(0)});
}

// C E G Bb on channel 5 for a quarter note; under G7 they become G B D F.
Bytes four_notes(uint8_t c, uint8_t e, uint8_t g, uint8_t b) {
    return concat({ev(0, {0x94, c, 100}), ev(0, {0x94, e, 100}), ev(0, {0x94, g, 100}),
                   ev(0, {0x94, b, 100}), ev(480, {0x84, c, 0}), ev(0, {0x84, e, 0}),
                   ev(0, {0x84, g, 0}), ev(0, {0x84, b, 0}), end_of_track(0)});
}

class AccompanimentPanel : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        edit_reset();
        start();
        menu_hooks_install();
        Bytes conductor =
            concat({tempo_event(0, 500000), time_signature(0, 4, 2), end_of_track(1920)});
        ASSERT_EQ(load_bytes(smf_file(1, 480, {conductor, g7_chord(), four_notes(60, 64, 67, 70)})),
                  SongLoadResult::loaded);
        g_settings.slots[SLOT_ACCOMP_TRACK] = 4;
        g_settings.slots[SLOT_ACCOMP_PATTERN_SONG] = 1;
        g_settings.slots[SLOT_ACCOMP_PATTERN_TRACK] = 3;
        g_settings.slots[SLOT_ACCOMP_CHORD_SONG] = 1;
        g_settings.slots[SLOT_ACCOMP_CHORD_TRACK] = 2;
        g_settings.slots[SLOT_BACKUP_ALLOWED] = 1;
    }
    // Another row first, so the panel is shown anew with its count at 0.
    void show_row() {
        g_menu.menu_cursor[0] = 2;
        show_command(0);
        int key = menu_command_key(MenuCommand::auto_accompaniment);
        g_menu.menu_cursor[key / MENU_ROWS] = static_cast<uint8_t>(key % MENU_ROWS);
        show_command(key / MENU_ROWS);
    }
    void enter() { click(ENTER_BOX_POINT.x, ENTER_BOX_POINT.y); }
    static bool status_shown(const std::string& text) {
        const auto& texts = g_headless.status_texts;
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};

TEST_F(AccompanimentPanel, SecondEnterRunsItAfterTheBackup) {
    Bytes pattern = track_bytes(0, 2);
    show_row();
    enter();
    EXPECT_TRUE(track_data(0, 3) == end_of_track(0)); // the first press only asks
    enter();

    EXPECT_EQ(track_data(0, 3), four_notes(67, 71, 74, 77));
    EXPECT_EQ(g_song.track_count, 4);
    EXPECT_TRUE(status_shown("  Executing backup"));
    EXPECT_EQ(track_bytes(9, 2), pattern);
    EXPECT_EQ(track_data(9, 3), end_of_track(0)); // bank 10 holds the song from before
}

TEST_F(AccompanimentPanel, NothingIsBackedUpWhenThePatternOrTheChordsAreMissing) {
    Bytes empty = track_bytes(9, 2);
    for (int32_t missing_slot : {SLOT_ACCOMP_PATTERN_TRACK, SLOT_ACCOMP_CHORD_TRACK}) {
        SCOPED_TRACE(missing_slot);
        g_headless.status_texts.clear();
        g_settings.slots[SLOT_ACCOMP_PATTERN_TRACK] = 3;
        g_settings.slots[SLOT_ACCOMP_CHORD_TRACK] = 2;
        g_settings.slots[missing_slot] = 5; // beyond the song's three tracks
        Bytes before = track_bytes(0, 3);
        show_row();
        enter();
        enter();

        EXPECT_FALSE(status_shown("  Executing backup"));
        EXPECT_TRUE(status_shown(missing_slot == SLOT_ACCOMP_PATTERN_TRACK ? "no pattern !!"
                                                                           : "no chord !!  "));
        EXPECT_EQ(track_bytes(9, 2), empty);
        EXPECT_EQ(track_bytes(0, 3), before);
        EXPECT_EQ(g_song.track_count, 3);
    }
}

} // namespace
