// The dialogs' behaviours, one per dialog number, for run_dialog.
// Implemented in: dialogs_names.cpp, dialogs_events.cpp, dialogs_run.cpp.
#pragma once
#include "gui/dialog_run.h"

DialogBehaviour title_behaviour();
DialogBehaviour track_name_behaviour();
DialogBehaviour text_event_behaviour();
DialogBehaviour chord_name_behaviour();
DialogBehaviour guitar_information_behaviour();
DialogBehaviour guitar_voicing_behaviour();

// A dialog rebuilt a track: measures, names and caption follow, and a song that is playing
// goes on from the same place in the new chunks.
void dialog_song_rebuilt();
