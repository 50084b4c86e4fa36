#pragma once
// The main window's creation and activation handlers. The activation sequence runs
// at every activation of the main window: texts, hints, the sound card test, engine
// defaults, filter designs, the dither table and the default preset "/clear.pre".
#include <string>
#include <vector>

namespace fw {

class TForm1;

// Reads the first argument and compares it with "1", with no lasting effect.
void FormCreate(TForm1& form, const std::vector<std::string>& arguments);

// Texts and hints, the sound card, engine values, stage defaults and filter designs,
// paths, the start controls, then the default preset; a failed load of the default
// preset throws IoError and ends the sequence before the tube design and TubeOn = 1.
void ActivationSequence(TForm1& form);

// The activation as one command: a failed preset load is shown.
void FormActivate(TForm1& form);

}  // namespace fw
