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

inline CliResult RunCli(const std::string& arguments) {
  const char* fromCtest = std::getenv("FRETWERK_CLI");
  const std::string program = fromCtest != nullptr ? fromCtest : BinaryDir() + "/fretwerk-cli";
  const std::string command = "'" + program + "' " + arguments + " 2>&1";
  CliResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::array<char, 512> chunk{};
  while (fgets(chunk.data(), static_cast<int>(chunk.size()), pipe) != nullptr) result.output += chunk.data();
  const int status = pclose(pipe);
  result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace fw::test
