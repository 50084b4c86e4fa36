#pragma once
// The JACK side of a loop-back delay measurement: one client plays the click probe into
// a port, another records a port, both indexed by the server's frame time, so what one
// client does to the sound between them in the same cycle is measured exactly. Two
// clients, not one with both ports: a client that feeds itself hears a period late.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "audio/click_probe.h"

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

namespace fw {

class JackClickClient {
 public:
  // Records up to `frames` frames from Begin on.
  JackClickClient(ClickProbe probe, std::size_t frames);
  ~JackClickClient();
  JackClickClient(const JackClickClient&) = delete;
  JackClickClient& operator=(const JackClickClient&) = delete;

  // Opens and activates the two clients "<name>-click" and "<name>-listen".
  bool Open(const std::string& name, std::string& error);
  // Clicks into `input` (a port name), listens to `output`.
  bool Connect(const std::string& input, const std::string& output);
  // From the next cycle on: click and record.
  void Begin() { go_.store(true); }
  // Frames recorded since Begin.
  std::int64_t Recorded() const { return recorded_.load(); }
  // Closes both clients; after it no callback writes what was heard.
  void Close();
  // What was heard, frame k at heard[k]: read after Close.
  const std::vector<float>& Heard() const { return heard_; }
  const ClickProbe& Probe() const { return probe_; }
  // Xruns the server reported since Open.
  int Xruns() const { return xruns_.load(); }

 private:
  static int Play(unsigned frames, void* self);
  static int Listen(unsigned frames, void* self);
  static int OnXrun(void* self);

  ClickProbe probe_;
  std::vector<float> heard_;
  jack_client_t* player_ = nullptr;
  jack_client_t* listener_ = nullptr;
  jack_port_t* out_ = nullptr;
  jack_port_t* in_ = nullptr;
  std::atomic<bool> go_{false};
  std::atomic<std::int64_t> t0_{-1};
  std::atomic<std::int64_t> recorded_{0};
  std::atomic<int> xruns_{0};
};

}  // namespace fw
