// The sequencer's dialogs worked by keyboard alone through the headless input queue: what OK
// and CANCEL leave in the song, byte for byte, and how the menu and track lists open them.
#include "tests/shell/command_fixture.h"

#include "gui/dialog_table.h"
#include "gui/modal.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_window.h"
#include "platform/virtual_keys.h"
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/list_panels_internal.h"
#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/screen_modes.h"
#include "songcore/event_parse.h"

#include <cstring>
#include <string>

namespace {

class Dialogs : public CommandFixture {
protected:
    void SetUp() override {
        CommandFixture::SetUp();
        menu_hooks_install(); // the real pages instead of the fixture's recording hooks
    }
    // Empties the focused edit (caret to the end, then Backspace `count` times) and types.
    static void queue_replace(const std::string& utf8, int count = 4) {
        headless_queue_stroke(VK_END);
        for (int i = 0; i < count; i++) {
            headless_queue_stroke(VK_BACKSPACE);
        }
        if (!utf8.empty()) {
            headless_queue_text(utf8.c_str());
        }
    }
    static void queue_tabs(int count) {
        for (int i = 0; i < count; i++) {
            headless_queue_stroke(VK_TAB);
        }
    }
    // The song: a conductor track named `name` (none when empty) and a second track.
    void load_named(const std::string& name, const Bytes& second) {
        Bytes conductor =
            name.empty()
                ? concat({tempo_event(0, 500000), end_of_track(1920)})
                : concat({meta_text(0, 0x03, name), tempo_event(0, 500000), end_of_track(1920)});
        ASSERT_EQ(load_bytes(smf_file(1, 480, {conductor, second}), "song.mid"),
                  SongLoadResult::loaded);
    }
    // The position of the n-th event (0-based) of a track of the current bank.
    static uint32_t event_pos(int track0, int n) {
        TrackWalk walk = track_walk_begin(g_song.slots[g_song.current_bank].track_pos[track0]);
        TrackEvent ev;
        for (int i = 0; event_parse(walk, ev); i++) {
            if (i == n) {
                return ev.pos;
            }
        }
        return 0;
    }
    static std::string title() { return g_song.slots[g_song.current_bank].song_title; }
    static Bytes name_event(const std::string& text) { return meta_text(0, 0x03, text); }
    // The close box clicked while the title dialog is open.
    static void title_dialog_open_with_close() {
        static bool s_closed = false;
        s_closed = false;
        g_modal_hooks.keep_playing = [] {
            if (!s_closed) {
                s_closed = true;
                SHELL_WINDOW_HANDLERS.close();
            }
        };
        headless_queue_move(0, 0);
        headless_queue_stroke(VK_ENTER); // would be OK, but the dialog has ended by then
        title_dialog_open();
    }
};

// Title (110).

TEST_F(Dialogs, TitleOkWritesTheNameEventInPlaceOfTheOldOne) {
    load_named("Old", concat({note_on(0, 60), note_end(480, 60), end_of_track()}));
    queue_replace("New Title", 10);
    headless_queue_stroke(VK_ENTER);
    title_dialog_open();
    EXPECT_EQ(title(), "New Title");
    EXPECT_EQ(track_data(0, 0),
              concat({name_event("New Title"), tempo_event(0, 500000), end_of_track(1920)}));
    EXPECT_EQ(g_song.song_modified_mask, 1u);
    EXPECT_EQ(g_menu.menu_cursor[1], 0);
    EXPECT_EQ(g_headless_window.caption, "New Title - ZB47 MIDI MUSIC SEQUENCER");
}

TEST_F(Dialogs, TitleOfFortyBytesKeepsThirty) {
    load_named("Old", concat({end_of_track()}));
    std::string forty = "0123456789abcdefghijABCDEFGHIJklmnopqrst";
    queue_replace(forty, 10);
    headless_queue_stroke(VK_ENTER);
    title_dialog_open();
    EXPECT_EQ(title(), forty.substr(0, 30));
    EXPECT_EQ(track_data(0, 0), concat({name_event(forty.substr(0, 30)), tempo_event(0, 500000),
                                        end_of_track(1920)}));
}

TEST_F(Dialogs, TitleWhoseThirtiethByteWouldBeALeadByteKeepsTwentyNine) {
    load_named("Old", concat({end_of_track()}));
    std::string ascii(29, 'a');
    queue_replace(ascii + "あ", 10);
    headless_queue_stroke(VK_ENTER);
    title_dialog_open();
    EXPECT_EQ(title(), ascii);
    EXPECT_EQ(track_data(0, 0),
              concat({name_event(ascii), tempo_event(0, 500000), end_of_track(1920)}));
}

TEST_F(Dialogs, TitleOfThirtyBytesEndingInADoubleByteCharacterKeepsIt) {
    // も is 0x82 0xE0: its second byte looks like a lead byte when taken on its own.
    load_named("Old", concat({end_of_track()}));
    std::string text = std::string(28, 'b') + sjis("も");
    ASSERT_EQ(text.size(), 30u);
    queue_replace(std::string(28, 'b') + "も", 10);
    headless_queue_stroke(VK_ENTER);
    title_dialog_open();
    EXPECT_EQ(title(), text);
    EXPECT_EQ(track_data(0, 0),
              concat({name_event(text), tempo_event(0, 500000), end_of_track(1920)}));
}

TEST_F(Dialogs, EmptyTitleWritesAnEmptyNameAndZeroesTheTitle) {
    load_named("Old", concat({end_of_track()}));
    char* slot_title = g_song.slots[g_song.current_bank].song_title;
    memcpy(slot_title + 30, "WXYZ", 4); // bytes 31 to 34 keep what they hold
    queue_replace("", 10);
    headless_queue_stroke(VK_ENTER);
    title_dialog_open();
    for (int i = 0; i < 30; i++) {
        EXPECT_EQ(slot_title[i], '\0') << i;
    }
    EXPECT_EQ(std::string(slot_title + 30, 4), "WXYZ");
    EXPECT_EQ(track_data(0, 0),
              concat({meta(0, 0x03, {}), tempo_event(0, 500000), end_of_track(1920)}));
    EXPECT_EQ(g_headless_window.caption, "ZB47 MIDI MUSIC SEQUENCER");
}

TEST_F(Dialogs, TitleNameAfterANonZeroDeltaIsNotReplacedButANewOneGoesFirst) {
    Bytes conductor =
        concat({tempo_event(0, 500000), meta_text(10, 0x03, "Late"), end_of_track(1910)});
    ASSERT_EQ(load_bytes(smf_file(1, 480, {conductor}), "song.mid"), SongLoadResult::loaded);
    headless_queue_text("Early");
    headless_queue_stroke(VK_ENTER);
    title_dialog_open();
    EXPECT_EQ(track_data(0, 0), concat({name_event(" Early"), tempo_event(0, 500000),
                                        meta_text(10, 0x03, "Late"), end_of_track(1910)}));
}

TEST_F(Dialogs, TitleCancelChangesNothingButTheCursor) {
    load_named("Old", concat({end_of_track()}));
    Bytes before = track_data(0, 0);
    g_song.song_modified_mask = 0;
    g_menu.menu_cursor[1] = 2;
    queue_replace("Other", 10);
    headless_queue_stroke(VK_ESC);
    title_dialog_open();
    EXPECT_EQ(track_data(0, 0), before);
    EXPECT_EQ(title(), "Old");
    EXPECT_EQ(g_song.song_modified_mask, 0u);
    EXPECT_EQ(g_menu.menu_cursor[1], 0);
}

TEST_F(Dialogs, PageOneRowCOpensTheTitleDialogAndSwallowsThePress) {
    load_named("Old", concat({end_of_track()}));
    show_command(1);
    queue_replace("Clicked", 10);
    headless_queue_stroke(VK_ENTER);
    press(100, 80 + 2 * 16 + 8); // the dialog runs inside this press's frame
    EXPECT_EQ(title(), "Clicked");
    EXPECT_EQ(g_shell.left_down.load(), 0); // swallowed: the press does not act again
    release();
    run_ms(20);
    EXPECT_FALSE(modal_active());
    EXPECT_EQ(g_headless_window.queued.size(), 1u); // Enter's release: the dialog ended before it
}

// Track name (111).

TEST_F(Dialogs, TrackNameOfEighteenBytes) {
    load_named("Song",
               concat({name_event("Piano"), note_on(0, 60), note_end(480, 60), end_of_track()}));
    queue_replace("ABCDEFGHIJKLMNOPQRSTUV", 10);
    headless_queue_stroke(VK_ENTER);
    track_name_dialog_open(1);
    EXPECT_STREQ(g_song.track_names[1], "ABCDEFGHIJKLMNOPQR");
    EXPECT_EQ(track_data(0, 1), concat({name_event("ABCDEFGHIJKLMNOPQR"), note_on(0, 60),
                                        note_end(480, 60), end_of_track()}));
    EXPECT_EQ(g_menu.menu_cursor[1], 0);
}

TEST_F(Dialogs, TrackNameCancelChangesNothing) {
    load_named("Song", concat({name_event("Piano"), end_of_track()}));
    Bytes before = track_data(0, 1);
    queue_replace("Drums", 10);
    headless_queue_stroke(VK_TAB);
    headless_queue_stroke(VK_TAB);
    headless_queue_stroke(VK_SPACE); // CANCEL pressed with Space
    track_name_dialog_open(1);
    EXPECT_EQ(track_data(0, 1), before);
    EXPECT_STREQ(g_song.track_names[1], "Piano");
}

TEST_F(Dialogs, TheTrackListsNameColumnOpensTheTrackNameDialog) {
    load_named("Song",
               concat({name_event("Piano"), note_on(0, 60), note_end(480, 60), end_of_track()}));
    g_menu.menu_cursor[3] = 0; // track mutes
    show_command(3);
    queue_replace("Bass", 10);
    headless_queue_stroke(VK_ENTER);
    click(47 * 8 + 4, 81 + 16 + 8); // track 2's name
    EXPECT_STREQ(g_song.track_names[1], "Bass");
    EXPECT_EQ(track_data(0, 1),
              concat({name_event("Bass"), note_on(0, 60), note_end(480, 60), end_of_track()}));
    EXPECT_EQ(g_song.track_play[1], PLAY_ON); // the name, not the number: no mute
}

// Text (112).

class TextDialog : public Dialogs {
protected:
    void SetUp() override {
        Dialogs::SetUp();
        load_named("Song", concat({note_on(0, 60), meta_text(240, 0x01, "hello"), note_end(240, 60),
                                   end_of_track()}));
        g_song.write_track = 1;
        g_dialogs.edited_event = event_pos(1, 1);
        snprintf(g_dialogs.text_event_buffer, sizeof g_dialogs.text_event_buffer, "hello");
        g_song.song_modified_mask = 0;
    }
};

TEST_F(TextDialog, OkPutsTheNewTextInPlace) {
    headless_queue_text(" world");
    headless_queue_stroke(VK_ENTER);
    run_dialog(DIALOG_TEXT);
    EXPECT_EQ(track_data(0, 1), concat({note_on(0, 60), meta_text(240, 0x01, "hello world"),
                                        note_end(240, 60), end_of_track()}));
    EXPECT_STREQ(g_dialogs.text_event_buffer, "hello world");
}

TEST_F(TextDialog, TextLongerThan127IsCutTo127) {
    std::string long_text(140, 'x');
    queue_replace(long_text, 5);
    headless_queue_stroke(VK_ENTER);
    run_dialog(DIALOG_TEXT);
    EXPECT_EQ(track_data(0, 1), concat({note_on(0, 60), meta_text(240, 0x01, std::string(127, 'x')),
                                        note_end(240, 60), end_of_track()}));
    EXPECT_EQ(std::string(g_dialogs.text_event_buffer), long_text);
}

TEST_F(TextDialog, CancelChangesNothing) {
    Bytes before = track_data(0, 1);
    headless_queue_text("zzz");
    headless_queue_stroke(VK_ESC);
    run_dialog(DIALOG_TEXT);
    EXPECT_EQ(track_data(0, 1), before);
    EXPECT_EQ(g_song.song_modified_mask, 0u);
}

// Chord name (115).

Bytes chord_event(uint8_t root, uint8_t type, uint8_t bass) {
    return ev(0, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, root, type, bass, 0x00});
}

