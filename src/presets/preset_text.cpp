#include "presets/preset_text.h"

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <limits>
#include <sstream>
#include <vector>

#include "core/nearest_names.h"

namespace fw {
namespace {

// A word of the record with the values the window takes as they are.
struct RecordWord {
  std::string_view name;
  int min;
  int max;
  bool noItemAllowed;  // a radio group may hold -1 (no item)
};

constexpr RecordWord kTubeFlagWord{"TubeOn", 0, 1, false};
constexpr RecordWord kTubeVoicingWord{"TubeVoicing", 0, 2, false};

RecordWord WordOf(const StoredControl& stored) {
  return {stored.name, stored.min, stored.max, stored.kind == StoredKind::RadioGroup};
}

bool InRange(const RecordWord& word, int value) {
  return (value >= word.min && value <= word.max) || (word.noItemAllowed && value == -1);
}

std::string RangeText(const RecordWord& word) {
  return std::to_string(word.min) + ".." + std::to_string(word.max);
}

void Line(std::ostringstream& out, std::string_view name) {
  out << std::left << std::setw(28) << name << " = ";
}

void DescribeStored(std::ostringstream& out, const PresetRecord& record, const StoredControl& stored) {
  Line(out, stored.name);
  if (stored.kind == StoredKind::CheckBox) {
    const int byte = record.bytes()[static_cast<std::size_t>(stored.offset)];
    out << (byte != 0 ? 1 : 0);
    if (byte > 1) out << "  (byte " << byte << ", loads as checked)";
    out << "\n";
    return;
  }
  const RecordWord word = WordOf(stored);
  const int value = record.Int(stored.offset);
  out << value;
  if (!InRange(word, value)) {
    out << "  (out of range " << RangeText(word) << ", loads as " << std::clamp(value, word.min, word.max)
        << ")";
  }
  out << "\n";
}

void DescribeTubeWords(std::ostringstream& out, const PresetRecord& record) {
  const int flag = record.TubeFlag();
  Line(out, kTubeFlagWord.name);
  out << flag << (flag == 1 ? "  (tube stages on)" : "  (tube stages off)");
  if (!InRange(kTubeFlagWord, flag)) out << "  (out of range " << RangeText(kTubeFlagWord) << ")";
  out << "\n";
  const int voicing = record.TubeVoicing();
  Line(out, kTubeVoicingWord.name);
  out << voicing;
  if (voicing == 1) out << "  (Distortion 1 voicing)";
  if (voicing == 2) out << "  (Distortion 2 voicing)";
  if (!InRange(kTubeVoicingWord, voicing)) {
    out << "  (out of range " << RangeText(kTubeVoicingWord) << ", no voicing is applied)";
  }
  out << "\n";
}

// A number too large for any word saturates, so it is limited like any value
// outside the range.
bool ParseInt(std::string_view text, int& value) {
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || result.ptr != text.data() + text.size()) return false;
  if (result.ec == std::errc::result_out_of_range) {
    value = text.front() == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return true;
  }
  return result.ec == std::errc();
}

}  // namespace

std::string DescribePresetRecord(const PresetRecord& record, std::size_t fileSize) {
  std::ostringstream out;
  const auto size = static_cast<std::size_t>(kPresetRecordSize);
  if (fileSize < size) {
    out << "# short file: " << fileSize << " of " << kPresetRecordSize
        << " bytes; the rest keeps whatever the last preset read left\n";
  } else if (fileSize > size) {
    out << "# long file: only the first " << kPresetRecordSize << " bytes are read\n";
  }
  for (const auto& stored : kStoredControls) DescribeStored(out, record, stored);
  DescribeTubeWords(out, record);
  return out.str();
}

std::string LimitedNote(const std::string& name, const std::string& text, int limited, int min, int max) {
  return name + "=" + text + " is outside the control's range; set to " + std::to_string(limited) +
         " (range " + std::to_string(min) + ".." + std::to_string(max) + ")";
}

std::string PresetWordName(const std::string& name) {
  for (const auto& stored : kStoredControls) {
    if (SameNameIgnoringCase(stored.name, name)) return std::string(stored.name);
  }
  for (const RecordWord& word : {kTubeFlagWord, kTubeVoicingWord}) {
    if (SameNameIgnoringCase(word.name, name)) return std::string(word.name);
  }
  return {};
}

PresetAssignment AssignPresetWord(PresetRecord& record, const std::string& assignment) {
  const auto equals = assignment.find('=');
  if (equals == std::string::npos) return {"expected NAME=VALUE, got \"" + assignment + "\"", {}};
  const std::string typed = assignment.substr(0, equals);
  const std::string text = assignment.substr(equals + 1);
  const std::string name = PresetWordName(typed);
  if (name.empty()) {
    std::vector<std::string> names{std::string(kTubeFlagWord.name), std::string(kTubeVoicingWord.name)};
    for (const auto& stored : kStoredControls) names.emplace_back(stored.name);
    return {"unknown control \"" + typed + "\"" + DidYouMean(typed, names), {}};
  }
  int value = 0;
  if (!ParseInt(text, value)) return {name + ": \"" + text + "\" is not a whole number", {}};
  const auto stored = FindStoredControl(name);
  const RecordWord word = stored                       ? WordOf(*stored)
                          : name == kTubeFlagWord.name ? kTubeFlagWord
                                                       : kTubeVoicingWord;
  PresetAssignment result;
  if (!InRange(word, value)) {
    const int limited = std::clamp(value, word.noItemAllowed ? -1 : word.min, word.max);
    result.note = LimitedNote(name, text, limited, word.noItemAllowed ? -1 : word.min, word.max);
    value = limited;
  }
  if (stored) {
    record.SetValue(*stored, value);
  } else if (name == kTubeFlagWord.name) {
    record.SetTubeFlag(value);
  } else {
    record.SetTubeVoicing(value);
  }
  return result;
}

}  // namespace fw
