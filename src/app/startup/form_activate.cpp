#include "app/startup/form_activate.h"

#include "app/form1.h"
#include "app/pages/file_pages.h"
#include "app/presets/engine_links.h"
#include "app/presets/preset_commands.h"
#include "app/presets/preset_operations.h"
#include "app/startup/mouse_hook.h"
#include "app/startup/stage_defaults.h"
#include "app/startup/wave_input_name.h"
#include "app/startup_state.h"
#include "app/system_services.h"
#include "engine/tube_voicings.h"

namespace fw {
namespace {

// Some controls the sequence touches belong to other pages; one not built is skipped.
template <class T>
T* Optional(TForm1& form, std::string_view name) {
  return dynamic_cast<T*>(form.Find(name));
}

void SetTexts(TForm1& form) {
  if (auto* label = Optional<ui::Label>(form, "Label_wdm_help")) {
    label->SetCaption(
        "If you hear clicks or glitches in sound press Increase Delay button several times,\n\r"
        "if  the delay  in sound is  too big  press several  times Decrease Delay button.");
  }
  // "1 minute" to "4 minutes", item 0, whatever the rate.
  SetRecordBufferSizeItems(form, false);
}

void SetHints(TForm1& form) {
  StartupOf(form).hintHidePauseMs = 15000;
  const auto hint = [&form](std::string_view name, const char* text) {
    if (auto* control = form.Find(name)) control->SetHint(text);
  };
  hint("CheckBox_UseWaveIn",
       "Try to check this before pressing Start button,\n\rsometime it can improve perfomances!");
  hint("BitBtn_LatMinus",
       "This button makes the input-to-output signal delay smaller,\n\r"
       "it does not work for SB-16 and AWE32/64 modes.\n\rClick several times to have audible effect.");
  hint("BitBtn_latPlus",
       "This button makes the input-to-output signal delay bigger,\n\r"
       "it does not work for SB-16 and AWE32/64 modes.\n\rClick several times to have audible effect.");
  hint("RadioGroup_NameOfSC",
       "Point your sound card name,\n\rfor SBLive and other PCI cards\n\rand for cheap ISA cards\n\r"
       "point Any(All types) mode.");
}

void ShowSoundCardName(TForm1& form) {
  form.Status().SetSimpleText(FirstWaveInputName(form));
  const bool sbLive = form.Status().SimpleText().find("SB Live") != std::string::npos;
  if (auto* box = Optional<ui::CheckBox>(form, "CheckBox_UseWaveIn")) box->SetChecked(sbLive);
}

void TestRing0Support(TForm1& form) {
  const bool ring0 = form.platform.system != nullptr && form.platform.system->HasRing0Drivers();
  auto* useWaveIn = Optional<ui::CheckBox>(form, "CheckBox_UseWaveIn");
  if (ring0) {
    if (useWaveIn != nullptr) useWaveIn->SetVisible(true);
    return;
  }
  if (auto* group = Optional<ui::RadioGroup>(form, "RadioGroup_NameOfSC")) {
    group->SetItemIndex(2);
    group->SetEnabled(false);
  }
  if (useWaveIn != nullptr) {
    useWaveIn->SetChecked(false);
    useWaveIn->SetEnabled(false);
  }
}

void SetEngineValues(TForm1& form) {
  EngineParams& params = form.engine.params;
  params.ReverbOn.store(0);
  params.CardType.store(0);
  params.OutputGain.store(1.0f);
  params.InputGain.store(1.0f);
  if (!StartupOf(form).mouseHookInstalled) InstallMouseHook(form);
}

void SetDelayPositions(TForm1& form) {
  SetEchoDefaults(form.engine);
  const std::pair<std::string_view, int> positions[] = {
      {"ScrollBar_Delay_Time", 25},
      {"ScrollBar_Delay_Decay", 40},
      {"ScrollBar_Delay_Gain", 60},
      {"ScrollBar_Delay_I_Gain", 45},
  };
  for (const auto& [name, position] : positions) {
    if (auto* bar = Optional<ui::ScrollBar>(form, name)) bar->SetPosition(position);
  }
}

void SetPaths(TForm1& form) {
  if (form.platform.system != nullptr)
    StartupOf(form).dialogDirectory = form.platform.system->ProgramDirectory();
}

void SetStartControls(TForm1& form) {
  const auto group = [&form](std::string_view name, int index) {
    if (auto* control = Optional<ui::RadioGroup>(form, name)) control->SetItemIndex(index);
  };
  const auto bar = [&form](std::string_view name, int position) {
    if (auto* control = Optional<ui::ScrollBar>(form, name)) control->SetPosition(position);
  };
  group("RadioGroup_OUT_MONO_", 0);
  group("RadioGroup_elipsF", 3);
  bar("ScrollBar_Reverb_G_2", 1);
  bar("ScrollBar_Rever_FNC_2", 70);
  bar("ScrollBar_Rever_Dec2", 75);
  if (auto* box = Optional<ui::CheckBox>(form, "Pre_FVC1_OnOff")) box->SetChecked(true);
  bar("ScrollBar_FVC1", 3);
  bar("ScrollBar_Koeff_FVC2", 5);
  // The engine follows the card-type group even when it already shows "Any": the
  // engine values above cleared CardType, and a Start with 0 would go for ring-0
  // drivers that this system does not have.
  if (auto* card = Optional<ui::RadioGroup>(form, "RadioGroup_NameOfSC")) {
    if (card->ItemIndex() == 2 && card->OnClick) {
      card->OnClick();
    } else {
      card->SetItemIndex(2);
    }
  }
}

void LoadDefaultPreset(TForm1& form) {
  SetTubeFlag(form, 0);
  LoadPresetByName(form, kCleanPreset);
  DesignTubeVoicing2(form.engine);
  SetTubeFlag(form, 1);
}

}  // namespace

void FormCreate(TForm1& form, const std::vector<std::string>& arguments) {
  StartupOf(form).noTaskbarButton = arguments.size() == 1 && arguments[0] == "1";
}

void ActivationSequence(TForm1& form) {
  StartupState& state = StartupOf(form);
  ++state.activations;
  SetTexts(form);
  SetHints(form);
  ShowSoundCardName(form);
  TestRing0Support(form);
  SetEngineValues(form);
  ResetFlangerAndEchoSweep(form.engine);
  SetDelayPositions(form);
  ResetReverb(form.engine);
  SetRealtimeDefaults(form);
  DesignFirstFilters(form.engine);
  SetDistortionDefaults(form.engine, form.io.realtime);
  DesignSecondFilters(form.engine);
  SetPaths(form);
  // The wave formats (mono 16-bit PCM at 22050) are made where the devices open.
  SetStartControls(form);
  LoadDefaultPreset(form);
}

void FormActivate(TForm1& form) {
  form.RunCommand([&form] { ActivationSequence(form); });
}

}  // namespace fw
