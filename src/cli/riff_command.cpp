// fretwerk-cli riff: the bundled guitar riff, synthesised, written as a sound file.
#include "cli/riff_command.h"

#include <iostream>
#include <memory>
#include <string>

#include "files/riff_synth.h"
#include "files/sound_file.h"

namespace fw::cli {

void AddRiffCommand(CLI::App& app) {
  struct Options {
    int rate = 22050;
    std::string output;
  };
  auto options = std::make_shared<Options>();
  CLI::App* riff = app.add_subcommand("riff", "Write the bundled plucked-string guitar riff (mono, 16-bit)");
  riff->add_option("--rate", options->rate, "Sample rate")->check(CLI::IsMember({22050, 44100}));
  riff->add_option("OUT", options->output, "Output: .wav, .au, .flac, .ogg (by the name) or .raw")
      ->required();
  riff->callback([options] {
    try {
      WriteSound(options->output, SynthesiseRiff(options->rate), 1, options->rate);
    } catch (const std::exception& error) {
      std::cerr << "fretwerk-cli riff: " << error.what() << "\n";
      throw CLI::RuntimeError(1);
    }
  });
}

}  // namespace fw::cli
