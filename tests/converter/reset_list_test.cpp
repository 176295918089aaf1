// The converter's reset list: what a conversion leaves in the converter's, the song layer's
// and the common records is back as the list first left it.
#include "tests/converter/converter_fixture.h"

#include "common/messages.h"
#include "converter/mail_text.h"
#include "converter/ringtone_io.h"
#include "songcore/smf_files.h"
#include "songcore/song_store.h"
#include "tests/support/record_bytes.h"

namespace {

std::vector<Bytes> converter_records() {
    return {record_bytes(g_options),
            record_bytes(g_converter),
            record_bytes(g_message_boxes),
            record_bytes(g_song),
            Bytes(g_song.arena, g_song.arena + g_song.arena_end),
            record_bytes(g_song_files),
            Bytes{static_cast<uint8_t>(g_mail_text.length),
                  static_cast<uint8_t>(g_ringtone.write_pos)}};
}

class ConverterResetList : public ConverterFixture {};

TEST_F(ConverterResetList, PutsTheRecordsBackAfterAConversion) {
    melconv_reset_all();
    const std::vector<Bytes> before = converter_records();
    snprintf(g_converter.program_directory, sizeof g_converter.program_directory, "%s",
             dir.path.c_str());
    Bytes song = smf_file(
        0, 480, {concat({ev(0, {0x90, 60, 100}), ev(480, {0x80, 60, 0}), end_of_track()})});
    g_options.model = 1;
    EXPECT_TRUE(convert(song, "tune.mid"));
    g_converter.overwrite_answer = PresetAnswer::yes;
    ASSERT_NE(converter_records(), before);

    melconv_reset_all();
    const std::vector<Bytes> after = converter_records();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); i++) {
        EXPECT_TRUE(after[i] == before[i]) << "record " << i << " of the list";
    }
}

} // namespace
