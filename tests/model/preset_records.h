#pragma once
// Preset records ("clear.pre" files) written by the tests for renders that start
// from a default preset of their own (fretwerk-cli render --preset-dir).
#include <cstdint>
#include <vector>

namespace model {

using PresetBytes = std::vector<uint8_t>;

// Every stored control at the window's initial position; tube flag and voicing 0.
PresetBytes WindowInitialRecord();
void PutInt(PresetBytes& record, int offset, int32_t value);
void PutBox(PresetBytes& record, int offset, uint8_t value);

// Distortion, filters, echo and reverb on, mirrored sliders in conflict, tube voicing 1.
PresetBytes BusyRecord();
// 200 bytes: the rest of the record stays as the zero-filled buffer holds it.
PresetBytes ShortRecord();
// Values beyond the controls' ranges and a check box byte of 2; tube voicing 2.
PresetBytes OutOfRangeRecord();

}  // namespace model
