#pragma once
// fretwerk-cli's subcommands, one file each.
#include <CLI/CLI.hpp>

namespace fw::cli {

void AddRenderCommand(CLI::App& app);
void AddPresetCommands(CLI::App& app);
void AddRunCommand(CLI::App& app);
void AddLatencyCommand(CLI::App& app);
void AddMidiCommands(CLI::App& app);
void AddControlsCommand(CLI::App& app);
void AddTuneCommand(CLI::App& app);

}  // namespace fw::cli
