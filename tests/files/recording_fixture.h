#pragma once
// Drives recording the way a user does, with ProcessDirectBlock as the audio side.
#include <cstdint>
#include <string>
#include <vector>

#include "app/form1.h"
#include "core/rounding.h"
#include "engine/chain.h"
#include "files/files_test_support.h"
#include "files/recorder.h"
#include "support/engine_fixture.h"

namespace fw::test {

// Samples per flush with the "1 minute" ring at 22050 samples per second.
inline constexpr std::int32_t kRing = 1323000;
inline constexpr std::int32_t kFlushSamples = kRing - 500;

struct RecordingFixture {
  FormFixture f;
  TempDir dir;
  std::string base = dir / "take";
  std::int64_t fed = 0;  // input samples given to the chain so far
  std::vector<std::int16_t> lastBlock;

  TForm1& form() { return *f.form; }
  EngineParams& params() { return f.engine->params; }
  std::string File() const { return base + ".au"; }

  // Recording again under the same name replaces the take, as a user who answers Yes.
  void Start() {
    f.dialogs.replaceAnswer = true;
    form().Get<ui::Edit>("Edit_Open_R").SetText(base);
    form().Btn("BitBtn_Start_Record").Click();
  }
  void Stop() { form().Btn("BitBtn_Stop_R").Click(); }
  void Tick() { f.loop.AdvanceBy(250, f.clock); }

  // One block of the test signal through the direct driver; lastBlock is its output.
  void Block(int n = 220) {
    lastBlock.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) lastBlock[static_cast<std::size_t>(i)] = SignalAt(fed + i);
    ProcessDirectBlock(*f.engine, n, lastBlock.data());
    fed += n;
  }
  void Blocks(int count) {
    for (int i = 0; i < count; ++i) Block();
  }
  // Feeds blocks until the chain reports the ring nearly full; returns the first
  // input sample of the run.
  std::int64_t FillRing() {
    const std::int64_t first = fed;
    while (params().RecordFull.load() != 3) Block();
    return first;
  }
};

// What a clean recording stores for input sample i.
inline std::int16_t CleanSample(std::int64_t i) { return ClampRound16(static_cast<float>(SignalAt(i))); }

}  // namespace fw::test
