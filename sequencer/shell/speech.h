// Speech output: texts placed on the clipboard for a screen reader outside the program and
// spoken through the system's speech service, enabled by "reader.ini" beside the program.
#pragma once

constexpr int SPEECH_TEXTS = 94; // 91 menu rows, then the words for channel, track and song
constexpr int SPEECH_TEXT_SIZE = 50;
constexpr int SPEECH_CHANNEL_WORD = 91;
constexpr int SPEECH_TRACK_WORD = 92;
constexpr int SPEECH_SONG_WORD = 93;

// Loaded on the window thread at start; afterwards frames only.
struct SpeechState {
    char speech_text[SPEECH_TEXTS][SPEECH_TEXT_SIZE] = {};
    bool speech_enabled = false;
    bool speech_armed = false;
    bool value_speech = false; // Enter on a panel turned spoken values on for the rest of the run
    char last_spoken[SPEECH_TEXT_SIZE * 2] = {};
};

extern SpeechState g_speech;
void speech_reset();
// Reads the texts from "reader.ini" in the program directory (with its trailing separator).
void speech_load(const char* program_dir);
// force 1 arms speech; an armed, new, non-empty text goes to the clipboard and is spoken.
void speak(const char* text, int force);
