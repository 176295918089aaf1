// A dense song for the synthesizer's tests and benchmark: every one of the 16 channels plays
// short notes on a fixed grid at one tempo.
// Implemented in: dense_song.cpp.
#pragma once
#include "tests/support/smf_builder.h"

constexpr uint16_t DENSE_SONG_DIVISION = 480;

// `beats` beats at `usec_per_quarter`, `steps_per_beat` note-ons per beat on each channel
// (each lasting half a step), channel 10 on drum keys, each channel its own program.
Bytes dense_song(uint32_t beats, uint32_t usec_per_quarter, uint32_t steps_per_beat);
