// The songs whole-program runs load, shared by the Linux runs and the Windows runs under Wine
// so that both draw the same reference pictures.
#pragma once

#include "tests/support/smf_builder.h"

// Four tracks with names, programs on channels 1, 2 and 10, notes and a tempo.
Bytes tour_song();
// One track whose title is in Japanese full-width characters.
Bytes japanese_title_song();
