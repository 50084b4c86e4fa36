#pragma once
// What the window shows of a live stream's delay, and the hand-over of a changed delay
// to the device. Window thread only.
namespace fw {

class LiveDelay {
 public:
  virtual ~LiveDelay() = default;
  // Input-to-output delay in milliseconds: the samples in flight plus the latencies the
  // device reports on either side; 0 while nothing plays.
  virtual double InputToOutputMs() const = 0;
  // Tells the device when the delay has changed since the last call.
  virtual void PublishLatency() = 0;
};

}  // namespace fw
