// Speech texts from reader.ini and their hand-over to the clipboard and the speech service.
#include "sequencer/shell/speech.h"

#include "common/profile.h"
#include "platform/platform.h"
#include "platform/speech.h"
#include "sequencer/engine/transport.h"

#include <cstdio>
#include <cstring>

SpeechState g_speech;

void speech_reset() {
    g_speech = SpeechState{};
}

void speech_load(const char* program_dir) {
    memset(g_speech.speech_text, 0, sizeof g_speech.speech_text);
    char path[512];
    snprintf(path, sizeof path, "%sreader.ini", program_dir);
    if (!platform_file_exists(path)) {
        return;
    }
    g_speech.speech_enabled = true;
    profile_load(path, 1);
    for (int i = 0; i < SPEECH_TEXTS; i++) {
        char key[16];
        if (i <= 90) {
            snprintf(key, sizeof key, "v%d", i);
        } else {
            snprintf(key, sizeof key, "%s", i == 91 ? "Ch" : (i == 92 ? "Tr" : "Sg"));
        }
        profile_get_string("VO", key, "", g_speech.speech_text[i], 44);
    }
    profile_free();
}

void speak(const char* text, int force) {
    int mode = transport_mode();
    if (mode == MODE_PLAYING || mode == MODE_RECORDING || !g_speech.speech_enabled) {
        return;
    }
    if (force == 1) {
        g_speech.speech_armed = true;
    }
    if (!g_speech.speech_armed || text[0] == '\0' || strcmp(text, g_speech.last_spoken) == 0) {
        return;
    }
    platform_clipboard_put_text(text);
    platform_speak(text);
    snprintf(g_speech.last_spoken, sizeof g_speech.last_spoken, "%s", text);
    g_speech.speech_armed = false;
}
