#pragma once
#include <CLI/CLI.hpp>

namespace fw::cli {

// fretwerk-cli riff OUT: writes the bundled plucked-string riff.
void AddRiffCommand(CLI::App& app);

}  // namespace fw::cli
