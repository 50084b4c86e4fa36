#pragma once
// What each control of the window does to the sound, in one line: the text
// `fretwerk-cli controls` shows beside the control model's own facts (a slider's unit
// comes from its readout).
#include <string_view>

namespace fw::cli {

// Empty for a control without an entry.
std::string_view WhatItDoes(std::string_view name);

}  // namespace fw::cli
