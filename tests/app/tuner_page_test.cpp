// The "Tuner" page over the chain: the meters' clip indicators light when a block
// reaches the limit and go dark after their hold, on the loop's clock; the tuner
// mutes the output while it listens, reads the input's copy, and MIDI switches it.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "app/midi/midi_control.h"
#include "app/tuner/tuner_state.h"
#include "engine/chain.h"
#include "support/engine_fixture.h"

namespace fw {
namespace {

struct TunerPage : test::FormFixture {
  TunerState& state = TunerOf(*form);
  // The direct driver recording clean hands the dry input on.
  TunerPage() { engine->params.RecordClean.store(1); }

  std::vector<std::int16_t> Run(const std::vector<std::int16_t>& in) {
    std::vector<std::int16_t> out(in.size());
    Chain(*engine).Process(Driver::Direct, in.data(), out.data(), static_cast<int>(in.size()));
    return out;
  }
  void Wait(std::int64_t ms) { loop.AdvanceBy(ms, clock); }
  std::string Reading() const {
    const auto reading = state.tuner.Reading();
    return reading ? FormatReading(*reading) : "-";
  }
};

std::vector<std::int16_t> Sine(double hz, double amplitude, int n = 220) {
  static int start = 0;
  std::vector<std::int16_t> s(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i, ++start)
    s[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2.0 * std::numbers::pi * hz * start / 22050.0)));
  return s;
}

TEST(TunerPage, AClippedInputLightsTheIndicatorForTwoSeconds) {
  TunerPage page;
  page.Run(Sine(440.0, 16000.0));
  page.Wait(kTunerPollMs);
  EXPECT_FALSE(page.state.input.ClipLit());
  EXPECT_NEAR(page.state.input.PeakDb(), -6.2, 0.1);

  std::vector<std::int16_t> clipped = Sine(440.0, 16000.0);
  clipped[100] = -32768;
  page.Run(clipped);
  page.Wait(kTunerPollMs);
  EXPECT_TRUE(page.state.input.ClipLit());
  EXPECT_NEAR(page.state.input.HoldDb(), 0.0, 0.01);
  page.Run(Sine(440.0, 1000.0));
  page.Wait(1900);
  EXPECT_TRUE(page.state.input.ClipLit());
  EXPECT_EQ(page.state.input.HoldDb(),
            MeterDisplay::kFloorDb);  // the peak hold has ended, the clip light not
  page.Wait(2 * kTunerPollMs + 20);
  EXPECT_FALSE(page.state.input.ClipLit());
}

TEST(TunerPage, TheTunerMutesTheOutputOnlyWhenAskedAndReadsTheInput) {
  TunerPage page;
  page.form->Box("CheckBox_TunerOn").SetChecked(true);
  for (int block = 0; block < 40; ++block) {
    for (std::int16_t sample : page.Run(Sine(110.0, 8000.0))) ASSERT_EQ(sample, 0);
    page.Wait(10);
  }
  EXPECT_EQ(page.Reading().rfind("A2 0.0 cents 110.0", 0), 0u) << page.Reading();
  page.form->Bar("ScrollBar_TunerReference").SetPosition(444);
  EXPECT_EQ(page.form->Bar("ScrollBar_TunerReference").ReadoutNow(), "444 Hz");
  EXPECT_EQ(page.Reading().rfind("A2 -15.7 cents", 0), 0u) << page.Reading();

  page.form->Box("CheckBox_TunerMute").SetChecked(false);
  const std::vector<std::int16_t> heard = page.Run(Sine(110.0, 8000.0));
  EXPECT_NE(*std::max_element(heard.begin(), heard.end()), 0);
  page.form->Box("CheckBox_TunerMute").SetChecked(true);
  page.form->Box("CheckBox_TunerOn").SetChecked(false);
  const std::vector<std::int16_t> off = page.Run(Sine(110.0, 8000.0));
  EXPECT_NE(*std::max_element(off.begin(), off.end()), 0);
  EXPECT_EQ(page.Reading(), "-");
  MidiOf(*page.form).toggleTuner();  // the MIDI "tuner" action
  EXPECT_TRUE(page.form->Box("CheckBox_TunerOn").Checked());
}

}  // namespace
}  // namespace fw
