// The menu pages: row texts in both languages, drawing a page and its highlighted row, when a
// row's action runs, clicks on the menu column, the drop target and spoken rows.
#include "tests/shell/shell_fixture.h"

#include "platform/picture.h"
#include "platform/virtual_keys.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/font.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/menu_texts.h"
#include "sequencer/shell/screen_layout.h"
#include "sequencer/shell/speech.h"

#include <cstring>

namespace {

std::string bytes_of(const char* text) {
    return std::string(text);
}

// Row texts as the program holds them: Shift-JIS bytes worked out by hand from the code page.
TEST(MenuTexts, JapaneseAndEnglishRowsAreTheirShiftJisBytesPaddedToTheRowWidth) {
    menu_texts_load(true);
    std::string exit_row =
        "A: "
        "\x8F\x49\x82\xED\x82\xC1\x82\xBF\x82\xE1\x82\xA4\x82\xE6" // 終わっちゃうよ
        "\x81\x40\x81\x49\x81\x49"                                 // full-width blank, two ！
        "  Exit";
    exit_row.append(45 - exit_row.size(), ' ');
    EXPECT_EQ(bytes_of(g_menu_texts.menu_text[0]), exit_row);
    // マルチポ－ト: the long vowel mark here is the full-width hyphen-minus, 81 7C.
    std::string multi_port = bytes_of(g_menu_texts.menu_text[command_of(2, 5)]);
    EXPECT_EQ(multi_port.substr(0, 13), "F: \x83\x7D\x83\x8B\x83\x60\x83\x7C\x81\x7C");
    EXPECT_EQ(bytes_of(g_menu_texts.menu_text[command_of(5, 10)]), "K:");
    EXPECT_EQ(bytes_of(g_menu_texts.menu_text[command_of(6, 3)]), "D:");

    menu_texts_load(false);
    std::string english_exit = "A: Exit";
    english_exit.append(45 - english_exit.size(), ' ');
    EXPECT_EQ(bytes_of(g_menu_texts.menu_text[0]), english_exit);
    // Rows whose English text is only their letter keep it short, though the row is an item.
    EXPECT_EQ(bytes_of(g_menu_texts.menu_text[command_of(1, 4)]), "E:");
    EXPECT_EQ(MENU_ROW_KIND[command_of(1, 4)], ROW_ITEM);
    // The separator of page 0 row B shows a text in English only.
    EXPECT_EQ(bytes_of(g_menu_texts.menu_text[command_of(0, 1)]).substr(0, 16), "B: Save and Exit");
    EXPECT_EQ(MENU_ROW_KIND[command_of(0, 1)], ROW_SEPARATOR);
}

// At start every page's cursor stands on a row that does something: the file page is shown,
// the system page waits on CONTINUE, the event edit page on its edit mode and the record
// style is real time.
TEST(MenuCommands, StartCursorsStandOnTheirCommands) {
    menu_state_reset();
    EXPECT_EQ(g_menu.menu_page, PAGE_FILE);
    const MenuCommand expected[MENU_PAGES] = {
        MenuCommand::continue_about,
        MenuCommand::song_bank_select,
        MenuCommand::midi_thru,
        MenuCommand::mute_track,
        MenuCommand::mix,
        MenuCommand::event_edit_mode,
        MenuCommand::real_time_recording,
    };
    for (int page = 0; page < MENU_PAGES; page++) {
        EXPECT_EQ(menu_command_at(command_of(page, g_menu.menu_cursor[page])), expected[page])
            << page;
    }
}

// Every row that does something has exactly one name, and each name stands for its own row.
TEST(MenuCommands, EverySelectableRowHasOneNameAndNoTwoNamesShareARow) {
    menu_texts_load(true);
    int names_of_row[MENU_PAGES * MENU_ROWS] = {};
    for (int i = 0; i < MENU_COMMANDS; i++) {
        const MenuCommandRow& r = MENU_COMMAND_ROWS[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(static_cast<int>(r.command), i); // the table is indexed by the name
        ASSERT_TRUE(r.page >= 0 && r.page < MENU_PAGES && r.row >= 0 && r.row < MENU_ROWS);
        int key = menu_command_key(r.command);
        EXPECT_EQ(key, r.page * MENU_ROWS + r.row);
        EXPECT_EQ(menu_command_page(r.command), r.page);
        EXPECT_EQ(menu_command_row(r.command), r.row);
        EXPECT_EQ(menu_command_at(key), r.command);
        names_of_row[key]++;
    }
    for (int key = 0; key < MENU_PAGES * MENU_ROWS; key++) {
        SCOPED_TRACE(key);
        bool selectable = MENU_ROW_KIND[key] == ROW_ITEM;
        EXPECT_EQ(names_of_row[key], selectable ? 1 : 0);
        if (selectable) {
            // A row that does something says what: more than its letter and colon.
            EXPECT_GT(bytes_of(g_menu_texts.menu_text[key]).find_last_not_of(' '), 2u);
        } else {
            EXPECT_EQ(menu_command_at(key), MenuCommand::none);
        }
    }
}

TEST(MenuTexts, EveryRowStartsWithItsLetterAndFitsTheRowInBothLanguages) {
    for (bool japanese : {true, false}) {
        menu_texts_load(japanese);
        for (int key = 0; key < MENU_PAGES * MENU_ROWS; key++) {
            const char* text = g_menu_texts.menu_text[key];
            size_t length = strlen(text);
            ASSERT_GE(length, 2u) << key;
            EXPECT_EQ(text[0], 'A' + key % MENU_ROWS) << key;
            EXPECT_EQ(text[1], ':') << key;
            EXPECT_TRUE(length <= 3 || length == MENU_TEXT_WIDTH) << key << ": " << length;
            // Blank rows (page 6 from row D) are only their letter.
            if (MENU_ROW_KIND[key] == ROW_BLANK) {
                EXPECT_EQ(length, 2u) << key;
            }
        }
    }
}

class Menus : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
        menu_hooks_install();
    }
    uint32_t base() const { return pixel_from_colour(g_draw.base_colour); }
    uint32_t pixel(int x, int y) const { return g_picture.pixels[y * PICTURE_WIDTH + x]; }
    // Whether menu row `row` shows the text of `key`, normal or highlighted.
    ::testing::AssertionResult row_shows(int row, int key, bool highlighted) {
        const char* text = g_menu_texts.menu_text[key];
        uint32_t ink = highlighted ? WHITE : BLACK;
        uint32_t paper = highlighted ? GREY : base();
        int x = 8 * 2 + 1;
        int y = 16 * (5 + row) + 1;
        return picture_shows_text(x, y, FontSize::small, text, ink, paper);
    }
    // The tab's frame: a raised frame has a white top-left edge, a sunken one a dark one.
    bool tab_sunken(int page) const {
        ScreenRect face = button_face(PAGE_TABS, page);
        return pixel(face.left, face.top) != WHITE;
    }
    void row_click(int row) {
        ScreenPoint p = menu_row_point(row);
        click(p.x, p.y);
    }
};

