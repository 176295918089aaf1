// Each of the six dialogs open over the start screen, in English and in Japanese (the dialog
// texts are the same; the screen behind differs), compared pixel for pixel with the pictures
// in tests/data/screens/dialogs. ZB_UPDATE_SCREENS=1 writes them anew (look at each).
#include "tests/shell/shell_fixture.h"

#include "gui/dialog_table.h"
#include "gui/modal.h"
#include "platform/headless/headless.h"
#include "platform/picture.h"
#include "platform/virtual_keys.h"
#include "sequencer/shell/dialogs.h"
#include "sequencer/shell/menu_show.h"
#include "songcore/event_parse.h"
#include "tests/support/png_read.h"
#include "tests/support/smf_builder.h"
#include "tests/support/temp_dir.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<uint32_t> g_shown;
void (*g_keep_playing)() = nullptr;

// The picture as it stands once the dialog has taken its first input.
void capture_then_play() {
    if (g_shown.empty()) {
        g_shown.assign(g_picture.pixels, g_picture.pixels + PICTURE_WIDTH * PICTURE_HEIGHT);
    }
    if (g_keep_playing) {
        g_keep_playing();
    }
}

// Track 2 holds one event for each of the dialogs the event editor opens.
Bytes dialog_song() {
    return smf_file(
        1, 480,
        {concat({meta_text(0, 0x03, "Dialog Song"), tempo_event(0, 500000), end_of_track(1920)}),
         concat(
             {meta_text(0, 0x03, "Guitar"), meta_text(0, 0x01, "A text event"),
              ev(0, {0xFF, 0x7F, 0x07, 0x43, 0x7B, 0x01, 0x45, 10, 0x33, 0x00}),
              ev(0, {0xFF, 0x7F, 0x0F, 0x43, 0x7B, 0x10, 0x00, 3, 5, 40, 45, 50, 55, 59, 64, 0x00,
                     0x00, 0x00}),
              ev(0, {0xFF, 0x7F, 0x10, 0x43, 0x7B, 0x10, 0x01, 0, 1, 2, 3, 2, 2, 1, 1, 0, 0, 3, 4}),
              end_of_track(480)})});
}

class DialogPictures : public ShellFixture {
protected:
    void shows(UiLanguage language, int number) {
        g_headless.language = language;
        start();
        ASSERT_EQ(load_bytes(dialog_song(), "dialogs.mid"), SongLoadResult::loaded);
        g_song.write_track = 1;
        menu_hooks_install(); // the file page behind, in the system's language
        show_command(1);
        const int event_index[] = {0, 1, 2, 3, 4}; // name, text, chord, information, voicing
        int which = number == DIALOG_TEXT             ? event_index[1]
                    : number == DIALOG_CHORD_NAME     ? event_index[2]
                    : number == DIALOG_GUITAR_VOICING ? event_index[4]
                                                      : event_index[3];
        TrackWalk walk = track_walk_begin(g_song.slots[0].track_pos[1]);
        TrackEvent ev;
        for (int i = 0; i <= which && event_parse(walk, ev); i++) {
            g_dialogs.edited_event = ev.pos;
        }
        snprintf(g_dialogs.text_event_buffer, sizeof g_dialogs.text_event_buffer, "%s",
                 "A text event");
        snprintf(g_dialogs.dialog_text, sizeof g_dialogs.dialog_text, "%s",
                 number == DIALOG_TITLE ? "Dialog Song" : "Guitar");
        g_dialogs.edited_track = 1;

        g_shown.clear();
        g_keep_playing = g_modal_hooks.keep_playing;
        g_modal_hooks.keep_playing = capture_then_play;
        headless_queue_move(0, 0);
        headless_queue_stroke(VK_ESC);
        run_dialog(number);
        ASSERT_FALSE(g_shown.empty());

        std::string name = std::string(language == UiLanguage::japanese ? "ja_" : "en_") +
                           std::to_string(number) + ".png";
        std::string reference = test_data_dir() + "/screens/dialogs/" + name;
        if (getenv("ZB_UPDATE_SCREENS")) {
            EXPECT_EQ(system(("mkdir -p '" + test_data_dir() + "/screens/dialogs'").c_str()), 0);
            ASSERT_TRUE(picture_write_png(reference.c_str(), g_shown.data(), PICTURE_WIDTH,
                                          PICTURE_HEIGHT));
            return;
        }
        std::vector<uint32_t> expected;
        int width = 0, height = 0;
        ASSERT_TRUE(png_read_pixels(reference.c_str(), expected, width, height)) << reference;
        ASSERT_EQ(width, PICTURE_WIDTH);
        ASSERT_EQ(height, PICTURE_HEIGHT);
        int differing = 0;
        for (size_t i = 0; i < expected.size(); i++) {
            differing += expected[i] != g_shown[i] ? 1 : 0;
        }
        if (differing > 0) {
            std::string kept = "/tmp/zb47-actual-dialog-" + name;
            picture_write_png(kept.c_str(), g_shown.data(), PICTURE_WIDTH, PICTURE_HEIGHT);
            ADD_FAILURE() << differing << " pixels differ from " << reference
                          << "; the picture is in " << kept;
        }
    }
};

const int NUMBERS[] = {DIALOG_TITLE,      DIALOG_TRACK_NAME,         DIALOG_TEXT,
                       DIALOG_CHORD_NAME, DIALOG_GUITAR_INFORMATION, DIALOG_GUITAR_VOICING};

TEST_F(DialogPictures, EveryDialogInEnglishMatchesItsReference) {
    for (int number : NUMBERS) {
        SCOPED_TRACE(number);
        TearDown();
        SetUp();
        shows(UiLanguage::english, number);
    }
}

TEST_F(DialogPictures, EveryDialogInJapaneseMatchesItsReference) {
    for (int number : NUMBERS) {
        SCOPED_TRACE(number);
        TearDown();
        SetUp();
        shows(UiLanguage::japanese, number);
    }
}

TEST_F(DialogPictures, TheScreenUnderADialogComesBackWhenItCloses) {
    start();
    std::vector<uint32_t> before(g_picture.pixels,
                                 g_picture.pixels + PICTURE_WIDTH * PICTURE_HEIGHT);
    g_shown.clear();
    g_keep_playing = g_modal_hooks.keep_playing;
    g_modal_hooks.keep_playing = capture_then_play;
    headless_queue_move(0, 0);
    headless_queue_stroke(VK_ESC);
    run_dialog(DIALOG_CHORD_NAME);
    EXPECT_NE(g_shown, before);
    std::vector<uint32_t> after(g_picture.pixels,
                                g_picture.pixels + PICTURE_WIDTH * PICTURE_HEIGHT);
    EXPECT_EQ(after, before);
}

} // namespace
