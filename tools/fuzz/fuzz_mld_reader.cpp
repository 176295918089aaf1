// Fuzz target: any bytes as an MLD or PMD ringtone read back to SMF. A file the reader
// writes must load as an SMF again.
#include "converter/converter.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tools/fuzz/fuzz_support_converter.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first byte picks the name: '#' mapping or not, and an au or i-mode name.
    const char* names[4] = {"in.mld", "in#.mld", "in.pmd", "in#.pmd"};
    const char* name = names[size > 0 ? data[0] & 3 : 0];
    fuzz_converter_begin(size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0, name);
    fuzz_conversion_loads_back();
    fuzz_converter_end();
    return 0;
}
