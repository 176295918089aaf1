// Spoken texts for screen-reader users: a text is said aloud through the system's speech
// service, a newer text cutting off an older one. Tests put a fake client in place.
// Implemented in: speech.cpp (the client speechd_speech.cpp in linux/ is the built-in one).
#pragma once

// A speech service as the program uses it. Texts are UTF-8.
struct PlatformSpeechClient {
    bool (*open)(); // false: no service; it is not asked again this run
    void (*cancel)();
    bool (*say)(const char* text);
    void (*close)();
};

#ifdef ZB_WITH_SPEECHD
extern const PlatformSpeechClient SPEECHD_SPEECH;
#endif

// No client speaks until one is set: the program sets the system's service for a run with a
// window, tests a fake. Null: none. Closes the old one.
void platform_speech_client_set(const PlatformSpeechClient* client);
// The system's speech service (speech-dispatcher), or null in a build without it.
const PlatformSpeechClient* platform_speech_system_client();
// Says a Shift-JIS text, interrupting what is being said; false when there is no speech.
bool platform_speak(const char* text);
void platform_speech_close();
