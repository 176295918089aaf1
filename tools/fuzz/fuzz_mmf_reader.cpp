// Fuzz target: any bytes as an MMF ringtone read back to SMF. Inputs whose first byte is
// odd get a correct file length and CRC so the fuzzer reaches the score data; even ones
// test the check itself. A file the reader writes must load as an SMF again.
#include "converter/converter.h"
#include "converter/mmf_crc.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tools/fuzz/fuzz_support_converter.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data + (size > 0 ? 1 : 0), data + size);
    if (size > 0 && (data[0] & 1) != 0 && file.size() >= 8) {
        uint32_t length = static_cast<uint32_t>(file.size() + 2 - 8);
        file[4] = static_cast<uint8_t>(length >> 24);
        file[5] = static_cast<uint8_t>(length >> 16);
        file[6] = static_cast<uint8_t>(length >> 8);
        file[7] = static_cast<uint8_t>(length);
        uint16_t crc = mmf_crc16(file.data(), file.size());
        file.push_back(static_cast<uint8_t>(crc >> 8));
        file.push_back(static_cast<uint8_t>(crc));
    }
    fuzz_converter_begin(file.data(), file.size(), "in.mmf");
    fuzz_conversion_loads_back();
    fuzz_converter_end();
    return 0;
}
