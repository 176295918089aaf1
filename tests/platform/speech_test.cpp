// Speaking through the speech client, with a fake client in place of speech-dispatcher.
#include "tests/support/fake_speech.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Speech : public ::testing::Test {
protected:
    void SetUp() override { fake_speech_install(); }
    void TearDown() override { platform_speech_client_set(nullptr); }
};

TEST_F(Speech, EachTextCutsOffTheOneBeforeAndIsSaidAsUtf8) {
    EXPECT_TRUE(platform_speak("thru"));
    EXPECT_TRUE(platform_speak("\x83\x60\x83\x83\x83\x93\x83\x6C\x83\x8B")); // チャンネル
    EXPECT_EQ(g_fake_speech.opens, 1);
    EXPECT_EQ(g_fake_speech.calls,
              (std::vector<std::string>{"cancel", "say:thru", "cancel", "say:チャンネル"}));
    platform_speech_close();
    EXPECT_EQ(g_fake_speech.closes, 1);
}

TEST_F(Speech, AnUnreachableServiceIsAskedOnceAndNothingIsSaid) {
    g_fake_speech.reachable = false;
    EXPECT_FALSE(platform_speak("thru"));
    EXPECT_FALSE(platform_speak("filter"));
    EXPECT_EQ(g_fake_speech.opens, 1);
    EXPECT_TRUE(g_fake_speech.calls.empty());
    platform_speech_close();
    EXPECT_EQ(g_fake_speech.closes, 0);
}

TEST_F(Speech, WithoutAClientNothingIsSpoken) {
    platform_speech_client_set(nullptr);
    EXPECT_FALSE(platform_speak("thru"));
    EXPECT_EQ(g_fake_speech.opens, 0);
}

} // namespace
