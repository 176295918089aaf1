// The settings file ZB47.DAT (layout, checksum, what is read back and what is forced) and the
// tone initialisation song (its bytes and the dialog, question and failure paths of its writing).
#include "tests/engine/engine_fixture.h"

#include "songcore/track_normalize.h"

#include "common/text_sjis.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

namespace {

// Offsets of the file, as laid out for the program.
constexpr size_t AT_NOTE_MAP = 96;
constexpr size_t AT_PROGRAM_MAP = 224;
constexpr size_t AT_SLOTS = 352;
constexpr size_t AT_MENU = 864;
constexpr size_t AT_PROGRAMS = 870;
constexpr size_t AT_BANKS = 886;
constexpr size_t AT_REVERB = 902;
constexpr size_t AT_CHORUS = 918;
constexpr size_t AT_DRUMS = 934;
constexpr size_t AT_PAN = 950;
constexpr size_t AT_VOLUME = 966;
constexpr size_t AT_EXPRESSION = 982;
constexpr size_t AT_NRPN = 998;
constexpr size_t AT_PORTS = 1126;
constexpr size_t AT_UNUSED = 1190;
constexpr size_t AT_SUM = 4095;

const uint8_t DEFAULT_CHORDS[96] = {
    60, 64, 67, 72, 60, 65, 67, 70, 62, 65, 69, 74, 62, 65, 68, 72, 64, 67, 71, 76, 65, 69, 72, 77,
    66, 69, 72, 76, 67, 71, 74, 79, 67, 72, 74, 77, 57, 60, 64, 69, 58, 62, 65, 68, 59, 62, 65, 69,
    60, 64, 67, 70, 60, 64, 67, 71, 62, 65, 69, 72, 64, 68, 71, 74, 64, 67, 71, 74, 65, 69, 72, 76,
    65, 68, 72, 76, 67, 71, 74, 77, 67, 70, 74, 77, 57, 60, 64, 67, 57, 61, 64, 67, 59, 62, 66, 69};

// Slot defaults of a fresh program; every slot not listed is 0. From slot 0 on: the panels'
// own fields (PC KEY, KEY ASSIGN and the event filter's switches on, the edit commands'
// tracks, measures and lengths 1, and the README's values in brackets).
const std::pair<int, int32_t> DEFAULT_SLOTS[] = {
    {53, 90},  {54, 4},    {55, 480}, {56, 1},    {57, 1},   {60, 1},  {64, 1},    {66, 7},
    {74, 1},   {76, 1},    {77, 1},   {79, 1},    {90, 1},   {95, 10}, {96, 20},   {97, 30},
    {98, 40},  {99, 50},   {100, 60}, {101, 70},  {102, 80}, {106, 1}, {108, 17},  {119, 10},
    {120, 34}, {121, 100}, {122, 33}, {123, 100}, {128, 1},  {134, 1}, {141, 100}, {0, 1},
    {1, 1},    {2, 1},     {3, 1},    {4, 1},     {5, 1},    {6, 1},   {7, 1},     {8, 1},
    {9, 1},    {10, 1},    {11, 1},   {12, 1},    {14, 1},   {15, 1},  {16, 1},    {17, 4},
    {18, 90},  {19, 1},    {20, 4},   {21, 4},    {22, 120}, {24, 1},  {25, 1},    {26, 1},
    {27, 1},   {28, 1},    {29, 1},   {30, 1},    {31, 1},   {32, 1},  {33, 1},    {34, 1},
    {35, 1},   {36, 1},    {37, 1},   {38, 1},    {39, 1},   {40, 1},  {43, 60},   {44, 60},
    {45, 1},   {46, 1},    {47, 1},   {48, 1},    {49, 1},   {50, 1},  {51, 1},    {52, 1},
    {143, 1},  {144, 1},   {145, 1},  {146, 1},   {147, 1},  {148, 1}, {149, 1},   {150, 17},
    {152, 1},  {153, 1},   {154, 17}, {156, 1},   {157, 1},  {159, 1}, {160, 1},   {161, 1},
    {162, 1},  {163, 1}};

// A file image built from the layout, independent of the program's writer.
struct Image {
    Bytes b = Bytes(SETTINGS_FILE_SIZE, 0);
    void slot(int index, int32_t value) {
        uint32_t word =
            value < 0 ? 0x8000u | static_cast<uint32_t>(-value) : static_cast<uint32_t>(value);
        b[AT_SLOTS + 2 * index] = static_cast<uint8_t>(word >> 8);
        b[AT_SLOTS + 2 * index + 1] = static_cast<uint8_t>(word);
    }
    Image& seal() {
        uint32_t sum = 0;
        for (size_t i = 0; i < AT_SUM; i++) {
            sum += b[i];
        }
        b[AT_SUM] = static_cast<uint8_t>(sum);
        return *this;
    }
};

Image default_image() {
    Image im;
    std::copy(DEFAULT_CHORDS, DEFAULT_CHORDS + 96, im.b.begin());
    for (int i = 0; i < 128; i++) {
        im.b[AT_NOTE_MAP + i] = static_cast<uint8_t>(i);
        im.b[AT_PROGRAM_MAP + i] = static_cast<uint8_t>(i);
    }
    for (auto [index, value] : DEFAULT_SLOTS) {
        im.slot(index, value);
    }
    for (int ch = 0; ch < 16; ch++) {
        im.b[AT_REVERB + ch] = 40;
        im.b[AT_PAN + ch] = 64;
        im.b[AT_VOLUME + ch] = 100;
        im.b[AT_EXPRESSION + ch] = 127;
        for (int p = 0; p < 8; p++) {
            im.b[AT_NRPN + ch * 8 + p] = 64;
        }
    }
    im.b[AT_DRUMS + 9] = 0x80;
    return im.seal();
}

class SettingsFile : public EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        g_headless.program_directory = dir.path;
    }
    std::string dat() const { return dir.file(SETTINGS_FILE_NAME); }
    Bytes file() const { return read_file_bytes(dat()); }
    void put(const Bytes& bytes) const { write_file_bytes(dat(), bytes); }
    static void send(Bytes bytes) { midi_send(bytes.data(), static_cast<uint32_t>(bytes.size())); }
    // The program as it starts again: every record at its start state, the store empty.
    static void restart() {
        engine_devices_close();
        engine_reset();
        song_store_init(SEQUENCER_STORE);
        settings_apply();
    }
    std::vector<std::string> dir_names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

