#pragma once
// fretwerk-cli run as a child process the test can read line by line and signal:
// sessions that end on a signal or a lost device are driven from outside, and every
// wait is for a line the program prints, never for wall-clock time.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace fw::test {

class CliProcess {
 public:
  // `shellPrefix` runs before the program in /bin/sh (for "ulimit -f 20; " and the like).
  bool Start(const std::string& arguments, const std::string& shellPrefix = "") {
    const char* cli = std::getenv("FRETWERK_CLI");
    if (cli == nullptr) return false;
    int ends[2];
    if (pipe(ends) != 0) return false;
    const std::string command = shellPrefix + "exec " + cli + " " + arguments + " 2>&1";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    posix_spawn_file_actions_addclose(&actions, ends[0]);
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    const int failed =
        posix_spawn(&pid_, "/bin/sh", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    if (failed != 0) {
      close(ends[0]);
      pid_ = -1;
      return false;
    }
    out_ = fdopen(ends[0], "r");
    return out_ != nullptr;
  }

  ~CliProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    if (out_ != nullptr) fclose(out_);
  }

  // Reads until a line contains `text`; false when the program ended first.
  bool ReadUntil(const std::string& text) {
    return ReadUntilLine([&](const std::string& line) { return line.find(text) != std::string::npos; });
  }

  // Reads until the status line shows a take with samples in it.
  bool ReadUntilRecording() {
    return ReadUntilLine([](const std::string& line) {
      const auto at = line.find("Recorded=");
      return at != std::string::npos && line.compare(at, 11, "Recorded=0\n") != 0;
    });
  }

  template <class Predicate>
  bool ReadUntilLine(Predicate accept) {
    char line[1024];
    while (out_ != nullptr && fgets(line, sizeof line, out_) != nullptr) {
      output += line;
      if (accept(std::string(line))) return true;
    }
    return false;
  }

  void Signal(int signal) const {
    if (pid_ > 0) kill(pid_, signal);
  }

  // Reads the rest of the output and returns the exit status (-1 for a signal).
  int Wait() {
    ReadUntil("\x01never printed");
    int status = 0;
    if (pid_ > 0) waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // The last sample count the status line showed for the take.
  long LastRecorded() const {
    const auto at = output.rfind("Recorded=");
    return at == std::string::npos ? -1 : std::stol(output.substr(at + 9));
  }

  std::string output;

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
};

}  // namespace fw::test
