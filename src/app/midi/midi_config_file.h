#pragma once
// Where midi.conf lives and how it is read and written.
#include <optional>
#include <string>

namespace fw {

// $XDG_CONFIG_HOME/fretwerk/midi.conf, else ~/.config/fretwerk/midi.conf.
std::string MidiConfigPath();

// The file's text; nullopt when there is none, or, with `problem` naming the file
// and the reason, when it cannot be read.
std::optional<std::string> ReadMidiConfigText(const std::string& path, std::string& problem);

// Replaces the file (written beside it and renamed over), creating its directory;
// throws IoError naming the file when it cannot.
void WriteMidiConfigText(const std::string& path, const std::string& text);

}  // namespace fw
