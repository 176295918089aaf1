// The open and save choosers as drawn, in English and Japanese, compared with their reference
// pictures in tests/data/screens/chooser (ZB_UPDATE_SCREENS=1 writes them anew; look at each
// before committing). The folder has a fixed name so the folder line is the same everywhere;
// so that no other test process removes it while a picture is drawn, all four are one case.
#include "gui/file_chooser.h"
#include "gui/file_chooser_view.h"
#include "platform/headless/headless.h"
#include "platform/picture.h"
#include "tests/support/png_read.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const FOLDER = "/tmp/zb47-chooser-pictures";

class FileChooserPicture : public ::testing::Test {
protected:
    TempDir shots;
    void SetUp() override {
        ASSERT_TRUE(platform_select("headless"));
        headless_reset();
        file_chooser_reset();
        std::error_code error;
        std::filesystem::remove_all(FOLDER, error);
        if (!std::filesystem::create_directories(std::string(FOLDER) + "/Alpha", error)) {
            GTEST_SKIP() << "cannot make " << FOLDER;
        }
        for (const char* name : {"song.mid", "Tune.MID", "曲名.mid", "b\xFF.mid", "notes.txt"}) {
            std::ofstream(std::string(FOLDER) + "/" + name) << "x";
        }
    }
    void TearDown() override {
        std::error_code error;
        std::filesystem::remove_all(FOLDER, error);
    }
    void expect_picture(ChooserMode mode, UiLanguage language, const char* proposal,
                        const std::string& reference) {
        SCOPED_TRACE(reference);
        headless_reset();
        file_chooser_reset();
        g_headless.language = language;
        static const FileDialogFilter filters[2] = {{"MID Files (*.MID)", "*.mid"},
                                                    {"All Files (*.*)", "*.*"}};
        FileDialogRequest request{filters, 2, "MID", proposal};
        char path[4096];
        chooser_begin(mode, request, path, sizeof path);
        if (mode == ChooserMode::open) {
            chooser_select(3);
        }
        std::vector<uint32_t> pixels(PICTURE_WIDTH * PICTURE_HEIGHT, 0);
        chooser_draw(Canvas{pixels.data(), PICTURE_WIDTH, PICTURE_HEIGHT});
        std::string shot = shots.file(reference);
        ASSERT_TRUE(picture_write_png(shot.c_str(), pixels.data(), PICTURE_WIDTH, PICTURE_HEIGHT));
        std::string reference_path = test_data_dir() + "/screens/chooser/" + reference;
        if (getenv("ZB_UPDATE_SCREENS")) {
            std::filesystem::create_directories(test_data_dir() + "/screens/chooser");
            write_file_bytes(reference_path, read_file_bytes(shot));
            return;
        }
        std::vector<uint32_t> expected;
        int width = 0, height = 0;
        ASSERT_TRUE(png_read_pixels(reference_path.c_str(), expected, width, height))
            << reference_path;
        EXPECT_TRUE(pixels == expected) << reference << " differs; the picture is in " << shot;
    }
};

TEST_F(FileChooserPicture, OpenAndSaveInEnglishAndJapanese) {
    const char* const proposal = "/tmp/zb47-chooser-pictures/new.MID";
    expect_picture(ChooserMode::open, UiLanguage::english, FOLDER, "open_en.png");
    expect_picture(ChooserMode::save, UiLanguage::english, proposal, "save_en.png");
    expect_picture(ChooserMode::open, UiLanguage::japanese, FOLDER, "open_ja.png");
    expect_picture(ChooserMode::save, UiLanguage::japanese, proposal, "save_ja.png");
}

} // namespace