TEST_F(SettingsFile, FreshProgramWritesTheDefaultImageByteForByte) {
    ASSERT_EQ(settings_write(), 1);
    EXPECT_EQ(file(), default_image().b);
}

TEST_F(SettingsFile, EveryBlockLandsAtItsOffset) {
    g_midi_maps.chord_table[1] = 61;
    g_midi_maps.chord_table[95] = 99;
    g_midi_maps.note_map[0] = 5;
    g_midi_maps.note_map[127] = 126;
    g_midi_maps.program_map[0] = 7;
    g_midi_maps.program_map[127] = 1;
    g_settings.slots[0] = -3;
    g_settings.slots[255] = 300;
    g_settings.menu_cursor[0] = 2;
    g_settings.menu_cursor[5] = 1;
    g_midi_maps.transpose_on = true;
    g_midi_maps.playback_transpose = -5; // slots 135 and 136
    send({0xC0, 5});
    send({0xCF, 9});
    send({0xB1, 0x00, 3});
    send({0xB2, 0x5B, 0x10});
    send({0xB3, 0x5D, 0x20});
    send({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x12, 0x15, 0x01, 0x18, 0xF7}); // part 2 drums
    send({0xB4, 0x0A, 0x11});
    send({0xB5, 0x07, 0x12});
    send({0xB6, 0x0B, 0x13});
    send({0xB0, 0x63, 1});
    send({0xB0, 0x62, 0x08});
    send({0xB0, 0x06, 0x50});
    send({0xBF, 0x63, 1});
    send({0xBF, 0x62, 0x66});
    send({0xBF, 0x06, 0x21});
    g_song.track_port[0] = 1;
    g_song.track_port[63] = 2;
    ASSERT_EQ(settings_write(), 1);

    Image want = default_image();
    const std::pair<size_t, uint8_t> changed[] = {
        {1, 61},     {95, 99},    {96, 5},      {223, 126},  {224, 7},    {351, 1},
        {352, 0x80}, {353, 0x03}, {862, 0x01},  {863, 0x2C}, {864, 2},    {869, 1},
        {622, 0x00}, {623, 0x01}, {624, 0x80},  {625, 0x05}, {870, 5},    {885, 9},
        {887, 3},    {904, 0x10}, {921, 0x20},  {935, 0x80}, {954, 0x11}, {971, 0x12},
        {988, 0x13}, {998, 0x50}, {1125, 0x21}, {1126, 1},   {1189, 2}};
    for (auto [offset, value] : changed) {
        want.b[offset] = value;
    }
    want.seal();
    Bytes got = file();
    ASSERT_EQ(got.size(), SETTINGS_FILE_SIZE);
    for (size_t i = 0; i < SETTINGS_FILE_SIZE; i++) {
        EXPECT_EQ(got[i], want.b[i]) << "offset " << i;
    }
    uint32_t sum = 0;
    for (size_t i = 0; i < AT_SUM; i++) {
        sum += got[i];
    }
    EXPECT_EQ(got[AT_SUM], sum & 0xFF);
}

