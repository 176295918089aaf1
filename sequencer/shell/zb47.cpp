// Entry point of the sequencer.
#include "sequencer/shell/window_events.h"

int main(int argc, char** argv) {
    return zb47_main(argc, argv);
}
