#pragma once
// The realtime thread of ring-0 mode: RealtimeThreadLoop at real-time priority
// where the system allows it.
#include <cstdint>
#include <thread>

namespace fw {

struct Engine;
struct RealtimeShared;

class Ring0Thread {
 public:
  ~Ring0Thread() { Join(); }
  void Start(Engine& engine, RealtimeShared& shared);
  // Waits until the loop has returned.
  void Join();
  bool Started() const { return thread_.joinable(); }

 private:
  std::thread thread_;
};

}  // namespace fw