TEST_F(SettingsFile, RoundTripRestoresSettingsButNotTheChannelState) {
    g_settings.slots[0] = -3;
    g_settings.slots[1] = 32767;
    g_settings.slots[SLOT_MOVE_DELAY] = -32767;
    g_settings.slots[SLOT_SLEEP] = 2;
    g_settings.slots[SLOT_STEP_NOTE_VALUE] = 8;
    g_settings.slots[SLOT_METRONOME_CHANNEL] = 3;
    g_midi_maps.note_map[60] = 61;
    g_midi_maps.program_map[5] = 9;
    g_midi_maps.chord_table[0] = 48;
    g_midi_maps.chord_table[95] = 70;
    const uint8_t cursors[6] = {3, 1, 4, 1, 5, 1};
    memcpy(g_settings.menu_cursor, cursors, 6);
    g_song.track_port[0] = 1;
    g_song.track_port[40] = 7;
    g_song.tracing_track = 3;
    g_song.write_track = 7;
    g_midi_devices.current_out_port = 1;
    g_midi_maps.rechord_on = true;
    g_midi_maps.rechord_track = 5;
    g_midi_maps.transpose_on = true;
    g_midi_maps.playback_transpose = -12;
    g_midi_maps.midi_link_switch = false;
    g_midi_maps.micro_channel = 5;
    send({0xC2, 5});
    ASSERT_EQ(settings_write(), 1);

    restart();
    ASSERT_EQ(g_settings.slots[0], 1); // PC KEY's default
    ASSERT_EQ(g_song.track_port[0], 0);
    ASSERT_EQ(settings_read(), 0);
    EXPECT_EQ(g_settings.slots[0], -3);
    EXPECT_EQ(g_settings.slots[1], 32767);
    EXPECT_EQ(g_settings.slots[SLOT_MOVE_DELAY], -32767);
    EXPECT_EQ(g_settings.slots[SLOT_SLEEP], 2);
    EXPECT_FALSE(sleep_option_on());
    EXPECT_EQ(g_settings.slots[SLOT_STEP_LENGTH], 240); // 480 * 4 / 8, recomputed
    EXPECT_EQ(g_player.click_on[0][0], 0x92);
    EXPECT_EQ(g_midi_maps.note_map[60], 61);
    EXPECT_EQ(g_midi_maps.program_map[5], 9);
    EXPECT_EQ(g_midi_maps.chord_table[0], 48);
    EXPECT_EQ(g_midi_maps.chord_table[95], 70);
    EXPECT_EQ(memcmp(g_settings.menu_cursor, cursors, 6), 0);
    EXPECT_TRUE(g_transport.step_recording);
    EXPECT_EQ(g_song.track_port[0], 1);
    EXPECT_EQ(g_song.track_port[40], 7);
    EXPECT_EQ(g_song.track_port[1], 0);
    EXPECT_EQ(g_song.tracing_track, 3);
    EXPECT_EQ(g_song.write_track, 7);
    EXPECT_EQ(g_midi_devices.current_out_port, 1);
    EXPECT_TRUE(g_midi_maps.rechord_on);
    EXPECT_EQ(g_midi_maps.rechord_track, 5);
    EXPECT_TRUE(g_midi_maps.transpose_on);
    EXPECT_EQ(g_midi_maps.playback_transpose, -12);
    EXPECT_FALSE(g_midi_maps.midi_link_switch);
    EXPECT_EQ(g_midi_maps.micro_channel, 5);
    // The channel state is written for the record only: a start begins from the reset state.
    EXPECT_EQ(g_channel_state.channel_program[2], 0);
}

