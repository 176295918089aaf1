// A fake speech service in place of speech-dispatcher: it keeps the calls it gets, in order.
// Implemented in: fake_speech.cpp.
#pragma once
#include "platform/speech.h"

#include <string>
#include <vector>

struct FakeSpeechService {
    bool reachable = true;
    int opens = 0;
    int closes = 0;
    std::vector<std::string> calls; // "cancel" or "say:TEXT"
};

extern FakeSpeechService g_fake_speech;
extern const PlatformSpeechClient FAKE_SPEECH_CLIENT;
// A fresh fake record, and the fake as the platform's speech client.
void fake_speech_install();
