// The file chooser's model: what it lists and in which order, filters, type-ahead, display
// names, refused paths, the overwrite question, cancel and the remembered folder.
#include "common/overwrite_question.h"
#include "common/text_sjis.h"
#include "gui/file_chooser.h"
#include "gui/file_chooser_input.h"
#include "gui/file_chooser_view.h"
#include "platform/headless/headless.h"
#include "platform/virtual_keys.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

const FileDialogFilter SONG_FILTERS[2] = {{"MID Files (*.MID)", "*.mid"},
                                          {"All Files (*.*)", "*.*"}};
const FileDialogFilter RINGTONE_FILTERS[3] = {
    {"MLD Files (*.MLD)", "*.mld"}, {"PMD Files (*.PMD)", "*.pmd"}, {"MMF Files", "*.mmf"}};

class FileChooserTest : public ::testing::Test {
protected:
    TempDir dir;
    char path[4096] = "untouched";

    void SetUp() override {
        ASSERT_TRUE(platform_select("headless"));
        headless_reset();
        file_chooser_reset();
        overwrite_question_reset();
    }
    void touch(const std::string& name, const std::string& content = "x") {
        write_file_bytes(dir.file(name),
                         std::vector<unsigned char>(content.begin(), content.end()));
    }
    void folder(const std::string& name) { ASSERT_EQ(mkdir(dir.file(name).c_str(), 0755), 0); }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const ChooserEntry& e : g_file_chooser.entries) {
            out.push_back(e.name);
        }
        return out;
    }
    void begin(ChooserMode mode, const std::string& proposal,
               const FileDialogFilter* filters = SONG_FILTERS, int count = 2,
               size_t size = sizeof(path)) {
        request = FileDialogRequest{filters, count, "MID", nullptr};
        proposal_text = proposal;
        request.initial_name = proposal_text.c_str();
        chooser_begin(mode, request, path, size);
    }
    const std::string& selected_name() const {
        return g_file_chooser.entries.at(g_file_chooser.selected).name;
    }
    FileDialogRequest request{};
    std::string proposal_text;
};

TEST_F(FileChooserTest, FoldersComeFirstThenTheFilesOfTheFilterEachSortedIgnoringCase) {
    touch("b.mid");
    touch("A.MID");
    touch("c.txt");
    touch("Zed.Mid");
    folder("zeta");
    folder("Alpha");
    begin(ChooserMode::open, dir.path);
    EXPECT_EQ(g_file_chooser.directory, dir.path);
    EXPECT_EQ(names(),
              (std::vector<std::string>{"..", "Alpha", "zeta", "A.MID", "b.mid", "Zed.Mid"}));
    EXPECT_TRUE(g_file_chooser.entries[1].is_directory);
    EXPECT_FALSE(g_file_chooser.entries[3].is_directory);
}

TEST_F(FileChooserTest, AllFilesShowsEveryFileAndRingtoneFiltersTheirExtensions) {
    touch("a.mid");
    touch("b.MLD");
    touch("c.pmd");
    touch("d.mmf");
    touch("e.txt");
    begin(ChooserMode::open, dir.path);
    chooser_next_filter();
    EXPECT_EQ(names(),
              (std::vector<std::string>{"..", "a.mid", "b.MLD", "c.pmd", "d.mmf", "e.txt"}));
    begin(ChooserMode::open, dir.path, RINGTONE_FILTERS, 3);
    EXPECT_EQ(names(), (std::vector<std::string>{"..", "b.MLD"}));
    chooser_next_filter();
    chooser_next_filter();
    EXPECT_EQ(names(), (std::vector<std::string>{"..", "d.mmf"}));
}

