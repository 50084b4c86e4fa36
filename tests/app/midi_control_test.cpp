// MIDI on the window thread: the default assignments, each kind of control, tap
// tempo, midi.conf's round trip and malformed lines, and MIDI learn.
#include "app/midi/midi_control.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/midi/midi_config_file.h"
#include "presets/preset_fixture.h"

namespace fw {
namespace {

struct MidiFixture : test::PresetFixture {
  MidiInbox inbox;
  std::vector<std::string> said;

  explicit MidiFixture(const std::string& conf = {}) {
    for (auto [file, volume] : {std::pair{"dist1.pre", 41},
                                {"clear.pre", 40},
                                {"all.pre", 42},
                                {"solo1.pre", 61},
                                {"hard.pre", 62}})
      WritePreset(file, volume);
    if (!conf.empty()) std::ofstream(ConfPath()) << conf;
    StartMidi(form, &inbox, ConfPath());
    MidiOf(form).listeners.push_back([this](const std::string& text) { said.push_back(text); });
  }
  std::string ConfPath() const { return dir / "midi.conf"; }
  // A device sends; the window thread answers on its next turn.
  void Send(unsigned char status, unsigned char data1, unsigned char data2 = 0) {
    const unsigned char bytes[] = {status, data1, data2};
    inbox.Receive(bytes, (status & 0xF0) == 0xC0 ? 2 : 3);
    f.loop.PumpOnce();
  }
  void Cc(int number, int value) {
    Send(0xB0, static_cast<unsigned char>(number), static_cast<unsigned char>(value));
  }
  int Volume() const { return form.Bar("ScrollBar_OutPut_Volume").Position(); }
  std::string Last() const { return said.empty() ? "" : said.back(); }
};

TEST(MidiDefaults, ProgramChangesPressPresetsAndPedalsMoveVolumeToggleAndTuner) {
  MidiFixture m;
  m.Send(0xC3, 2);  // any channel
  EXPECT_EQ(m.Volume(), 40);
  EXPECT_EQ(m.Last(), "program 2 -> Clean");
  EXPECT_EQ(m.form.Btn("BitBtn_Clear").FontColor(), ui::Button::kRed);
  m.Send(0xC0, 0);
  EXPECT_EQ(m.Volume(), 41);
  m.Cc(7, 100);
  EXPECT_EQ(m.Last(), "cc 7 = 100 -> ScrollBar_OutPut_Volume 79");
  EXPECT_FLOAT_EQ(m.engine().params.OutputGain.load(), 29.0f);
  m.Cc(7, 0);
  EXPECT_EQ(m.Volume(), 1);
  m.Cc(64, 127);  // the preset toggle key: the solo preset first
  EXPECT_EQ(m.Volume(), 61);
  EXPECT_EQ(m.Last(), "cc 64 = 127 -> preset toggle");
  const std::size_t lines = m.said.size();
  m.Cc(64, 0);  // the pedal let go does nothing
  m.Send(0xC0, 9);
  EXPECT_EQ(m.said.size(), lines);
  m.Cc(67, 127);
  EXPECT_EQ(m.Last(), "cc 67 = 127 -> tuner");
}

TEST(MidiControls, CheckBoxesToggleOrFollowRadioGroupsStepDisabledControlsDoNothing) {
  MidiFixture m;
  auto& assignments = MidiOf(m.form).assignments;
  assignments.push_back({MidiSource::Controller, 20, "CheckBox_ReverbOnOff", false});
  assignments.push_back({MidiSource::Controller, 21, "CheckBox_DelayOn_Off", true});
  assignments.push_back({MidiSource::Controller, 22, "RadioGroup_elipsF", false});
  assignments.push_back({MidiSource::Controller, 23, "BitBtn_Solo", false});
  m.Cc(20, 127);
  m.Cc(20, 0);
  EXPECT_EQ(m.engine().params.ReverbOn.load(), 1);
  m.Cc(20, 64);
  EXPECT_EQ(m.engine().params.ReverbOn.load(), 0);
  m.Cc(21, 90);
  EXPECT_EQ(m.engine().params.EchoOn.load(), 1);
  m.Cc(21, 10);
  EXPECT_EQ(m.engine().params.EchoOn.load(), 0);
  auto& group = m.form.Group("RadioGroup_elipsF");
  const int items = static_cast<int>(group.Items().size());
  group.SetItemIndex(items - 1);
  m.Cc(22, 127);
  EXPECT_EQ(group.ItemIndex(), 0);
  m.form.Btn("BitBtn_Solo").SetEnabled(false);
  m.Cc(23, 127);
  EXPECT_NE(m.Volume(), 50);
}

TEST(MidiTapTempo, MeanOfTheLastTapsSetsTheNearestDelayTimeAndAPauseStartsOver) {
  MidiFixture m;
  auto& time = m.form.Bar("ScrollBar_Delay_Time");
  for (int tap = 0; tap < 3; ++tap) {
    m.Cc(66, 127);
    m.f.clock.Advance(tap == 0 ? 400 : 600);
  }
  // Taps 400 and 600 ms apart: 500 ms at 22050 Hz is 42.4 steps of 260 samples.
  EXPECT_EQ(time.Position(), 42);
  EXPECT_EQ(m.Last(), "cc 66 = 127 -> tap, ScrollBar_Delay_Time 42");
  EXPECT_EQ(m.engine().echo.EchoDelay.load(), 42 * 260);
  m.f.clock.Advance(2500);
  m.form.Btn("Button_Tap").Click();  // the first tap of a new count
  EXPECT_EQ(time.Position(), 42);
  m.f.clock.Advance(1900);
  m.form.Btn("Button_Tap").Click();
  EXPECT_EQ(time.Position(), 100);  // clamped to the control's range
}

TEST(MidiConfigFile, MalformedLinesAreNamedAndTheirDefaultsApply) {
  MidiFixture m(
      "# mine\n"
      "cc 7 NoSuchControl\n"
      "cc 300 BitBtn_Clear\n"
      "pedal 3 tap\n"
      "cc 20 ScrollBar_OutPut_Volume follow\n"
      "program 5 BitBtn_Clear\n");
  ASSERT_EQ(m.f.dialogs.messages.size(), 1u);
  const std::string& message = m.f.dialogs.messages[0];
  for (const char* line : {"midi.conf line 2: no control or action named NoSuchControl",
                           "midi.conf line 3: the number must be 0 to 127, not 300",
                           "midi.conf line 4: ", "midi.conf line 5: only a check box can follow the value"})
    EXPECT_NE(message.find(line), std::string::npos) << message;
  const std::vector<MidiAssignment> read = {{MidiSource::Program, 5, "BitBtn_Clear", false},
                                            {MidiSource::Controller, 7, "ScrollBar_OutPut_Volume", false}};
  EXPECT_EQ(MidiOf(m.form).assignments, read);
}

TEST(MidiConfigFile, DefaultsRoundTripAndLearnKeepsTheFileThroughPresetLoads) {
  const auto lookup = [](const std::string&) { return MidiTargetKind::Button; };
  EXPECT_EQ(ParseMidiConfig(DefaultMidiConfigText(), lookup, "x").assignments, DefaultMidiAssignments());

  MidiFixture m;
  m.form.Btn("Button_MidiLearn").Click();  // the window's way: click a control, move a pedal
  EXPECT_FALSE(ChooseMidiLearnTarget(m.form, "Button_MidiLearn"));
  EXPECT_FALSE(ChooseMidiLearnTarget(m.form, "PageControl1"));
  EXPECT_TRUE(ChooseMidiLearnTarget(m.form, "ScrollBar_Delay_Gain"));
  EXPECT_EQ(m.Last(), "learn: move a pedal for ScrollBar_Delay_Gain");
  m.Send(0xC0, 4);  // a slider waits for a control change
  m.Cc(20, 127);
  EXPECT_EQ(m.Last(), "learned cc 20 ScrollBar_Delay_Gain");
  m.Cc(20, 0);
  EXPECT_EQ(m.form.Bar("ScrollBar_Delay_Gain").Position(), 1);
  m.Send(0xC0, 2);  // a preset load leaves the assignments alone
  m.Cc(7, 127);
  EXPECT_EQ(m.Volume(), 100);

  MidiFixture again;  // another run reads what was learned
  StartMidi(again.form, &again.inbox, m.ConfPath());
  const auto& assignments = MidiOf(again.form).assignments;
  EXPECT_NE(std::find(assignments.begin(), assignments.end(),
                      MidiAssignment{MidiSource::Controller, 20, "ScrollBar_Delay_Gain", false}),
            assignments.end());
  EXPECT_EQ(ClearMidi(again.form, "ScrollBar_OutPut_Volume"), 1);
  std::string problem;
  const auto text = ReadMidiConfigText(m.ConfPath(), problem);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->find("cc 7 "), std::string::npos);
  EXPECT_NE(text->find("# NAME is a control's --set name"), std::string::npos);
  EXPECT_NE(text->find("cc 20 ScrollBar_Delay_Gain\n"), std::string::npos);
}

}  // namespace
}  // namespace fw
