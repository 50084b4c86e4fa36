#pragma once
// A multimedia timer on the test's clock: Tick() runs every live event once, on the
// calling thread.
#include <cstdint>
#include <vector>

#include "audio/multimedia_timer.h"

namespace fw::test {

class ManualTimer final : public MultimediaTimer {
 public:
  std::int32_t timeGetDevCaps(TimeCaps* caps) override {
    *caps = TimeCaps{1, 1000000};
    return 0;
  }
  std::int32_t timeBeginPeriod(std::uint32_t period) override {
    ++periodsBegun;
    lastPeriod = period;
    return 0;
  }
  std::int32_t timeEndPeriod(std::uint32_t) override {
    ++periodsEnded;
    return 0;
  }
  std::uint32_t timeSetEvent(std::uint32_t delay, std::uint32_t resolution, TimerProc proc, void* context,
                             std::uintptr_t user, std::uint32_t) override {
    events.push_back({nextId, delay, resolution, proc, context, user, true});
    return nextId++;
  }
  std::int32_t timeKillEvent(std::uint32_t id) noexcept override {
    for (Event& e : events) {
      if (e.id == id) e.live = false;
    }
    return 0;
  }
  void Tick() noexcept {
    for (std::size_t i = 0; i < events.size(); ++i) {
      if (events[i].live) events[i].proc(events[i].context, events[i].id, events[i].user);
    }
  }
  int LiveEvents() const {
    int n = 0;
    for (const Event& e : events) n += e.live ? 1 : 0;
    return n;
  }

  struct Event {
    std::uint32_t id, delay, resolution;
    TimerProc proc;
    void* context;
    std::uintptr_t user;
    bool live;
  };
  std::vector<Event> events;
  std::uint32_t nextId = 1;
  int periodsBegun = 0, periodsEnded = 0;
  std::uint32_t lastPeriod = 0;
};

}  // namespace fw::test