TEST_F(FileChooserTest, TypedLettersJumpToTheFirstMatchingEntry) {
    touch("apple.mid");
    touch("banana.mid");
    touch("berry.mid");
    touch("cherry.mid");
    begin(ChooserMode::open, dir.path);
    chooser_text("b", 1000);
    EXPECT_EQ(selected_name(), "banana.mid");
    chooser_text("e", 1200);
    EXPECT_EQ(selected_name(), "berry.mid");
    // After the pause a letter starts a new prefix.
    chooser_text("c", 1200 + CHOOSER_TYPE_AHEAD_MS + 1);
    EXPECT_EQ(selected_name(), "cherry.mid");
    chooser_key(VK_ENTER, true);
    EXPECT_EQ(g_file_chooser.end, ChooserEnd::chosen);
    EXPECT_EQ(std::string(path), dir.file("cherry.mid"));
}

TEST_F(FileChooserTest, KeysScrollTheListAndKeepTheSelectionInView) {
    for (int i = 0; i < 40; i++) {
        char name[32];
        snprintf(name, sizeof name, "s%02d.mid", i);
        touch(name);
    }
    begin(ChooserMode::open, dir.path);
    chooser_key(VK_DOWN, true);
    EXPECT_EQ(g_file_chooser.selected, 0);
    chooser_key(VK_PAGE_DOWN, true);
    EXPECT_EQ(g_file_chooser.selected, CHOOSER_VISIBLE_ROWS);
    EXPECT_EQ(g_file_chooser.top, 1);
    chooser_key(VK_END, true);
    EXPECT_EQ(selected_name(), "s39.mid");
    EXPECT_EQ(g_file_chooser.top, 41 - CHOOSER_VISIBLE_ROWS);
}

TEST_F(FileChooserTest, UnreadableFolderSaysSoAndItsParentIsStillReachable) {
    folder("locked");
    g_headless.unreadable_directory = dir.file("locked");
    begin(ChooserMode::open, dir.path);
    chooser_text("l", 0);
    chooser_key(VK_ENTER, true);
    EXPECT_EQ(g_file_chooser.directory, dir.file("locked"));
    EXPECT_TRUE(g_file_chooser.unreadable);
    EXPECT_EQ(names(), (std::vector<std::string>{".."}));
    EXPECT_EQ(sjis_to_utf8(g_file_chooser.status), "This folder cannot be read.");
    chooser_key(VK_BACKSPACE, true);
    EXPECT_EQ(g_file_chooser.directory, dir.path);
    EXPECT_FALSE(g_file_chooser.unreadable);
    EXPECT_EQ(selected_name(), "locked");
}

TEST_F(FileChooserTest, NamesAreShownInShiftJisButOpenedByTheirRealBytes) {
    std::string japanese = "曲.mid";
    std::string broken = std::string("a\xFF") + "b.mid"; // not UTF-8
    touch(japanese);
    touch(broken);
    begin(ChooserMode::open, dir.path);
    ASSERT_EQ(names(), (std::vector<std::string>{"..", broken, japanese}));
    EXPECT_EQ(g_file_chooser.entries[1].shown, "a?b.mid");
    EXPECT_EQ(g_file_chooser.entries[2].shown, utf8_to_sjis("曲.mid"));
    chooser_select(1);
    chooser_key(VK_ENTER, true);
    ASSERT_EQ(g_file_chooser.end, ChooserEnd::chosen);
    EXPECT_EQ(std::string(path), dir.file(broken));
}

TEST_F(FileChooserTest, CharacterTheFontsLackIsShownAsAMark) {
    // U+00E9 has a Shift-JIS form through transliteration or none at all; either way the
    // text drawn has a glyph for every character.
    std::string shown = chooser_display_name("caf\xC3\xA9\xF0\x9F\x8E\xB5.mid");
    EXPECT_EQ(shown.substr(0, 3), "caf");
    EXPECT_NE(shown.find('?'), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 4), ".mid");
}

