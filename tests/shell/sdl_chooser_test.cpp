// The whole program through the SDL backend on SDL's offscreen video driver: a second thread
// pushes the events a person would cause (keys, typed text, clicks) into SDL's queue, File
// Write saves the song under a name typed in the save chooser and File Read loads it back by
// choosing it in the open chooser; the title typed in the title dialog reaches the saved file.
// Skipped where the offscreen driver cannot open a window.
#include "gui/modal.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/window_events.h"
#include "songcore/song_store.h"
#include "tests/support/smf_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>

// SDL's own libraries keep some memory to the end; that is not ours to report.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

using namespace std::chrono_literals;

// Waits (without asserting on time) until the condition holds or a generous limit passes.
bool wait_for(const std::function<bool()>& condition) {
    for (int i = 0; i < 3000; i++) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

void push_key(SDL_Scancode scancode) {
    for (Uint32 type : {SDL_KEYDOWN, SDL_KEYUP}) {
        SDL_Event event{};
        event.type = type;
        event.key.keysym.scancode = scancode;
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&event);
        std::this_thread::sleep_for(60ms);
    }
}

void push_text(const char* utf8) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    snprintf(event.text.text, sizeof event.text.text, "%s", utf8);
    SDL_PushEvent(&event);
    std::this_thread::sleep_for(60ms);
}

void push_click(int x, int y) {
    SDL_Event move{};
    move.type = SDL_MOUSEMOTION;
    move.motion.x = x;
    move.motion.y = y;
    SDL_PushEvent(&move);
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event event{};
        event.type = type;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
        std::this_thread::sleep_for(60ms);
    }
    std::this_thread::sleep_for(60ms);
}

void row_click(char letter) {
    push_click(150, 88 + 16 * (letter - 'A'));
}

bool offscreen_available() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LC_ALL", "C", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return false;
    }
    SDL_Quit();
    return true;
}

// Runs zb47 on the song in `dir` (the working directory meanwhile) while another thread does
// what a person does; every way out of the steps ends with the window's quit. zb47's status.
int run_with_person(const TempDir& dir, const std::string& song_path,
                    const std::function<void()>& person_steps) {
    std::filesystem::path kept = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    std::thread person([&] {
        person_steps();
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    std::vector<std::string> args = {"zb47", "--scale", "1", song_path};
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    int status = zb47_main(static_cast<int>(argv.size()), argv.data());
    person.join();
    std::filesystem::current_path(kept);
    return status;
}

// The song named on the command line plays once the program has started; stop it.
bool song_stopped_by_space() {
    if (!wait_for([] { return transport_mode() == 1; })) {
        return false;
    }
    push_key(SDL_SCANCODE_SPACE);
    return wait_for([] { return transport_mode() == 0; });
}

// File Write into a new name typed in the save chooser; true once the file is there.
bool file_write_as(const char* typed, const std::string& path) {
    row_click('K');
    if (wait_for([] { return modal_active(); })) {
        push_text(typed);
        push_key(SDL_SCANCODE_RETURN);
    }
    return wait_for([&] { return !modal_active() && std::filesystem::exists(path); });
}

// A one-note song named "Sdl Tune", long enough to be playing when the steps begin, written
// as tune.mid in `dir`; its bytes.
Bytes tune_written(const TempDir& dir) {
    Bytes song = smf_file(0, 480,
                          {concat({meta_text(0, 0x03, "Sdl Tune"), ev(0, {0x90, 60, 100}),
                                   ev(480, {0x80, 60, 0}), end_of_track(1920 * 30)})});
    write_file_bytes(dir.file("tune.mid"), song);
    return song;
}

TEST(SdlChooser, FileWriteAndFileReadThroughTheSdlWindow) {
    if (!offscreen_available()) {
        GTEST_SKIP() << "no offscreen video driver: " << SDL_GetError();
    }
    TempDir dir;
    Bytes song = tune_written(dir);
    std::atomic<bool> saved{false};
    std::string copy = dir.file("copy.MID");
    int status = run_with_person(dir, dir.file("tune.mid"), [&] {
        if (!song_stopped_by_space()) {
            return;
        }
        push_click(78, 320); // the file page
        saved = file_write_as("copy", copy);
        row_click('A');       // the bank list
        push_click(400, 105); // bank 2, empty
        row_click('M');       // File Read
        if (wait_for([] { return modal_active(); })) {
            push_text("co");
            push_key(SDL_SCANCODE_RETURN);
        }
        wait_for([] { return !modal_active(); });
        std::this_thread::sleep_for(200ms);
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(saved);
    EXPECT_EQ(read_file_bytes(copy), song);
    // The file read went into bank 2, which now holds the copy.
    ASSERT_EQ(g_song.current_bank, 1);
    EXPECT_EQ(std::string(g_song.slots[1].song_path), copy);
}

TEST(SdlChooser, TitleTypedInTheTitleDialogIsSavedWithTheSong) {
    if (!offscreen_available()) {
        GTEST_SKIP() << "no offscreen video driver: " << SDL_GetError();
    }
    TempDir dir;
    tune_written(dir);
    std::atomic<bool> saved{false};
    std::string titled = dir.file("titled.MID");
    int status = run_with_person(dir, dir.file("tune.mid"), [&] {
        if (!song_stopped_by_space()) {
            return;
        }
        push_click(78, 320); // the file page
        row_click('C');      // the title dialog, its text field holding the title
        if (wait_for([] { return modal_active(); })) {
            push_text(" Two");
            push_key(SDL_SCANCODE_RETURN);
        }
        if (!wait_for([] { return !modal_active(); })) {
            return;
        }
        saved = file_write_as("titled", titled);
    });
    EXPECT_EQ(status, 0);
    ASSERT_TRUE(saved);
    // The first track's name event now carries the typed title, in place of the old one.
    Bytes file = read_file_bytes(titled);
    std::string text(file.begin(), file.end());
    EXPECT_NE(text.find(std::string("\xFF\x03\x0CSdl Tune Two", 15)), std::string::npos);
    EXPECT_EQ(text.find("\x03\x08Sdl Tune"), std::string::npos);
}

} // namespace