TEST_F(SettingsFile, SignAndMagnitudeSlotsAreDecodedFromTheirBytes) {
    Image im = default_image();
    // Slots of fields the panels keep, which the start leaves as the file has them.
    const std::pair<int, std::pair<uint8_t, uint8_t>> words[] = {{10, {0x80, 0x03}},
                                                                 {11, {0xFF, 0xFF}},
                                                                 {12, {0x80, 0x00}},
                                                                 {13, {0x7F, 0xFF}},
                                                                 {14, {0x01, 0x00}}};
    for (auto [slot, word] : words) {
        im.b[AT_SLOTS + 2 * slot] = word.first;
        im.b[AT_SLOTS + 2 * slot + 1] = word.second;
    }
    put(im.seal().b);
    ASSERT_EQ(settings_read(), 0);
    EXPECT_EQ(g_settings.slots[10], -3);
    EXPECT_EQ(g_settings.slots[11], -32767);
    EXPECT_EQ(g_settings.slots[12], 0);
    EXPECT_EQ(g_settings.slots[13], 32767);
    EXPECT_EQ(g_settings.slots[14], 256);
}

struct RejectCase {
    const char* name;
    std::function<void(Bytes&)> spoil; // applied to a valid file
    bool write_file;
    bool fail_close;
    int result;
};

TEST_F(SettingsFile, DamagedShortOrMissingFilesLeaveEveryDefault) {
    const RejectCase cases[] = {
        {"valid", [](Bytes&) {}, true, false, 0},
        {"one byte longer", [](Bytes& b) { b.push_back(0x55); }, true, false, 0},
        {"checksum one more", [](Bytes& b) { b[AT_SUM]++; }, true, false, 1},
        {"checksum one less", [](Bytes& b) { b[AT_SUM]--; }, true, false, 1},
        {"content byte changed", [](Bytes& b) { b[4094] ^= 1; }, true, false, 1},
        {"one byte short", [](Bytes& b) { b.pop_back(); }, true, false, 1},
        {"empty", [](Bytes& b) { b.clear(); }, true, false, 1},
        {"missing", [](Bytes&) {}, false, false, 1},
        {"failing close", [](Bytes&) {}, true, true, 1},
    };
    for (const RejectCase& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        std::filesystem::remove(dat());
        Image im = default_image();
        im.slot(0, -3);
        im.slot(SLOT_SLEEP, 2);
        im.b[AT_NOTE_MAP + 60] = 61;
        im.b[5] = 1;
        im.b[AT_PORTS] = 4;
        im.seal();
        c.spoil(im.b);
        if (c.write_file) {
            put(im.b);
        }
        g_headless.fail_next_read_close = c.fail_close;
        ASSERT_EQ(settings_read(), c.result);
        bool applied = c.result == 0;
        EXPECT_EQ(g_settings.slots[0], applied ? -3 : 1);
        EXPECT_EQ(g_settings.slots[SLOT_SLEEP], applied ? 2 : 7);
        EXPECT_EQ(g_midi_maps.note_map[60], applied ? 61 : 60);
        EXPECT_EQ(g_midi_maps.chord_table[5], applied ? 1 : 65);
        EXPECT_EQ(g_song.track_port[0], applied ? 4 : 0);
        if (!applied) {
            for (auto [index, value] : DEFAULT_SLOTS) {
                EXPECT_EQ(g_settings.slots[index], value) << "slot " << index;
            }
        }
    }
}