class ChordDialog : public Dialogs {
protected:
    void chord_song(uint8_t root, uint8_t type, uint8_t bass) {
        load_named("Song", concat({chord_event(root, type, bass), end_of_track(480)}));
        g_song.write_track = 1;
        g_dialogs.edited_event = event_pos(1, 0);
        g_song.song_modified_mask = 0;
    }
    Bytes song_chord() const { return track_data(0, 1); }
};

TEST_F(ChordDialog, SharpCodeFiveOpensAsSharpAndIsWrittenBackAsFour) {
    chord_song(0x53, 10, 0x7F); // E with accidental code 5, m7, no bass
    headless_queue_stroke(VK_ENTER);
    run_dialog(DIALOG_CHORD_NAME);
    EXPECT_EQ(song_chord(), concat({chord_event(0x43, 10, 0x7F), end_of_track(480)}));
    EXPECT_EQ(g_song.song_modified_mask, 1u);
}

TEST_F(ChordDialog, FlatCodesAndNaturalOpenAsTheyRead) {
    chord_song(0x17, 0, 0x03); // B with code 1 (flat), Maj, bass D with code 0 (flat)
    headless_queue_stroke(VK_ENTER);
    run_dialog(DIALOG_CHORD_NAME);
    EXPECT_EQ(song_chord(), concat({chord_event(0x27, 0, 0x23), end_of_track(480)}));
}

