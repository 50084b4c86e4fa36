// fretwerk-cli: the program's logic without a window.
#include <CLI/CLI.hpp>

#include "cli/commands.h"

int main(int argc, char** argv) {
  CLI::App app{"Fretwerk command-line tool: render sound files through the effects, edit presets, run live"};
  app.require_subcommand(1);
  // Argument errors: one line on stderr naming the problem.
  app.failure_message(
      [](const CLI::App*, const CLI::Error& e) { return "fretwerk-cli: " + std::string(e.what()) + "\n"; });
  fw::cli::AddRenderCommand(app);
  fw::cli::AddPresetCommands(app);
  fw::cli::AddRunCommand(app);
  fw::cli::AddLatencyCommand(app);
  fw::cli::AddMidiCommands(app);
  CLI11_PARSE(app, argc, argv);
  return 0;
}
