#include "app/midi/midi_assignments.h"

#include <charconv>
#include <optional>
#include <sstream>

namespace fw {
namespace {

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

bool IsBlankOrComment(std::string_view line) {
  const auto first = line.find_first_not_of(" \t\r");
  return first == std::string_view::npos || line[first] == '#';
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const auto end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The trigger at the start of a line, or why there is none.
std::optional<MidiAssignment> ReadTrigger(const std::vector<std::string>& words, std::string& problem) {
  MidiAssignment assignment;
  if (words[0] == "program") {
    assignment.source = MidiSource::Program;
  } else if (words[0] == "cc") {
    assignment.source = MidiSource::Controller;
  } else {
    problem = "\"" + words[0] + "\" is neither program nor cc";
    return std::nullopt;
  }
  const std::string number = words.size() > 1 ? words[1] : "";
  const auto result = std::from_chars(number.data(), number.data() + number.size(), assignment.number);
  if (number.empty() || result.ec != std::errc{} || result.ptr != number.data() + number.size() ||
      assignment.number < 0 || assignment.number > 127) {
    problem = "the number must be 0 to 127" + (number.empty() ? std::string() : ", not " + number);
    return std::nullopt;
  }
  return assignment;
}

// Reads the target after a trigger; empty `problem` when the line is good.
void ReadTarget(const std::vector<std::string>& words, const MidiTargetLookup& lookup,
                MidiAssignment& assignment, std::string& problem) {
  if (words.size() < 3) {
    problem = "a control name or action is missing";
    return;
  }
  assignment.target = words[2];
  const MidiTargetKind kind = lookup(assignment.target);
  if (kind == MidiTargetKind::None) {
    problem = "no control or action named " + assignment.target;
  } else if (words.size() == 4 && words[3] == "follow") {
    assignment.follow = true;
    if (kind != MidiTargetKind::CheckBox) problem = "only a check box can follow the value";
  } else if (words.size() > 3) {
    problem = "unexpected \"" + words[3] + "\"";
  }
}

void Put(std::vector<MidiAssignment>& assignments, const MidiAssignment& assignment) {
  for (auto& existing : assignments) {
    if (existing.SameTrigger(assignment)) {
      existing = assignment;
      return;
    }
  }
  assignments.push_back(assignment);
}

}  // namespace

std::vector<MidiAssignment> DefaultMidiAssignments() {
  using enum MidiSource;
  return {
      {Program, 0, "BitBtn_HardRock", false},
      {Program, 1, "BitBtn_Solo", false},
      {Program, 2, "BitBtn_Clear", false},
      {Program, 3, "BitBtn_AllEffects", false},
      {Controller, 64, std::string(kMidiToggle), false},
      {Controller, 7, "ScrollBar_OutPut_Volume", false},
      {Controller, 11, "ScrollBar_Delay_Gain", false},
      {Controller, 66, std::string(kMidiTap), false},
      {Controller, 67, std::string(kMidiTuner), false},
  };
}

std::string FormatMidiTrigger(const MidiAssignment& assignment) {
  return (assignment.source == MidiSource::Program ? "program " : "cc ") + std::to_string(assignment.number);
}

std::string FormatMidiAssignment(const MidiAssignment& assignment) {
  return FormatMidiTrigger(assignment) + " " + assignment.target + (assignment.follow ? " follow" : "");
}

MidiConfig ParseMidiConfig(std::string_view text, const MidiTargetLookup& lookup,
                           const std::string& fileName) {
  MidiConfig config;
  std::vector<MidiAssignment> unreadTriggers;
  const auto lines = Lines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (IsBlankOrComment(lines[i])) continue;
    const auto words = Words(lines[i]);
    std::string problem;
    std::optional<MidiAssignment> assignment = ReadTrigger(words, problem);
    if (assignment) ReadTarget(words, lookup, *assignment, problem);
    if (problem.empty()) {
      Put(config.assignments, *assignment);
      continue;
    }
    if (assignment) unreadTriggers.push_back(*assignment);
    config.problems.push_back(fileName + " line " + std::to_string(i + 1) + ": " + problem);
  }
  for (const auto& fallback : DefaultMidiAssignments()) {
    bool unread = false;
    bool assigned = false;
    for (const auto& trigger : unreadTriggers) unread = unread || trigger.SameTrigger(fallback);
    for (const auto& assignment : config.assignments) assigned = assigned || assignment.SameTrigger(fallback);
    if (unread && !assigned) config.assignments.push_back(fallback);
  }
  return config;
}

std::string DefaultMidiConfigText() {
  std::string text =
      "# Fretwerk's MIDI assignments, one per line: a trigger and what it does.\n"
      "#   program N NAME    a program change N (0..127) clicks the button NAME\n"
      "#   cc N NAME         control change N moves the control NAME: a slider over its\n"
      "#                     range, a check box toggles and a radio group steps at 64 and\n"
      "#                     above, a button clicks at 64 and above\n"
      "#   cc N NAME follow  the check box NAME is on at 64 and above, off below\n"
      "# NAME is a control's --set name, or toggle (the preset toggle key), tap (tap\n"
      "# tempo for the echo) or tuner.\n";
  for (const auto& assignment : DefaultMidiAssignments()) text += FormatMidiAssignment(assignment) + "\n";
  return text;
}

std::string AssignInMidiConfigText(std::string_view text, const MidiAssignment& assignment) {
  std::string result;
  bool placed = false;
  for (const auto line : Lines(text)) {
    if (!IsBlankOrComment(line)) {
      const auto words = Words(line);
      std::string problem;
      const auto trigger = ReadTrigger(words, problem);
      if (trigger && trigger->SameTrigger(assignment)) {
        if (!placed) result += FormatMidiAssignment(assignment) + "\n";
        placed = true;
        continue;
      }
    }
    result += std::string(line) + "\n";
  }
  if (!placed) result += FormatMidiAssignment(assignment) + "\n";
  return result;
}

std::string ClearInMidiConfigText(std::string_view text, const std::string& target, int& removed) {
  std::string result;
  removed = 0;
  for (const auto line : Lines(text)) {
    if (!IsBlankOrComment(line)) {
      const auto words = Words(line);
      std::string problem;
      if (ReadTrigger(words, problem) && words.size() >= 3 && words[2] == target) {
        ++removed;
        continue;
      }
    }
    result += std::string(line) + "\n";
  }
  return result;
}

}  // namespace fw