TEST_F(ChordDialog, KeyboardAloneChangesRootTypeAndBass) {
    chord_song(0x33, 0, 0x7F); // E natural Maj, no bass
    // From OK: CANCEL, the root letter, the root accidental, the type, "no".
    queue_tabs(2);
    headless_queue_stroke(VK_RIGHT); // F
    queue_tabs(1);
    headless_queue_stroke(VK_RIGHT); // natural -> b
    queue_tabs(1);
    headless_queue_stroke(VK_DOWN); // Maj -> 6
    queue_tabs(1);
    headless_queue_stroke(VK_SPACE); // "no" off: bass C natural
    queue_tabs(1);
    headless_queue_stroke(VK_RIGHT); // bass C -> D
    headless_queue_stroke(VK_ENTER);
    run_dialog(DIALOG_CHORD_NAME);
    EXPECT_EQ(song_chord(), concat({chord_event(0x24, 1, 0x32), end_of_track(480)}));
}

TEST_F(ChordDialog, NoTogglesTheBassBackToNone) {
    chord_song(0x31, 3, 0x35);       // C natural, M7(#11), bass E natural
    queue_tabs(5);                   // "no"
    headless_queue_stroke(VK_SPACE); // on: no bass
    headless_queue_stroke(VK_ENTER);
    run_dialog(DIALOG_CHORD_NAME);
    EXPECT_EQ(song_chord(), concat({chord_event(0x31, 3, 0x7F), end_of_track(480)}));
}

