#pragma once
// Runs fretwerk-cli as a user does, its output and errors together. ctest names the
// executable in FRETWERK_CLI; run by hand, a test takes the one in the build tree.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/test_paths.h"

namespace fw::test {

struct CliResult {
  int code = -1;  // the exit status; -1 when the program did not exit normally
  std::string output;
};

// The fretwerk-cli under test.
inline std::string CliProgram() {
  const char* fromCtest = std::getenv("FRETWERK_CLI");
  return fromCtest != nullptr ? fromCtest : BinaryDir() + "/fretwerk-cli";
}

// A shell command line (the program quoted in it), its output and errors together.
inline CliResult RunCommand(const std::string& commandLine) {
  const std::string command = commandLine + " 2>&1";
  CliResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 512> chunk{};
  while (fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr) result.output += chunk.data();
  const int status = pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

inline CliResult RunCli(const std::string& arguments) {
  std::string command = "'";
  command.append(CliProgram()).append("' ").append(arguments);
  return RunCommand(command);
}

}  // namespace fw::test
