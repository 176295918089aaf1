// The tone initialisation song: for every channel whose sound setup differs from the reset
// state, the bank, program, volume, pan, reverb and chorus seen sent, and the changed GS
// NRPN values, so that playing the file brings a sound module into the same state.
#include "common/overwrite_question.h"
#include "common/status_line.h"
#include "platform/file_write_all.h"
#include "platform/platform.h"
#include "sequencer/engine/channel_state.h"
#include "sequencer/engine/settings.h"
#include "songcore/midi_bytes.h"
#include "songcore/smf_files.h"

#include <cstring>

namespace {

constexpr uint32_t HEADER_SIZE = 22;
constexpr uint32_t CHANNEL_BLOCK_SIZE = 27;
constexpr uint32_t NRPN_BLOCK_SIZE = 16;

const uint8_t FILE_HEADER[HEADER_SIZE] = {'M', 'T', 'h',  'd', 0,   0,   0,   6, 0, 0, 0,
                                          1,   1,   0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 0};
const uint8_t TRACK_END[4] = {0x01, STATUS_META, META_END_OF_TRACK, 0x00};

bool channel_differs(int ch) {
    const ChannelState& c = g_channel_state;
    const uint8_t* v = c.controller_values[ch];
    return v[CC_BANK_SELECT_LSB] != 0 || v[CC_BANK_SELECT_MSB] != 0 || c.channel_program[ch] != 0 ||
           v[CC_VOLUME] != 100 || v[CC_PAN] != 64 || v[CC_REVERB] != 40 || v[CC_CHORUS] != 0;
}

uint32_t channel_block(int ch, uint8_t* out) {
    const ChannelState& c = g_channel_state;
    const uint8_t* v = c.controller_values[ch];
    uint8_t cc = static_cast<uint8_t>(STATUS_CONTROL_CHANGE + ch);
    uint8_t pc = static_cast<uint8_t>(STATUS_PROGRAM_CHANGE + ch);
    const uint8_t block[CHANNEL_BLOCK_SIZE] = {static_cast<uint8_t>(ch == 0 ? 100 : 1),
                                               cc,
                                               CC_BANK_SELECT_LSB,
                                               v[CC_BANK_SELECT_LSB],
                                               1,
                                               cc,
                                               CC_BANK_SELECT_MSB,
                                               v[CC_BANK_SELECT_MSB],
                                               1,
                                               pc,
                                               c.channel_program[ch],
                                               1,
                                               cc,
                                               CC_VOLUME,
                                               v[CC_VOLUME],
                                               1,
                                               cc,
                                               CC_PAN,
                                               v[CC_PAN],
                                               1,
                                               cc,
                                               CC_REVERB,
                                               v[CC_REVERB],
                                               1,
                                               cc,
                                               CC_CHORUS,
                                               v[CC_CHORUS]};
    memcpy(out, block, CHANNEL_BLOCK_SIZE);
    return CHANNEL_BLOCK_SIZE;
}

uint32_t nrpn_block(int ch, int parameter, uint8_t* out) {
    uint8_t cc = static_cast<uint8_t>(STATUS_CONTROL_CHANGE + ch);
    const uint8_t block[NRPN_BLOCK_SIZE] = {
        0, cc, CC_NRPN_MSB,       0x01,
        0, cc, CC_NRPN_LSB,       NRPN_LSB_NUMBERS[parameter],
        0, cc, CC_DATA_ENTRY_MSB, g_channel_state.nrpn_values[ch][parameter],
        0, cc, CC_DATA_ENTRY_LSB, 0x00};
    memcpy(out, block, NRPN_BLOCK_SIZE);
    return NRPN_BLOCK_SIZE;
}

} // namespace

uint32_t init_file_image(uint8_t* out, uint32_t out_size) {
    static uint8_t image[HEADER_SIZE + 16 * (CHANNEL_BLOCK_SIZE + 8 * NRPN_BLOCK_SIZE) + 4];
    memcpy(image, FILE_HEADER, HEADER_SIZE);
    uint32_t n = HEADER_SIZE;
    for (int ch = 0; ch < 16; ch++) {
        if (channel_differs(ch)) {
            n += channel_block(ch, image + n);
        }
        for (int parameter = 0; parameter < NRPN_PARAMETERS; parameter++) {
            if (g_channel_state.nrpn_values[ch][parameter] != 64) {
                n += nrpn_block(ch, parameter, image + n);
            }
        }
    }
    memcpy(image + n, TRACK_END, sizeof TRACK_END);
    n += sizeof TRACK_END;
    uint32_t track_length = n - HEADER_SIZE;
    image[20] = static_cast<uint8_t>(track_length >> 8);
    image[21] = static_cast<uint8_t>(track_length);
    uint32_t copied = n < out_size ? n : out_size;
    memcpy(out, image, copied);
    return copied;
}

int init_file_write() {
    if (!save_dialog_proposing(INIT_FILE_NAME)) {
        return 0;
    }
    const char* path = g_song_files.file_path;
    if (!overwrite_confirm(path, PresetAnswer::ask, OverwriteWording::interface_language)) {
        return 1;
    }
    static uint8_t image[HEADER_SIZE + 16 * (CHANNEL_BLOCK_SIZE + 8 * NRPN_BLOCK_SIZE) + 4];
    uint32_t size = init_file_image(image, sizeof image);
    // A failed write keeps the old file.
    switch (platform_file_write_all(path, image, size)) {
    case FileWriteResult::written:
        break;
    case FileWriteResult::cannot_create:
        show_status("drive not found");
        break;
    case FileWriteResult::write_error:
        show_status("Write error");
        break;
    case FileWriteResult::close_error:
    case FileWriteResult::rename_error:
        show_status("close error");
        break;
    }
    return 1;
}
