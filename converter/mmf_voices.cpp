// FM voice rows and the drum map of the MMF writer.
#include "converter/mmf_voices.h"

#include <cstring>

namespace {

constexpr uint8_t PIANO_ROW[VOICE_ROW_SIZE] = {0x00, 0x60, 0x01, 0x14, 0x52, 0xF4, 0x3A,
                                               0xA0, 0x14, 0x62, 0xF7, 0x00, 0xA0};
constexpr uint8_t BRIGHT_ROW[VOICE_ROW_SIZE] = {0x01, 0x68, 0x01, 0x15, 0x42, 0xF5, 0x3E,
                                                0xA0, 0x14, 0x62, 0xF5, 0x00, 0xA0};
// Keys 24..66 of channel 10 in the order the MMF drum voices sound them.
constexpr uint8_t DRUM_MAP_24_66[43] = {49, 49, 49, 49, 54, 49, 49, 68, 49, 66, 61, 84, 67, 70, 68,
                                        69, 72, 65, 54, 39, 52, 39, 32, 68, 44, 68, 63, 61, 67, 43,
                                        38, 70, 43, 56, 55, 50, 68, 60, 67, 51, 70, 40, 37};

} // namespace

void mmf_voice_row(int index, uint8_t* out) {
    // Programs 0 and 1 are the two measured rows; every other voice starts from the one of
    // its parity and gets its own multiplier and level bits by GM family (8 programs each),
    // so instruments of one family share a colour.
    memcpy(out, (index & 1) != 0 ? BRIGHT_ROW : PIANO_ROW, VOICE_ROW_SIZE);
    out[0] = static_cast<uint8_t>(index);
    if (index < 2) {
        return;
    }
    int family = index < 128 ? index / 8 : 16;
    out[2] = static_cast<uint8_t>((out[2] & 0xF0) | (family & 0x0F));
    out[4] = static_cast<uint8_t>((out[4] & 0x0F) | ((family * 16 + 0x20) & 0xF0));
    if (index >= 128) {
        // Drum voices decay fast: the highest release rates.
        out[5] = 0xFF;
        out[10] = 0xFF;
    }
}

int mmf_drum_map(int key) {
    if (key >= 24 && key <= 66) {
        return DRUM_MAP_24_66[key - 24];
    }
    return 60;
}
