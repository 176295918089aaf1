// The melconv program.
#include "converter/converter_cli.h"

int main(int argc, char** argv) {
    return melconv_run(argc, argv);
}
