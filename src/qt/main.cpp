// fretwerk: the window program.
#include "qt/window_program.h"

int main(int argc, char** argv) { return fw::qt::RunWindowProgram(argc, argv); }
