// Speaking through the speech client: a fake client stands in for speech-dispatcher and keeps
// the calls it gets, in order.
#include "platform/speech.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FakeSpeechService {
    bool reachable = true;
    int opens = 0;
    int closes = 0;
    std::vector<std::string> calls; // "cancel" or "say:TEXT"
};

FakeSpeechService g_fake;

bool fake_open() {
    g_fake.opens++;
    return g_fake.reachable;
}
void fake_cancel() {
    g_fake.calls.push_back("cancel");
}
bool fake_say(const char* text) {
    g_fake.calls.push_back(std::string("say:") + text);
    return true;
}
void fake_close() {
    g_fake.closes++;
}

const PlatformSpeechClient FAKE_CLIENT = {
    .open = fake_open,
    .cancel = fake_cancel,
    .say = fake_say,
    .close = fake_close,
};

class Speech : public ::testing::Test {
protected:
    void SetUp() override {
        g_fake = FakeSpeechService{};
        platform_speech_client_set(&FAKE_CLIENT);
    }
    void TearDown() override { platform_speech_client_set(nullptr); }
};

TEST_F(Speech, EachTextCutsOffTheOneBeforeAndIsSaidAsUtf8) {
    EXPECT_TRUE(platform_speak("thru"));
    EXPECT_TRUE(platform_speak("\x83\x60\x83\x83\x83\x93\x83\x6C\x83\x8B")); // チャンネル
    EXPECT_EQ(g_fake.opens, 1);
    EXPECT_EQ(g_fake.calls,
              (std::vector<std::string>{"cancel", "say:thru", "cancel", "say:チャンネル"}));
    platform_speech_close();
    EXPECT_EQ(g_fake.closes, 1);
}

TEST_F(Speech, AnUnreachableServiceIsAskedOnceAndNothingIsSaid) {
    g_fake.reachable = false;
    EXPECT_FALSE(platform_speak("thru"));
    EXPECT_FALSE(platform_speak("filter"));
    EXPECT_EQ(g_fake.opens, 1);
    EXPECT_TRUE(g_fake.calls.empty());
    platform_speech_close();
    EXPECT_EQ(g_fake.closes, 0);
}

TEST_F(Speech, WithoutAClientNothingIsSpoken) {
    platform_speech_client_set(nullptr);
    EXPECT_FALSE(platform_speak("thru"));
    EXPECT_EQ(g_fake.opens, 0);
}

} // namespace
