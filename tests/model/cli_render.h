#pragma once
// Running fretwerk-cli render from a test: raw 16-bit files in a scratch folder, the
// exit code, the error text and the output samples. FRETWERK_CLI names the executable.
#include <cstdint>
#include <string>
#include <vector>

#include "model/test_signals.h"

namespace model {

struct CliRun {
  int exitCode = -1;
  std::string errors;
  Samples output;
};

CliRun RunRender(const std::vector<std::string>& options, const Samples& input);

// Writes "clear.pre" into a folder of its own and returns the folder.
std::string WritePresetDirectory(const std::string& name, const std::vector<uint8_t>& clearPre);

// Empty when a plain render works; otherwise the CLI's complaint.
const std::string& RenderUnavailable();

// "clear.pre" beside the CLI, as the activation sequence reads it; null when missing.
const std::vector<uint8_t>* ClearPreset();

// Whether a plain render of a sine is heard: without the activation sequence the
// elliptic filter has no coefficient set and every render is silent.
bool RenderIsAudible();

}  // namespace model
