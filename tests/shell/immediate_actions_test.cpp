// The system page's immediate actions: the bytes they send, the maps and controller memory
// they reset, the version check, the web page and help, and where the cursor goes back.
#include "tests/shell/command_fixture.h"

#include "sequencer/engine/channel_state.h"
#include "sequencer/shell/shell_state.h"
#include "sequencer/shell/speech.h"
#include "tests/support/http_test_server.h"

#include <filesystem>
#include <fstream>

namespace {

using SystemActions = CommandFixture;

TEST_F(SystemActions, InitializeSendsTheResetsAndResetsTheControllerMemory) {
    ChannelState& c = g_channel_state;
    c.controller_values[1][7] = 5;
    c.controller_values[1][1] = 33;
    c.controller_values[2][0] = 8; // bank MSB
    c.controller_values[2][93] = 70;
    c.channel_program[9] = 8;
    c.nrpn_values[4][2] = 90;
    c.drum_channel[3] = DRUM_PART;
    g_menu.menu_cursor[0] = menu_command_row(MenuCommand::sound_module_initialize);

    EXPECT_TRUE(immediate_action_run(menu_command_key(MenuCommand::sound_module_initialize)));

    // GM system on, GS reset, XG system on: one message of 28 bytes.
    const Bytes reset = {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7, 0xF0, 0x41, 0x10,
                         0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7, 0xF0, 0x08,
                         0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7};
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0], reset);
    for (int ch = 0; ch < 16; ch++) {
        SCOPED_TRACE(ch);
        for (int cc = 0; cc < 128; cc++) {
            int expected = cc == 7 ? 100 : cc == 10 ? 64 : cc == 11 ? 127 : cc == 91 ? 40 : 0;
            ASSERT_EQ(c.controller_values[ch][cc], expected) << cc;
        }
        EXPECT_EQ(c.channel_program[ch], 0);
        EXPECT_EQ(c.drum_channel[ch], ch == 9 ? DRUM_PART : 0);
        for (int i = 0; i < NRPN_PARAMETERS; i++) {
            EXPECT_EQ(c.nrpn_values[ch][i], 64);
        }
    }
    EXPECT_EQ(g_menu.menu_cursor[0], 2);
}

TEST_F(SystemActions, ActiveSensingAndTheMapResets) {
    g_midi_maps.note_map[60] = 61;
    g_midi_maps.program_map[0] = 40;
    g_midi_maps.program_map[127] = 0;
    struct Case {
        MenuCommand command;
        Bytes sent;
    };
    const Case cases[] = {{MenuCommand::active_sensing, {0xFE}},
                          {MenuCommand::micro_scale_normal, {}},
                          {MenuCommand::program_map_normal, {}}};
    for (const Case& k : cases) {
        SCOPED_TRACE(menu_command_row(k.command));
        clear_sent();
        g_menu.menu_cursor[0] = static_cast<uint8_t>(menu_command_row(k.command));
        EXPECT_TRUE(immediate_action_run(menu_command_key(k.command)));
        EXPECT_EQ(g_menu.menu_cursor[0], 2);
        // Every byte sent, real-time bytes too.
        std::vector<HeadlessMidiMessage> all = headless_midi_sent();
        if (k.sent.empty()) {
            EXPECT_TRUE(all.empty());
        } else {
            ASSERT_EQ(all.size(), 1u);
            EXPECT_EQ(all[0].bytes, k.sent);
        }
        if (k.command == MenuCommand::micro_scale_normal) {
            EXPECT_EQ(g_midi_maps.note_map[60], 60);
            EXPECT_EQ(g_midi_maps.program_map[0], 40); // only the scale
        }
    }
    for (int i = 0; i < 128; i++) {
        EXPECT_EQ(g_midi_maps.note_map[i], i);
        EXPECT_EQ(g_midi_maps.program_map[i], i);
    }
    // Rows with panels are not immediate and keep their cursor.
    g_menu.menu_cursor[1] = 0;
    g_menu.menu_cursor[4] = 4;
    EXPECT_FALSE(immediate_action_run(menu_command_key(MenuCommand::song_bank_select)));
    EXPECT_FALSE(immediate_action_run(menu_command_key(MenuCommand::delete_measures)));
    EXPECT_EQ(g_menu.menu_cursor[4], 4);
}

