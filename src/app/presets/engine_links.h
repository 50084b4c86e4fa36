#pragma once
// The few engine words and designs the preset operations reach directly instead of
// through a control: the tube flag, the tube voicing, the flanger read position and
// the tube design sequence.
#include <cstdint>

namespace fw {

class TForm1;

std::int32_t TubeFlag(const TForm1& form);
void SetTubeFlag(TForm1& form, std::int32_t value);
std::int32_t TubeVoicing(const TForm1& form);
void SetTubeVoicing(TForm1& form, std::int32_t value);
void SetFlangerReadPosition(TForm1& form, float position);

// The voicing bank with (p, 3.0), the fold-back bank with (0, 3.0, q, r), then both
// graphic equalisers, all at the engine sample rate.
void RunTubeDesignSequence(TForm1& form, float p, float q, float r);

}  // namespace fw
