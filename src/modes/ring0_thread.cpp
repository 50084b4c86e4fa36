#include "modes/ring0_thread.h"

#include <pthread.h>
#include <sched.h>

#include "audio/realtime_chain.h"

namespace fw {

void Ring0Thread::Start(Engine& engine, RealtimeShared& shared) {
  Join();
  thread_ = std::thread([&engine, &shared] {
    sched_param param{};
    param.sched_priority = 20;
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);  // refused without the right: normal priority
    RealtimeThreadLoop(engine, shared, nullptr);
  });
}

void Ring0Thread::Join() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace fw
