// The headless backend: scripted answers, recorded texts and injected file faults.
#include "platform/headless/headless.h"
#include "platform/network.h"
#include "platform/platform.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(platform_select("headless"));
        headless_backend_reset();
    }
};

TEST_F(HeadlessTest, QuestionsTakeQueuedAnswersThenTheDefault) {
    g_headless.answers = {true, false};
    g_headless.default_answer = true;
    EXPECT_TRUE(platform_ask_ok_cancel("c", "first"));
    EXPECT_FALSE(platform_ask_yes_no("c", "second"));
    EXPECT_TRUE(platform_ask_yes_no("c", "third"));
    ASSERT_EQ(g_headless.questions.size(), 3u);
    EXPECT_EQ(g_headless.questions[1].text, "second");
}

TEST_F(HeadlessTest, FileDialogsReturnQueuedPathsAndCancelWhenEmpty) {
    g_headless.dialog_paths = {"/tmp/a.mid", ""};
    FileDialogRequest request{nullptr, 0, "MID", "proposal"};
    char path[8];
    EXPECT_TRUE(platform_save_file_dialog(request, path, sizeof path));
    EXPECT_STREQ(path, "/tmp/a."); // cut to the buffer
    EXPECT_FALSE(platform_open_file_dialog(request, path, sizeof path));
    EXPECT_FALSE(platform_open_file_dialog(request, path, sizeof path));
    EXPECT_EQ(g_headless.dialog_proposals.front(), "proposal");
}

TEST_F(HeadlessTest, WriteFaultCutsTheWriteShortAndCloseFaultFailsOnce) {
    TempDir dir;
    PlatformFile* f = platform_file_open(dir.file("x").c_str(), FileMode::write);
    ASSERT_NE(f, nullptr);
    g_headless.fail_write_after = 3;
    EXPECT_EQ(platform_file_write(f, "abcdef", 6), 3u);
    EXPECT_EQ(platform_file_write(f, "gh", 2), 0u);
    g_headless.fail_next_write_close = true;
    EXPECT_FALSE(platform_file_close(f));
    EXPECT_EQ(read_file_bytes(dir.file("x")).size(), 3u);
    f = platform_file_open(dir.file("x").c_str(), FileMode::read);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(platform_file_close(f));
    g_headless.fail_next_read_close = true;
    f = platform_file_open(dir.file("x").c_str(), FileMode::read);
    EXPECT_FALSE(platform_file_close(f));
}

TEST_F(HeadlessTest, FilesBesideATargetAreRenamedOverIt) {
    TempDir dir;
    write_file_bytes(dir.file("song.mid"), {1, 2, 3});
    char temp[300];
    PlatformFile* f = platform_file_create_beside(dir.file("song.mid").c_str(), temp, sizeof temp);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(strncmp(temp, dir.file("song.mid.").c_str(), dir.file("song.mid.").size()), 0);
    EXPECT_EQ(platform_file_write(f, "\x09", 1), 1u);
    EXPECT_TRUE(platform_file_close(f));
    EXPECT_TRUE(platform_file_rename(temp, dir.file("song.mid").c_str()));
    EXPECT_EQ(read_file_bytes(dir.file("song.mid")), std::vector<unsigned char>{9});
    EXPECT_FALSE(platform_file_exists(temp));
    EXPECT_FALSE(platform_file_exists(dir.path.c_str())); // a directory is not a file
}

TEST_F(HeadlessTest, PathsShowAsShiftJisText) {
    char out[64];
    platform_path_display_text("/songs/\xe6\x9b\xb2.mid", out, sizeof out); // 曲
    EXPECT_STREQ(out, "/songs/\x8b\xc8.mid");
    platform_path_display_text("/bad/\xff.mid", out, sizeof out);
    EXPECT_STREQ(out, "/bad/?.mid");
    platform_path_display_text("/a/long/path", out, 5);
    EXPECT_STREQ(out, "/a/l");
}

TEST_F(HeadlessTest, DrivenClockAndKeysAreWhatTheTestSets) {
    g_headless.clock_driven = true;
    g_headless.clock_ms = 1234;
    EXPECT_EQ(platform_tick_ms(), 1234u);
    g_headless.keys_down[0x10] = true;
    EXPECT_TRUE(platform_key_down(0x10));
    EXPECT_FALSE(platform_key_down(0x11));
    EXPECT_FALSE(platform_key_down(999));
}

