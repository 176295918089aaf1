// The terminal backend of command-line programs: messages go to standard error as UTF-8,
// questions are asked on the terminal when standard input is one, else the safe answer (No).
#pragma once

#include <cstdio>

// Set once at start by the program; read by the backend's functions. Converter thread only.
struct TerminalState {
    FILE* messages = stderr;
    bool interactive = false; // standard input is a terminal
};

extern TerminalState g_terminal;

void terminal_reset();