TEST_F(SettingsFile, UnusedBytesAreWrittenBackAsRead) {
    Image im = default_image();
    for (size_t i = AT_UNUSED; i < 4094; i++) {
        im.b[i] = static_cast<uint8_t>(i * 7 + 1);
    }
    put(im.seal().b);
    ASSERT_EQ(settings_read(), 0);
    ASSERT_EQ(settings_write(), 1);
    Bytes got = file();
    ASSERT_EQ(got.size(), SETTINGS_FILE_SIZE);
    EXPECT_TRUE(
        std::equal(got.begin() + AT_UNUSED, got.begin() + AT_SUM, im.b.begin() + AT_UNUSED));
    EXPECT_EQ(got, im.b);
}

// The sum written must cover byte 4094 too, or a file whose last unused byte is set would be
// refused by the next start once it has been written back.
TEST_F(SettingsFile, RegressionChecksumCoversTheLastUnusedByte) {
    Image im = default_image();
    im.b[4094] = 0x55;
    im.b[AT_UNUSED] = 0xAA;
    put(im.seal().b);
    ASSERT_EQ(settings_read(), 0);
    g_settings.slots[0] = -3;
    ASSERT_EQ(settings_write(), 1);
    Bytes got = file();
    EXPECT_EQ(got[4094], 0x55);
    im.slot(0, -3);
    EXPECT_EQ(got, im.seal().b);
    restart();
    ASSERT_EQ(settings_read(), 0);
    EXPECT_EQ(g_settings.slots[0], -3);
}

