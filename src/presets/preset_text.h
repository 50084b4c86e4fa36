#pragma once
// The preset record as text: the listing `preset show` prints and the NAME=VALUE
// assignments `preset set` takes. Both judge values by the same ranges, so a value
// set accepts is never flagged by show and a value show flags is refused by set.
#include <cstddef>
#include <string>

#include "presets/preset_record.h"

namespace fw {

// Every stored control and the tube words, one "NAME = VALUE" line each, with a
// note on values outside their range and on a file of the wrong size.
std::string DescribePresetRecord(const PresetRecord& record, std::size_t fileSize);

// Applies one NAME=VALUE; returns the problem, empty on success (the record is then
// unchanged).
std::string AssignPresetWord(PresetRecord& record, const std::string& assignment);

}  // namespace fw
