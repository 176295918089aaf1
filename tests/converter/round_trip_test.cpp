// SMF -> ringtone -> SMF keeps keys, order and durations (in real time, within the output
// format's resolution) for songs with several channels, drums, chords, tempo changes, long
// notes and sustain. The notes are read from the files by a small reader of its own.
#include "converter/converter.h"
#include "tests/converter/converter_fixture.h"
#include "tests/support/smf_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

using RoundTrip = ConverterFixture;

struct Note {
    double start_ms;
    double length_ms;
    int channel;
    int key;
};

struct TimedEvent {
    uint32_t tick;
    int order;
    Bytes bytes; // status and data; meta as FF type data
};

uint32_t read_vlq(const Bytes& b, size_t& p) {
    uint32_t v = 0;
    for (int i = 0; i < 4 && p < b.size(); i++) {
        uint8_t c = b[p++];
        v = (v << 7) | (c & 0x7F);
        if ((c & 0x80) == 0) {
            break;
        }
    }
    return v;
}

// Every event of every track of a well-formed SMF, in time order (track order at equal ticks).
std::vector<TimedEvent> events_of(const Bytes& file, int& division) {
    std::vector<TimedEvent> out;
    division = (file[12] << 8) | file[13];
    size_t p = 14;
    int order = 0;
    while (p + 8 <= file.size()) {
        uint32_t length =
            (file[p + 4] << 24) | (file[p + 5] << 16) | (file[p + 6] << 8) | file[p + 7];
        size_t end = p + 8 + length;
        p += 8;
        uint32_t tick = 0;
        uint8_t running = 0;
        while (p < end) {
            tick += read_vlq(file, p);
            uint8_t status = file[p];
            TimedEvent ev{tick, order++, {}};
            if (status == 0xFF) {
                size_t q = p + 2;
                uint32_t n = read_vlq(file, q);
                ev.bytes = {0xFF, file[p + 1]};
                ev.bytes.insert(ev.bytes.end(), file.begin() + static_cast<long>(q),
                                file.begin() + static_cast<long>(q + n));
                p = q + n;
            } else if (status == 0xF0 || status == 0xF7) {
                size_t q = p + 1;
                uint32_t n = read_vlq(file, q);
                ev.bytes = {status};
                p = q + n;
            } else {
                if (status & 0x80) {
                    running = status;
                    p++;
                }
                int n = (running & 0xF0) == 0xC0 || (running & 0xF0) == 0xD0 ? 1 : 2;
                ev.bytes = {running};
                for (int i = 0; i < n; i++) {
                    ev.bytes.push_back(file[p++]);
                }
            }
            out.push_back(ev);
        }
        p = end;
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const TimedEvent& a, const TimedEvent& b) { return a.tick < b.tick; });
    return out;
}