TEST_F(SettingsFile, OutPortAboveEightResetsItAndEveryTrackPort) {
    const struct {
        int32_t saved;
        int32_t port;
        uint8_t track_ports;
    } cases[] = {{8, 8, 3}, {9, 0, 0}, {32767, 0, 0}, {-1, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        restart();
        Image im = default_image();
        im.slot(SLOT_CURRENT_OUT_PORT, c.saved);
        std::fill(im.b.begin() + AT_PORTS, im.b.begin() + AT_PORTS + 64, 3);
        put(im.seal().b);
        ASSERT_EQ(settings_read(), 0);
        EXPECT_EQ(g_settings.slots[SLOT_CURRENT_OUT_PORT], c.port);
        EXPECT_EQ(g_midi_devices.current_out_port, c.port);
        for (int t = 0; t < MAX_TRACKS; t++) {
            ASSERT_EQ(g_song.track_port[t], c.track_ports) << "track " << t;
        }
    }
}

TEST_F(SettingsFile, SavedOutPortTheSystemLacksFallsBackToPortZero) {
    const struct {
        int outputs;
        bool mapper;
        int port;
    } cases[] = {{1, false, 0}, {2, false, 0}, {3, false, 2}, {2, true, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outputs);
        restart();
        Image im = default_image();
        im.slot(SLOT_CURRENT_OUT_PORT, 2);
        std::fill(im.b.begin() + AT_PORTS, im.b.begin() + AT_PORTS + 64, 2);
        put(im.seal().b);
        ASSERT_EQ(settings_read(), 0);
        reopen_devices(c.outputs, c.mapper);
        EXPECT_EQ(g_midi_devices.current_out_port, c.port);
        for (int t = 0; t < MAX_TRACKS; t++) {
            ASSERT_EQ(g_song.track_port[t], c.port) << "track " << t;
        }
    }
}

TEST_F(SettingsFile, RechordAndBackupSwitchesAboveOneAreForcedOff) {
    const struct {
        int32_t saved;
        int32_t kept;
    } cases[] = {{0, 0}, {1, 1}, {2, 0}, {32767, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        restart();
        Image im = default_image();
        im.slot(SLOT_RECHORD_ON, c.saved);
        im.slot(SLOT_BACKUP_ALLOWED, c.saved);
        put(im.seal().b);
        ASSERT_EQ(settings_read(), 0);
        EXPECT_EQ(g_settings.slots[SLOT_RECHORD_ON], c.kept);
        EXPECT_EQ(g_settings.slots[SLOT_BACKUP_ALLOWED], c.kept);
        EXPECT_EQ(g_midi_maps.rechord_on, c.kept == 1);
    }
}

TEST_F(SettingsFile, MetronomeMessagesAreBuiltFromTheReadSlots) {
    Image im = default_image();
    im.slot(SLOT_METRONOME_CHANNEL, 3);
    im.slot(SLOT_METRONOME_ACCENT_NOTE, 40);
    im.slot(SLOT_METRONOME_ACCENT_VELOCITY, 90);
    im.slot(SLOT_METRONOME_NOTE, 41);
    im.slot(SLOT_METRONOME_VELOCITY, 80);
    put(im.seal().b);
    ASSERT_EQ(settings_read(), 0);
    const uint8_t on[2][3] = {{0x92, 40, 90}, {0x92, 41, 80}};
    const uint8_t off[2][3] = {{0x82, 40, 0}, {0x82, 41, 0}};
    EXPECT_EQ(memcmp(g_player.click_on, on, sizeof on), 0);
    EXPECT_EQ(memcmp(g_player.click_off, off, sizeof off), 0);
}

TEST_F(SettingsFile, FailedWriteReturnsZeroAndKeepsTheOldFile) {
    const struct {
        const char* name;
        std::function<void()> fault;
    } cases[] = {
        {"create", [] { g_headless.fail_open_write = true; }},
        {"short write", [] { g_headless.fail_write_after = 100; }},
        {"close", [] { g_headless.fail_next_write_close = true; }},
        {"rename", [] { g_headless.fail_rename = true; }},
    };
    ASSERT_EQ(settings_write(), 1);
    const Bytes old = file();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_settings.slots[0] = -3;
        c.fault();
        EXPECT_EQ(settings_write(), 0);
        headless_reset();
        g_headless.program_directory = dir.path;
        EXPECT_EQ(file(), old);
        EXPECT_EQ(dir_names(), std::vector<std::string>{SETTINGS_FILE_NAME});
    }
}

// The tone initialisation song.
class InitFile : public SettingsFile {
protected:
    static Bytes image() {
        uint8_t out[4096];
        uint32_t n = init_file_image(out, sizeof out);
        return Bytes(out, out + n);
    }
    std::string song_path() const { return dir.file("tone.mid"); }
};

const Bytes INIT_HEADER = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 1, 0xE0, 'M', 'T', 'r', 'k'};
const Bytes INIT_END = {0x01, 0xFF, 0x2F, 0x00};
// Channel 3 in the reset state but for program 5.
const Bytes CHANNEL3_PROGRAM5 = {0x01, 0xB2, 0x20, 0x00, 0x01, 0xB2, 0x00, 0x00, 0x01,
                                 0xC2, 0x05, 0x01, 0xB2, 0x07, 0x64, 0x01, 0xB2, 0x0A,
                                 0x40, 0x01, 0xB2, 0x5B, 0x28, 0x01, 0xB2, 0x5D, 0x00};

TEST_F(InitFile, ResetStateGivesOnlyTheHeaderAndTheEnd) {
    EXPECT_EQ(image(), concat({INIT_HEADER, {0, 0, 0, 4}, INIT_END}));
}

TEST_F(InitFile, ProgramChangeAfterGsResetGivesOneBlockForItsChannel) {
    send({0xB0, 0x07, 30});
    send({0xB5, 0x63, 1});
    send({0xB5, 0x62, 0x20});
    send({0xB5, 0x06, 0x10});
    send({0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7});
    send({0xC2, 0x05});
    ASSERT_EQ(CHANNEL3_PROGRAM5.size(), 27u);
    EXPECT_EQ(image(), concat({INIT_HEADER, {0, 0, 0, 31}, CHANNEL3_PROGRAM5, INIT_END}));
}

