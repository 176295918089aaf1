// Start for the tests of the immediate actions and the command panels: a started shell with
// the edit commands at their defaults and the shell's hooks in them.
#pragma once
#include "common/text_sjis.h"
#include "sequencer/edit/edit.h"
#include "sequencer/shell/immediate_actions.h"
#include "sequencer/shell/menu_commands.h"
#include "sequencer/shell/panel_commands.h"
#include "tests/shell/shell_fixture.h"

#include <string>

class CommandFixture : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        start();
        edit_reset();
        edit_hooks_install();
        immediate_actions_reset();
    }
    void TearDown() override {
        immediate_actions_finish();
        ShellFixture::TearDown();
    }
    // A song of time base 480 in 4/4 whose track 1 ends after `measures` measures, followed
    // by the given tracks.
    void load_song(int measures, const std::vector<Bytes>& tracks,
                   const std::string& name = "song.mid") {
        std::vector<Bytes> all = {concat({tempo_event(0, 500000), time_signature(0, 4, 2),
                                          end_of_track(static_cast<uint32_t>(measures) * 1920)})};
        all.insert(all.end(), tracks.begin(), tracks.end());
        ASSERT_EQ(load_bytes(smf_file(1, 480, all), name), SongLoadResult::loaded);
    }
    static std::string sjis(const char* utf8) { return utf8_to_sjis(utf8); }
};

inline Bytes note_on(uint32_t delta, uint8_t note, uint8_t channel = 0) {
    return ev(delta, {static_cast<uint8_t>(0x90 | channel), note, 100});
}
inline Bytes note_end(uint32_t delta, uint8_t note, uint8_t channel = 0) {
    return ev(delta, {static_cast<uint8_t>(0x90 | channel), note, 0});
}