// The notes in milliseconds, through the file's tempo map. With `sustain` a note-off under a
// held pedal waits for the pedal.
std::vector<Note> notes_of(const Bytes& file, bool sustain) {
    int division;
    std::vector<TimedEvent> events = events_of(file, division);
    double ms = 0;
    uint32_t last_tick = 0;
    double usec = 500000;
    std::map<int, std::vector<double>> open; // channel * 128 + key -> starts
    std::map<int, double> held;              // note-off waiting for the pedal
    bool pedal[16] = {};
    std::vector<Note> notes;
    auto close = [&](int index, double at) {
        auto& starts = open[index];
        if (starts.empty()) {
            return;
        }
        notes.push_back({starts.front(), at - starts.front(), index / 128, index % 128});
        starts.erase(starts.begin());
    };
    for (const TimedEvent& ev : events) {
        ms += (ev.tick - last_tick) * usec / division / 1000.0;
        last_tick = ev.tick;
        uint8_t s = ev.bytes[0];
        if (s == 0xFF && ev.bytes[1] == 0x51) {
            usec = (ev.bytes[2] << 16) | (ev.bytes[3] << 8) | ev.bytes[4];
            continue;
        }
        int channel = s & 0x0F;
        if ((s & 0xF0) == 0xB0 && ev.bytes[1] == 64 && sustain) {
            pedal[channel] = ev.bytes[2] > 64;
            if (!pedal[channel]) {
                for (auto it = held.begin(); it != held.end();) {
                    if (it->first / 128 == channel) {
                        close(it->first, ms);
                        it = held.erase(it);
                    } else {
                        ++it;
                    }
                }
            }
            continue;
        }
        bool on = (s & 0xF0) == 0x90 && ev.bytes[2] > 0;
        bool off = (s & 0xF0) == 0x80 || ((s & 0xF0) == 0x90 && ev.bytes[2] == 0);
        int index = channel * 128 + (ev.bytes.size() > 1 ? ev.bytes[1] : 0);
        if (on) {
            if (held.count(index) != 0) {
                close(index, ms);
                held.erase(index);
            }
            open[index].push_back(ms);
        } else if (off) {
            if (sustain && pedal[channel]) {
                held[index] = ms;
            } else {
                close(index, ms);
            }
        }
    }
    std::sort(notes.begin(), notes.end(), [](const Note& a, const Note& b) {
        return a.start_ms != b.start_ms ? a.start_ms < b.start_ms : a.key < b.key;
    });
    return notes;
}

// Same keys in the same order; starts and lengths within `tolerance_ms`.
void expect_same_notes(const std::vector<Note>& want, const std::vector<Note>& got,
                       double tolerance_ms, bool channels) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); i++) {
        EXPECT_EQ(got[i].key, want[i].key) << "note " << i;
        EXPECT_NEAR(got[i].start_ms, want[i].start_ms, tolerance_ms) << "note " << i;
        EXPECT_NEAR(got[i].length_ms, want[i].length_ms, tolerance_ms) << "note " << i;
        if (channels) {
            EXPECT_EQ(got[i].channel, want[i].channel) << "note " << i;
        }
    }
}

// Two melodic channels (a melody with a long note, a three-note chord), drums on channel 10,
// a tempo change from 120 to 60 bpm and a sustained passage, at the given division.
Bytes band_song(uint16_t q, bool with_sustain, bool long_note = true, bool with_tempo = true) {
    Bytes conductor =
        with_tempo
            ? concat({tempo_event(0, 500000), tempo_event(4 * q, 1000000), end_of_track(8 * q)})
            : end_of_track(8 * q);
    Bytes melody = concat(
        {ev(0, {0xC0, 10}), ev(0, {0x90, 60, 100}), ev(q, {0x80, 60, 0}), ev(0, {0x90, 62, 90}),
         ev(q / 2, {0x80, 62, 0}), ev(q / 2, {0x90, 64, 80}),
         ev(long_note ? static_cast<uint32_t>(q) * 25 / 4 : q, {0x80, 64, 0}), end_of_track(0)});
    Bytes chords = concat({ev(q, {0x91, 48, 100}), ev(0, {0x91, 52, 100}), ev(0, {0x91, 55, 100}),
                           ev(2 * q, {0x81, 48, 0}), ev(0, {0x81, 52, 0}), ev(0, {0x81, 55, 0}),
                           end_of_track(0)});
    if (with_sustain) {
        chords = concat({ev(q, {0x91, 48, 100}), ev(0, {0x91, 52, 100}), ev(0, {0xB1, 64, 127}),
                         ev(q, {0x81, 48, 0}), ev(0, {0x81, 52, 0}), ev(q, {0xB1, 64, 0}),
                         ev(q, {0x91, 55, 100}), ev(q, {0x81, 55, 0}), end_of_track(0)});
    }
    Bytes drums =
        concat({ev(0, {0x99, 36, 100}), ev(q / 4, {0x89, 36, 0}), ev(3 * q / 4, {0x99, 38, 100}),
                ev(q / 4, {0x89, 38, 0}), ev(3 * q / 4, {0x99, 42, 100}), ev(q / 4, {0x89, 42, 0}),
                end_of_track(0)});
    return smf_file(1, q, {conductor, melody, chords, drums});
}

