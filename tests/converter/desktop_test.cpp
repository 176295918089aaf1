// melconv on the desktop, run headless with a script: the options dialog at a start without
// a file, its store and convert buttons, the chooser convert opens, message boxes, and the
// dialog's pictures in both languages.
#include "common/profile.h"
#include "converter/converter.h"
#include "converter/converter_cli.h"
#include "converter/converter_desktop.h"
#include "gui/dialog_run.h"
#include "tests/converter/converter_fixture.h"
#include "tests/support/png_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class MelconvDesktop : public ConverterFixture {
protected:
    void SetUp() override {
        ConverterFixture::SetUp();
        g_headless.program_directory = dir.path;
    }
    // Runs melconv_run headless in its window with the script; the exit status.
    int run(const std::string& script, std::vector<std::string> args = {}) {
        std::ofstream(dir.file("script.txt")) << script;
        std::vector<std::string> all = {"melconv",          "--headless",           "--gui",
                                        "--script",         dir.file("script.txt"), "--log",
                                        dir.file("log.txt")};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& a : all) {
            argv.push_back(a.data());
        }
        return melconv_run(static_cast<int>(argv.size()), argv.data());
    }
    std::string log() const {
        std::ifstream in(dir.file("log.txt"));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // A click on the centre of the options dialog's control with this id.
    static std::string click(int id, bool japanese = false) {
        const DialogTemplate& dialog = options_dialog_template(japanese);
        for (int i = 0; i < dialog.control_count; i++) {
            if (dialog.controls[i].id == id) {
                PixelRect r = dialog_control_rect(dialog, i);
                return "click " + std::to_string((r.x1 + r.x2) / 2) + " " +
                       std::to_string((r.y1 + r.y2) / 2) + "\nwait 20\n";
            }
        }
        ADD_FAILURE() << "no control " << id;
        return "";
    }
};

TEST_F(MelconvDesktop, StoreWritesTheChosenOptionsAndKeepsTheDialogOpen) {
    std::string script = "wait 40\n" + click(OPTION_SEPARATION) + click(OPTION_AUTOCUT_UP) +
                         click(OPTION_AUTOCUT_UP) + click(OPTION_TONESHIFT_DOWN) +
                         click(OPTION_MODEL_MMF) + click(OPTION_STORE) +
                         // Still open after store: this click changes the dialog, not the file.
                         click(OPTION_PAN);
    EXPECT_EQ(run(script), 1); // no file was converted
    ASSERT_EQ(profile_load(dir.file("MELCONV.INI").c_str(), 1), 1);
    EXPECT_EQ(profile_get_int("OP", "separation", -1), 1);
    EXPECT_EQ(profile_get_int("OP", "autocut", -1), 302);
    EXPECT_EQ(profile_get_int("OP", "toneshift", -99), -1);
    EXPECT_EQ(profile_get_int("OP", "model", -1), 2);
    EXPECT_EQ(profile_get_int("OP", "pan", -1), 1);
    EXPECT_EQ(profile_get_int("MMF", "pmmf", -1), 170);
    profile_free();
    // The dialog stayed open: the PAN click after the store reached it.
    EXPECT_EQ(g_options.pan, 1);
}

TEST_F(MelconvDesktop, ClosingTheDialogKeepsTheControlsUnread) {
    std::string script = "wait 40\n" + click(OPTION_SEPARATION) + "close\n";
    EXPECT_EQ(run(script), 1);
    EXPECT_EQ(g_options.separation, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("MELCONV.INI")));
}

// Id 2 is the store button in this dialog, so Esc must close it rather than press store.
TEST_F(MelconvDesktop, EscClosesTheDialogWithoutStoring) {
    std::string script = "wait 40\n" + click(OPTION_SEPARATION) + "key Esc\nwait 20\n";
    EXPECT_EQ(run(script), 1);
    EXPECT_EQ(g_options.separation, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("MELCONV.INI")));
}

TEST_F(MelconvDesktop, NoFileOpensTheDialogConvertOpensTheChooserAndCancelWritesNothing) {
    write_file_bytes(
        dir.file("song.mid"),
        smf_file(0, 480,
                 {concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track(0)})}));
    std::string script = "wait 40\n" + click(OPTION_CONVERT) + "key Esc\nwait 20\n";
    EXPECT_EQ(run(script), 1);
    // The open chooser was asked for the input file ("*.MID" is its proposal) and cancelled.
    ASSERT_EQ(g_headless.dialog_proposals.size(), 1u);
    EXPECT_EQ(g_headless.dialog_proposals[0], "*.MID");
    EXPECT_STREQ(g_converter.input_path, "");
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
        files.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"log.txt", "script.txt", "song.mid"}));
}

TEST_F(MelconvDesktop, ConvertChoosesTheFileInTheChooserAndConvertsIt) {
    write_file_bytes(
        dir.file("song.mid"),
        smf_file(0, 480,
                 {concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track(0)})}));
    std::filesystem::path kept = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    std::string script = "wait 40\n" + click(OPTION_MODEL_PMD) + click(OPTION_CONVERT) +
                         "text s\nkey Enter\nwait 20\n";
    int status = run(script, {"--no-v1"});
    std::filesystem::current_path(kept);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(exists("song.PMD"));
}

TEST_F(MelconvDesktop, MessagesAreShownAsBoxesInTheWindowsRun) {
    write_file_bytes(dir.file("bad.mmf"), bytes_of("not a ringtone at all"));
    EXPECT_EQ(run("wait 40\n", {dir.file("bad.mmf")}), 1);
    EXPECT_NE(log().find("message: ["), std::string::npos) << log();
}

// The options dialog in each language, compared with its reference picture.
void expect_picture(const std::string& shot, const std::string& reference) {
    std::string reference_path = test_data_dir() + "/screens/" + reference;
    std::vector<uint32_t> actual, expected;
    int width = 0, height = 0, ref_width = 0, ref_height = 0;
    ASSERT_TRUE(png_read_pixels(shot.c_str(), actual, width, height)) << shot;
    if (getenv("ZB_UPDATE_SCREENS")) {
        write_file_bytes(reference_path, read_file_bytes(shot));
        return;
    }
    ASSERT_TRUE(png_read_pixels(reference_path.c_str(), expected, ref_width, ref_height))
        << reference_path;
    ASSERT_EQ(width, ref_width);
    ASSERT_EQ(height, ref_height);
    EXPECT_TRUE(actual == expected) << shot << " differs from " << reference;
}

TEST_F(MelconvDesktop, OptionsDialogInEnglishMatchesItsReference) {
    EXPECT_EQ(run("wait 40\nscreenshot " + dir.file("options.png") + "\n"), 1);
    expect_picture(dir.file("options.png"), "melconv/options_en.png");
}

TEST_F(MelconvDesktop, OptionsDialogInJapaneseMatchesItsReference) {
    g_headless.language = UiLanguage::japanese;
    EXPECT_EQ(run("wait 40\nscreenshot " + dir.file("options.png") + "\n"), 1);
    expect_picture(dir.file("options.png"), "melconv/options_ja.png");
}

} // namespace
