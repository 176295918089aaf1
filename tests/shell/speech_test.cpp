// Screen-reader texts are spoken as well as put on the clipboard: a fake speech-dispatcher
// client stands behind the platform's speech function.
#include "tests/shell/shell_fixture.h"

#include "sequencer/shell/menu_show.h"
#include "sequencer/shell/speech.h"
#include "tests/support/fake_speech.h"

#include <string>
#include <vector>

namespace {

class SpokenTexts : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        fake_speech_install();
    }
    void TearDown() override {
        platform_speech_client_set(nullptr);
        ShellFixture::TearDown();
    }
    void reader_ini() {
        std::string ini = "[VO]\nv26=thru\nv27=filter\n";
        write_file_bytes(dir.file("reader.ini"), Bytes(ini.begin(), ini.end()));
    }
    void hover_two_rows() {
        start();
        menu_hooks_install();
        show_command(2);
        move(150, 90);
        run_ms(20);
        move(160, 104);
        run_ms(20);
    }
};

TEST_F(SpokenTexts, EachMenuRowTextIsSpokenAfterCuttingOffTheLastAndPutOnTheClipboard) {
    reader_ini();
    hover_two_rows();
    EXPECT_EQ(g_headless.clipboard, "filter");
    std::vector<std::string> spoken;
    for (const std::string& call : g_fake_speech.calls) {
        if (call == "say:thru" || call == "say:filter") {
            spoken.push_back(call);
        }
    }
    EXPECT_EQ(spoken, (std::vector<std::string>{"say:thru", "say:filter"}));
    // Every say follows a cancel.
    for (size_t i = 0; i < g_fake_speech.calls.size(); i++) {
        if (g_fake_speech.calls[i].rfind("say:", 0) == 0) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(g_fake_speech.calls[i - 1], "cancel");
        }
    }
}

TEST_F(SpokenTexts, WithoutReaderIniNothingIsSpoken) {
    hover_two_rows();
    EXPECT_TRUE(g_fake_speech.calls.empty());
}

TEST_F(SpokenTexts, WithoutASpeechServiceTheClipboardStillGetsTheTexts) {
    g_fake_speech.reachable = false;
    reader_ini();
    hover_two_rows();
    EXPECT_EQ(g_headless.clipboard, "filter");
    EXPECT_TRUE(g_fake_speech.calls.empty());
}

} // namespace
