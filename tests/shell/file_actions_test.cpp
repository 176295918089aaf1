// The file page's immediate actions: the converter start in each state of the song, quick
// save, save and load through the dialogs, and the cursor going back to row A.
#include "tests/shell/command_fixture.h"

#include "sequencer/engine/transport.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"

#include <filesystem>

namespace {

class FileActions : public CommandFixture {
protected:
    void SetUp() override {
        CommandFixture::SetUp();
        fresh();
    }
    // The song loaded again from song.mid, nothing asked or opened yet.
    void fresh() {
        load_song(2, {concat({note_on(0, 60), note_end(480, 60), end_of_track(0)})});
        g_headless.dialog_proposals.clear();
        g_headless.dialog_paths.clear();
        g_headless.opened_documents.clear();
        g_headless.answers.clear();
    }
    // Runs a row of page 1 with its cursor on it; the cursor must go back to row A.
    void run_row(MenuCommand command) {
        g_menu.menu_cursor[1] = static_cast<uint8_t>(menu_command_row(command));
        EXPECT_TRUE(immediate_action_run(menu_command_key(command)));
        EXPECT_EQ(g_menu.menu_cursor[1], 0);
    }
    void modify() { g_song.song_modified_mask |= 1u << g_song.current_bank; }
    bool modified() const { return (g_song.song_modified_mask & 1u) != 0; }
    const SongSlot& slot() const { return g_song.slots[g_song.current_bank]; }
    void forget_path() {
        g_song.slots[0].song_has_path = false;
        g_song.slots[0].song_path[0] = '\0';
    }
    using Started = std::vector<std::pair<std::string, std::string>>;
    void expect_file_not_found(bool japanese) {
        ASSERT_EQ(g_headless.messages.size(), 1u);
        EXPECT_EQ(g_headless.messages[0].text,
                  japanese ? sjis("ファイルがありません。") : "File not found.");
        EXPECT_EQ(g_headless.messages[0].caption, japanese ? sjis("確認") : "CONFIRM");
    }
};

TEST_F(FileActions, ConverterIsLookedForBesideTheProgram) {
    struct Case {
        const char* present; // file put beside the program, or none
        std::string program;
    };
    const Case cases[] = {{nullptr, "MELCONV.EXE"},
                          {"MELCONV.EXE", dir.file("MELCONV.EXE")},
                          {"melconv", dir.file("melconv")}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.program);
        if (k.present != nullptr) {
            write_file_bytes(dir.file(k.present), {0});
        }
        g_headless.started_programs.clear();

        run_row(MenuCommand::song_to_ringtone);

        EXPECT_EQ(g_headless.started_programs, (Started{{k.program, dir.file("song.mid")}}));
        EXPECT_TRUE(g_headless.messages.empty());
        EXPECT_TRUE(g_headless.dialog_proposals.empty());
    }
}

TEST_F(FileActions, ConverterAfterSavingAnUnsavedSong) {
    forget_path();
    modify();
    g_headless.dialog_paths.push_back(dir.file("tone.mid"));

    run_row(MenuCommand::song_to_ringtone);

    EXPECT_EQ(g_headless.dialog_proposals.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir.file("tone.mid")));
    EXPECT_FALSE(modified());
    EXPECT_EQ(g_headless.started_programs, (Started{{"MELCONV.EXE", dir.file("tone.mid")}}));
}

TEST_F(FileActions, ConverterDoesNothingWithoutAFile) {
    struct Case {
        const char* name;
        bool modified;
    };
    // Never saved; unsaved changes and the dialog cancelled.
    const Case cases[] = {{"never saved", false}, {"dialog cancelled", true}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        forget_path();
        g_song.song_modified_mask = k.modified ? 1u : 0u;
        g_headless.dialog_proposals.clear();

        run_row(MenuCommand::song_to_ringtone);

        EXPECT_EQ(g_headless.dialog_proposals.size(), k.modified ? 1u : 0u);
        EXPECT_TRUE(g_headless.started_programs.empty());
        EXPECT_TRUE(g_headless.messages.empty());
    }
}

