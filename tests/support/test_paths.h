#pragma once
#include <string>

namespace fw::test {

inline std::string SourceDir() { return FRETWERK_SOURCE_DIR; }
inline std::string BinaryDir() { return FRETWERK_BINARY_DIR; }

}  // namespace fw::test
