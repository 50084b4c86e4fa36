// MIDI from a JACK client on the tests' server: program and control changes and taps
// reach the controls and engine words with nothing allocated or locked on the process
// thread; fretwerk-cli prints a midi: line for each action and learns a pedal.
#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <new>
#include <thread>

#include "app/midi/midi_control.h"
#include "audio/cli_process.h"
#include "audio/linux/jack_device.h"
#include "jack_form.h"
#include "jack_server.h"
#include "support/realtime_guard.h"
#include "support/temp_dir.h"

namespace fw::test {
namespace {

bool WaitFor(const std::function<bool()>& done, const std::function<void()>& between = {}) {
  for (int i = 0; i < 10000; ++i) {
    if (done()) return true;
    if (between) between();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

// A pedalboard: events queued by the test go out in the sender's next cycle.
struct MidiSender {
  static constexpr int kMax = 64;
  jack_client_t* client = nullptr;
  jack_port_t* out = nullptr;
  std::array<std::array<unsigned char, 3>, kMax> events{};
  std::array<std::size_t, kMax> sizes{};
  std::atomic<int> queued{0};
  std::atomic<int> sent{0};

  ~MidiSender() {
    if (client != nullptr) jack_client_close(client);
  }
  bool Open(const std::string& target) {
    jack_status_t status{};
    client = jack_client_open("fretwerk-test-pedals", JackNoStartServer, &status);
    if (client == nullptr) return false;
    out = jack_port_register(client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    jack_set_process_callback(client, &Process, this);
    return out != nullptr && jack_activate(client) == 0 &&
           jack_connect(client, jack_port_name(out), target.c_str()) == 0;
  }
  void Send(std::initializer_list<unsigned char> bytes) {
    const int i = queued.load();
    std::copy(bytes.begin(), bytes.end(), events[static_cast<std::size_t>(i)].begin());
    sizes[static_cast<std::size_t>(i)] = bytes.size();
    queued.store(i + 1);
  }
  static int Process(jack_nframes_t n, void* self) {
    auto* s = static_cast<MidiSender*>(self);
    void* buffer = jack_port_get_buffer(s->out, n);
    jack_midi_clear_buffer(buffer);
    const int queued = s->queued.load();
    for (int i = s->sent.load(); i < queued; ++i)
      jack_midi_event_write(buffer, 0, s->events[static_cast<std::size_t>(i)].data(),
                            s->sizes[static_cast<std::size_t>(i)]);
    s->sent.store(queued);
    return 0;
  }
};

// Rides on the live stream as a simulated card would and opens the real-time
// detector's scope on the process thread for every later cycle, JACK's MIDI reading
// included, until the test asks it to close.
struct DetectorCard final : AudioDeviceClient {
  alignas(RealtimeScope) unsigned char scope[sizeof(RealtimeScope)];
  std::atomic<bool> open{false};
  std::atomic<bool> closeWanted{false};
  std::atomic<bool> closed{false};
  void Process(const float*, float* left, float* right, int frames) noexcept override {
    std::fill(left, left + frames, 0.0f);
    std::fill(right, right + frames, 0.0f);
    if (closed.load()) return;
    if (closeWanted.load()) {
      std::launder(reinterpret_cast<RealtimeScope*>(scope))->~RealtimeScope();
      closed.store(true);
    } else if (!open.load()) {
      new (scope) RealtimeScope;
      open.store(true);
    }
  }
};

struct JackMidi : ::testing::Test {
  JackServer server;
  void SetUp() override {
    if (!JackdInstalled()) GTEST_SKIP() << "jackd is not installed: the JACK tests need the jackd2 package";
    ASSERT_TRUE(server.Start(44100, 128)) << "jackd -n " << server.Name() << " -d dummy did not come up";
  }
};

TEST_F(JackMidi, PedalsMoveControlsAndTapTheEchoWithNothingAllocatedOrLockedOnTheProcessThread) {
  JackForm jack;
  std::string error;
  ASSERT_TRUE(jack.Open(error)) << error;
  jack.system.programDirectory = FRETWERK_BINARY_DIR "/";
  TempDir config;
  TForm1& form = jack.Form();
  StartMidi(form, &jack.live->Midi(), config / "midi.conf");
  std::vector<std::string> said;
  MidiOf(form).listeners.push_back([&said](const std::string& text) { said.push_back(text); });
  DetectorCard card;
  jack.live->AttachCard(&card);
  jack.Start();
  MidiSender pedals;
  ASSERT_TRUE(pedals.Open(dynamic_cast<JackDevice&>(jack.live->Device()).MidiPortName()));
  ASSERT_TRUE(WaitFor([&] { return card.open.load(); }));
  ResetRealtimeViolations();

  const auto sendAndWait = [&](std::initializer_list<unsigned char> bytes) {
    const std::size_t before = said.size();
    pedals.Send(bytes);
    return WaitFor([&] { return said.size() > before; }, [&] { jack.f->loop.PumpOnce(); });
  };
  ASSERT_TRUE(sendAndWait({0xC0, 2}));
  ASSERT_TRUE(sendAndWait({0xB0, 7, 100}));
  for (int tap = 0; tap < 3; ++tap) {
    ASSERT_TRUE(sendAndWait({0xB9, 66, 127}));
    jack.f->clock.Advance(500);
  }
  card.closeWanted.store(true);
  ASSERT_TRUE(WaitFor([&] { return card.closed.load(); }));
  EXPECT_EQ(RealtimeViolations(), 0) << FirstRealtimeViolation();
  jack.live->AttachCard(nullptr);

  EXPECT_EQ(said.front(), "program 2 -> Clean");
  EXPECT_EQ(form.Btn("BitBtn_Clear").FontColor(), ui::Button::kRed);
  EXPECT_EQ(form.Bar("ScrollBar_OutPut_Volume").Position(), 79);
  EXPECT_FLOAT_EQ(jack.f->engine->params.OutputGain.load(), 29.0f);
  const int rate = jack.f->engine->params.EngineSampleRate.load();
  const int steps = static_cast<int>(std::lround(0.5 * rate / 260));
  EXPECT_EQ(form.Bar("ScrollBar_Delay_Time").Position(), steps);
  EXPECT_EQ(jack.f->engine->echo.EchoDelay.load(), steps * 260);
  form.Btn("Button_STOP_RT").Click();
}

TEST_F(JackMidi, CliRunPrintsEachActionAndLearnKeepsThePedal) {
  if (std::getenv("FRETWERK_CLI") == nullptr) GTEST_SKIP() << "FRETWERK_CLI is set by ctest";
  TempDir config;
  const std::string environment = "export XDG_CONFIG_HOME=" + config.path().string() + "; ";
  {
    CliProcess run;
    ASSERT_TRUE(run.Start("run --audio jack --no-connect --seconds 120", environment));
    ASSERT_TRUE(run.ReadUntil("status: Working")) << run.output;
    MidiSender pedals;
    ASSERT_TRUE(pedals.Open("fretwerk:midi_in"));
    pedals.Send({0xC0, 2});
    pedals.Send({0xB0, 7, 100});
    ASSERT_TRUE(run.ReadUntil("midi: cc 7 = 100 -> ScrollBar_OutPut_Volume 79")) << run.output;
    EXPECT_NE(run.output.find("midi: program 2 -> Clean\n"), std::string::npos) << run.output;
    run.Signal(SIGINT);
    EXPECT_EQ(run.Wait(), 0) << run.output;
  }
  {
    CliProcess learn;
    ASSERT_TRUE(learn.Start("midi learn ScrollBar_Delay_Gain --audio jack --seconds 120", environment));
    ASSERT_TRUE(learn.ReadUntil("move a pedal")) << learn.output;
    MidiSender pedals;
    ASSERT_TRUE(pedals.Open("fretwerk:midi_in"));
    pedals.Send({0xB0, 20, 5});
    EXPECT_EQ(learn.Wait(), 0) << learn.output;
    EXPECT_NE(learn.output.find("midi: learned cc 20 ScrollBar_Delay_Gain\n"), std::string::npos)
        << learn.output;
  }
  CliProcess list;
  ASSERT_TRUE(list.Start("midi list", environment));
  EXPECT_EQ(list.Wait(), 0);
  EXPECT_NE(list.output.find("cc 67 tuner\ncc 20 ScrollBar_Delay_Gain\n"), std::string::npos) << list.output;
  CliProcess clear;
  ASSERT_TRUE(clear.Start("midi clear NoSuchControl", environment));
  EXPECT_EQ(clear.Wait(), 2);
  EXPECT_NE(clear.output.find("no control or action named NoSuchControl"), std::string::npos) << clear.output;
}

}  // namespace
}  // namespace fw::test
