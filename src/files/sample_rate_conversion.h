#pragma once
// Offline sample-rate conversion of whole 16-bit signals (libsamplerate, best
// quality): a sound file at another rate than the engine's goes to the engine rate
// and its render comes back at the file's rate.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fw {

// Interleaved frames at fromRate converted to toRate: exactly `frames` frames come
// out (the tail the converter leaves short is silence, any surplus is cut). Throws
// std::runtime_error with the converter's message when it fails.
std::vector<std::int16_t> ConvertSampleRate(const std::vector<std::int16_t>& interleaved, int channels,
                                            int fromRate, int toRate, std::size_t frames);

// The frame count a signal of inputFrames at fromRate has at toRate, rounded to nearest.
std::size_t ConvertedFrames(std::size_t inputFrames, int fromRate, int toRate);

}  // namespace fw