TEST_F(InitFile, ChannelBlocksAndNrpnBlocksInChannelOrder) {
    send({0xCF, 0x7F});       // channel 16: program
    send({0xB0, 0x07, 0x50}); // channel 1: volume
    send({0xB0, 0x63, 1});
    send({0xB0, 0x62, 0x66}); // channel 1, parameter 7
    send({0xB0, 0x06, 0x70});
    send({0xB0, 0x63, 1});
    send({0xB0, 0x62, 0x08}); // channel 1, parameter 0
    send({0xB0, 0x06, 0x30});
    send({0xB1, 0x63, 1});
    send({0xB1, 0x62, 0x09}); // channel 2, parameter 1; its channel block stays out
    send({0xB1, 0x06, 0x50});
    send({0xB4, 0x0B, 0x10}); // channel 5: expression alone is not written
    send({0xB6, 0x20, 0x01}); // channel 7: bank LSB alone is
    Bytes want = concat({
        INIT_HEADER,
        {0, 0, 0, 133},
        {100,  0xB0, 0x20, 0,    1,    0xB0, 0x00, 0,    1,    0xC0, 0,    1,    0xB0, 0x07,
         0x50, 1,    0xB0, 0x0A, 0x40, 1,    0xB0, 0x5B, 0x28, 1,    0xB0, 0x5D, 0},
        {0, 0xB0, 0x63, 1, 0, 0xB0, 0x62, 0x08, 0, 0xB0, 0x06, 0x30, 0, 0xB0, 0x26, 0},
        {0, 0xB0, 0x63, 1, 0, 0xB0, 0x62, 0x66, 0, 0xB0, 0x06, 0x70, 0, 0xB0, 0x26, 0},
        {0, 0xB1, 0x63, 1, 0, 0xB1, 0x62, 0x09, 0, 0xB1, 0x06, 0x50, 0, 0xB1, 0x26, 0},
        {1,   0xB6, 0x20, 1,    1,  0xB6, 0x00, 0,    1,  0xC6, 0,    1,    0xB6, 0x07,
         100, 1,    0xB6, 0x0A, 64, 1,    0xB6, 0x5B, 40, 1,    0xB6, 0x5D, 0},
        {1,   0xBF, 0x20, 0,    1,  0xBF, 0x00, 0,    1,  0xCF, 0x7F, 1,    0xBF, 0x07,
         100, 1,    0xBF, 0x0A, 64, 1,    0xBF, 0x5B, 40, 1,    0xBF, 0x5D, 0},
        INIT_END,
    });
    EXPECT_EQ(image(), want);
}

TEST_F(InitFile, WrittenFileHoldsTheImage) {
    send({0xC2, 0x05});
    g_headless.dialog_paths = {song_path()};
    EXPECT_EQ(init_file_write(), 1);
    EXPECT_EQ(g_headless.dialog_proposals, std::vector<std::string>{INIT_FILE_NAME});
    EXPECT_EQ(read_file_bytes(song_path()),
              concat({INIT_HEADER, {0, 0, 0, 31}, CHANNEL3_PROGRAM5, INIT_END}));
    EXPECT_TRUE(g_headless.questions.empty());
    EXPECT_TRUE(g_headless.status_texts.empty());
}

TEST_F(InitFile, CancelledDialogWritesNothing) {
    g_headless.dialog_paths = {""};
    EXPECT_EQ(init_file_write(), 0);
    EXPECT_TRUE(dir_names().empty());
}

TEST_F(InitFile, ExistingFileIsKeptWhenTheUserSaysNo) {
    const struct {
        UiLanguage language;
        std::string question;
    } cases[] = {
        {UiLanguage::english, "\n\nAlready SameName Of File. over write ?"},
        {UiLanguage::japanese,
         utf8_to_sjis("\n\n同じ名前のファイルがあります。\n上書き保存しますか？")},
    };
    const Bytes old = {'o', 'l', 'd'};
    for (const auto& c : cases) {
        headless_reset();
        write_file_bytes(song_path(), old);
        g_headless.language = c.language;
        g_headless.dialog_paths = {song_path()};
        g_headless.answers = {false};
        EXPECT_EQ(init_file_write(), 1);
        EXPECT_EQ(read_file_bytes(song_path()), old);
        ASSERT_EQ(g_headless.questions.size(), 1u);
        EXPECT_EQ(g_headless.questions[0].caption, "\x83\x81\x83\x62\x83\x5A\x81\x5B\x83\x57");
        EXPECT_EQ(g_headless.questions[0].text, song_path() + c.question + "\r\n");
    }
    g_headless.dialog_paths = {song_path()};
    g_headless.answers = {true};
    EXPECT_EQ(init_file_write(), 1);
    EXPECT_EQ(read_file_bytes(song_path()), concat({INIT_HEADER, {0, 0, 0, 4}, INIT_END}));
}