TEST_F(HeadlessTest, ClipboardProgramsAndDocumentsAreRecorded) {
    EXPECT_TRUE(platform_clipboard_put_text("--B:M\r\nAA=="));
    EXPECT_EQ(g_headless.clipboard, "--B:M\r\nAA==");
    g_headless.clipboard_available = false;
    EXPECT_FALSE(platform_clipboard_put_text("other"));
    EXPECT_EQ(g_headless.clipboard, "--B:M\r\nAA==");
    EXPECT_EQ(g_headless.clipboard_puts, 1);

    EXPECT_TRUE(platform_start_program("/opt/kit/tonepost", "/tmp/a.MLD"));
    ASSERT_EQ(g_headless.started_programs.size(), 1u);
    EXPECT_EQ(g_headless.started_programs[0].first, "/opt/kit/tonepost");
    EXPECT_EQ(g_headless.started_programs[0].second, "/tmp/a.MLD");
    EXPECT_TRUE(platform_open_document("http://product.test/"));
    EXPECT_EQ(g_headless.opened_documents, std::vector<std::string>{"http://product.test/"});
}

TEST_F(HeadlessTest, TerminalBackendIsBuiltIn) {
    // The ALSA MIDI ports follow when the build found their library.
    std::string built = platform_built_backends();
    EXPECT_EQ(built.rfind("headless terminal", 0), 0u) << built;
#ifdef ZB_WITH_SDL
    EXPECT_NE(built.find(" sdl"), std::string::npos) << built;
#endif
#ifdef ZB_WITH_ALSA
    EXPECT_NE(built.find(" alsa-midi"), std::string::npos) << built;
#endif
    EXPECT_TRUE(platform_select("terminal"));
    EXPECT_STREQ(platform_backend_name(), "terminal");
    EXPECT_TRUE(platform_network_available());
    EXPECT_TRUE(platform_select("headless"));
    EXPECT_FALSE(platform_select("nonesuch"));
}

namespace {

void collect_entry(void* context, const char* name, bool is_directory) {
    static_cast<std::vector<std::string>*>(context)->push_back(std::string(name) +
                                                               (is_directory ? "/" : ""));
}

bool handler_called = false;
bool handler_answer(const FileDialogRequest&, char* path, size_t path_size) {
    handler_called = true;
    snprintf(path, path_size, "%s", "/chosen.mid");
    return true;
}

} // namespace

TEST_F(HeadlessTest, DirectoryListingNamesFilesAndFoldersButNotDotEntries) {
    TempDir dir;
    write_file_bytes(dir.file("a.mid"), {1});
    ASSERT_EQ(mkdir(dir.file("sub").c_str(), 0755), 0);
    ASSERT_EQ(symlink(dir.file("sub").c_str(), dir.file("link").c_str()), 0);
    std::vector<std::string> names;
    ASSERT_TRUE(platform_list_directory(dir.path.c_str(), collect_entry, &names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.mid", "link/", "sub/"}));
    EXPECT_TRUE(platform_directory_exists(dir.file("sub").c_str()));
    EXPECT_FALSE(platform_directory_exists(dir.file("a.mid").c_str()));
    names.clear();
    EXPECT_FALSE(platform_list_directory(dir.file("none").c_str(), collect_entry, &names));
    g_headless.unreadable_directory = dir.path;
    EXPECT_FALSE(platform_list_directory(dir.path.c_str(), collect_entry, &names));
    EXPECT_TRUE(names.empty());
}

TEST_F(HeadlessTest, RegisteredDialogRunsOnlyWhenNoAnswerIsQueued) {
    handler_called = false;
    platform_set_dialog_handlers(DialogHandlers{handler_answer, handler_answer});
    FileDialogRequest request{nullptr, 0, "MID", ""};
    char path[64];
    g_headless.dialog_paths = {"/queued.mid"};
    EXPECT_TRUE(platform_open_file_dialog(request, path, sizeof path));
    EXPECT_STREQ(path, "/queued.mid");
    EXPECT_FALSE(handler_called);
    EXPECT_TRUE(platform_save_file_dialog(request, path, sizeof path));
    EXPECT_STREQ(path, "/chosen.mid");
    EXPECT_TRUE(handler_called);
    platform_set_dialog_handlers(DialogHandlers{});
    EXPECT_FALSE(platform_open_file_dialog(request, path, sizeof path));
}