TEST_F(FileChooserTest, PathLongerThanTheCallersBufferIsRefusedNotCut) {
    touch("a_rather_long_song_name.mid");
    size_t fits_folder_only = dir.path.size() + 8;
    begin(ChooserMode::open, dir.path, SONG_FILTERS, 2, fits_folder_only);
    chooser_text("a", 0);
    chooser_key(VK_ENTER, true);
    EXPECT_EQ(g_file_chooser.end, ChooserEnd::running);
    EXPECT_STREQ(path, "untouched");
    EXPECT_EQ(sjis_to_utf8(g_file_chooser.status), "The path is too long.");
}

TEST_F(FileChooserTest, SavingAddsTheDefaultExtensionToANameWithoutOne) {
    begin(ChooserMode::save, dir.path);
    chooser_text("new song", 0);
    chooser_key(VK_ENTER, true);
    ASSERT_EQ(g_file_chooser.end, ChooserEnd::chosen);
    EXPECT_EQ(std::string(path), dir.file("new song.MID"));
    EXPECT_TRUE(g_headless.questions.empty());
}

TEST_F(FileChooserTest, OverwriteIsAskedOnceAndNoKeepsTheChooserOpen) {
    touch("tune.mid", "old");
    begin(ChooserMode::save, dir.file("tune.mid"));
    EXPECT_EQ(g_file_chooser.name, "tune.mid");
    g_headless.answers = {false};
    chooser_key(VK_ENTER, true);
    EXPECT_EQ(g_file_chooser.end, ChooserEnd::running);
    EXPECT_STREQ(path, "untouched");
    EXPECT_EQ(g_headless.questions.size(), 1u);
    // Yes: chosen, and the writer's own question that follows is not asked again.
    g_headless.answers = {true};
    chooser_key(VK_ENTER, true);
    ASSERT_EQ(g_file_chooser.end, ChooserEnd::chosen);
    EXPECT_EQ(g_headless.questions.size(), 2u);
    EXPECT_TRUE(overwrite_confirm(path));
    EXPECT_EQ(g_headless.questions.size(), 2u);
    // Only once: a later save of the same path asks again.
    g_headless.answers = {false};
    EXPECT_FALSE(overwrite_confirm(path));
    EXPECT_EQ(g_headless.questions.size(), 3u);
    EXPECT_EQ(read_file_bytes(dir.file("tune.mid")).size(), 3u);
}

TEST_F(FileChooserTest, CancelChangesNothing) {
    touch("a.mid");
    begin(ChooserMode::open, dir.path);
    chooser_key(VK_DOWN, true);
    chooser_key(0x1B, true);
    EXPECT_EQ(g_file_chooser.end, ChooserEnd::cancelled);
    EXPECT_STREQ(path, "untouched");
    EXPECT_TRUE(g_file_chooser.last_directory.empty());
}

TEST_F(FileChooserTest, TheFolderLastChosenInIsWhereTheNextChooserStarts) {
    folder("songs");
    touch("songs/x.mid");
    begin(ChooserMode::open, dir.path);
    chooser_text("s", 0);
    chooser_key(VK_ENTER, true);
    chooser_text("x", 0);
    chooser_key(VK_ENTER, true);
    ASSERT_EQ(g_file_chooser.end, ChooserEnd::chosen);
    begin(ChooserMode::save, "proposal.MID");
    EXPECT_EQ(g_file_chooser.directory, dir.file("songs"));
    EXPECT_EQ(g_file_chooser.name, "proposal.MID");
}

TEST_F(FileChooserTest, SavingNameFieldTakesTypedTextAndBackspace) {
    touch("alpha.mid");
    begin(ChooserMode::save, dir.path);
    chooser_text("alx", 0);
    chooser_key(VK_BACKSPACE, true);
    EXPECT_EQ(g_file_chooser.name, "al");
    EXPECT_EQ(selected_name(), "alpha.mid"); // the list follows the typed name
    chooser_key(VK_BACKSPACE, true);
    chooser_key(VK_BACKSPACE, true);
    EXPECT_EQ(g_file_chooser.name, "");
    // With the field empty Backspace goes to the parent folder.
    chooser_key(VK_BACKSPACE, true);
    EXPECT_EQ(g_file_chooser.directory, dir.path.substr(0, dir.path.rfind('/')));
}

