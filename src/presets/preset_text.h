#pragma once
// The preset record as text: the listing `preset show` prints and the NAME=VALUE
// assignments `preset set` takes. Both judge values by the same ranges, so a value
// set writes is never flagged by show.
#include <cstddef>
#include <string>

#include "presets/preset_record.h"

namespace fw {

// Every stored control and the tube words, one "NAME = VALUE" line each, with a
// note on values outside their range and on a file of the wrong size.
std::string DescribePresetRecord(const PresetRecord& record, std::size_t fileSize);

// The note on a value limited to a control's range, the same in every command.
std::string LimitedNote(const std::string& name, const std::string& text, int limited, int min, int max);

struct PresetAssignment {
  std::string problem;  // empty on success; the record is then unchanged
  std::string note;     // a value outside the range, limited to it as the control does
};

// Applies one NAME=VALUE; the name may be in any letter case. A value outside the
// control's range is limited to it, with a note; an unknown name is a problem that
// names the three nearest names.
PresetAssignment AssignPresetWord(PresetRecord& record, const std::string& assignment);

// The stored control or tube word of that name in any letter case, in its own
// spelling; empty when the record has none of that name.
std::string PresetWordName(const std::string& name);

}  // namespace fw
