// fretwerk-cli: the program's logic without a window.
#include <CLI/CLI.hpp>
#include <csignal>
#include <iostream>
#include <string>

#include "app/linux_system_services.h"
#include "cli/commands.h"

#ifndef FRETWERK_VERSION
#define FRETWERK_VERSION "2.18"
#endif

int main(int argc, char** argv) {
  // A reader that goes away (| head) makes a write fail with EPIPE, which the command
  // reports and ends on in order, finishing a running take, instead of killing it.
  std::signal(SIGPIPE, SIG_IGN);
  CLI::App app{"Fretwerk command-line tool: render sound files through the effects, edit presets, run live"};
  app.require_subcommand(1);
  app.set_version_flag("--version", "fretwerk-cli " FRETWERK_VERSION);
  // Argument errors: one line on stderr naming the problem, and the subcommands when
  // none was recognised.
  const std::string first = argc > 1 ? argv[1] : "";
  app.failure_message([first](const CLI::App* failed, const CLI::Error& e) {
    std::string text = "fretwerk-cli: " + std::string(e.what());
    if (failed->get_subcommands().empty()) {
      if (!first.empty() && first.front() != '-') text = "fretwerk-cli: unknown subcommand " + first;
      text += "; the subcommands are";
      for (const CLI::App* sub : failed->get_subcommands({})) text += " " + sub->get_name();
    }
    return text + "\n";
  });
  fw::cli::AddRenderCommand(app);
  fw::cli::AddPresetCommands(app);
  fw::cli::AddRunCommand(app);
  fw::cli::AddLatencyCommand(app);
  fw::cli::AddMidiCommands(app);
  fw::cli::AddControlsCommand(app);
  fw::cli::AddTuneCommand(app);
  try {
    CLI11_PARSE(app, argc, argv);
  } catch (const fw::ProgramDirectoryRefused& refused) {
    std::cerr << "fretwerk-cli: " << refused.what() << "\n";
    return 1;
  }
  return 0;
}
