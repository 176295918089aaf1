// Writes the songs of the whole-program runs (tour.mid, title.mid) into the directory named
// on the command line, for the Windows runs under Wine.
#include "tests/support/run_songs.h"
#include "tests/support/temp_dir.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: write_run_songs DIRECTORY\n");
        return 2;
    }
    std::string dir = argv[1];
    write_file_bytes(dir + "/tour.mid", tour_song());
    write_file_bytes(dir + "/title.mid", japanese_title_song());
    return read_file_bytes(dir + "/tour.mid").empty() ? 1 : 0;
}
