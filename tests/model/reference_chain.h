#pragma once
// An independent reference model of the processing chain: engine defaults, the
// start-up state, the control handlers and the three drivers, with no file playing
// (the file buffer holds zeros) and recording off. Written for plainness, not speed.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/model_controls.h"
#include "model/model_time.h"
#include "model/model_tone.h"

namespace model {

struct ModelParams {
  float inputGain = 1.0f;
  float liveInputFactor = 1.001f;
  float outputGain = 1.0f;
  float wavFileGain = 1.0f;
  int32_t preEqOn = 0, postEqOn = 1, hiPassOn = 0, hiPreOn = 0;
  float softDistortionOn = 0.0f;
  int32_t fvc1On = 0, distortionType = 0, lowBoostOn = 0;
  float lowBoostMix = 4000.0f;
  int32_t tubeOn = 0, lowPass2On = 0, flangerOn = 1, echoOn = 0, echoDelay = 3000, reverbOn = 0;
  float reverbAllPassGain = 0.26f;
  int32_t reverbDelay2 = 0;
  float reverbGain2 = 0.84f;
  float reverbBrightness = 0.0f;
  int32_t recordClean = 0;
  int32_t fileBlockCounter = 0, fileRefillRequest = 0;
  int32_t waveInBlockLength = 220, realtimeBlockLength = 128, cardType = 0;
  int32_t engineSampleRate = 22050;
  int32_t wavViaEffects = 0;
  int32_t tubeVoicing = 0;
  int32_t overloadLatch = 0;
  // tone-filter words
  float filterDesignRate = 44100.0f;
  float hiPassGain = 0.0f;
  float hiPreCoefficient = 0.16666667f;
  float hiPreGain = 1.0f;
  float lowPass2Coefficient = 1.0f;
};

// The generator behind the dither table: SplitMix64 with a bounded draw by
// multiply-and-shift with rejection, seeded with the render's --seed.
class SplitMixDraw {
 public:
  explicit SplitMixDraw(uint64_t seed) : state_(seed) {}
  uint64_t Next64();
  uint32_t Below(uint32_t bound);

 private:
  uint64_t state_;
};

class ReferenceChain {
 public:
  static constexpr uint64_t kDefaultSeed = 0x46726574u;

  explicit ReferenceChain(uint64_t seed = kDefaultSeed);

  // The window's activation sequence on a system without ring-0 drivers. `clearPre`
  // holds the bytes of the default preset "clear.pre"; null means the file is missing
  // and the sequence ends at its failed load (tube stages not redesigned, TubeOn 0).
  void Activate(const std::vector<uint8_t>* clearPre);

  // Load preset by name, after the file was read: the record, the voicing step and the
  // stored controls in their order.
  void LoadPresetRecord(const std::vector<uint8_t>& bytes);
  void TubeDesignSequence(float p, float q, float r);

  // Sets a control's position (check boxes 0/1, radio groups by item index).
  // Returns false when the model does not know the control.
  bool Set(const std::string& name, int value);
  int Position(const std::string& name) const { return controls_.Position(name); }

  // ProcessWaveInBlock on in[0 .. WaveInBlockLength-1]; then the window loop delivers
  // the overload messages it posted.
  void ProcessWaveIn(const int16_t* in, int16_t* out);
  // ProcessDirectBlock on block[0 .. count-1], in place.
  void ProcessDirect(int32_t count, int16_t* block);
  // One pass of the realtime thread over the 256-sample shared block, in place.
  void ProcessRealtime(int16_t* shared);

  ModelParams p;
  int overloadMessages = 0;  // posted so far

  // Stage state, public so tests can look inside.
  FvcStage fvc1, fvc2, fvc3;
  HighPassSection fixedSection;
  OnePole fixedHighPass, hiPreA, hiPreB, lowPass2;
  SoftDistortion soft;
  ShaperParams shaper;
  Elliptic elliptic;
  Equaliser preEq, postEq;
  TubeBanks tube;
  Echo echo;
  FlangerModel flanger;
  ReverbModel reverb;
  std::array<int16_t, 65536> dither{};
  uint16_t ditherIndex = 0;

 private:
  void AddControls();
  void LoadShaperType(int type);
  void ShaperTypeSync();
  void Waveshaper(float* buf, int n);
  void WaveshaperWithBoost(int n);
  void FileMixIn(int n, int wrap, int firstMark, int secondMark);
  void RunStagesWaveIn(int n);
  void RunStagesDirect(int n);
  void RunStagesRealtime(int n);
  void DeliverOverloadMessages(int count);

  ControlTable controls_;
  std::array<uint8_t, 416> presetRecord_{};
  SplitMixDraw random_;
  std::vector<float> work_ = std::vector<float>(17001, 0.0f);
  std::vector<float> dry_ = std::vector<float>(1001, 0.0f);
  std::vector<float> side_ = std::vector<float>(17001, 0.0f);
  std::vector<float> boostSave_ = std::vector<float>(17001, 0.0f);
};

// Round to nearest, ties to even, as the conversions do.
int32_t RoundNearest(float v);

// Output volume law of ScrollBar_OutPut_Volume.
float OutputGainForPosition(int position);

}  // namespace model
