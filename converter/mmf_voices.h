// The FM voice parameter rows of the MMF set-up chunk: one 13-byte row per GM program
// (0..127) and per drum key (128 + key, keys 0..84); a row's first byte is its own index.
#pragma once

#include <cstdint>

constexpr int VOICE_ROW_SIZE = 13;
constexpr int DRUM_VOICE_KEYS = 85;

// Copies the row of a voice index (0..212) into out.
void mmf_voice_row(int index, uint8_t* out);
// The drum map: the key a channel 10 key sounds as in MMF notes.
int mmf_drum_map(int key);
