// The writers' and readers' steps on their own: the graded results they hand the
// converter's shell, and that none of them asks, tells or writes a file.
#include "converter/converter.h"
#include "converter/ringtone_io.h"
#include "converter/smf_prepare.h"
#include "songcore/smf_files.h"
#include "tests/converter/converter_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

class ConversionSteps : public ConverterFixture {
protected:
    // Writes the song beside the test and loads it into slot 0, as the shell does.
    void load(const Bytes& song, const std::string& name) {
        write_file_bytes(dir.file(name), song);
        snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s",
                 dir.file(name).c_str());
        snprintf(g_song_files.file_path, sizeof g_song_files.file_path, "%s",
                 g_converter.input_path);
        file_name_from_path();
        ASSERT_EQ(song_load(), SongLoadResult::loaded);
    }
    // Nobody was asked or told anything.
    void expect_silent() {
        EXPECT_TRUE(messages().empty());
        EXPECT_TRUE(questions().empty());
    }
};

Bytes melody(uint8_t first_key) {
    return smf_file(0, 480,
                    {concat({ev(0, {0x90, first_key, 100}), ev(480, {0x80, first_key, 0}),
                             ev(0, {0x90, 64, 100}), ev(480, {0x80, 64, 0}), end_of_track(0)})});
}

std::string extension(const char* path) {
    size_t n = strlen(path);
    return n >= 3 ? std::string(path + n - 3) : std::string();
}

TEST_F(ConversionSteps, PreparationNamesWhyItStopsAndSaysNothing) {
    load(melody(20), "low.mid");
    EXPECT_EQ(mfi_begin(), PrepResult::note_out_of_range);
    expect_silent();

    struct Case {
        int voices;
        PrepResult expected;
    };
    // Seventeen voices cannot have a slot each; sixteen can, but then the drum channel's
    // slot is taken by a melodic voice.
    for (Case c : {Case{17, PrepResult::too_many_voices}, Case{16, PrepResult::no_drum_slot},
                   Case{3, PrepResult::ready}}) {
        SetUp();
        g_options.separation = 1;
        std::string name = "chord" + std::to_string(c.voices);
        load(chord(c.voices), name + ".mid");
        ASSERT_EQ(mfi_begin(), PrepResult::ready) << c.voices;
        EXPECT_FALSE(g_prep.version1_possible) << c.voices;
        EXPECT_EQ(mfi_build(false).prep, c.expected) << c.voices;
        expect_silent();
        EXPECT_FALSE(exists(name + ".MLD")) << c.voices;
    }
}

TEST_F(ConversionSteps, MfiBuildReportsWhatTheMessagesWillSayAndWritesNoFile) {
    g_options.vel = 0;
    load(melody(60), "song.mid");
    ASSERT_EQ(mfi_begin(), PrepResult::ready);
    EXPECT_TRUE(g_prep.version1_possible);
    MfiBuildReport report = mfi_build(false);
    EXPECT_EQ(report.prep, PrepResult::ready);
    EXPECT_TRUE(report.velocity_fixed);
    EXPECT_FALSE(report.separated);
    EXPECT_FALSE(report.size_exceeded);
    EXPECT_FALSE(report.size_cut);
    EXPECT_EQ(report.size_warning, MfiSizeWarning::none);
    EXPECT_TRUE(report.mail_size);
    EXPECT_TRUE(report.mail_tool);
    EXPECT_EQ(g_ringtone.data[10], 2); // the version field
    EXPECT_EQ(extension(g_converter.input_path), "MLD");
    EXPECT_FALSE(exists("song.MLD"));
    expect_silent();

    // Taking the version 1 offer changes the file; version 1 notes carry no velocity.
    SetUp();
    load(melody(60), "one.mid");
    ASSERT_EQ(mfi_begin(), PrepResult::ready);
    report = mfi_build(true);
    EXPECT_EQ(g_ringtone.data[10], 1);
    EXPECT_FALSE(report.velocity_fixed);
    expect_silent();

    // A choice of version 1 where the song does not fit it is not taken.
    SetUp();
    load(chord(3), "three.mid");
    ASSERT_EQ(mfi_begin(), PrepResult::ready);
    mfi_build(true);
    EXPECT_EQ(g_ringtone.data[10], 2);

    // A PMD file is never mail text, but the mail tool still follows it.
    SetUp();
    g_options.model = 1;
    load(melody(60), "au.mid");
    ASSERT_EQ(mfi_begin(), PrepResult::ready);
    report = mfi_build(false);
    EXPECT_FALSE(report.mail_size);
    EXPECT_TRUE(report.mail_tool);
    EXPECT_EQ(extension(g_converter.input_path), "PMD");
    EXPECT_EQ(memcmp(g_ringtone.data, "cmid", 4), 0);
    expect_silent();
}

TEST_F(ConversionSteps, MmfBuildWritesNoFile) {
    g_options.model = 2;
    load(melody(60), "song.mid");
    EXPECT_EQ(mmf_build(), PrepResult::ready);
    EXPECT_EQ(memcmp(g_ringtone.data, "MMMD", 4), 0);
    EXPECT_EQ(extension(g_converter.input_path), "mmf");
    EXPECT_FALSE(exists("song.mmf"));
    expect_silent();
}

TEST_F(ConversionSteps, ReadersBuildTheSmfButLeaveTheWritingToTheShell) {
    struct Case {
        int model;
        const char* ringtone;
        const char* smf;
        RingtoneReadReport (*read)();
    };
    // Each case has its own stem: where file names ignore case (Windows), the first case's
    // song.MID would be the second case's song.mid.
    for (Case c :
         {Case{0, "tune.MLD", "tune.MID", mld_read}, Case{2, "song.mmf", "song.mid", mmf_read}}) {
        SetUp();
        g_options.model = c.model;
        g_converter.version1_answer = PresetAnswer::no;
        Bytes source = melody(60);
        // The SMF the ringtone was made from is moved aside, so that the reader's output
        // name is free.
        ASSERT_TRUE(convert(source, "source.mid")) << c.ringtone;
        std::string made = std::string("source.") + extension(g_converter.input_path);
        write_file_bytes(dir.file(c.ringtone), output(made));
        g_headless.messages.clear();
        snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s",
                 dir.file(c.ringtone).c_str());

        RingtoneReadReport report = c.read();
        EXPECT_EQ(report.result, RingtoneReadResult::built) << c.ringtone;
        EXPECT_FALSE(exists(c.smf)) << c.ringtone;
        expect_silent();
        // The whole conversion writes what the reader built.
        snprintf(g_converter.input_path, sizeof g_converter.input_path, "%s",
                 dir.file(c.ringtone).c_str());
        report = c.model == 2 ? mmf_to_smf() : ringtone_to_smf();
        EXPECT_EQ(report.result, RingtoneReadResult::written) << c.ringtone;
        EXPECT_TRUE(exists(c.smf)) << c.ringtone;
    }
}

} // namespace
