// Whole runs of zb47 with the built-in synthesizer: what start-up says when its port is silent
// or missing while the other ports play on, and --render from the command line.
#include "tests/shell/zb47_run.h"

#include "tests/support/smf_builder.h"

namespace {

class SynthRun : public Zb47Run {
protected:
    void SetUp() override {
#ifndef ZB_WITH_FLUIDSYNTH
        GTEST_SKIP() << "built without the synthesizer (libfluidsynth-dev was missing)";
#endif
    }
    // zb47 with these arguments in the test's directory; standard error goes to stderr.txt.
    int zb47(const std::string& arguments) {
        std::string command = "cd '" + dir.path + "' && LC_ALL=C LANG=C '" ZB47_PROGRAM "' " +
                              arguments + " 2>stderr.txt";
        int status = system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    int headless_with_synth(const std::string& more) {
        std::ofstream(dir.file("script.txt")) << "wait 300\n";
        return zb47("--headless --synth --dir '" + dir.path +
                    "' --script script.txt --log log.txt " + more + " '" + demo_song() + "'");
    }
    std::string errors() const {
        return read_text(dir.file("stderr.txt"));
    }
    static std::string demo_song() {
        return test_data_dir() + "/../../resources/demo.mid";
    }
};

TEST_F(SynthRun, AnUnreadableSoundFontIsNamedAndTheVirtualPortStillPlays) {
    write_file_bytes(dir.file("broken.sf2"), {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't'});
    ASSERT_EQ(headless_with_synth("--soundfont broken.sf2"), 0) << errors();
    EXPECT_NE(errors().find("the sound font broken.sf2 cannot be read"), std::string::npos)
        << errors();
    std::string text = log();
    EXPECT_NE(text.find("status: Sound font unreadable: ZB47 Synth is off"), std::string::npos)
        << text;
    EXPECT_NE(text.find("midi 0: 90 "), std::string::npos) << text;
}

TEST_F(SynthRun, WithoutAudioOutputStartUpSaysSoAndTheVirtualPortStillPlays) {
    ASSERT_EQ(headless_with_synth(""), 0) << errors();
    if (errors().find("no General MIDI sound font") != std::string::npos) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    if (errors().find("audio period") != std::string::npos) {
        GTEST_SKIP() << "this machine has an audio output";
    }
    std::string text = log();
    EXPECT_NE(text.find("status: No audio output: ZB47 Synth is silent"), std::string::npos)
        << text;
    EXPECT_NE(text.find("midi 0: 90 "), std::string::npos) << text;
}

TEST_F(SynthRun, RenderWritesTheWavFileAndShowsItsProgress) {
    int status = zb47("--render '" + demo_song() + "' demo.wav --dir '" + dir.path + "'");
    if (errors().find("no General MIDI sound font") != std::string::npos) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    ASSERT_EQ(status, 0) << errors();
    EXPECT_NE(errors().find("rendering 100%"), std::string::npos) << errors();
    Bytes wav = read_file_bytes(dir.file("demo.wav"));
    ASSERT_GT(wav.size(), 44u);
    EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
}

TEST_F(SynthRun, RenderOfASongThatDoesNotLoadFailsWithItsName) {
    write_file_bytes(dir.file("empty.mid"), {});
    EXPECT_EQ(zb47("--render empty.mid out.wav --dir '" + dir.path + "'"), 1);
    EXPECT_NE(errors().find("empty.mid: the song could not be loaded"), std::string::npos)
        << errors();
    EXPECT_FALSE(std::ifstream(dir.file("out.wav")).good());
}

TEST_F(SynthRun, RenderIntoAFolderThatIsNotThereFailsWithTheFileName) {
    int status = zb47("--render '" + demo_song() + "' missing/out.wav --dir '" + dir.path + "'");
    if (errors().find("no General MIDI sound font") != std::string::npos) {
        GTEST_SKIP() << "no General MIDI sound font installed";
    }
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors().find("missing/out.wav: the WAV file could not be written"),
              std::string::npos)
        << errors();
}

} // namespace