TEST_F(FileChooserTest, TypingReplacesTheProposedNameAndAPickedOne) {
    touch("old.mid");
    begin(ChooserMode::save, dir.file("Song.MID"));
    chooser_text("n", 0);
    chooser_text("ew", 0);
    EXPECT_EQ(g_file_chooser.name, "new");
    chooser_select(1);
    EXPECT_EQ(g_file_chooser.name, "old.mid");
    chooser_key(VK_BACKSPACE, true);
    EXPECT_EQ(g_file_chooser.name, "");
}

// The first picture point whose hit is the one asked for (the layout stays the view's own).
bool point_of(ChooserHitKind kind, int index, int& x, int& y) {
    for (y = CHOOSER_Y; y < CHOOSER_Y + CHOOSER_HEIGHT; y++) {
        for (x = CHOOSER_X; x < CHOOSER_X + CHOOSER_WIDTH; x++) {
            ChooserHit hit = chooser_hit(x, y);
            if (hit.kind == kind && hit.index == index) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(FileChooserTest, ClickSelectsASecondClickOpensAndTheScrollBarScrolls) {
    folder("inner");
    for (int i = 0; i < 50; i++) {
        touch("t" + std::to_string(10 + i) + ".mid");
    }
    begin(ChooserMode::open, dir.path);
    int x = 0, y = 0;
    ASSERT_TRUE(point_of(ChooserHitKind::scroll_down, 0, x, y));
    chooser_click(x, y);
    EXPECT_EQ(g_file_chooser.top, 1);
    ASSERT_TRUE(point_of(ChooserHitKind::page_down, 0, x, y));
    chooser_click(x, y);
    EXPECT_EQ(g_file_chooser.top, 1 + CHOOSER_VISIBLE_ROWS);
    ASSERT_TRUE(point_of(ChooserHitKind::scroll_up, 0, x, y));
    for (int i = 0; i < 40; i++) {
        chooser_click(x, y);
    }
    EXPECT_EQ(g_file_chooser.top, 0);
    ASSERT_TRUE(point_of(ChooserHitKind::entry, 1, x, y));
    chooser_click(x, y);
    EXPECT_EQ(selected_name(), "inner");
    EXPECT_EQ(g_file_chooser.directory, dir.path);
    chooser_click(x, y);
    EXPECT_EQ(g_file_chooser.directory, dir.file("inner"));
}

TEST_F(FileChooserTest, ButtonsReachTheParentHomeAndProgramFolders) {
    folder("inner");
    g_headless.program_directory = dir.path;
    begin(ChooserMode::open, dir.file("inner"));
    int x = 0, y = 0;
    ASSERT_TRUE(point_of(ChooserHitKind::button, static_cast<int>(ChooserButton::parent), x, y));
    chooser_click(x, y);
    EXPECT_EQ(g_file_chooser.directory, dir.path);
    const char* home = getenv("HOME");
    ASSERT_TRUE(point_of(ChooserHitKind::button, static_cast<int>(ChooserButton::home), x, y));
    chooser_click(x, y);
    if (home != nullptr && std::filesystem::is_directory(home)) {
        EXPECT_EQ(g_file_chooser.directory,
                  std::filesystem::path(home).lexically_normal().string());
    }
    ASSERT_TRUE(point_of(ChooserHitKind::button, static_cast<int>(ChooserButton::program), x, y));
    chooser_click(x, y);
    EXPECT_EQ(g_file_chooser.directory, dir.path);
    ASSERT_TRUE(point_of(ChooserHitKind::button, static_cast<int>(ChooserButton::cancel), x, y));
    chooser_click(x, y);
    EXPECT_EQ(g_file_chooser.end, ChooserEnd::cancelled);
}

} // namespace
