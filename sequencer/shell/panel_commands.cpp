// ENTER commands of the command panels (filled in by the commands work).
#include "sequencer/shell/panel_commands.h"

void panel_command_run(int) {}
