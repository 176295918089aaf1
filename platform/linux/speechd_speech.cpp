// The speech client on Linux: speech-dispatcher through libspeechd, one connection per run.
#include "platform/speech.h"

#include <libspeechd.h>

namespace {

// Touched only through platform_speak() and platform_speech_close().
struct SpeechdClient {
    SPDConnection* connection = nullptr;
};

SpeechdClient g_speechd;

// Threaded mode: the library answers the service's events on its own thread, so a say
// returns once the service has the text.
bool speechd_open() {
    g_speechd.connection = spd_open("zb47", "main", nullptr, SPD_MODE_THREADED);
    return g_speechd.connection != nullptr;
}

void speechd_cancel() {
    if (g_speechd.connection != nullptr) {
        spd_cancel(g_speechd.connection);
    }
}

bool speechd_say(const char* text) {
    return g_speechd.connection != nullptr && spd_say(g_speechd.connection, SPD_TEXT, text) >= 0;
}

void speechd_close() {
    if (g_speechd.connection != nullptr) {
        spd_close(g_speechd.connection);
        g_speechd.connection = nullptr;
    }
}

} // namespace

const PlatformSpeechClient SPEECHD_SPEECH = {
    .open = speechd_open,
    .cancel = speechd_cancel,
    .say = speechd_say,
    .close = speechd_close,
};
