// The name tables of the panels: note names, tone and drum-set names, key names and the
// full-width number labels of tracks and channels, all Shift-JIS.
#pragma once

constexpr int NOTE_NAME_BYTES = 6;
constexpr int TONE_NAME_BYTES = 13;
constexpr int KEY_NAME_BYTES = 10;
constexpr int NUMBER_LABEL_BYTES = 4;
constexpr int TONE_NAMES = 256; // melodic tones by program, then drum sets by program
constexpr int DRUM_SET_BASE = 128;
constexpr int NUMBER_LABELS = 64; // 1..64

// Filled once at start from the UTF-8 tables; constant afterwards, so any thread may read.
struct NameTables {
    char note_name[128][NOTE_NAME_BYTES + 1] = {};
    char tone_name[TONE_NAMES][TONE_NAME_BYTES + 1] = {}; // blank-padded
    char key_name[12][KEY_NAME_BYTES + 1] = {};           // blank-padded
    char number_label[NUMBER_LABELS + 1][NUMBER_LABEL_BYTES + 1] = {};
};

extern NameTables g_name_tables;
void name_tables_load();

// Out-of-range arguments give a blank text of the entry's width, never a read outside.
const char* note_name(int note);
const char* tone_name(int index);
const char* key_name(int key);
// " １ " .. " ９ ", "１０" .. "６４".
const char* number_label(int n);
