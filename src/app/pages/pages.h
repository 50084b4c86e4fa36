#pragma once
// Page builders: each creates its page's controls with their ranges, initial
// positions and captions, and attaches the handlers that live in the same file.
namespace fw {

class TForm1;

void BuildNotebooks(TForm1& form);           // the three tabbed notebooks and their pages
void BuildMainStrip(TForm1& form);           // output volume, mixer, overload message
void BuildInputGainControls(TForm1& form);   // the two mirrored input gain sliders
void BuildDistortionControls(TForm1& form);  // soft distortion and waveshaper
void BuildFilterControls(TForm1& form);      // FVC1, FVC2, FVC3, high-pass, pre-equaliser, low-pass
void BuildBrightnessControls(TForm1& form);  // the elliptic "Brightness" group
void BuildEqualiserControls(TForm1& form);   // the "EQ" page
void BuildTubeControls(TForm1& form);        // the "Distortion Presets" page
void BuildReverbControls(TForm1& form);      // the "Reverb" page
void BuildDelayControls(TForm1& form);       // the "Delay/Chorus" page
void BuildFlangerControls(TForm1& form);     // the "Flanger" page
void BuildChorusControls(TForm1& form);      // the chorus settings on the "Hardware" page
void BuildHardwareControls(TForm1& form);    // the "Hardware" page: devices and rate
void BuildRealtimeControls(TForm1& form);    // the "REALTIME" page
void BuildPlaybackControls(TForm1& form);    // the "Playback" page
void BuildRecordControls(TForm1& form);      // the "Record" page
void BuildPresetControls(TForm1& form);      // the "Presets" page and the preset buttons
void BuildHelpControls(TForm1& form);        // the "Help" page
void BuildTunerControls(TForm1& form);       // the "Tuner" page: tuner and level meters
void DeclarePageLayouts(TForm1& form);       // where each page shows its controls

}  // namespace fw
