#pragma once
// fretwerk-cli run as a child process the test can read line by line and signal:
// sessions that end on a signal or a lost device are driven from outside, and every
// wait is for a line the program prints, never for wall-clock time.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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
    fd_ = ends[0];
    return true;
  }

  ~CliProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
    Close();
  }

  // Reads until a line contains `text`; false when the program ended first.
  bool ReadUntil(const std::string& text) {
    return ReadUntilLine([&](const std::string& line) { return line.find(text) != std::string::npos; });
  }

  // Reads until the status line shows a take with samples in it.
  bool ReadUntilRecording() {
    return ReadUntilLine([](const std::string& line) {
      const auto at = line.find("Recorded=");
      return at != std::string::npos && line.compare(at, 11, "Recorded=0 ") != 0;
    });
  }

  // A program that never prints the line is killed after a minute, so a test fails
  // instead of hanging.
  template <class Predicate>
  bool ReadUntilLine(Predicate accept) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (fd_ >= 0) {
      for (auto end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
        const std::string line = pending_.substr(0, end + 1);
        pending_.erase(0, end + 1);
        output += line;
        if (accept(line)) return true;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
      pollfd ready{fd_, POLLIN, 0};
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) {
        output += "[killed: no such line within a minute]\n";
        if (pid_ > 0) kill(pid_, SIGKILL);
        Close();
        return false;
      }
      char bytes[1024];
      const ssize_t got = read(fd_, bytes, sizeof bytes);
      if (got <= 0) {
        output += pending_;
        pending_.clear();
        Close();
        return false;
      }
      pending_.append(bytes, static_cast<std::size_t>(got));
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
  void Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

  pid_t pid_ = -1;
  int fd_ = -1;
  std::string pending_;
};

}  // namespace fw::test