TEST_F(InitFile, WriteFailuresShowTheirStatusAndKeepTheOldFile) {
    const struct {
        const char* status;
        std::function<void()> fault;
    } cases[] = {
        {"drive not found", [] { g_headless.fail_open_write = true; }},
        {"Write error", [] { g_headless.fail_write_after = 10; }},
        {"close error", [] { g_headless.fail_next_write_close = true; }},
    };
    const Bytes old = {'o', 'l', 'd'};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        headless_reset();
        write_file_bytes(song_path(), old);
        g_headless.dialog_paths = {song_path()};
        g_headless.answers = {true};
        c.fault();
        EXPECT_EQ(init_file_write(), 1);
        EXPECT_EQ(g_headless.status_texts, std::vector<std::string>{c.status});
        EXPECT_EQ(read_file_bytes(song_path()), old);
        EXPECT_EQ(dir_names(), std::vector<std::string>{"tone.mid"});
    }
}

} // namespace

namespace {

TEST_F(SettingsFile, AFileFromBeforeThePanelFieldsKeepsTheirDefaults) {
    // Every panel-field slot zero, as a file written before they were kept: the defaults stay.
    Image old = default_image();
    for (int slot = 0; slot <= SLOT_POLY_TRACK; slot++) {
        old.slot(slot, 0);
    }
    for (int slot = SLOT_MONO_TRACK; slot <= SLOT_ACCOMP_CHORD_TRACK; slot++) {
        old.slot(slot, 0);
    }
    old.slot(SLOT_FIXED_VELOCITY, 0);
    put(old.seal().b);
    ASSERT_EQ(settings_read(), 0);
    EXPECT_EQ(g_settings.slots[SLOT_PC_KEY], 1);
    EXPECT_EQ(g_settings.slots[SLOT_EVENT_FILTER_FIRST + 7], 1);
    EXPECT_EQ(g_settings.slots[SLOT_QUANTIZE_NOTE], 4);
    EXPECT_EQ(g_settings.slots[SLOT_CREATE_TEMPO], 120);
    EXPECT_EQ(g_settings.slots[SLOT_MOVE_SRC_CHANNEL], 17);
    EXPECT_EQ(g_settings.slots[SLOT_FIXED_VELOCITY], 100);

    // A file written since keeps a switch turned off and a zero a field may hold.
    restart();
    Image recent = default_image();
    recent.slot(SLOT_PC_KEY, 0);
    recent.slot(SLOT_CREATE_COUNT, 0);
    recent.slot(SLOT_FIXED_VELOCITY, 64);
    put(recent.seal().b);
    ASSERT_EQ(settings_read(), 0);
    EXPECT_EQ(g_settings.slots[SLOT_PC_KEY], 0);
    EXPECT_EQ(g_settings.slots[SLOT_QUANTIZE_NOTE], 4);
    EXPECT_EQ(g_settings.slots[SLOT_FIXED_VELOCITY], 64);
}

TEST_F(SettingsFile, TheEventFilterStartsAllOnWhateverTheFileHolds) {
    Image im = default_image();
    im.slot(SLOT_EVENT_FILTER_FIRST + 3, 0); // program changes off when the file was written
    put(im.seal().b);
    ASSERT_EQ(settings_read(), 0);
    settings_apply();
    for (int i = 0; i < FILTER_SWITCHES; i++) {
        EXPECT_EQ(g_event_filter.pass[i], 1) << i;
        EXPECT_EQ(g_settings.slots[SLOT_EVENT_FILTER_FIRST + i], 1) << i;
    }
}

} // namespace