// Each ringtone is read back under a name of its own: where file names ignore case (Windows)
// the SMF written back as "band.MID" would otherwise be the source "band.mid".
TEST_F(RoundTrip, SmfToMldToSmf) {
    g_options.model = 0;
    Bytes song = band_song(48, true);
    ASSERT_TRUE(convert(song, "band.mid"));
    ASSERT_TRUE(convert(output("band.MLD"), "band_back.MLD"));
    // One tick of 48 per quarter at 120 bpm is about 10.4 ms.
    expect_same_notes(notes_of(song, false), notes_of(output("band_back.MID"), false), 11.0, true);
}

TEST_F(RoundTrip, ToneShiftIsTakenOffAgain) {
    g_options.model = 0;
    g_options.toneshift = 7;
    Bytes song = band_song(48, false);
    ASSERT_TRUE(convert(song, "shift.mid"));
    ASSERT_TRUE(convert(output("shift.MLD"), "shift_back.MLD"));
    expect_same_notes(notes_of(song, false), notes_of(output("shift_back.MID"), false), 11.0, true);
}

TEST_F(RoundTrip, SmfToPmdToSmf) {
    g_options.model = 1;
    // A chained long note comes back as separate notes: au notes end a tick before the next
    // link begins.
    Bytes song = band_song(48, false, false);
    ASSERT_TRUE(convert(song, "band.mid"));
    ASSERT_TRUE(convert(output("band.PMD"), "band_back.PMD"));
    // au notes are written one tick shorter.
    expect_same_notes(notes_of(song, false), notes_of(output("band_back.MID"), false), 22.0, true);
}

TEST_F(RoundTrip, SmfToMmfToSmf) {
    g_options.model = 2;
    Bytes song = band_song(480, true);
    ASSERT_TRUE(convert(song, "band.mid"));
    ASSERT_TRUE(convert(output("band.mmf"), "back.mmf"));
    // MMF units are 4 ms and gates are written one unit short; the sustained chord lasts to
    // the pedal. Channels become voice slots.
    expect_same_notes(notes_of(song, true), notes_of(output("back.mid"), false), 12.5, false);
}

TEST_F(RoundTrip, SeparatedVoicesComeBackAsKeysInOrder) {
    g_options.model = 0;
    g_options.separation = 1;
    Bytes song = band_song(48, false);
    ASSERT_TRUE(convert(song, "sep.mid"));
    ASSERT_TRUE(convert(output("sep.MLD"), "sep_back.MLD"));
    expect_same_notes(notes_of(song, false), notes_of(output("sep_back.MID"), false), 11.0, false);
}

// Without a tempo event a song plays at 120 bpm, and so must its ringtone.
TEST_F(RoundTrip, SongWithoutTempoKeepsItsTimeInEveryFormat) {
    struct Case {
        int model;
        uint16_t division;
        const char* name;
        const char* ringtone;
        // Read back under this name, so the SMF written is new also where file names ignore
        // case (on Windows "x.MID" is the song "x.mid" itself).
        const char* ringtone_copy;
        const char* back;
        double tolerance_ms;
    } cases[] = {
        {0, 48, "mld", "mld.MLD", "mld_back.MLD", "mld_back.MID", 11.0},
        {1, 48, "pmd", "pmd.PMD", "pmd_back.PMD", "pmd_back.MID", 22.0},
        {2, 480, "mmf", "mmf.mmf", "back.mmf", "back.mid", 12.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_options.model = c.model;
        Bytes song = band_song(c.division, false, false, false);
        ASSERT_TRUE(convert(song, std::string(c.name) + ".mid")) << c.name;
        ASSERT_TRUE(convert(output(c.ringtone), c.ringtone_copy)) << c.name;
        // Channels come back only where voices were not moved to slots of their own.
        expect_same_notes(notes_of(song, false), notes_of(output(c.back), false), c.tolerance_ms,
                          c.model != 2);
    }
}

} // namespace
