// fretwerk-cli: the program's logic without a window.
#include <CLI/CLI.hpp>
#include <csignal>

#include "cli/commands.h"

int main(int argc, char** argv) {
  // A reader that goes away (| head) makes a write fail with EPIPE, which the command
  // reports and ends on in order, finishing a running take, instead of killing it.
  std::signal(SIGPIPE, SIG_IGN);
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
