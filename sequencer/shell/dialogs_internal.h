// The dialogs' behaviours (init fills the controls, command acts on a button or choice), one
// pair per dialog number, for run_dialog.
// Implemented in: dialogs_names.cpp, dialogs_events.cpp, dialogs_run.cpp.
#pragma once
#include "gui/dialog_run.h"

void title_init(void* context, DialogRun& run);
void title_command(void* context, DialogRun& run, int id);
void track_name_init(void* context, DialogRun& run);
void track_name_command(void* context, DialogRun& run, int id);
void text_init(void* context, DialogRun& run);
void text_command(void* context, DialogRun& run, int id);
void chord_init(void* context, DialogRun& run);
void chord_command(void* context, DialogRun& run, int id);
void information_init(void* context, DialogRun& run);
void information_command(void* context, DialogRun& run, int id);
void voicing_init(void* context, DialogRun& run);
void voicing_command(void* context, DialogRun& run, int id);

// A dialog rebuilt a track: measures, names and caption follow, and a song that is playing
// goes on from the same place in the new chunks.
void dialog_song_rebuilt();
