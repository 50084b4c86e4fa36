#include "engine/flanger.h"

#include "engine/stage_state_word.h"

namespace fw {
namespace {

std::int32_t IntoRing(std::int32_t index) noexcept {
  if (index >= Flanger::kRingLength) return index - Flanger::kRingLength;
  if (index < 0) return index + Flanger::kRingLength;
  return index;
}

}  // namespace

void Flanger::FlangerBlock(float* work, int n) noexcept {
  const float gain = FlangerGain.load();
  const float feedback = FlangerFeedback.load();

  const std::int32_t writeAtStart = writePosition.load();
  const float readAtStart = readPosition.load();
  const std::int32_t indexAtStart = readIndex.load();
  const std::int32_t nextAtStart = nextReadIndex.load();
  const float speedAtStart = sweepSpeed.load();
  const float amountAtStart = sweepAmount.load();

  std::int32_t wp = IntoRing(writeAtStart);
  float rp = readAtStart;
  std::int32_t ip = IntoRing(indexAtStart);
  std::int32_t next = IntoRing(nextAtStart);
  float speed = speedAtStart;
  float amount = amountAtStart;
  float last = lastOutput;

  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    line[wp] = feedback * last + x;

    float f = rp - static_cast<float>(ip);
    // The read index lags its read position by at most one sample (f = -1 right after
    // the reset). A read position set apart from its index (the presets' rewind, or a
    // reset landing mid-block) would extrapolate over thousands of samples into a loud
    // click: take the index from the read position instead.
    if (f < -1.0f || f > 1.0f) {
      ip = IntoRing(static_cast<std::int32_t>(rp));
      next = IntoRing(ip + 1);
      f = rp - static_cast<float>(ip);
    }
    const float a = line[next];
    const float b = line[ip];
    const float v = (a - b) * f + b;
    last = v;

    wp = wp + 1;
    if (wp >= kRingLength) wp = wp - kRingLength;

    amount = amount + speed;
    if (amount > kSweepTop) speed = -speed;
    if (amount < 0.0f) speed = -speed;

    rp = rp + 1.0f + speed;
    if (rp >= static_cast<float>(kRingLength)) rp = rp - static_cast<float>(kRingLength);
    if (rp < 0.0f) rp = rp + static_cast<float>(kRingLength);

    ip = IntoRing(static_cast<std::int32_t>(rp));
    next = IntoRing(ip + 1);

    work[i] = x + v * gain;
  }

  lastOutput = last;
  StoreUnlessRewritten(writePosition, writeAtStart, wp);
  StoreUnlessRewritten(readPosition, readAtStart, rp);
  StoreUnlessRewritten(readIndex, indexAtStart, ip);
  StoreUnlessRewritten(nextReadIndex, nextAtStart, next);
  StoreUnlessRewritten(sweepSpeed, speedAtStart, speed);
  StoreUnlessRewritten(sweepAmount, amountAtStart, amount);
}

void Flanger::Reset() noexcept {
  writePosition.store(301);
  readPosition.store(0.0f);
  readIndex.store(1);
  nextReadIndex.store(0);
  sweepSpeed.store(0.0075f);
  sweepAmount.store(0.001f);
  FlangerGain.store(0.5f);
  FlangerFeedback.store(0.5f);
}

}  // namespace fw