TEST_F(Menus, ChoosingAPageDrawsItsRowsHighlightsTheCursorRowAndSinksItsTab) {
    show_command(2);
    EXPECT_EQ(g_menu.shown_page, 2);
    for (int row = 0; row < MENU_ROWS; row++) {
        EXPECT_TRUE(row_shows(row, command_of(2, row), row == 0)) << row;
    }
    EXPECT_TRUE(tab_sunken(2));
    EXPECT_FALSE(tab_sunken(1));
    row_click(4);
    EXPECT_EQ(g_menu.menu_cursor[2], 4);
    EXPECT_TRUE(row_shows(0, command_of(2, 0), false));
    EXPECT_TRUE(row_shows(4, command_of(2, 4), true));
    EXPECT_EQ(g_menu.last_command_key, command_of(2, 4));
    show_command(3);
    EXPECT_TRUE(tab_sunken(3));
    EXPECT_FALSE(tab_sunken(2));
    EXPECT_TRUE(row_shows(0, command_of(3, 0), true));
    // Each page keeps its own cursor.
    show_command(2);
    EXPECT_TRUE(row_shows(4, command_of(2, 4), true));
}

TEST_F(Menus, SeparatorsAndBlankRowsCannotBeChosenAndTheMenuIgnoresClicksWhilePlaying) {
    show_command(6);
    row_click(5); // blank row
    EXPECT_EQ(g_menu.menu_cursor[6], 0);
    show_command(2);
    row_click(6); // separator
    EXPECT_EQ(g_menu.menu_cursor[2], 0);
    row_click(1);
    EXPECT_EQ(g_menu.menu_cursor[2], 1);
    // While the song plays the menu column takes no clicks (page 2 row C's list would).
    g_menu.menu_cursor[2] = 2;
    show_command(SHOW_REDRAW);
    load_bytes(little_tune_song());
    transport_start();
    ASSERT_EQ(transport_mode(), MODE_PLAYING);
    row_click(3);
    EXPECT_EQ(g_menu.menu_cursor[2], 2);
    transport_stop(true);
}

