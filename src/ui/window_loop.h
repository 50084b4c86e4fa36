#pragma once
// The window-thread loop: control handlers, posted messages and timers all run on
// one thread. The audio side posts messages without locking or allocating.
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "core/message_port.h"
#include "ui/clock.h"
#include "ui/timer.h"

namespace fw::ui {

// Wakes a loop that sleeps in an event loop of its own (the Qt window). Called after
// every post from any thread, the audio thread included: it must not allocate or lock.
class LoopWaker {
 public:
  virtual ~LoopWaker() = default;
  virtual void Wake() noexcept = 0;
};

class WindowLoop final : public MessagePort {
 public:
  explicit WindowLoop(const Clock& clock) : clock_(clock) {}

  const Clock& GetClock() const { return clock_; }

  // Audio side: queue a message for the window thread (single producer, lock-free).
  // When the queue is full the message is dropped; the overload latch re-posts.
  void PostMessage(std::uint32_t message) noexcept override;

  // Any thread: run a task on the window thread (not for the audio thread).
  void Post(std::function<void()> task);

  // The view's event loop, woken after each post; nullptr: nobody sleeps.
  void SetWaker(LoopWaker* waker) { waker_.store(waker, std::memory_order_release); }

  void OnMessage(std::uint32_t message, std::function<void()> handler);
  void AddTimer(Timer& timer);
  void RemoveTimer(Timer& timer);

  // Delivers every queued message and task, then runs the timers that are due.
  // Returns true when something ran.
  bool PumpOnce();

  // Tests with a fake clock: advance the clock step by step, firing timers in order.
  void AdvanceBy(std::int64_t ms, FakeClock& clock);

  // Headless run: pumps until Quit() is called (from any thread).
  void Run();
  void Quit() { quit_.store(true); }
  bool QuitRequested() const { return quit_.load(); }

  // Milliseconds until the next enabled timer is due (or -1 when none is).
  std::int64_t MsUntilNextTimer() const;

 private:
  friend class Timer;
  bool DeliverMessages();
  bool RunTasks();
  bool RunDueTimers();

  const Clock& clock_;
  static constexpr std::size_t kQueueSize = 256;
  std::array<std::atomic<std::uint32_t>, kQueueSize> queue_{};
  std::atomic<std::uint32_t> head_{0};  // written by the producer
  std::atomic<std::uint32_t> tail_{0};  // written by the window thread
  std::map<std::uint32_t, std::function<void()>> handlers_;
  std::vector<Timer*> timers_;
  std::mutex tasksMutex_;
  std::vector<std::function<void()>> tasks_;
  std::atomic<bool> quit_{false};
  std::atomic<LoopWaker*> waker_{nullptr};
};

}  // namespace fw::ui
