// Where each page shows its controls: one table a page, rows from top to bottom,
// either one block across the page or two columns of blocks.
#include <string>

#include "app/form1.h"
#include "app/pages/pages.h"
#include "ui/page_layout.h"

namespace fw {
namespace {

using namespace ui::layout;

ui::LayoutBlock Bar(const std::string& bar) { return Captioned("Label_" + bar, bar); }

ui::LayoutBlock EqualiserBands(const std::string& which) {
  std::vector<std::string> names;
  for (int band = 0; band < 9; ++band) {
    names.push_back("Label_" + which + "EQ" + std::to_string(band));
    names.push_back("ScrollBar_" + which + "EQ" + std::to_string(band));
  }
  return Bands(names);
}

void DeclareMainPages(TForm1& form) {
  form.SetLayout("Presets", {{Across(Buttons({"BitBtn_SavePreset", "BitBtn_LoadPreset"}))}});
  form.SetLayout("Playback", {{
                                 Across(One("Label_playback_note")),
                                 Across(Buttons({"Button3", "BitBtn1", "Button4", "BitBtn_open_wav_2"})),
                                 Across(Captioned("Label_wav_file_gain", "ScrollBar_wav_file_gain")),
                                 Across(One("CheckBox_Mute_Live_Input")),
                                 Across(One("CheckBox_wav_via_effects")),
                             }});
  form.SetLayout("Record", {{
                               Across(One("Label_record_note")),
                               Across(One("Edit_Open_R")),
                               Across(Buttons({"BitBtn_Open_File", "BitBtn_Start_Record", "BitBtn_Pause",
                                               "BitBtn_Continue", "BitBtn_Stop_R"})),
                               Columns({One("RadioGroup_WAV_WRITE_BUF_SIZE")}, {}),
                               Across(One("CheckBox_record_clean")),
                               Across(One("CheckBox_Write_WAV_Live")),
                               Across(One("Label6")),
                               Across(One("ProgressBar_WRITE_TO_FILE")),
                           }});
  form.SetLayout("REALTIME",
                 {{
                     Across(One("RadioGroup_NameOfSC")),
                     Across(Buttons({"Button_RUN_RT", "Button_STOP_RT", "Button_ThreadPS", "BitBtn_latPlus",
                                     "BitBtn_LatMinus"})),
                     Across(One("CheckBox_UseWaveIn")),
                     Across(One("Label_wdm_help")),
                     Across(One("Label_Delay")),
                     Across(Buttons({"BitBtn_HardRock", "BitBtn_Solo", "BitBtn_Clear", "BitBtn_AllEffects"})),
                 }});
  form.SetLayout(
      "Help", {{
                  Across(One("ListBox2")),
                  Across(Buttons({"BitBtn_MainHelp", "BitBtn_HelpOnLine1", "BitBtn_ForRussian", "BitBtn3"})),
              }});
  form.SetLayout("Distortion",
                 {{
                     Columns({Captioned("Label_Digital_IN_Gain", "ScrollBar_Digital_IN_Gain"),
                              One("RadioGroup_Dist_Of12")},
                             {Bar("ScrollBar_D_Gain_X1"), Bar("ScrollBar_D_Gain"), Bar("ScrollBar_D_SMOOT")}),
                     Across(One("CheckBox_DisOldNew")),
                     Columns({Bar("ScrollBar_nd_Ampl")}, {}),
                     Across(One("CheckBox_Distortion_OnOff")),
                     Columns({Bar("ScrollBar_nd_Porog")}, {}),
                     Across(One("CheckBox_TypeOfTrash")),
                     Columns({Bar("ScrollBar_Color_Of_Dist"), Bar("ScrollBar_HiFreqAmpFreq")},
                             {Bar("ScrollBar_HiFreqGain"), Bar("ScrollBar_Trash_nd_Delay")}),
                 }});
}

void DeclareEffectPages(TForm1& form) {
  form.SetLayout(
      "Reverb",
      {{Columns(
          {Section("Label_NonRealtimeReverb", {Captioned("Label_Reverb_D_1", "ScrollBar_Reverb_D_1"),
                                               Captioned("Label_Reverb_G_1", "ScrollBar_Reverb_G_1"),
                                               Captioned("Label_Reverb_DeC", "ScrollBar_Reverb_DeC"),
                                               Captioned("Label_Rever_FNC", "ScrollBar_Rever_FNC")})},
          {Section("Label_RealtimeReverb",
                   {One("CheckBox_ReverbOnOff"), Captioned("Label_Rev_Del_2", "ScrollBar_Rev_Del_2"),
                    Captioned("Label_Reverb_G_2", "ScrollBar_Reverb_G_2"),
                    Captioned("Label_Rever_Dec2", "ScrollBar_Rever_Dec2"),
                    Captioned("Label_Rever_FNC_2", "ScrollBar_Rever_FNC_2"), One("CheckBox_Air1")})})}});
  form.SetLayout("Delay/Chorus", {{
                                     Across(One("CheckBox_DelayOn_Off")),
                                     Across(Captioned("Label_Delay_Time", "ScrollBar_Delay_Time")),
                                     Across(Captioned("Label_Delay_Decay", "ScrollBar_Delay_Decay")),
                                     Across(Captioned("Label_Delay_Gain", "ScrollBar_Delay_Gain")),
                                     Across(Captioned("Label_Delay_I_Gain", "ScrollBar_Delay_I_Gain")),
                                     Across(One("Button_Tap")),
                                     Across(One("CheckBox1")),
                                 }});
  form.SetLayout("EQ", {{
                           Across(One("CheckBox_pre_EQ")),
                           Columns({EqualiserBands("pre")}, {One("Button_preEQreset")}),
                           Across(One("CheckBox_post_EQ")),
                           Columns({EqualiserBands("post")}, {One("Button_postEQreset")}),
                       }});
  form.SetLayout("Flanger", {{
                                Across(One("CheckBox_Flanger")),
                                Across(Captioned("Label_Flanger_Gain", "ScrollBar_Flanger_Gain")),
                                Across(Captioned("Label_Flanger_Speed", "ScrollBar_Flanger_Speed")),
                                Across(Captioned("Label_Flanger_Tone", "ScrollBar_Flanger_Tone")),
                            }});
  form.SetLayout("Hardware", {{
                                 Across(One("RadioGroup_OUT_MONO_")),
                                 Across(Captioned("Label_stereo_chorus", "ScrollBar_max_chorus_delay")),
                                 Across(One("CheckBox_AWE_44_1")),
                                 Across(One("ComboBox_WDM")),
                                 Across(One("RadioGroup_IRQ")),
                                 Across(One("RadioGroup_DMA8")),
                                 Across(One("RadioGroup_DMA16")),
                                 Across(Buttons({"BitBtn4", "Button_MidiLearn"})),
                             }});
}

void DeclareDistortionPages(TForm1& form) {
  form.SetLayout(
      " SHREDDER  Pro  ",
      {{Columns({Captioned("Label_del_in", "ScrollBar_del_in"),
                 Section("Label_Control_Signal_Shredder",
                         {One("CheckBox_SoftDOnOff"), Bar("ScrollBar7"), Bar("ScrollBar8"),
                          Bar("ScrollBar_CShift"), Bar("ScrollB_SoftDGain")})},
                {One("RadioGroup_HDistort"), Bar("ScrollBar_HD_In_Gain"), One("BitBtn_Help_on_ND")})}});
  form.SetLayout(
      "Filters 1",
      {{Columns({Section("Label_Frame_Hi_Pass_Filter_1", {One("Pre_FVC1_OnOff"), Bar("ScrollBar_FVC1")}),
                 Section("Label_Frame_Hi_Pass_Filter_2",
                         {One("HiPassFilterFixed"), Bar("ScrollBarGainHiF"), One("ScrollBar1")})},
                {Section("Label_Frame_Hi_Pass_Filter_3",
                         {One("CheckBox2"), Bar("ScrollBar_FVC3"), Bar("ScrollBar_Gain_FVC3")}),
                 Section("Label_Frame_Hi_Pass_Filter_4",
                         {One("CheckBox_OnOff_HiPre"), Bar("ScrollBar_cutoff_hi_preEq"),
                          Bar("ScrollBar_GainHiPreEq")})})}});
  form.SetLayout(
      "Filters 2",
      {{
          Columns({Section("Label_Frame_Hi_Pass_Filter",
                           {One("CheckBox_FVC2"), Bar("ScrollBar_FVC2"), Bar("ScrollBar_Koeff_FVC2")})},
                  {Section("Label_Frame_Low_Pas_Filter",
                           {One("CheckBox_lpf_2"), Bar("ScrollBar9"), One("CheckBox_ColorFilter")})}),
          Across(One("RadioGroup_elipsF")),
      }});
  form.SetLayout("Distortion Presets",
                 {{Across(One("PaintBox1")), Across(One("CheckBox_tubetortion_OnOff"))}});
}

void DeclareTunerPage(TForm1& form) {
  form.SetLayout("Tuner", {{
                              Across(One("CheckBox_TunerOn")),
                              Across(One("CheckBox_TunerMute")),
                              Across(Captioned("Label_TunerReference", "ScrollBar_TunerReference")),
                              Across(One("PaintBox_Tuner")),
                              Across(One("PaintBox_Meters")),
                          }});
}

}  // namespace

void DeclarePageLayouts(TForm1& form) {
  DeclareMainPages(form);
  DeclareEffectPages(form);
  DeclareDistortionPages(form);
  DeclareTunerPage(form);
}

}  // namespace fw