TEST_F(Menus, ARowShownAgainDoesNothingButAnImmediateActionCanRunAgain) {
    show_command(2);
    row_click(11); // information
    EXPECT_EQ(g_menu.last_command_key, command_of(2, 11));
    // Drawing over the panel shows whether the row's panel was drawn again.
    fill_rect(300, 60, 620, 350, 0x0000FF, 0x0000FF, 1);
    row_click(11);
    EXPECT_EQ(pixel(400, 200), pixel_from_colour(0x0000FF));
    // Page 0 row H resets the micro scale at once and hands the page back to row C, whose
    // panel the release of the click shows; so row H can run again.
    show_command(0);
    for (int run = 0; run < 2; run++) {
        g_midi_maps.note_map[5] = 9;
        row_click(7);
        EXPECT_EQ(g_midi_maps.note_map[5], 5) << run;
        EXPECT_EQ(g_menu.menu_cursor[0], 2);
        EXPECT_EQ(g_menu.last_command_key, command_of(0, 2));
        EXPECT_TRUE(row_shows(2, command_of(0, 2), true));
    }
}

TEST_F(Menus, DropTargetIsOnOnlyWhileTheSongBankListIsFirstShownWithTheTransportStopped) {
    show_command(1);
    EXPECT_TRUE(g_headless_window.drop_accepted);
    // Choosing the same row again switches it off and shows nothing anew.
    row_click(0);
    EXPECT_FALSE(g_headless_window.drop_accepted);
    g_menu.last_command_key = NO_COMMAND;
    show_command(SHOW_REDRAW);
    EXPECT_TRUE(g_headless_window.drop_accepted);
    show_command(2);
    EXPECT_FALSE(g_headless_window.drop_accepted);
    // In record standby the list is shown but takes no drops.
    show_command(1);
    EXPECT_TRUE(g_headless_window.drop_accepted);
    record_standby();
    ASSERT_EQ(transport_mode(), MODE_STANDBY);
    g_menu.menu_page = 1;
    g_menu.last_command_key = NO_COMMAND;
    show_command(SHOW_REDRAW);
    EXPECT_FALSE(g_headless_window.drop_accepted);
    transport_stop(true);
}

TEST_F(Menus, ShiftWhenARowIsShownFixesItsVariant) {
    show_command(2);
    key_down(VK_SHIFT);
    run_ms(20);
    row_click(5);
    EXPECT_EQ(g_menu.alt_variant, 1);
    key_up(VK_SHIFT);
    run_ms(20);
    EXPECT_EQ(g_menu.alt_variant, 1);
    row_click(3);
    EXPECT_EQ(g_menu.alt_variant, 0);
}

class MenuSpeech : public ShellFixture {};

TEST_F(MenuSpeech, MovingTheMouseOntoAnotherMenuRowSpeaksItsTextOnce) {
    std::string ini = "[VO]\nv26=thru\nv27=filter\n";
    write_file_bytes(dir.file("reader.ini"), Bytes(ini.begin(), ini.end()));
    start();
    menu_hooks_install();
    show_command(2);
    move(150, 90);
    run_ms(20);
    EXPECT_EQ(g_headless.clipboard, "thru");
    move(160, 104);
    run_ms(20);
    EXPECT_EQ(g_headless.clipboard, "filter");
    int puts = g_headless.clipboard_puts;
    move(170, 100); // the same row
    run_ms(20);
    EXPECT_EQ(g_headless.clipboard_puts, puts);
    move(150, 90);
    run_ms(20);
    EXPECT_EQ(g_headless.clipboard, "thru");
    // Off the menu and back on the same row: its text is the one last spoken, so no new one.
    move(400, 200);
    run_ms(20);
    move(150, 90);
    run_ms(20);
    EXPECT_EQ(g_headless.clipboard_puts, puts + 1);
}

} // namespace

namespace {

class MenuExit : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
        menu_hooks_install();
    }
    bool says_see_you() {
        return picture_shows_text(8 * 45 - 1, 16 * 16, FontSize::large, "       See  You !!",
                                  0x000000, pixel_from_colour(g_draw.base_colour));
    }
};

TEST_F(MenuExit, ExitSaysGoodbyeOnlyWhenNoSongIsUnsaved) {
    g_menu.menu_cursor[0] = 0;
    show_command(0);
    EXPECT_TRUE(says_see_you());
    run_ms(20);
    EXPECT_NE(g_shell.app_state, STATE_RUN); // the frame saw row A and quits
}

TEST_F(MenuExit, ExitWithAnUnsavedSongDrawsNoGoodbye) {
    ASSERT_EQ(load_bytes(little_tune_song()), SongLoadResult::loaded);
    g_song.song_modified_mask = 1;
    g_menu.menu_cursor[0] = 0;
    show_command(0);
    EXPECT_FALSE(says_see_you());
}

} // namespace
