#include <gtest/gtest.h>

#include "app/pages/file_pages.h"
#include "app/presets/engine_links.h"
#include "app/presets/preset_state.h"
#include "app/realtime/realtime_control.h"
#include "app/startup/form_activate.h"
#include "app/startup/mouse_hook.h"
#include "app/startup/stage_defaults.h"
#include "app/startup_state.h"
#include "files/file_player.h"
#include "presets/preset_fixture.h"
#include "support/fake_wave_input.h"

namespace fw {
namespace {

struct StartupFixture : test::PresetFixture {
  explicit StartupFixture(bool withClear) {
    if (withClear) test::WriteRecord(File("clear.pre"), InitialPresetRecord());
  }
};

TEST(Startup, WithTheCleanPresetEndsWithTheTubeOnAndTheDefaultWords) {
  StartupFixture s(true);
  FormActivate(s.form);
  EXPECT_TRUE(s.f.dialogs.errors.empty());
  const EngineParams& p = s.engine().params;
  EXPECT_EQ(p.FlangerOn.load(), 1);
  EXPECT_EQ(p.PostEqOn.load(), 1);
  EXPECT_EQ(p.TubeOn.load(), 1);
  EXPECT_EQ(p.ReverbOn.load(), 0);
  EXPECT_EQ(p.EchoOn.load(), 0);
  EXPECT_EQ(p.DistortionType.load(), 0);
  EXPECT_FLOAT_EQ(p.OutputGain.load(), 1.0f);
  EXPECT_FLOAT_EQ(p.InputGain.load(), 1.0f);
  // The preset's positions override those the start controls were given.
  EXPECT_EQ(s.form.Group("RadioGroup_elipsF").ItemIndex(), 0);
  EXPECT_FALSE(s.form.Box("Pre_FVC1_OnOff").Checked());
  EXPECT_EQ(PresetsOf(s.form).currentFile, s.dir.WithSeparator() + "/clear.pre");
  // Voicing 2 designed after the load.
  EXPECT_EQ(s.engine().tube.FoldCascade.load(), 0);
  EXPECT_FLOAT_EQ(s.engine().tube.FoldWidthFactor.load(), 0.5f);
}

TEST(Startup, WithoutTheCleanPresetStopsAtTheLoadAndKeepsTheTubeOff) {
  StartupFixture s(false);
  Realtime(s.form).irq = 7;
  Realtime(s.form).dma8 = 3;
  Realtime(s.form).dma16 = 7;
  FormActivate(s.form);
  ASSERT_EQ(s.f.dialogs.errors.size(), 1u);
  EXPECT_TRUE(s.f.dialogs.errors[0].starts_with("File not found\ncannot read "));
  EXPECT_TRUE(s.f.dialogs.errors[0].ends_with("/clear.pre: No such file or directory"));
  EXPECT_EQ(s.engine().params.TubeOn.load(), 0);
  EXPECT_EQ(s.engine().tube.FoldCascade.load(), 1);  // the program-start design stays
  // Steps up to 15 ran.
  EXPECT_EQ(s.form.Group("RadioGroup_elipsF").ItemIndex(), 3);
  EXPECT_TRUE(s.form.Box("Pre_FVC1_OnOff").Checked());
  EXPECT_EQ(s.form.Bar("ScrollBar_FVC1").Position(), 3);
  EXPECT_EQ(s.form.Bar("ScrollBar_Koeff_FVC2").Position(), 5);
  EXPECT_EQ(s.form.Bar("ScrollBar_Reverb_G_2").Position(), 1);
  EXPECT_EQ(s.form.Bar("ScrollBar_Rever_FNC_2").Position(), 70);
  EXPECT_EQ(s.form.Bar("ScrollBar_Rever_Dec2").Position(), 75);
  EXPECT_EQ(s.form.Bar("ScrollBar_Delay_Time").Position(), 25);
  EXPECT_EQ(s.form.Bar("ScrollBar_Delay_Decay").Position(), 40);
  EXPECT_EQ(s.form.Bar("ScrollBar_Delay_Gain").Position(), 60);
  EXPECT_EQ(s.form.Bar("ScrollBar_Delay_I_Gain").Position(), 45);
  EXPECT_EQ(s.form.Group("RadioGroup_OUT_MONO_").ItemIndex(), 0);
  EXPECT_EQ(Realtime(s.form).irq, 5);
  EXPECT_EQ(Realtime(s.form).dma8, 1);
  EXPECT_EQ(Realtime(s.form).dma16, 5);
  // Flanger reset, echo defaults replaced by the delay controls' handlers, reverb reset.
  const Engine& e = s.engine();
  EXPECT_EQ(e.flanger.writePosition.load(), 301);
  EXPECT_FLOAT_EQ(e.flanger.FlangerGain.load(), 0.5f);
  EXPECT_EQ(e.echo.EchoDelay.load(), 6500);
  EXPECT_FLOAT_EQ(e.echo.EchoDecay.load(), 0.4f);
  EXPECT_FLOAT_EQ(e.echo.EchoGain.load(), 0.6f);
  EXPECT_FLOAT_EQ(e.echo.EchoLevel.load(), 0.45f);
  EXPECT_EQ(e.echo.sweepDirection.load(), 1);
  EXPECT_FLOAT_EQ(e.reverb.ReverbAllPassGain.load(), 0.75f);
  for (int section = 0; section < 4; ++section) EXPECT_EQ(e.reverb.AllPassPosition(section), 0);
  // Every section ends designed for 22050; the soft distortion re-arms.
  EXPECT_FLOAT_EQ(s.engine().distortion.SoftExponent.load(), 1.75f);
  EXPECT_EQ(s.engine().distortion.SoftArmed.load(), 0);
  EXPECT_FLOAT_EQ(s.engine().filters.LowPass2Coefficient.load(), 1.0f);
  // A later activation tries again.
  test::WriteRecord(s.File("clear.pre"), InitialPresetRecord());
  FormActivate(s.form);
  EXPECT_EQ(s.f.dialogs.errors.size(), 1u);
  EXPECT_EQ(s.engine().params.TubeOn.load(), 1);
}

TEST(Startup, TextsHintsAndTheSoundCardControlsWithoutRing0) {
  StartupFixture s(true);
  FormActivate(s.form);
  EXPECT_EQ(s.form.Get<ui::Label>("Label_wdm_help").Caption(),
            "If you hear clicks or glitches in sound press Increase Delay button several times,\n\r"
            "if  the delay  in sound is  too big  press several  times Decrease Delay button.");
  const auto& sizes = s.form.Group("RadioGroup_WAV_WRITE_BUF_SIZE");
  EXPECT_EQ(sizes.Items(), (std::vector<std::string>{"1 minute", "2 minutes", "3 minutes", "4 minutes"}));
  EXPECT_EQ(sizes.ItemIndex(), 0);
  EXPECT_EQ(s.form.Find("BitBtn_latPlus")->Hint(),
            "This button makes the input-to-output signal delay bigger,\n\r"
            "it does not work for SB-16 and AWE32/64 modes.\n\rClick several times to have audible effect.");
  EXPECT_EQ(StartupOf(s.form).hintHidePauseMs, 15000);
  EXPECT_EQ(s.form.Group("RadioGroup_NameOfSC").ItemIndex(), 2);
  EXPECT_FALSE(s.form.Group("RadioGroup_NameOfSC").Enabled());
  EXPECT_FALSE(s.form.Box("CheckBox_UseWaveIn").Checked());
  EXPECT_FALSE(s.form.Box("CheckBox_UseWaveIn").Enabled());
  EXPECT_EQ(StartupOf(s.form).dialogDirectory, s.dir.WithSeparator());
}

// The activation clears CardType before it selects "Any", which already shows on a
// system without ring-0 drivers: the engine must still end on library mode's 2, on
// every activation, or Start would look for ring-0 drivers.
TEST(Startup, CardTypeFollowsTheAnyItemOnEveryActivation) {
  StartupFixture s(true);
  for (int activation = 0; activation < 2; ++activation) {
    FormActivate(s.form);
    EXPECT_EQ(s.form.Group("RadioGroup_NameOfSC").ItemIndex(), 2);
    EXPECT_EQ(s.engine().params.CardType.load(), 2) << "activation " << activation;
  }
}

TEST(Startup, TheFirstCaptureDevicesNameDecidesTheOptimisationBoxWhereRing0Exists) {
  test::FakeWaveInput device;
  device.productName = "SB Live! Wave Device";
  StartupFixture s(true);
  s.form.platform.waveIn = &device;
  s.system.ring0 = true;
  FormActivate(s.form);
  EXPECT_EQ(s.form.Status().SimpleText(), "SB Live! Wave Device");
  EXPECT_TRUE(s.form.Box("CheckBox_UseWaveIn").Checked());
  EXPECT_TRUE(s.form.Box("CheckBox_UseWaveIn").Visible());
  device.productName = "USB Audio CODEC with a rather long name";
  FormActivate(s.form);
  EXPECT_EQ(s.form.Status().SimpleText(), "USB Audio CODEC with a rather l");  // 31 characters and the end
  EXPECT_FALSE(s.form.Box("CheckBox_UseWaveIn").Checked());
  // Without ring-0 drivers the box ends unchecked whatever the name.
  device.productName = "SB Live!";
  s.system.ring0 = false;
  FormActivate(s.form);
  EXPECT_FALSE(s.form.Box("CheckBox_UseWaveIn").Checked());
  EXPECT_FALSE(s.form.Box("CheckBox_UseWaveIn").Enabled());
}

TEST(Startup, TheMouseHookFlipsTheSlotFromTheFirstActivationOn) {
  StartupFixture s(true);
  s.form.Status().SetSimpleText("before");
  MouseHookRightButtonDown(s.form);
  EXPECT_EQ(s.form.Status().SimpleText(), "before");  // not installed yet
  FormActivate(s.form);
  FormActivate(s.form);
  EXPECT_EQ(StartupOf(s.form).activations, 2);
  MouseHookRightButtonDown(s.form);
  EXPECT_EQ(s.form.Status().SimpleText(), "File=B");
  EXPECT_EQ(StartupOf(s.form).hookSlot, 1);
  EXPECT_EQ(PlayerOf(s.form).SelectedSlot(), 1);
  MouseHookRightButtonDown(s.form);
  EXPECT_EQ(s.form.Status().SimpleText(), "File=A");
  EXPECT_EQ(StartupOf(s.form).hookSlot, 0);
  EXPECT_EQ(PlayerOf(s.form).SelectedSlot(), 0);
}

TEST(Startup, DitherTableIsReproducibleFromItsSeed) {
  auto a = MakeEngine();
  auto b = MakeEngine();
  a->dither.random.Seed(7);
  b->dither.random.Seed(7);
  BuildDitherTable(*a);
  BuildDitherTable(*b);
  int differences = 0;
  int minimum = 0;
  int maximum = 0;
  for (int k = 0; k < DitherTable::kSize; ++k) {
    const int value = a->dither.values[k].load();
    differences += value != b->dither.values[k].load();
    minimum = std::min(minimum, value);
    maximum = std::max(maximum, value);
  }
  EXPECT_EQ(differences, 0);
  // FVC1 at 12500 Hz keeps the dither within a few hundred either way.
  EXPECT_LT(maximum, 600);
  EXPECT_GT(minimum, -600);
  EXPECT_GT(maximum - minimum, 300);
  b->dither.random.Seed(8);
  BuildDitherTable(*b);
  int changed = 0;
  for (int k = 0; k < DitherTable::kSize; ++k)
    changed += a->dither.values[k].load() != b->dither.values[k].load();
  EXPECT_GT(changed, DitherTable::kSize / 2);
}

}  // namespace
}  // namespace fw
