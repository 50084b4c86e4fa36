#pragma once
// Reference time-based stages: echo delay, flanger and reverb.
#include <array>
#include <cstdint>
#include <vector>

namespace model {

struct Echo {
  std::vector<float> line = std::vector<float>(134501, 0.0f);
  int32_t w = 0;
  std::array<float, 5> tap{};
  int32_t m = 0, counter = 0, direction = 1;
  int32_t sweepOn = 0;
  float gain = 0.33f;  // EchoGain
  float decay = 0.5f;  // EchoDecay
  float level = 0.0f;  // EchoLevel
  void ComputeTaps(int decayPosition, int levelPosition);
  void Process(float* work, int n, int32_t delay);
};

struct FlangerModel {
  std::vector<float> line = std::vector<float>(5001, 0.0f);
  int32_t writePos = 301;
  float readPos = 1.0f;
  int32_t intRead = 1, nextRead = 0;
  float lastOutput = 0.0f;
  float speed = 0.0075f, amount = 0.001f;
  float gain = 0.5f, feedback = 0.5f;
  void Reset();
  void Process(float* work, int n);
};

struct ReverbModel {
  std::vector<float> input = std::vector<float>(17001, 0.0f);
  std::array<std::vector<float>, 4> lines{std::vector<float>(2501, 0.0f), std::vector<float>(2501, 0.0f),
                                          std::vector<float>(2501, 0.0f), std::vector<float>(2501, 0.0f)};
  std::array<int32_t, 4> positions{};
  std::vector<float> line2 = std::vector<float>(2501, 0.0f);
  int32_t q = 0;
  float lowPass = 0.0f;
  // The chain's call sequence: copy, four all-pass sections, the second stage.
  void Process(float* work, int n, float allPassGain, int32_t delay2, float gain2, float brightness);
};

}  // namespace model
