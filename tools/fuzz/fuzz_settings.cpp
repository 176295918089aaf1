// Fuzz target for the settings file: any bytes are offered as the file (almost always
// refused by size or sum), then the same bytes made into a 4096-byte image with a correct
// sum must be taken, leave every setting the engine indexes by within its range, and come
// back unchanged when written and read again.
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/engine.h"
#include "sequencer/engine/midi_devices.h"
#include "sequencer/engine/settings.h"
#include "songcore/song_store.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool initialised = false;

void check(bool condition) {
    if (!condition) {
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!initialised) {
        song_store_init(SEQUENCER_STORE);
        initialised = true;
    }
    engine_reset();
    if (settings_parse(data, size) == 0) {
        check(size == SETTINGS_FILE_SIZE);
    }
    static uint8_t image[SETTINGS_FILE_SIZE];
    memset(image, 0, sizeof image);
    if (size > 0) {
        memcpy(image, data, size < SETTINGS_FILE_SIZE ? size : SETTINGS_FILE_SIZE);
    }
    uint32_t sum = 0;
    for (uint32_t i = 0; i < SETTINGS_FILE_SIZE - 1; i++) {
        sum += image[i];
    }
    image[SETTINGS_FILE_SIZE - 1] = static_cast<uint8_t>(sum);
    engine_reset();
    check(settings_parse(image, SETTINGS_FILE_SIZE) == 0);
    check(g_song.tracing_track >= 1 && g_song.tracing_track <= MAX_TRACKS);
    check(g_song.write_track >= 0 && g_song.write_track < MAX_TRACKS);
    check(g_midi_devices.current_out_port >= 0 && g_midi_devices.current_out_port <= 8);
    check(g_midi_maps.micro_channel >= 1 && g_midi_maps.micro_channel <= MICRO_OFF);
    for (int i = 0; i < 128; i++) {
        check(g_midi_maps.note_map[i] < 128 && g_midi_maps.program_map[i] < 128);
    }
    int32_t slots[SETTINGS_SLOTS];
    memcpy(slots, g_settings.slots, sizeof slots);
    settings_image_build();
    static uint8_t again[SETTINGS_FILE_SIZE];
    memcpy(again, g_settings.image, SETTINGS_FILE_SIZE);
    // Bytes the program does not use go back as they came.
    check(memcmp(again + 1190, image + 1190, SETTINGS_FILE_SIZE - 1 - 1190) == 0);
    engine_reset();
    check(settings_parse(again, SETTINGS_FILE_SIZE) == 0);
    settings_image_build();
    check(memcmp(again, g_settings.image, SETTINGS_FILE_SIZE) == 0);
    // A magnitude above 32767 cannot be stored; the record-held slots are range-checked.
    for (int slot = 0; slot < SETTINGS_SLOTS; slot++) {
        if (slots[slot] >= -32767 && slots[slot] <= 32767 && slot != SLOT_TRACING_TRACK &&
            slot != SLOT_WRITE_TRACK && slot != SLOT_CURRENT_OUT_PORT && slot != SLOT_IN_DEVICE &&
            slot != SLOT_RECHORD_TRACK && slot != SLOT_MICRO_CHANNEL &&
            slot != SLOT_PLAYBACK_TRANSPOSE && slot != SLOT_MIDI_LINK &&
            slot != SLOT_TRANSPOSE_ON && slot != SLOT_RECHORD_ON) {
            check(g_settings.slots[slot] == slots[slot]);
        }
    }
    return 0;
}
