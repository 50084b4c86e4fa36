// fretwerk: the window program.
#include "app/qt/window_program.h"

int main(int argc, char** argv) { return fw::qt::RunWindowProgram(argc, argv); }
