// The system page's immediate actions: sound module reset, active sensing, the two map
// resets, the web page and the help file.
#include "sequencer/shell/immediate_actions.h"

#include "platform/platform.h"
#include "sequencer/engine/channel_state.h"
#include "songcore/midi_bytes.h"

#include <string>

const char* const ONLINE_HELP_ADDRESS = "http://zb47.invalid/help/zb47.htm";

namespace {

// GM system on, GS reset, XG system on, sent as one long message.
constexpr int RESET_SEQUENCE_LENGTH = 28;
// clang-format off
const uint8_t RESET_SEQUENCE[RESET_SEQUENCE_LENGTH] = {
    STATUS_EXCLUSIVE, 0x05, 0x7E, 0x7F, 0x09, 0x01, STATUS_EXCLUSIVE_END,
    STATUS_EXCLUSIVE, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, STATUS_EXCLUSIVE_END,
    STATUS_EXCLUSIVE, 0x08, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, STATUS_EXCLUSIVE_END,
};
// clang-format on

} // namespace

void sound_module_initialize() {
    uint8_t bytes[RESET_SEQUENCE_LENGTH];
    for (int i = 0; i < RESET_SEQUENCE_LENGTH; i++) {
        bytes[i] = RESET_SEQUENCE[i];
    }
    midi_send(bytes, RESET_SEQUENCE_LENGTH);
    // The module now stands at its defaults; the program's picture of it follows.
    channel_module_defaults();
}

void active_sensing_send() {
    uint8_t byte = STATUS_ACTIVE_SENSING;
    midi_send(&byte, 1);
}

void micro_scale_normal() {
    note_map_identity();
}

void program_map_normal() {
    program_map_identity();
}

void web_page_open() {
    platform_open_document(ZB47_VERSION_SITE.product_page);
}

void help_open() {
    // Relative to the current directory, where the program was started from. A missing
    // file is taken as a failure here: some systems start the viewer and report success.
    std::string path = std::string("help") + PLATFORM_PATH_SEPARATOR + "zb47.htm";
    if (platform_file_exists(path.c_str()) && platform_open_document(path.c_str())) {
        return;
    }
    if (!platform_open_document(ONLINE_HELP_ADDRESS)) {
        file_not_found_box();
    }
}
