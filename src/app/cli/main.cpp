// fretwerk-cli: the program's logic without a window.
#include <CLI/CLI.hpp>
#include <iostream>

int main(int argc, char** argv) {
  CLI::App app{"Fretwerk command-line tool"};
  app.require_subcommand(1);
  app.add_subcommand("render", "render a sound file through the effect chain");
  CLI11_PARSE(app, argc, argv);
  std::cerr << "render: not available yet\n";
  return 1;
}
