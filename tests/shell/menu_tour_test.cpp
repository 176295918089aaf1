// A tour of every selectable row of every menu page in both languages: each row is clicked
// and the picture compared with its reference in tests/data/screens/menus.
#include "tests/shell/zb47_run.h"

#include "tests/support/run_songs.h"

#include <cstring>

namespace {

// The selectable rows of each page, in the order the tour clicks them. Page 0 row A (Exit)
// ends the tour.
const char* const TOUR_ROWS[7] = {"CEFHIKLM",     "ACEGIKM",  "ABCDEFHJLM", "ABCEFGHIKLM",
                                  "ABCDEFGHIJKM", "ACDFGHJM", "AB"};

// The rows of the file page that open a file dialog for the tour's song.
const char* const FILE_DIALOG_ROWS = "GKM";

class MenuTour : public Zb47Run {
protected:
    // The script of the whole tour and the screenshots it takes, as (file, reference).
    std::string script(const std::string& language, std::vector<std::string>& shots) {
        std::string text =
            "wait 60\n" + tab_click(1) + "drop " + dir.file("tour.mid") + "\nwait 40\n";
        for (int page = 0; page < 7; page++) {
            text += page < 6 ? tab_click(page) : "key F6\nwait 40\n";
            for (const char* row = TOUR_ROWS[page]; *row != '\0'; row++) {
                std::string name = language + "_p" + std::to_string(page) + *row + ".png";
                // The tour pictures the page, not the file choosers: their dialogs are
                // answered Cancel in advance.
                if (page == 1 && strchr(FILE_DIALOG_ROWS, *row) != nullptr) {
                    text += "dialog\n";
                }
                text += row_click(*row);
                if (page == 1 && *row == 'C') {
                    text += "key Esc\nwait 40\n"; // the title dialog, cancelled
                }
                text += "screenshot " + name + "\n";
                shots.push_back(name);
            }
            if (page == 6) {
                text += "key Esc\nwait 40\n"; // out of record standby
            }
        }
        return text + tab_click(0) + row_click('A') + "wait 100\n";
    }
    void tour(const std::string& language, const std::string& locale) {
        write_file_bytes(dir.file("tour.mid"), tour_song());
        std::vector<std::string> shots;
        ASSERT_EQ(run(script(language, shots), locale), 0) << read_text(dir.file("stderr.txt"));
        for (const std::string& shot : shots) {
            expect_same_as_reference(shot, "menus/" + shot);
        }
        // Exit with no unsaved song ends the run and writes the settings.
        EXPECT_TRUE(std::ifstream(dir.file("ZB47.DAT")).good()) << log();
    }
};

TEST_F(MenuTour, EveryRowOfEveryPageInEnglishMatchesItsReference) {
    tour("en", "C");
}

TEST_F(MenuTour, EveryRowOfEveryPageInJapaneseMatchesItsReference) {
    tour("ja", "ja_JP.UTF-8");
}

} // namespace
