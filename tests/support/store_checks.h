// Checks of the song store's shape for the random-sequence tests: the chunks tile the arena,
// a track walks to a real end of track with its notes paired; and the seeded draw they use.
#pragma once

#include <gtest/gtest.h>

#include <random>

// One seeded generator per run, so that a failure names the seed that repeats it.
struct Rng {
    std::mt19937 gen;
    int range(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(gen); }
};

// Every chunk the slots reference starts where the one before ended, with its id, and the
// last ends at the arena's end: no hole, no overlap, nothing unreferenced.
::testing::AssertionResult arena_tiled();
// The track's ticks never go back and it ends with a real end of track that closes its chunk;
// with `check_notes` every note-on has its note-off and no note-off comes without one.
::testing::AssertionResult track_sound(int slot, int track0, bool check_notes);
