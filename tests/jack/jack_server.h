#pragma once
// A JACK server of the tests' own, on the dummy backend and under its own name, so
// a user's server is never touched. Started and stopped by the test that needs it.
#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fw::test {

inline constexpr const char* kTestServerPrefix = "fretwerk-test";

inline bool JackdInstalled() {
  for (const char* dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
    if (access((std::string(dir) + "jackd").c_str(), X_OK) == 0) return true;
  }
  return false;
}

class JackServer {
 public:
  JackServer() = default;
  JackServer(const JackServer&) = delete;
  JackServer& operator=(const JackServer&) = delete;
  ~JackServer() {
    Stop();
    if (lock_ >= 0) close(lock_);
  }

  // Starts jackd and waits until it answers; the test process then talks to it only.
  // The name carries the rate, so tests at different rates may run side by side.
  // Test processes that run side by side take turns: two servers starting at once
  // race for JACK's shared registry. The server's messages go to log.
  bool Start(int rate, int period, const std::string& log = "/dev/null") {
    lock_ = open("/tmp/fretwerk-jack-tests.lock", O_CREAT | O_RDWR, 0666);
    if (lock_ >= 0) flock(lock_, LOCK_EX);
    name_ = std::string(kTestServerPrefix) + "-" + std::to_string(rate);
    setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    const std::string r = std::to_string(rate);
    const std::string p = std::to_string(period);
    std::vector<std::string> args = {"jackd", "-n", name_, "-d", "dummy", "-r", r, "-p", p};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int failed = posix_spawnp(&pid_, "jackd", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
      pid_ = -1;
      return false;
    }
    for (int i = 0; i < 100; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      jack_status_t status{};
      if (jack_client_t* probe = jack_client_open("fretwerk-test-probe", JackNoStartServer, &status)) {
        jack_client_close(probe);
        return true;
      }
    }
    Stop();
    return false;
  }

  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 100; ++i) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }

  const std::string& Name() const { return name_; }

 private:
  pid_t pid_ = -1;
  int lock_ = -1;
  std::string name_;
};

}  // namespace fw::test
