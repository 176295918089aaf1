// Runs of the zb47 program, headless and driven by a script (with builders for its clicks),
// checked by their screenshots against committed references and by their log. Set
// ZB_UPDATE_SCREENS=1 to write the references anew (then look at every one before committing it).
#pragma once
#include "tests/support/png_read.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::string read_text(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Script lines: a click at a picture point and the wait after it.
inline std::string click_at(int x, int y, int wait_ms = 40) {
    return "click " + std::to_string(x) + " " + std::to_string(y) + "\nwait " +
           std::to_string(wait_ms) + "\n";
}
// A menu page's tab, and a row of the menu by its letter.
inline std::string tab_click(int page) {
    return click_at(30 + 48 * page, 320);
}
inline std::string row_click(char letter) {
    return click_at(150, 88 + 16 * (letter - 'A'), 60);
}
// Button b of a parameter panel: 1..8 under the upper fields, 9..16 under the lower ones
// (odd up, even down), pressed `times` times.
inline std::string panel_button(int b, int times = 1) {
    std::string text;
    for (int i = 0; i < times; i++) {
        text += click_at(328 + 32 * ((b - 1) % 8) + 12, b <= 8 ? 150 : 280);
    }
    return text;
}

class Zb47Run : public ::testing::Test {
protected:
    TempDir dir;
    // Runs zb47 headless with the script (and song) in the given locale; the exit status.
    int run(const std::string& script, const std::string& locale, const std::string& song = "") {
        std::ofstream(dir.file("script.txt")) << script;
        std::string command = "cd '" + dir.path + "' && LC_ALL=" + locale + " LANG=" + locale +
                              " '" ZB47_PROGRAM "' --headless --dir '" + dir.path +
                              "' --script script.txt --log log.txt";
        if (!song.empty()) {
            command += " '" + song + "'";
        }
        command += " 2>stderr.txt";
        int status = system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string log() const { return read_text(dir.file("log.txt")); }
    // Compares a screenshot with its reference in tests/data/screens.
    void expect_same_as_reference(const std::string& shot, const std::string& reference) {
        std::string reference_path = test_data_dir() + "/screens/" + reference;
        std::vector<uint32_t> actual, expected;
        int width = 0, height = 0, ref_width = 0, ref_height = 0;
        ASSERT_TRUE(png_read_pixels(dir.file(shot).c_str(), actual, width, height)) << shot;
        if (getenv("ZB_UPDATE_SCREENS")) {
            std::string folder = reference_path.substr(0, reference_path.rfind('/'));
            EXPECT_EQ(system(("mkdir -p '" + folder + "'").c_str()), 0);
            write_file_bytes(reference_path, read_file_bytes(dir.file(shot)));
            return;
        }
        ASSERT_TRUE(png_read_pixels(reference_path.c_str(), expected, ref_width, ref_height))
            << reference_path;
        ASSERT_EQ(width, ref_width);
        ASSERT_EQ(height, ref_height);
        int differing = 0;
        int first = -1;
        for (size_t i = 0; i < actual.size(); i++) {
            if (actual[i] != expected[i]) {
                differing++;
                first = first < 0 ? static_cast<int>(i) : first;
            }
        }
        if (differing > 0) {
            std::string kept = "/tmp/zb47-actual-" + reference.substr(reference.rfind('/') + 1);
            write_file_bytes(kept, read_file_bytes(dir.file(shot)));
            ADD_FAILURE() << differing << " pixels differ from " << reference << ", first at ("
                          << first % width << ", " << first / width << "); the picture is in "
                          << kept;
        }
    }
};
