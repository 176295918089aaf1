// The melconv command line: options that mirror MELCONV.INI, answers to the questions, the
// mail text output and the start-up order of the converter.
#pragma once

// Runs the converter as the command-line program; returns the exit status (0 when an
// output file was written, or when only options were stored or help shown).
int melconv_run(int argc, char** argv);
