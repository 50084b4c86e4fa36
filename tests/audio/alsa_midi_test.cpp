// The ALSA fallback's sequencer port: sequencer events become the bytes of the MIDI
// messages the JACK port delivers, and a control change sent by another sequencer
// client arrives as one message (skipped without a sequencer).
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <thread>

#include "audio/linux/alsa_midi_input.h"

namespace fw::test {
namespace {

struct CountingClient final : AudioDeviceClient {
  std::atomic<std::uint32_t> last{0};
  void Process(const float*, float*, float*, int) noexcept override {}
  void MidiReceived(const unsigned char* bytes, std::size_t size) noexcept override {
    if (size == 3) last.store(std::uint32_t{bytes[0]} << 16 | std::uint32_t{bytes[1]} << 8 | bytes[2]);
  }
};

TEST(AlsaMidi, ProgramAndControlChangesBecomeMidiBytesAndOtherEventsNothing) {
  snd_seq_event_t event;
  unsigned char bytes[3] = {};
  snd_seq_ev_clear(&event);
  snd_seq_ev_set_controller(&event, 3, 64, 127);
  ASSERT_EQ(AlsaEventBytes(event, bytes), 3u);
  EXPECT_EQ((std::array{bytes[0], bytes[1], bytes[2]}), (std::array<unsigned char, 3>{0xB3, 64, 127}));
  snd_seq_ev_set_pgmchange(&event, 15, 2);
  ASSERT_EQ(AlsaEventBytes(event, bytes), 2u);
  EXPECT_EQ((std::array{bytes[0], bytes[1]}), (std::array<unsigned char, 2>{0xCF, 2}));
  snd_seq_ev_set_noteon(&event, 0, 60, 100);
  EXPECT_EQ(AlsaEventBytes(event, bytes), 0u);
}

TEST(AlsaMidi, AControlChangeFromAnotherClientReachesTheDevicesClient) {
  CountingClient client;
  AlsaMidiInput input;
  std::string error;
  if (!input.Start(client, "fretwerk-test", error)) GTEST_SKIP() << error << " on this system";
  snd_seq_t* sender = nullptr;
  ASSERT_GE(snd_seq_open(&sender, "default", SND_SEQ_OPEN_OUTPUT, 0), 0);
  const int port = snd_seq_create_simple_port(
      sender, "out", SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ, SND_SEQ_PORT_TYPE_APPLICATION);
  ASSERT_GE(snd_seq_connect_to(sender, port, input.ClientId(), input.PortId()), 0);
  snd_seq_event_t event;
  snd_seq_ev_clear(&event);
  snd_seq_ev_set_source(&event, static_cast<unsigned char>(port));
  snd_seq_ev_set_subs(&event);
  snd_seq_ev_set_direct(&event);
  snd_seq_ev_set_controller(&event, 3, 7, 100);
  ASSERT_GE(snd_seq_event_output_direct(sender, &event), 0);
  for (int i = 0; i < 10000 && client.last.load() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(client.last.load(), 0xB30764u);
  snd_seq_close(sender);
}

}  // namespace
}  // namespace fw::test