TEST_F(FileActions, ConverterFailuresAreReportedAndSpoken) {
    struct Case {
        const char* name;
        bool file_removed;
        int failing_starts;
        bool japanese;
    };
    const Case cases[] = {{"missing file", true, 0, false},
                          {"missing file, Japanese", true, 0, true},
                          {"start fails", false, 1, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        if (k.file_removed) {
            std::filesystem::remove(dir.file("song.mid"));
        } else {
            write_file_bytes(dir.file("song.mid"), {0});
        }
        g_headless.fail_start_programs = k.failing_starts;
        g_headless.messages.clear();
        g_headless.started_programs.clear();
        g_shell.is_japanese = k.japanese;
        g_speech.speech_enabled = true;
        g_speech.last_spoken[0] = '\0';

        run_row(MenuCommand::song_to_ringtone);

        expect_file_not_found(k.japanese);
        EXPECT_EQ(g_headless.clipboard, g_headless.messages[0].text);
        EXPECT_TRUE(g_headless.started_programs.empty());
    }
}

TEST_F(FileActions, ConverterAltStartsWithoutAFile) {
    modify();
    g_menu.alt_variant = 1;

    run_row(MenuCommand::song_to_ringtone);

    EXPECT_TRUE(g_headless.dialog_proposals.empty());
    EXPECT_EQ(g_headless.started_programs, (Started{{"MELCONV.EXE", ""}}));

    g_headless.fail_start_programs = 1;
    run_row(MenuCommand::song_to_ringtone);
    expect_file_not_found(false);
}

TEST_F(FileActions, QuickSave) {
    struct Case {
        const char* name;
        bool modified, has_path, file_there;
        bool written; // the song file is (re)written without a dialog
        bool dialog;  // the save dialog is asked
        bool opened;  // the file is opened with the system afterwards
    };
    const Case cases[] = {
        {"unsaved with a path", true, true, true, true, false, false},
        {"unsaved without a path", true, false, false, true, true, false},
        {"saved, file there", false, true, true, false, false, true},
        {"saved, file gone", false, true, false, true, false, true},
        {"never saved", false, false, false, false, false, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        fresh();
        std::string path = dir.file("song.mid");
        if (!k.has_path) {
            forget_path();
            g_headless.dialog_paths.push_back(path);
        }
        if (!k.file_there) {
            std::filesystem::remove(path);
        }
        g_song.song_modified_mask = k.modified ? 1u : 0u;
        g_headless.answers.push_back(true); // overwrite: yes

        run_row(MenuCommand::over_write);

        EXPECT_EQ(g_headless.dialog_proposals.size(), k.dialog ? 1u : 0u);
        EXPECT_EQ(std::filesystem::exists(path), k.written || k.file_there);
        if (k.written) {
            EXPECT_FALSE(modified());
            EXPECT_TRUE(slot().song_has_path);
        }
        EXPECT_EQ(g_headless.opened_documents,
                  k.opened ? std::vector<std::string>{path} : std::vector<std::string>{});
    }
}

TEST_F(FileActions, FileWriteAsksAndAltOpensTheFile) {
    struct Case {
        const char* name;
        int alt;
        std::string chosen; // "" cancels the dialog
        bool opened;
    };
    const Case cases[] = {{"plain", 0, dir.file("w.mid"), false},
                          {"alt", 1, dir.file("w.mid"), true},
                          {"alt, cancelled", 1, "", false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::filesystem::remove(dir.file("w.mid"));
        g_headless.opened_documents.clear();
        g_headless.dialog_proposals.clear();
        g_headless.dialog_paths.push_back(k.chosen);
        g_menu.alt_variant = k.alt;

        run_row(MenuCommand::file_write);

        EXPECT_EQ(g_headless.dialog_proposals.size(), 1u);
        EXPECT_EQ(std::filesystem::exists(dir.file("w.mid")), !k.chosen.empty());
        EXPECT_EQ(g_headless.opened_documents, k.opened
                                                   ? std::vector<std::string>{dir.file("w.mid")}
                                                   : std::vector<std::string>{});
    }
}

TEST_F(FileActions, FileReadLoadsAndGoesBackToTheStart) {
    write_file_bytes(dir.file("other.mid"),
                     smf_file(1, 96,
                              {concat({tempo_event(0, 500000), end_of_track(96 * 4 * 3)}),
                               concat({note_on(0, 64), note_end(96, 64), end_of_track(0)})}));
    g_song_clock.current_measure = 1;
    g_headless.dialog_paths.push_back(dir.file("other.mid"));

    run_row(MenuCommand::file_read);

    EXPECT_EQ(g_song.time_base, 96);
    EXPECT_STREQ(slot().song_path, dir.file("other.mid").c_str());
    EXPECT_EQ(g_song_clock.current_measure, 0);

    // Cancelled: the song stays.
    run_row(MenuCommand::file_read);
    EXPECT_EQ(g_song.time_base, 96);
}

} // namespace
