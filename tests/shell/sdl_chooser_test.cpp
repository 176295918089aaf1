// The whole program through the SDL backend on SDL's offscreen video driver: a second thread
// pushes the events a person would cause (keys, typed text, clicks) into SDL's queue, File
// Write saves the song under a name typed in the save chooser and File Read loads it back by
// choosing it in the open chooser. Skipped where the offscreen driver cannot open a window.
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

TEST(SdlChooser, FileWriteAndFileReadThroughTheSdlWindow) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("LC_ALL", "C", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        GTEST_SKIP() << "no offscreen video driver: " << SDL_GetError();
    }
    SDL_Quit();
    TempDir dir;
    Bytes song = smf_file(0, 480,
                          {concat({meta_text(0, 0x03, "Sdl Tune"), ev(0, {0x90, 60, 100}),
                                   ev(480, {0x80, 60, 0}), end_of_track(1920 * 30)})});
    write_file_bytes(dir.file("tune.mid"), song);
    std::filesystem::path kept = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);

    std::atomic<bool> saved{false};
    std::string copy = dir.file("copy.MID");
    // What a person does; every way out of it ends with the window's quit.
    auto person_steps = [&] {
        // The song named on the command line plays once the program has started; stop it.
        if (!wait_for([] { return transport_mode() == 1; })) {
            return;
        }
        push_key(SDL_SCANCODE_SPACE);
        if (!wait_for([] { return transport_mode() == 0; })) {
            return;
        }
        push_click(78, 320); // the file page
        row_click('K');      // File Write
        if (wait_for([] { return modal_active(); })) {
            push_text("copy");
            push_key(SDL_SCANCODE_RETURN);
        }
        saved = wait_for([&] { return !modal_active() && std::filesystem::exists(copy); });
        row_click('A');       // the bank list
        push_click(400, 105); // bank 2, empty
        row_click('M');       // File Read
        if (wait_for([] { return modal_active(); })) {
            push_text("co");
            push_key(SDL_SCANCODE_RETURN);
        }
        wait_for([] { return !modal_active(); });
        std::this_thread::sleep_for(200ms);
    };
    std::thread person([&] {
        person_steps();
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    std::string song_path = dir.file("tune.mid");
    std::vector<std::string> args = {"zb47", "--scale", "1", song_path};
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    int status = zb47_main(static_cast<int>(argv.size()), argv.data());
    person.join();
    std::filesystem::current_path(kept);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(saved);
    EXPECT_EQ(read_file_bytes(copy), song);
    // The file read went into bank 2, which now holds the copy.
    ASSERT_EQ(g_song.current_bank, 1);
    EXPECT_EQ(std::string(g_song.slots[1].song_path), copy);
}

} // namespace