TEST_F(ChordDialog, CancelChangesNothing) {
    chord_song(0x53, 10, 0x7F);
    queue_tabs(2);
    headless_queue_stroke(VK_RIGHT);
    headless_queue_stroke(VK_ESC);
    run_dialog(DIALOG_CHORD_NAME);
    EXPECT_EQ(song_chord(), concat({chord_event(0x53, 10, 0x7F), end_of_track(480)}));
    EXPECT_EQ(g_song.song_modified_mask, 0u);
}

// Guitar information (116) and chord voicing (117).

Bytes guitar_event(std::initializer_list<uint8_t> values) {
    Bytes bytes = {0x00, 0xFF, 0x7F, static_cast<uint8_t>(4 + values.size()),
                   0x43, 0x7B, 0x10, 0x00};
    bytes.insert(bytes.end(), values.begin(), values.end());
    return bytes;
}

class GuitarDialog : public Dialogs {
protected:
    void guitar_song(std::initializer_list<uint8_t> values) {
        load_named("Song", concat({guitar_event(values), end_of_track(480)}));
        g_song.write_track = 1;
        g_dialogs.edited_event = event_pos(1, 0);
        g_song.song_modified_mask = 0;
    }
};

TEST_F(GuitarDialog, InformationStoresInRangeValuesFieldByField) {
    // Bytes 8 to 14: key 5, strings 1 to 6 at 40..45 (byte 7 is not the dialog's).
    guitar_song({9, 5, 40, 41, 42, 43, 44, 45});
    queue_replace("24"); // key out of range: kept
    queue_tabs(1);
    queue_replace("abc"); // string 1 not a number: 0
    queue_tabs(1);
    queue_replace("128"); // string 2 out of range: kept
    queue_tabs(1);
    queue_replace("-1"); // string 3: kept
    queue_tabs(1);
    queue_replace(""); // string 4 empty: 0
    queue_tabs(1);
    queue_replace("127"); // string 5
    queue_tabs(1);
    queue_replace("00000000000000000007"); // string 6: only 19 characters are read: 0
    headless_queue_stroke(VK_ENTER);
    run_dialog(DIALOG_GUITAR_INFORMATION);
    EXPECT_EQ(track_data(0, 1),
              concat({guitar_event({9, 5, 0, 41, 42, 0, 127, 0}), end_of_track(480)}));
    EXPECT_EQ(g_song.song_modified_mask, 1u);
}

