#include "model/model_time.h"

#include <cmath>

namespace model {

void Echo::ComputeTaps(int decayPosition, int levelPosition) {
  level = static_cast<float>(levelPosition) / 100.0f;
  decay = static_cast<float>(decayPosition) / 100.0f;
  tap[0] = 1.0f;
  for (size_t k = 1; k < 5; ++k) tap[k] = tap[k - 1] * decay;
  for (size_t k = 0; k < 5; ++k) tap[k] = tap[k] * level;
}

void Echo::Process(float* work, int n, int32_t delay) {
  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    line[static_cast<size_t>(w)] = x;
    float acc = x;
    counter = counter + 1;
    if ((counter & 127) == 0) m = m + direction;
    if (m > 600) direction = -1;
    if (m < 0) direction = 1;
    for (int32_t k = 0; k < 5; ++k) {
      int32_t r = w - (k + 1) * delay;
      if (sweepOn == 1) r = r + m;
      if (r < 0) r = r + 134000;
      const float p = line[static_cast<size_t>(r)] * tap[static_cast<size_t>(k)];
      acc = acc + p;
    }
    work[i] = gain * acc;
    w = w + 1;
    if (w >= 134000) w = 0;
  }
}

void FlangerModel::Reset() {
  writePos = 301;
  readPos = 0.0f;
  intRead = 1;
  nextRead = 0;
  speed = 0.0075f;
  amount = 0.001f;
  gain = 0.5f;
  feedback = 0.5f;
}

void FlangerModel::Process(float* work, int n) {
  for (int i = 0; i < n; ++i) {
    const float x = work[i];
    const float fed = feedback * lastOutput;
    line[static_cast<size_t>(writePos)] = fed + x;
    const float a = line[static_cast<size_t>(nextRead)];
    const float b = line[static_cast<size_t>(intRead)];
    const float f = readPos - static_cast<float>(intRead);
    const float diff = a - b;
    const float scaled = diff * f;
    const float v = scaled + b;
    lastOutput = v;
    writePos = writePos + 1;
    if (writePos >= 4096) writePos = writePos - 4096;
    amount = amount + speed;
    if (amount > 300.0f) speed = -speed;
    if (amount < 0.0f) speed = -speed;
    readPos = readPos + 1.0f;
    readPos = readPos + speed;
    if (readPos >= 4096.0f) readPos = readPos - 4096.0f;
    if (readPos < 0.0f) readPos = readPos + 4096.0f;
    intRead = static_cast<int32_t>(readPos);  // truncation toward zero
    intRead = ((intRead % 4096) + 4096) % 4096;
    nextRead = (intRead + 1) % 4096;
    const float wet = v * gain;
    work[i] = x + wet;
  }
}

void ReverbModel::Process(float* work, int n, float allPassGain, int32_t delay2, float gain2,
                          float brightness) {
  for (int i = 0; i < n; ++i) input[static_cast<size_t>(i)] = work[i];
  constexpr int32_t kLengths[4] = {2203, 1511, 1049, 787};
  for (size_t s = 0; s < 4; ++s) {
    std::vector<float>& D = lines[s];
    int32_t& p = positions[s];
    for (int i = 0; i < n; ++i) {
      const float d = D[static_cast<size_t>(p)];
      const float dg = d * allPassGain;
      const float y = dg + input[static_cast<size_t>(i)];
      const float yg = y * allPassGain;
      input[static_cast<size_t>(i)] = d - yg;
      D[static_cast<size_t>(p)] = y;
      p = p + 1;
      if (p >= kLengths[s]) p = 0;
    }
  }
  for (int i = 0; i < n; ++i) {
    const float v = line2[static_cast<size_t>(q)];
    line2[static_cast<size_t>(q)] = input[static_cast<size_t>(i)];
    const float step = (v - lowPass) * brightness;
    lowPass = lowPass + step;
    const float wet = lowPass * gain2;
    work[i] = work[i] + wet;
    q = q + 1;
    if (q >= delay2) q = 0;
  }
}

}  // namespace model
