// How much faster than real time a scripted headless run on its own clock goes: the whole
// program plays a 36-track song of a few minutes with its log on, and the figures are the
// song's length against the wall-clock and CPU time the run took.
#include "sequencer/shell/window_events.h"
#include "tests/support/smf_builder.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

namespace {

double cpu_seconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Track 1 holds a tempo change every beat (around 120 BPM, fractional), the other 35 tracks
// notes of 8th, quarter or half beats, so about 150 messages a second go out.
Bytes busy_song(int beats) {
    std::vector<Bytes> tracks;
    Bytes conductor = time_signature(0, 4, 2);
    for (int beat = 0; beat < beats; beat++) {
        Bytes tempo = tempo_event(beat == 0 ? 0 : 480, 480000 + (beat * 7919) % 40000);
        conductor.insert(conductor.end(), tempo.begin(), tempo.end());
    }
    Bytes end = end_of_track(480);
    conductor.insert(conductor.end(), end.begin(), end.end());
    tracks.push_back(conductor);
    for (int track = 1; track < 36; track++) {
        uint8_t channel = static_cast<uint8_t>(track % 16);
        uint32_t step = 120u << (track % 3);
        Bytes events;
        for (uint32_t tick = 0; tick + step <= static_cast<uint32_t>(beats) * 480; tick += step) {
            uint8_t note = static_cast<uint8_t>(40 + (tick / step * 7 + track) % 48);
            Bytes on = ev(tick == 0 ? 0 : 10, {static_cast<uint8_t>(0x90 | channel), note, 100});
            Bytes off = ev(step - 10, {static_cast<uint8_t>(0x80 | channel), note, 0});
            events.insert(events.end(), on.begin(), on.end());
            events.insert(events.end(), off.begin(), off.end());
        }
        Bytes track_end = end_of_track(10);
        events.insert(events.end(), track_end.begin(), track_end.end());
        tracks.push_back(events);
    }
    return smf_file(1, 480, tracks);
}

} // namespace

int main(int argc, char** argv) {
    int beats = argc > 1 ? atoi(argv[1]) : 1080; // about 9 minutes
    if (beats < 1) {
        fprintf(stderr, "usage: script_bench [beats]\n");
        return 2;
    }
    TempDir dir;
    std::string song = dir.file("busy36.mid");
    std::string script = dir.file("play.txt");
    std::string log = dir.file("play.log");
    Bytes bytes = busy_song(beats);
    // The song plays from the command line at once; the wait outlasts it by a second.
    double music_seconds = beats * 0.5;
    std::string commands =
        "wait " + std::to_string(static_cast<long>(music_seconds * 1000) + 1000) + "\n";
    write_file_bytes(song, bytes);
    write_file_bytes(script, Bytes(commands.begin(), commands.end()));
    std::string dir_arg = dir.path;
    const char* args[] = {"zb47",         "--headless", "--dir",     dir_arg.c_str(), "--script",
                          script.c_str(), "--log",      log.c_str(), song.c_str()};
    double cpu_before = cpu_seconds();
    auto begin = std::chrono::steady_clock::now();
    int status =
        zb47_main(static_cast<int>(sizeof args / sizeof args[0]), const_cast<char**>(args));
    double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    double cpu = cpu_seconds() - cpu_before;
    printf("script_bench tracks=36 music_s=%.1f wall_s=%.3f cpu_s=%.3f faster_than_real_time=%.0f "
           "status=%d\n",
           music_seconds, wall, cpu, music_seconds / wall, status);
    return status;
}
