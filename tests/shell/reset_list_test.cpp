// The program's reset list: every record of every layer, changed after a run, is back as the
// list first left it.
#include "tests/shell/shell_fixture.h"

#include "common/deadline.h"
#include "common/messages.h"
#include "common/profile.h"
#include "common/status_line.h"
#include "common/version_check.h"
#include "platform/picture.h"
#include "platform/terminal/terminal.h"
#include "sequencer/edit/edit.h"
#include "sequencer/edit/xf_events.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/engine_hooks.h"
#include "sequencer/engine/last_key.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/midi_input.h"
#include "sequencer/engine/settings.h"
#include "sequencer/engine/transport.h"
#include "sequencer/shell/draw.h"
#include "sequencer/shell/event_list.h"
#include "sequencer/shell/immediate_actions.h"
#include "sequencer/shell/main_fields.h"
#include "sequencer/shell/menu_state.h"
#include "sequencer/shell/panels.h"
#include "sequencer/shell/param_panel.h"
#include "sequencer/shell/speech.h"
#include "sequencer/shell/tick_refresh.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "songcore/track_normalize.h"
#include "tests/support/record_bytes.h"

#include <vector>

namespace {

// Every record whose whole image can be compared, as one list of images.
std::vector<Bytes> plain_records() {
    return {
        record_bytes(g_terminal),
        record_bytes(g_profile),
        record_bytes(g_profile_faults),
        record_bytes(g_status_line),
        record_bytes(g_message_boxes),
        record_bytes(g_deadlines),
        record_bytes(g_version_check),
        record_bytes(g_song),
        Bytes(g_song.arena, g_song.arena + g_song.arena_end),
        record_bytes(g_song_files),
        record_bytes(g_track_rewrite),
        record_bytes(g_event_filter),
        record_bytes(g_song_clock),
        record_bytes(g_player),
        record_bytes(g_midi_devices),
        record_bytes(g_channel_state),
        record_bytes(g_midi_maps),
        record_bytes(g_input),
        record_bytes(g_recorder),
        record_bytes(g_last_key),
        record_bytes(g_settings),
        record_bytes(g_engine_hooks),
        record_bytes(g_edit),
        record_bytes(g_xf_text),
        record_bytes(g_menu_hooks),
        record_bytes(g_param_panel),
        record_bytes(g_list_panels),
        record_bytes(g_event_editor),
        record_bytes(g_tick_refresh),
        record_bytes(g_speech),
    };
}

// The fields of the records holding atomics or containers that the test changes.
struct SharedFields {
    uint32_t picture_first_pixel;
    int transport_mode, play_octave;
    uint32_t queue_written;
    int display_measure;
    int app_state, key_code, cursor_shown;
    int menu_page, record_style;
    int slider_value, last_note;
    int port_device;
    char status_first;
    uint32_t base_colour;
    size_t first_slot_pixels;
    bool version_running;
};

SharedFields shared_fields() {
    return {g_picture.pixels[0],
            transport_mode(),
            g_transport.play_octave,
            g_midi_in_queue.written.load(),
            g_engine_display.measure.load(),
            g_shell.app_state.load(),
            g_shell.key_code.load(),
            g_shell.cursor_shown,
            g_menu.menu_page,
            g_menu.menu_cursor[6].load(),
            g_ui.slider_value.load(),
            g_ui.last_note,
            g_main_fields.port_device.load(),
            g_main_fields.status_first,
            g_draw.base_colour,
            g_draw.slots[0].pixels.size(),
            g_actions.version_running.load()};
}

void no_hook() {}

class ResetList : public ShellFixture {};

TEST_F(ResetList, PutsEveryLayersRecordsBackAfterARun) {
    engine_devices_close();
    zb47_reset_all();
    const std::vector<Bytes> plain_before = plain_records();
    const SharedFields shared_before = shared_fields();

    // A run leaves something behind in every layer.
    shell_hooks_install();
    g_shell.frames_follow_clock = true;
    start();
    ASSERT_EQ(load_bytes(little_tune_song()), SongLoadResult::loaded);
    engine_devices_close();
    g_picture.pixels[0] = 0x123456;
    profile_set_string("OP", "model", "2");
    g_profile_faults.fail_alloc_after = 3;
    g_status_line.draw_hook = nullptr;
    g_message_boxes.buffer_size = 3;
    g_deadlines.at[2] = 5;
    g_version_check.server_release = 7;
    g_song.hooks.set_window_title = no_hook;
    g_track_rewrite.note_counters[3] = 1;
    g_event_filter.pass[FILTER_META] = 0;
    transport_mode_set(MODE_STANDBY);
    g_transport.play_octave = 7;
    g_song_clock.tempo_bpm = 99;
    g_player.lyric_line[0] = 'x';
    g_midi_devices.port_map[3] = 1;
    g_midi_in_queue.written.store(5);
    g_channel_state.sounding_notes[5][1] = 2;
    g_midi_maps.note_map[3] = 9;
    g_input.guide_note = 5;
    g_recorder.step_gate = 1;
    last_key_set(40, 30);
    g_settings.slots[10] = -77;
    g_engine_hooks.out_port_changed = no_hook;
    g_engine_display.measure.store(9);
    g_edit.params.copy_times = 9;
    g_edit.hooks.song_changed = no_hook;
    g_edit.stage.depth = 2;
    g_xf_text.text[0] = 'C';
    g_shell.app_state = STATE_QUIT;
    g_shell.key_code.store(5);
    g_menu.menu_page = 4;
    g_menu.menu_cursor[6] = 1;
    g_menu_hooks.note_keys = no_hook;
    g_ui.slider_value.store(3);
    g_ui.last_note = 60;
    g_param_panel.shown_key = 5;
    g_list_panels.bank_shown = 2;
    g_event_editor.sel_pos = 77;
    g_event_editor.sysex_open = true;
    g_main_fields.port_device.store(3);
    g_tick_refresh.slider_shown = 9;
    g_draw.base_colour = 1;
    g_draw.slots[0].pixels.assign(4, 0u);
    g_speech.speech_enabled = true;
    ASSERT_NE(plain_records(), plain_before);

    zb47_reset_all();
    const std::vector<Bytes> plain_after = plain_records();
    ASSERT_EQ(plain_after.size(), plain_before.size());
    for (size_t i = 0; i < plain_after.size(); i++) {
        EXPECT_TRUE(plain_after[i] == plain_before[i]) << "record " << i << " of the list";
    }
    const SharedFields shared_after = shared_fields();
    EXPECT_EQ(shared_after.picture_first_pixel, shared_before.picture_first_pixel);
    EXPECT_EQ(shared_after.transport_mode, shared_before.transport_mode);
    EXPECT_EQ(shared_after.play_octave, shared_before.play_octave);
    EXPECT_EQ(shared_after.queue_written, shared_before.queue_written);
    EXPECT_EQ(shared_after.display_measure, shared_before.display_measure);
    EXPECT_EQ(shared_after.app_state, shared_before.app_state);
    EXPECT_EQ(shared_after.key_code, shared_before.key_code);
    EXPECT_EQ(shared_after.cursor_shown, shared_before.cursor_shown);
    EXPECT_EQ(shared_after.menu_page, shared_before.menu_page);
    EXPECT_EQ(shared_after.record_style, shared_before.record_style);
    EXPECT_EQ(shared_after.slider_value, shared_before.slider_value);
    EXPECT_EQ(shared_after.last_note, shared_before.last_note);
    EXPECT_EQ(shared_after.port_device, shared_before.port_device);
    EXPECT_EQ(shared_after.status_first, shared_before.status_first);
    EXPECT_EQ(shared_after.base_colour, shared_before.base_colour);
    EXPECT_EQ(shared_after.first_slot_pixels, shared_before.first_slot_pixels);
    EXPECT_EQ(shared_after.version_running, shared_before.version_running);
}

} // namespace
