#pragma once
// The reference model fed exactly as fretwerk-cli render feeds its driver, the CLI
// options for a case, and a readable account of where two renders part.
#include <cstddef>
#include <string>
#include <vector>

#include "model/render_cases.h"

namespace model {

struct Rendered {
  Samples interleaved;
  int channels = 1;
};

Rendered RenderModel(const RenderCase& c, const std::vector<uint8_t>* clearPre);
std::vector<std::string> CliOptions(const RenderCase& c);
size_t BlockFrames(const RenderCase& c);
std::string DescribeFirstDifference(const Rendered& expected, const Samples& actual, size_t blockFrames);

}  // namespace model
