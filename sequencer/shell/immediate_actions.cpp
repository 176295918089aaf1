// Immediate menu actions (filled in by the actions work).
#include "sequencer/shell/immediate_actions.h"

bool immediate_action_run(int) {
    return false;
}
