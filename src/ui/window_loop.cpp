#include "ui/window_loop.h"

#include <algorithm>
#include <thread>

namespace fw::ui {

void Timer::Restart() {
  if (loop_ != nullptr) due_ = loop_->GetClock().NowMs() + interval_;
}

void WindowLoop::PostMessage(std::uint32_t message) noexcept {
  const std::uint32_t head = head_.load(std::memory_order_relaxed);
  const std::uint32_t tail = tail_.load(std::memory_order_acquire);
  if (head - tail >= kQueueSize) return;
  queue_[head % kQueueSize].store(message, std::memory_order_relaxed);
  head_.store(head + 1, std::memory_order_release);
  if (LoopWaker* waker = waker_.load(std::memory_order_acquire)) waker->Wake();
}

void WindowLoop::Post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(tasksMutex_);
    tasks_.push_back(std::move(task));
  }
  if (LoopWaker* waker = waker_.load(std::memory_order_acquire)) waker->Wake();
}

void WindowLoop::OnMessage(std::uint32_t message, std::function<void()> handler) {
  handlers_[message] = std::move(handler);
}

void WindowLoop::AddTimer(Timer& timer) {
  timer.loop_ = this;
  timer.Restart();
  if (std::find(timers_.begin(), timers_.end(), &timer) == timers_.end()) timers_.push_back(&timer);
}

void WindowLoop::RemoveTimer(Timer& timer) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), &timer), timers_.end());
  timer.loop_ = nullptr;
}

bool WindowLoop::DeliverMessages() {
  bool any = false;
  for (;;) {
    const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) break;
    const std::uint32_t message = queue_[tail % kQueueSize].load(std::memory_order_relaxed);
    tail_.store(tail + 1, std::memory_order_release);
    any = true;
    const auto it = handlers_.find(message);
    if (it != handlers_.end() && it->second) it->second();
  }
  return any;
}

bool WindowLoop::RunTasks() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard<std::mutex> lock(tasksMutex_);
    tasks.swap(tasks_);
  }
  for (auto& task : tasks) task();
  return !tasks.empty();
}

bool WindowLoop::RunDueTimers() {
  bool any = false;
  const std::int64_t now = clock_.NowMs();
  // A handler may enable, disable or remove timers: walk a snapshot.
  const std::vector<Timer*> snapshot = timers_;
  for (Timer* timer : snapshot) {
    if (std::find(timers_.begin(), timers_.end(), timer) == timers_.end()) continue;
    if (!timer->Enabled() || timer->Interval() <= 0 || timer->due_ > now) continue;
    timer->due_ = now + timer->Interval();
    any = true;
    if (timer->OnTimer) timer->OnTimer();
  }
  return any;
}

bool WindowLoop::PumpOnce() {
  bool any = DeliverMessages();
  any = RunTasks() || any;
  any = RunDueTimers() || any;
  return any;
}

std::int64_t WindowLoop::MsUntilNextTimer() const {
  std::int64_t best = -1;
  const std::int64_t now = clock_.NowMs();
  for (const Timer* timer : timers_) {
    if (!timer->Enabled() || timer->Interval() <= 0) continue;
    const std::int64_t wait = std::max<std::int64_t>(0, timer->due_ - now);
    if (best < 0 || wait < best) best = wait;
  }
  return best;
}

void WindowLoop::AdvanceBy(std::int64_t ms, FakeClock& clock) {
  const std::int64_t end = clock.NowMs() + ms;
  PumpOnce();
  for (;;) {
    const std::int64_t wait = MsUntilNextTimer();
    if (wait < 0 || clock.NowMs() + wait > end) break;
    clock.Advance(wait);
    PumpOnce();
  }
  clock.Set(end);
  PumpOnce();
}

void WindowLoop::Run() {
  using namespace std::chrono_literals;
  while (!quit_.load()) {
    if (!PumpOnce()) std::this_thread::sleep_for(1ms);
  }
}

}  // namespace fw::ui
