#pragma once
// The window program's entry: the command line (no argument: the local help page
// opens first; exactly "1": no task-bar button; any other single argument: end at
// once), the engine's start values, live audio chosen like `fretwerk-cli run`
// (FRETWERK_AUDIO), the window and Qt's event loop. SIGTERM and SIGINT close the
// window as its close button does.
namespace fw::qt {

int RunWindowProgram(int argc, char** argv);

}  // namespace fw::qt