TEST_F(SystemActions, VersionCheckWithoutConnectionSaysSoInBothLanguages) {
    for (int japanese = 0; japanese < 2; japanese++) {
        SCOPED_TRACE(japanese);
        g_headless.messages.clear();
        g_headless.network_up = false;
        g_shell.is_japanese = japanese;
        g_speech.speech_enabled = true;
        g_speech.last_spoken[0] = '\0';
        g_shell.left_down.store(1);

        EXPECT_TRUE(immediate_action_run(menu_command_key(MenuCommand::version_info)));

        ASSERT_EQ(g_headless.messages.size(), 1u);
        EXPECT_EQ(g_headless.messages[0].text, sjis("ネットに接続できませんでした。"));
        EXPECT_EQ(g_headless.messages[0].caption, sjis("確認"));
        EXPECT_EQ(g_headless.clipboard, sjis("ネットに接続できませんでした。"));
        EXPECT_EQ(g_shell.left_down.load(), 0);
        EXPECT_EQ(g_menu.menu_cursor[0], 2);
    }
}

TEST_F(SystemActions, VersionCheckRunsAndReports) {
    struct Case {
        const char* reply;
        bool offered; // a newer release: the question; else the box
    };
    const Case cases[] = {{"HTTP/1.0 200 OK\r\n\r\n!140", true},
                          {"HTTP/1.0 200 OK\r\n\r\n!139", false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.reply);
        g_headless.messages.clear();
        g_headless.questions.clear();
        HttpTestServer server;
        server.reply = k.reply;
        ASSERT_TRUE(http_test_server_start(server));
        g_actions.version_site = VersionSite{"127.0.0.1/v/zb47.txt", server.port, 139,
                                             "http://product.test/", VersionProgram::sequencer};

        EXPECT_TRUE(immediate_action_run(menu_command_key(MenuCommand::version_info)));
        immediate_actions_finish();
        http_test_server_stop(server);

        EXPECT_EQ(server.request.rfind("GET /v/zb47.txt HTTP/1.0\r\n", 0), 0u);
        if (k.offered) {
            ASSERT_EQ(g_headless.questions.size(), 1u);
            EXPECT_EQ(g_headless.questions[0].text, "Finding new version. download?");
            EXPECT_TRUE(g_headless.messages.empty());
        } else {
            ASSERT_EQ(g_headless.messages.size(), 1u);
            EXPECT_EQ(g_headless.messages[0].text, "This is the newest version.");
            EXPECT_TRUE(g_headless.questions.empty());
        }
    }
}

// Help is looked for relative to the current directory.
class HelpActions : public CommandFixture {
protected:
    std::filesystem::path previous;
    void SetUp() override {
        CommandFixture::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        CommandFixture::TearDown();
    }
};

TEST_F(HelpActions, WebPageAndHelp) {
    struct Case {
        const char* name;
        MenuCommand command;
        bool help_file;    // help/zb47.htm exists
        int failing_opens; // opens refused by the system
        std::vector<std::string> opened;
        bool reported;
    };
    const std::string online = ONLINE_HELP_ADDRESS;
    const Case cases[] = {
        {"web page", MenuCommand::web_page, false, 0, {ZB47_VERSION_SITE.product_page}, false},
        {"local help", MenuCommand::help, true, 0, {"help/zb47.htm"}, false},
        {"no help file", MenuCommand::help, false, 0, {online}, false},
        {"help refused", MenuCommand::help, true, 1, {online}, false},
        {"nothing opens", MenuCommand::help, false, 1, {}, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        std::filesystem::remove_all("help");
        if (k.help_file) {
            std::filesystem::create_directory("help");
            std::ofstream("help/zb47.htm") << "<html></html>";
        }
        g_headless.opened_documents.clear();
        g_headless.messages.clear();
        g_headless.fail_open_documents = k.failing_opens;
        g_menu.menu_cursor[0] = static_cast<uint8_t>(menu_command_row(k.command));

        EXPECT_TRUE(immediate_action_run(menu_command_key(k.command)));

        EXPECT_EQ(g_headless.opened_documents, k.opened);
        ASSERT_EQ(g_headless.messages.size(), k.reported ? 1u : 0u);
        if (k.reported) {
            EXPECT_EQ(g_headless.messages[0].text, "File not found.");
            EXPECT_EQ(g_headless.messages[0].caption, "CONFIRM");
        }
        EXPECT_EQ(g_menu.menu_cursor[0], 2);
    }
}

} // namespace
