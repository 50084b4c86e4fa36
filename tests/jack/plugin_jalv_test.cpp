// The plugin live in jalv on the test server, at a native rate and at one it resamples:
// hosted for a few seconds of audio with its ports connected, it ends with status 0
// and the server blames no xrun on it. jalv asks the server to recompute latencies from
// its process callback when the reported latency first differs from 0, which the
// server counts as an xrun of jalv's client: where the plugin reports latency, the
// first second is left out.
#include <gtest/gtest.h>
#include <jack/jack.h>

#include <atomic>
#include <cerrno>
#include <fstream>
#include <sstream>

#include "jack/jack_server.h"
#include "plugin/port_layout.h"
#include "support/temp_dir.h"
#include "support/test_paths.h"

namespace fw::test {
namespace {

constexpr const char* kClient = "fretwerk-lv2-smoke";

bool JalvInstalled() { return access("/usr/bin/jalv", X_OK) == 0; }

// The server log's lines that blame an xrun on the client.
std::vector<std::string> XrunsOfClient(const std::string& serverLog) {
  std::ifstream serverText(serverLog);
  std::vector<std::string> xruns;
  for (std::string line; std::getline(serverText, line);) {
    if (line.find(std::string("client = ") + kClient) != std::string::npos) xruns.push_back(line);
  }
  return xruns;
}

// A client of the test's own that counts the server's cycles.
class CycleCounter {
 public:
  CycleCounter() : client_(jack_client_open("fretwerk-lv2-probe", JackNoStartServer, nullptr)) {
    if (client_ == nullptr) return;
    jack_set_process_callback(client_, Count, this);
    jack_activate(client_);
  }
  ~CycleCounter() {
    if (client_ != nullptr) jack_client_close(client_);
  }
  jack_client_t* client() const { return client_; }
  long Frames() const { return frames_.load(); }

 private:
  static int Count(jack_nframes_t frames, void* self) {
    static_cast<CycleCounter*>(self)->frames_.fetch_add(frames);
    return 0;
  }
  jack_client_t* client_;
  std::atomic<long> frames_{0};
};

// Waits for the condition, giving up after about ten seconds.
template <class Condition>
bool WaitFor(Condition condition) {
  for (int i = 0; i < 1000 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return condition();
}

class PluginInJalv : public testing::TestWithParam<int> {};

TEST_P(PluginInJalv, RunsConnectedOnTheDummyServerAndEndsCleanly) {
  if (!JackdInstalled() || !JalvInstalled()) GTEST_SKIP() << "jackd or jalv is not installed";
  const TempDir dir;
  const std::string serverLog = (dir.path() / "jackd.log").string();
  JackServer server;
  ASSERT_TRUE(server.Start(GetParam(), 1024, serverLog))
      << "jackd -n " << server.Name() << " did not come up";

  // jalv runs until its standard input ends or it is interrupted: give it a pipe.
  int input[2];
  ASSERT_EQ(pipe(input), 0);
  setenv("LV2_PATH", (BinaryDir() + "/lv2").c_str(), 1);
  const std::string jalvLog = (dir.path() / "jalv.log").string();
  std::vector<std::string> args = {"jalv", "-x", "-n", kClient, plugin::kPluginUri};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_addclose(&actions, input[1]);
  posix_spawn_file_actions_addopen(&actions, 1, jalvLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t jalv = -1;
  ASSERT_EQ(posix_spawnp(&jalv, "jalv", &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);

  CycleCounter counter;
  ASSERT_NE(counter.client(), nullptr);
  const std::string in = std::string(kClient) + ":in";
  ASSERT_TRUE(WaitFor([&] { return jack_port_by_name(counter.client(), in.c_str()) != nullptr; }))
      << "jalv did not register its ports";
  // jalv registers its ports before it activates, and JACK refuses to connect the
  // ports of an inactive client: retry until each connection is made.
  const auto connect = [&](const std::string& from, const std::string& to) {
    return WaitFor([&] {
      const int result = jack_connect(counter.client(), from.c_str(), to.c_str());
      return result == 0 || result == EEXIST;
    });
  };
  const std::string client(kClient);
  EXPECT_TRUE(connect("system:capture_1", in));
  EXPECT_TRUE(connect(client + ":out_left", "system:playback_1"));
  EXPECT_TRUE(connect(client + ":out_right", "system:playback_2"));
  const long start = counter.Frames();
  EXPECT_TRUE(WaitFor([&] { return counter.Frames() - start >= GetParam(); }))
      << "the server stopped cycling";
  const std::size_t firstSecond = GetParam() == 44100 ? 0 : XrunsOfClient(serverLog).size();
  EXPECT_TRUE(WaitFor([&] { return counter.Frames() - start >= 4L * GetParam(); }))
      << "the server stopped cycling";

  kill(jalv, SIGINT);
  close(input[1]);
  int status = 0;
  ASSERT_EQ(waitpid(jalv, &status, 0), jalv);
  std::ifstream jalvText(jalvLog);
  std::stringstream jalvOutput;
  jalvOutput << jalvText.rdbuf();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << jalvOutput.str();
  EXPECT_NE(jalvOutput.str().find("ScrollBar_max_chorus_delay"), std::string::npos) << jalvOutput.str();

  server.Stop();
  const std::vector<std::string> xruns = XrunsOfClient(serverLog);
  for (std::size_t i = firstSecond; i < xruns.size(); ++i) ADD_FAILURE() << xruns[i];
}

INSTANTIATE_TEST_SUITE_P(Rates, PluginInJalv, testing::Values(44100, 48000));

}  // namespace
}  // namespace fw::test
