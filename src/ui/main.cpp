// The calculator program.
#include "ui/ProgramStart.h"

int main(int argc, char* argv[]) {
    return RunCalculator(argc, argv);
}
