#pragma once
// Reading and writing preset files. Both steps are checked: a failure throws the
// I/O error with the system's text ("File not found", "I/O error 5") and a detail
// naming the file and the reason.
#include <cstdint>
#include <string>
#include <vector>

#include "files/io_error.h"  // IWYU pragma: export

namespace fw {

// Reads at most maxBytes from the start of the file.
std::vector<std::uint8_t> ReadFilePrefix(const std::string& path, std::size_t maxBytes);

// Writes the bytes beside the file and renames them over it: a failure leaves the
// old file intact.
void WriteWholeFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Why the file at path is not a preset record: a name that does not end in ".pre",
// or a size other than a record's. Empty when it is one, and for a missing ".pre"
// file (one that preset set may create).
std::string NotAPresetReason(const std::string& path);

}  // namespace fw
