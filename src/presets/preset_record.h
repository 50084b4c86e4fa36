#pragma once
// The preset record: 416 little-endian bytes with no header. Every stored control has
// a fixed slot; the table below lists them in the order save reads them and load
// applies them (the soft distortion box at offset 96 is fourth, out of offset order).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace fw {

enum class StoredKind { ScrollBar, RadioGroup, CheckBox };

struct StoredControl {
  std::string_view name;
  int offset;
  StoredKind kind;
  int min;  // range of the control (a radio group: 0..items-1)
  int max;
  int initial;  // the position as the window is created
};

inline constexpr int kPresetRecordSize = 416;
inline constexpr int kTubeFlagOffset = 408;
inline constexpr int kTubeVoicingOffset = 412;
inline constexpr int kStoredControlCount = 70;

// Every stored control in apply order.
extern const std::array<StoredControl, kStoredControlCount> kStoredControls;

// Finds a stored control by name.
std::optional<StoredControl> FindStoredControl(std::string_view name);

// The record buffer. Bytes that no slot interprets keep what the last read put there.
class PresetRecord {
 public:
  using Bytes = std::array<std::uint8_t, kPresetRecordSize>;

  const Bytes& bytes() const { return bytes_; }
  Bytes& bytes() { return bytes_; }

  std::int32_t Int(int offset) const;
  void SetInt(int offset, std::int32_t value);

  // A check box is checked when its byte is non-zero; saving writes 1 or 0 into the
  // slot's first byte and leaves the three bytes after it alone.
  bool Checked(int offset) const { return bytes_[static_cast<std::size_t>(offset)] != 0; }
  void SetChecked(int offset, bool checked) { bytes_[static_cast<std::size_t>(offset)] = checked ? 1 : 0; }

  // The value of a stored control as the window sees it (a check box as 0 or 1).
  int Value(const StoredControl& control) const;
  void SetValue(const StoredControl& control, int value);

  std::int32_t TubeFlag() const { return Int(kTubeFlagOffset); }
  std::int32_t TubeVoicing() const { return Int(kTubeVoicingOffset); }
  void SetTubeFlag(std::int32_t value) { SetInt(kTubeFlagOffset, value); }
  void SetTubeVoicing(std::int32_t value) { SetInt(kTubeVoicingOffset, value); }

  // Replaces the first bytes with a file's contents; a short file leaves the rest.
  void ReplacePrefix(std::span<const std::uint8_t> data);

 private:
  Bytes bytes_{};
};

// A record holding the window's initial positions and the tube words off.
PresetRecord InitialPresetRecord();

}  // namespace fw
