// The AU header check: the first four bytes give the file size the header is
// judged against, the rest is the header.
#include <cstddef>
#include <cstdint>
#include <span>

#include "files/au_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint64_t fileSize = 0;
  for (int i = 0; i < 4; ++i) fileSize = (fileSize << 8) | data[i];
  const fw::AuHeaderCheck check =
      fw::ParseAuHeader(std::span<const std::uint8_t>(data + 4, size - 4), fileSize);
  // A header taken as valid never points past the end of the file.
  if (check.valid && (check.dataOffset > fileSize || check.dataOffset + check.dataBytes > fileSize)) {
    __builtin_trap();
  }
  if (!check.valid && check.problem.empty()) __builtin_trap();
  return 0;
}