TEST_F(GuitarDialog, InformationCancelChangesNothing) {
    guitar_song({9, 5, 40, 41, 42, 43, 44, 45});
    queue_replace("1");
    headless_queue_stroke(VK_ESC);
    run_dialog(DIALOG_GUITAR_INFORMATION);
    EXPECT_EQ(track_data(0, 1),
              concat({guitar_event({9, 5, 40, 41, 42, 43, 44, 45}), end_of_track(480)}));
    EXPECT_EQ(g_song.song_modified_mask, 0u);
}

TEST_F(GuitarDialog, VoicingFingeringSixIsIgnoredWhileItsPositionIsStored) {
    // Bytes 7 to 18: position and fingering of strings 6 down to 1.
    guitar_song({1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 0});
    queue_replace("12"); // string 6 position
    queue_tabs(1);
    queue_replace("6"); // string 6 fingering: out of range
    queue_tabs(1);
    queue_replace("24"); // string 5 position: out of range
    queue_tabs(1);
    queue_replace("5"); // string 5 fingering
    queue_tabs(8);      // string 1 fingering
    queue_replace("x"); // not a number: 0
    headless_queue_stroke(VK_ENTER);
    run_dialog(DIALOG_GUITAR_VOICING);
    EXPECT_EQ(track_data(0, 1),
              concat({guitar_event({12, 1, 2, 5, 3, 3, 4, 4, 5, 5, 6, 0}), end_of_track(480)}));
}

TEST_F(GuitarDialog, VoicingCancelChangesNothing) {
    guitar_song({1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 0});
    queue_replace("12");
    headless_queue_stroke(VK_ESC);
    run_dialog(DIALOG_GUITAR_VOICING);
    EXPECT_EQ(track_data(0, 1),
              concat({guitar_event({1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 0}), end_of_track(480)}));
}

TEST_F(Dialogs, KeysPressedInADialogStayOutOfTheMainWindowAndReleasesReachIt) {
    load_named("Song", concat({end_of_track()}));
    int page = g_menu.menu_page;
    g_shell.key_code.store(VK_ENTER); // the key that opened the dialog, still held
    headless_queue_key(VK_ENTER, false);
    headless_queue_key(VK_F3, true); // would choose a page
    headless_queue_key(VK_ESC, true);
    run_dialog(DIALOG_TITLE);
    EXPECT_EQ(g_shell.key_code.load(), 0);
    EXPECT_EQ(g_menu.menu_page, page);
    EXPECT_NE(page, 2);
}

TEST_F(Dialogs, TheCloseBoxCancelsADialogAndLeavesTheWindowOpen) {
    load_named("Old", concat({end_of_track()}));
    Bytes before = track_data(0, 0);
    queue_replace("Closed", 10);
    title_dialog_open_with_close();
    EXPECT_EQ(track_data(0, 0), before);
    EXPECT_FALSE(g_headless_window.destroyed);
}

TEST_F(Dialogs, OtherNumbersDoNothing) {
    headless_queue_stroke(VK_ENTER);
    run_dialog(113);
    EXPECT_EQ(g_headless_window.queued.size(), 2u);
}

} // namespace
