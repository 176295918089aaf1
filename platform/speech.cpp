// Speaking through the chosen speech client: opened at the first text, cancel then say.
#include "platform/speech.h"

#include "platform/text_convert.h"

#include <string>

namespace {

// Used by the thread that runs frames (texts are spoken only while the music is stopped) and
// by start and exit on the main thread.
struct PlatformSpeech {
    const PlatformSpeechClient* client = nullptr;
    bool opened = false;
    bool unavailable = false; // the service could not be reached: not asked again
};

PlatformSpeech g_platform_speech;

} // namespace

void platform_speech_client_set(const PlatformSpeechClient* client) {
    platform_speech_close();
    g_platform_speech = PlatformSpeech{};
    g_platform_speech.client = client;
}

const PlatformSpeechClient* platform_speech_system_client() {
#ifdef ZB_WITH_SPEECHD
    return &SPEECHD_SPEECH;
#else
    return nullptr;
#endif
}

bool platform_speak(const char* text) {
    PlatformSpeech& s = g_platform_speech;
    if (s.client == nullptr || s.unavailable) {
        return false;
    }
    if (!s.opened) {
        s.opened = s.client->open();
        if (!s.opened) {
            s.unavailable = true;
            return false;
        }
    }
    std::string spoken = sjis_to_utf8(text);
    s.client->cancel();
    return s.client->say(spoken.c_str());
}

void platform_speech_close() {
    PlatformSpeech& s = g_platform_speech;
    if (s.opened && s.client != nullptr) {
        s.client->close();
    }
    s.opened = false;
    s.unavailable = false;
}
