// The preset record as `preset show` and `preset set` read it: any bytes as a
// file, and the same bytes as a NAME=VALUE assignment.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "presets/preset_record.h"
#include "presets/preset_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fw::PresetRecord record = fw::InitialPresetRecord();
  const std::span<const std::uint8_t> bytes(data, size);
  record.ReplacePrefix(bytes.first(std::min<std::size_t>(size, fw::kPresetRecordSize)));
  const std::string shown = fw::DescribePresetRecord(record, size);
  if (shown.empty()) __builtin_trap();
  const fw::PresetRecord before = record;
  const fw::PresetAssignment assigned =
      fw::AssignPresetWord(record, std::string(reinterpret_cast<const char*>(data), size));
  // A refused assignment leaves the record as it was.
  if (!assigned.problem.empty() && record.bytes() != before.bytes()) __builtin_trap();
  return 0;
}
