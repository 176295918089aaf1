// Start-up, quitting, the close box and the caption.
#include "tests/shell/shell_fixture.h"

#include "common/text_sjis.h"
#include "platform/picture.h"
#include "platform/virtual_keys.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/shell/background_default.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/screen_modes.h"
#include "songcore/song_store.h"

namespace {

constexpr int FRAME = 20;

class ShellLifecycle : public ShellFixture {
protected:
    std::string settings_path() const { return dir.file("ZB47.DAT"); }
    // Chooses "A: Exit" of page 0: the frame's ui_step returns its row.
    void choose_exit() {
        g_menu.menu_cursor[0] = 0;
        run_ms(FRAME);
    }
    // Leaves through Exit (the settings are written) and starts a new run in the same place.
    void exit_and_start_again() {
        choose_exit();
        run_ms(FRAME);
        ASSERT_TRUE(g_headless_window.destroyed);
        start_again();
    }
    void start_again() {
        engine_devices_close();
        zb47_reset_all();
        shell_hooks_install();
        headless_window_reset();
        start();
    }
};

TEST_F(ShellLifecycle, CommandLineSongInQuotesIsLoadedAndPlaysAtOnce) {
    write_file_bytes(dir.file("tune.mid"), little_tune_song());
    start("\"" + dir.file("tune.mid") + "\"");
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
    EXPECT_EQ(g_shell.command_line[0], '\0');
    EXPECT_STREQ(g_headless_window.caption.c_str(), "Little Tune - ZB47 MIDI MUSIC SEQUENCER");
    run_ms(100);
    ASSERT_FALSE(sent().empty());
    EXPECT_EQ(sent()[0], (Bytes{0x90, 60, 100}));
}

TEST_F(ShellLifecycle, CommandLineWithoutQuotesLoadsToo) {
    write_file_bytes(dir.file("tune.mid"), little_tune_song());
    start(dir.file("tune.mid"));
    EXPECT_EQ(transport_mode(), MODE_PLAYING);
}

TEST_F(ShellLifecycle, MissingCommandLineSongLeavesAnEmptyStoppedSong) {
    start(dir.file("absent.mid"));
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_EQ(last_status(), "file not found");
    EXPECT_STREQ(g_headless_window.caption.c_str(), "ZB47 MIDI MUSIC SEQUENCER");
}

// A path one byte too long for the file-path buffer whose first 260 bytes name a song.
std::string path_past_the_buffer(const TempDir& dir, const Bytes& song) {
    std::string fitting = dir.path + "/";
    fitting += std::string(260 - fitting.size(), 'n');
    write_file_bytes(fitting, song);
    return fitting + ".mid";
}

TEST_F(ShellLifecycle, TooLongPathsAreNotCutToNameAnotherFile) {
    std::string too_long = path_past_the_buffer(dir, little_tune_song());
    start(too_long);
    EXPECT_EQ(last_status(), "file not found");
    EXPECT_EQ(transport_mode(), MODE_STOPPED);
    EXPECT_STRNE(g_song.slots[0].song_title, "Little Tune");
    g_menu.menu_page = 1;
    g_menu.shown_page = 1;
    g_menu.menu_cursor[1] = 0;
    g_engine_hooks.drop_accept(true);
    g_headless.status_texts.clear();
    SHELL_WINDOW_HANDLERS.drop(too_long.c_str());
    EXPECT_EQ(last_status(), "file not found");
    EXPECT_STRNE(g_song.slots[0].song_title, "Little Tune");
}

TEST_F(ShellLifecycle, StartUpTakesLanguageAndProgramDirectory) {
    g_headless.language = UiLanguage::japanese;
    start();
    EXPECT_EQ(g_shell.is_japanese, 1);
    EXPECT_EQ(std::string(g_shell.program_dir), dir.path + "/");
    EXPECT_EQ(g_shell.app_state, STATE_RUN);
}

TEST_F(ShellLifecycle, SettingsFileIsReadAtStartAndItsMenuCursorsUsed) {
    start();
    g_settings.slots[SLOT_METRONOME_CHANNEL] = 5;
    g_menu.menu_cursor[4] = 7;
    exit_and_start_again(); // the new run reads what the last one wrote
    EXPECT_EQ(g_settings.slots[SLOT_METRONOME_CHANNEL], 5);
    EXPECT_EQ(g_menu.menu_cursor[4], 7);
}

TEST_F(ShellLifecycle, FirstStartWithoutSettingsFileOpensEveryPageOnItsDefaultRow) {
    ASSERT_FALSE(platform_file_exists(settings_path().c_str()));
    start();
    menu_hooks_install(); // the real pages instead of the fixture's recording hooks
    const uint8_t default_row[MENU_PAGES] = {2, 0, 0, 0, 0, 2, 0};
    for (int page : {1, 2, 3, 4, 5, 6, 0}) {
        key(page == 0 ? VK_ESC : VK_F1 + page - 1); // F6 arms recording, Esc ends it
        EXPECT_EQ(g_menu.shown_page, page);
        EXPECT_EQ(g_menu.shown_row, default_row[page]) << "page " << page;
    }
    // A settings file's cursors come back as they were, row A of page 5 included.
    const uint8_t chosen[MENU_PAGES] = {2, 4, 7, 12, 3, 0, 1};
    for (int page = 1; page < MENU_PAGES; page++) {
        g_menu.menu_cursor[page] = chosen[page];
    }
    exit_and_start_again();
    for (int page = 1; page < MENU_PAGES; page++) {
        EXPECT_EQ(g_menu.menu_cursor[page], chosen[page]) << "page " << page;
    }
}

TEST_F(ShellLifecycle, SettingsMenuCursorNamingNoRowLeavesThePageOnRowA) {
    std::string ini = "[VO]\nv39=channel list\n"; // page 3 row A
    write_file_bytes(dir.file("reader.ini"), Bytes(ini.begin(), ini.end()));
    start();
    g_menu.menu_cursor[3] = 200;
    g_menu.menu_cursor[4] = 13; // one past row M
    g_menu.menu_cursor[2] = 12; // row M itself is a row
    exit_and_start_again();
    EXPECT_EQ(g_menu.menu_cursor[3], 0);
    EXPECT_EQ(g_menu.menu_cursor[4], 0);
    EXPECT_EQ(g_menu.menu_cursor[2], 12);
    key(114); // F3 shows page 3 and speaks its selected row
    EXPECT_EQ(g_headless.clipboard, "channel list");
}

TEST_F(ShellLifecycle, ExitWithNothingUnsavedWritesSettingsAndClosesWithoutQuestion) {
    g_headless.language = UiLanguage::japanese;
    start();
    choose_exit();
    EXPECT_EQ(g_shell.app_state, STATE_QUIT);
    run_ms(FRAME);
    EXPECT_TRUE(g_headless.questions.empty());
    EXPECT_TRUE(platform_file_exists(settings_path().c_str()));
    EXPECT_TRUE(g_headless_window.destroyed);
    EXPECT_EQ(g_shell.exit_stage, 2);
}

TEST_F(ShellLifecycle, ExitWithUnsavedSongOnJapaneseAsksAndCancelReturnsToRowC) {
    g_headless.language = UiLanguage::japanese;
    start();
    g_song.song_modified_mask = 1;
    choose_exit();
    g_headless.answers.push_back(false);
    press(400, 200); // the click still held when the question comes
    ASSERT_EQ(g_headless.questions.size(), 1u);
    EXPECT_EQ(g_headless.questions[0].caption, utf8_to_sjis("終了確認"));
    EXPECT_EQ(g_headless.questions[0].text,
              utf8_to_sjis("保存されていないデータがありますが終了しますか？"));
    EXPECT_EQ(g_shell.app_state, STATE_RUN);
    EXPECT_EQ(g_menu.menu_cursor[0], 2);
    EXPECT_EQ(shown_commands.back(), SHOW_REDRAW);
    EXPECT_EQ(g_shell.left_down.load(), 0) << "the held click must not act again";
    EXPECT_FALSE(g_headless_window.destroyed);
    EXPECT_FALSE(platform_file_exists(settings_path().c_str()));
}

TEST_F(ShellLifecycle, ExitWithUnsavedSongOnJapaneseAndOkQuitsOnTheNextFrame) {
    g_headless.language = UiLanguage::japanese;
    start();
    g_song.song_modified_mask = 3;
    choose_exit();
    g_headless.answers.push_back(true);
    run_ms(FRAME);
    EXPECT_EQ(g_song.song_modified_mask, 0u);
    run_ms(FRAME);
    EXPECT_TRUE(g_headless_window.destroyed);
    EXPECT_TRUE(platform_file_exists(settings_path().c_str()));
}

TEST_F(ShellLifecycle, EnglishExitDropsUnsavedSongsWithoutQuestion) {
    start();
    g_song.song_modified_mask = 1;
    choose_exit();
    run_ms(FRAME);
    EXPECT_TRUE(g_headless.questions.empty());
    EXPECT_TRUE(g_headless_window.destroyed);
}

TEST_F(ShellLifecycle, CloseBoxNeverWritesSettings) {
    start();
    SHELL_WINDOW_HANDLERS.close();
    EXPECT_TRUE(g_headless_window.destroyed);
    EXPECT_FALSE(platform_file_exists(settings_path().c_str()));
}

TEST_F(ShellLifecycle, CloseBoxWithUnsavedSongOnJapaneseCanBeCancelled) {
    g_headless.language = UiLanguage::japanese;
    start();
    g_song.song_modified_mask = 1;
    g_headless.answers.push_back(false);
    SHELL_WINDOW_HANDLERS.close();
    EXPECT_EQ(g_headless.questions.size(), 1u);
    EXPECT_FALSE(g_headless_window.destroyed);
    g_headless.answers.push_back(true);
    SHELL_WINDOW_HANDLERS.close();
    EXPECT_TRUE(g_headless_window.destroyed);
}

TEST_F(ShellLifecycle, CaptionFollowsTheTitle) {
    start();
    struct Case {
        const char* title;
        const char* caption;
    } cases[] = {
        {"", "ZB47 MIDI MUSIC SEQUENCER"},
        {" leading blank", "ZB47 MIDI MUSIC SEQUENCER"},
        {"Song", "Song - ZB47 MIDI MUSIC SEQUENCER"},
    };
    for (const Case& c : cases) {
        snprintf(g_song.slots[g_song.current_bank].song_title, SONG_TITLE_CHARS + 1, "%s", c.title);
        set_window_title();
        EXPECT_EQ(g_headless_window.caption, c.caption) << c.title;
    }
}

// A whole-screen 24-bit BMP of one colour (bottom-up rows of blue, green, red).
Bytes skin_bmp(uint8_t red, uint8_t green, uint8_t blue) {
    Bytes b = {'B', 'M'};
    auto put = [&](uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++) {
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    };
    put(54 + 640 * 480 * 3, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(640, 4);
    put(480, 4);
    put(1, 2);
    put(24, 2);
    for (int i = 0; i < 6; i++) {
        put(0, 4);
    }
    for (int i = 0; i < 640 * 480; i++) {
        b.insert(b.end(), {blue, green, red});
    }
    return b;
}

uint32_t picture_at(int x, int y) {
    return g_picture.pixels[y * PICTURE_WIDTH + x];
}

TEST_F(ShellLifecycle, SkinPictureAndBaseColourComeFromFilesBesideTheProgram) {
    write_file_bytes(dir.file("zb47.bmp"), skin_bmp(10, 20, 30));
    write_file_bytes(dir.file("zb47base.rgb"), {1, 2, 3});
    start();
    EXPECT_EQ(picture_at(300, 200), 0x0A141Eu);
    EXPECT_EQ(picture_at(639, 479), 0x0A141Eu);
    EXPECT_EQ(g_draw.base_colour, colour_rgb(1, 2, 3));
}

TEST_F(ShellLifecycle, BaseColourFileChangesOnlyTheBytesItHas) {
    write_file_bytes(dir.file("zb47.bmp"), skin_bmp(10, 20, 30));
    write_file_bytes(dir.file("zb47base.rgb"), {9});
    start();
    EXPECT_EQ(g_draw.base_colour, colour_rgb(9, 208, 200));
}

TEST_F(ShellLifecycle, SkinWithoutBaseColourFileKeepsTheDefaultColour) {
    write_file_bytes(dir.file("zb47.bmp"), skin_bmp(10, 20, 30));
    start();
    EXPECT_EQ(g_draw.base_colour, colour_rgb(212, 208, 200));
    EXPECT_EQ(picture_at(300, 200), 0x0A141Eu);
}

TEST_F(ShellLifecycle, UnreadableSkinFallsBackToTheBuiltInPictureAndColour) {
    std::vector<uint32_t> built_in(PICTURE_WIDTH * PICTURE_HEIGHT);
    background_default_paint(built_in.data());
    for (Bytes skin : {Bytes{'X', 'X', 0, 0}, Bytes{'B', 'M', 1, 2, 3}}) {
        write_file_bytes(dir.file("zb47.bmp"), skin);
        write_file_bytes(dir.file("zb47base.rgb"), {1, 2, 3});
        start_again();
        EXPECT_NE(g_shell.background_slot, 0);
        EXPECT_EQ(g_draw.base_colour, colour_rgb(212, 208, 200));
        // The menu column's area shows the built-in picture.
        EXPECT_EQ(picture_at(150, 200), built_in[200 * PICTURE_WIDTH + 150]);
        EXPECT_EQ(picture_at(20, 440), built_in[440 * PICTURE_WIDTH + 20]);
    }
}

TEST_F(ShellLifecycle, DroppedFileLoadsOnlyWhileTheDropTargetIsOn) {
    write_file_bytes(dir.file("tune.mid"), little_tune_song());
    start();
    g_menu_hooks.show_command = nullptr;
    g_menu.menu_page = 1;
    g_menu.shown_page = 1;
    g_menu.menu_cursor[1] = 0;
    g_engine_hooks.drop_accept(true);
    EXPECT_TRUE(g_headless_window.drop_accepted);
    SHELL_WINDOW_HANDLERS.drop(dir.file("tune.mid").c_str());
    EXPECT_STREQ(g_song.slots[0].song_title, "Little Tune");
    EXPECT_EQ(g_menu.last_command_key, NO_COMMAND);
    // On another page the same call leaves drops off.
    g_menu.menu_cursor[1] = 2;
    g_engine_hooks.drop_accept(true);
    EXPECT_FALSE(g_headless_window.drop_accepted);
}

} // namespace
