// The fake speech service's client functions.
#include "tests/support/fake_speech.h"

FakeSpeechService g_fake_speech;

namespace {

bool fake_open() {
    g_fake_speech.opens++;
    return g_fake_speech.reachable;
}

void fake_cancel() {
    g_fake_speech.calls.push_back("cancel");
}

bool fake_say(const char* text) {
    g_fake_speech.calls.push_back(std::string("say:") + text);
    return true;
}

void fake_close() {
    g_fake_speech.closes++;
}

} // namespace

const PlatformSpeechClient FAKE_SPEECH_CLIENT = {
    .open = fake_open,
    .cancel = fake_cancel,
    .say = fake_say,
    .close = fake_close,
};

void fake_speech_install() {
    g_fake_speech = FakeSpeechService{};
    platform_speech_client_set(&FAKE_SPEECH_CLIENT);
}
