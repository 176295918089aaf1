// A whole run: chords step-entered from the computer keyboard into a song, an accompaniment
// generated from them through page 4 row M, the song saved through the menus, and the saved
// file read back event by event.
#include "tests/shell/zb47_run.h"

#include "tests/support/smf_builder.h"

namespace {

// Up button of field f (1..8) of a parameter panel, pressed `times` times.
std::string field_up(int f, int times) {
    return panel_button(2 * f - 1, times);
}

const std::string ENTER = "click 550 328\nwait 60\n";

// Keys pressed together and let go together: one step of a chord.
std::string chord(const std::vector<std::string>& keys) {
    std::string text;
    for (const std::string& k : keys) {
        text += "keydown " + k + "\n";
    }
    text += "wait 60\n";
    for (const std::string& k : keys) {
        text += "keyup " + k + "\n";
    }
    return text + "wait 60\n";
}

struct Event {
    uint32_t tick;
    Bytes bytes; // a note-off as 0x80 | channel, key, 0 whichever way it was written
    bool operator==(const Event&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Event& e) {
    out << e.tick << ":";
    for (uint8_t b : e.bytes) {
        out << " " << std::hex << +b << std::dec;
    }
    return out;
}

uint32_t read_vlq(const Bytes& data, size_t& at) {
    uint32_t value = 0;
    while (at < data.size()) {
        uint8_t b = data[at++];
        value = (value << 7) | (b & 0x7F);
        if ((b & 0x80) == 0) {
            break;
        }
    }
    return value;
}

// The events of each track chunk of a standard MIDI file, running status resolved; empty
// when the file is not one.
std::vector<std::vector<Event>> read_tracks(const Bytes& file) {
    std::vector<std::vector<Event>> tracks;
    if (file.size() < 14 || std::string(file.begin(), file.begin() + 4) != "MThd") {
        return tracks;
    }
    size_t at = 14;
    while (at + 8 <= file.size()) {
        size_t length = (size_t{file[at + 4]} << 24) | (size_t{file[at + 5]} << 16) |
                        (size_t{file[at + 6]} << 8) | file[at + 7];
        bool is_track = std::string(file.begin() + at, file.begin() + at + 4) == "MTrk";
        size_t end = at + 8 + length;
        if (end > file.size()) {
            return {};
        }
        std::vector<Event> events;
        size_t p = at + 8;
        uint32_t tick = 0;
        uint8_t status = 0;
        while (is_track && p < end) {
            tick += read_vlq(file, p);
            if (file[p] & 0x80) {
                status = file[p++];
            }
            Event e{tick, {status}};
            if (status == 0xFF) {
                e.bytes.push_back(file[p++]);
                size_t n = read_vlq(file, p);
                e.bytes.insert(e.bytes.end(), file.begin() + p, file.begin() + p + n);
                p += n;
            } else if (status == 0xF0 || status == 0xF7) {
                size_t n = read_vlq(file, p);
                e.bytes.insert(e.bytes.end(), file.begin() + p, file.begin() + p + n);
                p += n;
            } else {
                int data = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
                e.bytes.insert(e.bytes.end(), file.begin() + p, file.begin() + p + data);
                p += data;
                uint8_t kind = status & 0xF0;
                if (kind == 0x80 || (kind == 0x90 && e.bytes[2] == 0)) {
                    e.bytes = {static_cast<uint8_t>(0x80 | (status & 0x0F)), e.bytes[1], 0};
                }
            }
            events.push_back(e);
        }
        if (is_track) {
            tracks.push_back(events);
        }
        at = end;
    }
    return tracks;
}

// Notes of a chord on channel 1 at `tick`, ended one gate (432) later.
void add_chord(std::vector<Event>& events, uint32_t tick, std::initializer_list<uint8_t> notes) {
    for (uint8_t n : notes) {
        events.push_back({tick, {0x90, n, 100}});
    }
    for (uint8_t n : notes) {
        events.push_back({tick + 432, {0x80, n, 0}});
    }
}

// A pattern written in C on channel 5: eighth notes, one every 240 ticks.
const uint8_t PATTERN[6] = {60, 64, 60, 67, 64, 67};

std::vector<Event> pattern_events(const uint8_t* notes) {
    std::vector<Event> events;
    for (uint32_t i = 0; i < 6; i++) {
        events.push_back({240 * i, {0x94, notes[i], 100}});
        events.push_back({240 * i + 120, {0x84, notes[i], 0}});
    }
    events.push_back({1440, {0xFF, 0x2F}});
    return events;
}

Bytes pattern_track() {
    Bytes track;
    for (int i = 0; i < 6; i++) {
        track = concat(
            {track, ev(i == 0 ? 0 : 120, {0x94, PATTERN[i], 100}), ev(120, {0x84, PATTERN[i], 0})});
    }
    return concat({track, end_of_track(120)});
}

TEST_F(Zb47Run, StepEnteredChordsGetAnAccompanimentAndAreSavedWithIt) {
    write_file_bytes(
        dir.file("song.mid"),
        smf_file(1, 480,
                 {concat({tempo_event(0, 500000), time_signature(0, 4, 2), end_of_track(7680)}),
                  end_of_track(), pattern_track()}));
    std::string saved = dir.file("saved.mid");
    std::string script = "wait 60\n" + tab_click(1) + "drop " + dir.file("song.mid") +
                         "\nwait 40\n" +
                         // Record standby on the step-recording row (into track 2, the first
                         // start's record track), and the play key starts it.
                         "key F6\nwait 40\n" + row_click('B') + "key Space\nwait 40\n" +
                         // C E G, F A C, G B D: one step each.
                         chord({"A", "D", "G"}) + chord({"F", "H", "K"}) + chord({"G", "J", "L"}) +
                         "key Space\nwait 60\n" +
                         // Output track 4 from the pattern in track 3 and the chords in track 2.
                         tab_click(4) + row_click('M') + field_up(1, 3) + field_up(6, 2) +
                         field_up(8, 1) + ENTER + ENTER + "wait 100\n" + tab_click(1) + "dialog " +
                         saved + "\n" + row_click('K') + "wait 100\n";
    ASSERT_EQ(run(script, "C"), 0) << read_text(dir.file("stderr.txt"));
    std::vector<std::vector<Event>> tracks = read_tracks(read_file_bytes(saved));
    ASSERT_EQ(tracks.size(), 4u) << log();

    std::vector<Event> chords;
    add_chord(chords, 0, {60, 64, 67});
    add_chord(chords, 480, {65, 69, 72});
    add_chord(chords, 960, {67, 71, 74});
    chords.push_back({1440, {0xFF, 0x2F}});
    EXPECT_EQ(tracks[1], chords);
    EXPECT_EQ(tracks[2], pattern_events(PATTERN));
    // Channel 5 follows the root: C for the first two notes, then F (+5), then G (+7).
    const uint8_t fitted[6] = {60, 64, 65, 72, 71, 74};
    EXPECT_EQ(tracks[3], pattern_events(fitted));
}

} // namespace
