#include "model/model_render.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <sstream>

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

#include "model/reference_chain.h"

namespace model {

namespace {

// The threads that run a chain driver flush denormals to zero (FTZ and DAZ); the
// model renders the same way and puts the control word back afterwards.
class FlushDenormalsScope {
 public:
  FlushDenormalsScope() {
#if defined(__SSE__) || defined(__x86_64__)
    saved_ = _mm_getcsr();
    _mm_setcsr(saved_ | 0x8040u);
#endif
  }
  ~FlushDenormalsScope() {
#if defined(__SSE__) || defined(__x86_64__)
    _mm_setcsr(saved_);
#endif
  }
  FlushDenormalsScope(const FlushDenormalsScope&) = delete;
  FlushDenormalsScope& operator=(const FlushDenormalsScope&) = delete;

 private:
  unsigned saved_ = 0;
};

}  // namespace

Rendered RenderModel(const RenderCase& c, const std::vector<uint8_t>* clearPre) {
  ReferenceChain m(c.seed);
  m.Activate(clearPre);
  if (c.rate == 44100) m.Set("CheckBox_AWE_44_1", 1);
  for (const auto& [name, value] : c.sets)
    if (!m.Set(name, value)) ADD_FAILURE() << "the model has no control " << name;
  if (c.cardType) m.p.cardType = *c.cardType;

  const Samples in = c.input();
  Rendered r;
  int n = c.block;
  if (c.driver == "direct") {
    if (n == 0) n = 184;
  } else if (c.driver == "realtime") {
    if (n == 0) n = m.p.realtimeBlockLength;
    m.p.realtimeBlockLength = n;
  } else {
    if (n == 0) n = 220;
    m.p.waveInBlockLength = n;
  }
  const bool stereoOut = c.driver == "realtime" && (n == 128 || m.p.cardType != 1);
  r.channels = stereoOut ? 2 : 1;
  Samples block(static_cast<size_t>(n));
  std::array<int16_t, 256> shared{};
  Samples out(static_cast<size_t>(n));
  const FlushDenormalsScope flushDenormals;
  for (size_t start = 0; start < in.size(); start += static_cast<size_t>(n)) {
    const size_t take = std::min(in.size() - start, static_cast<size_t>(n));
    std::fill(block.begin(), block.end(), int16_t{0});
    std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(start), take, block.begin());
    if (c.driver == "direct") {
      m.ProcessDirect(n, block.data());
      r.interleaved.insert(r.interleaved.end(), block.begin(),
                           block.begin() + static_cast<std::ptrdiff_t>(take));
    } else if (c.driver == "realtime") {
      for (int i = 0; i < n; ++i) {
        if (n == 128) {
          shared[static_cast<size_t>(2 * i)] = block[static_cast<size_t>(i)];  // input on the left
          shared[static_cast<size_t>(2 * i + 1)] = 0;
        } else {
          shared[static_cast<size_t>(i)] = block[static_cast<size_t>(i)];
        }
      }
      m.ProcessRealtime(shared.data());
      const size_t frames = std::min(take, stereoOut ? size_t{128} : static_cast<size_t>(n));
      r.interleaved.insert(
          r.interleaved.end(), shared.begin(),
          shared.begin() + static_cast<std::ptrdiff_t>(frames * static_cast<size_t>(r.channels)));
    } else {
      m.ProcessWaveIn(block.data(), out.data());
      r.interleaved.insert(r.interleaved.end(), out.begin(), out.begin() + static_cast<std::ptrdiff_t>(take));
    }
  }
  return r;
}

std::vector<std::string> CliOptions(const RenderCase& c) {
  std::vector<std::string> o = {"--driver", c.driver, "--seed", std::to_string(c.seed)};
  if (c.block != 0) o.insert(o.end(), {"--block", std::to_string(c.block)});
  if (c.rate != 22050) o.insert(o.end(), {"--rate", std::to_string(c.rate)});
  if (c.cardType) o.insert(o.end(), {"--card-type", std::to_string(*c.cardType)});
  for (const auto& [name, value] : c.sets) o.insert(o.end(), {"--set", name + "=" + std::to_string(value)});
  return o;
}

size_t BlockFrames(const RenderCase& c) {
  if (c.block != 0) return static_cast<size_t>(c.block);
  if (c.driver == "direct") return 184;
  if (c.driver == "realtime") return c.rate == 44100 ? 256 : 128;
  return 220;
}

std::string DescribeFirstDifference(const Rendered& expected, const Samples& actual, size_t blockFrames) {
  std::ostringstream s;
  if (expected.interleaved.size() != actual.size())
    s << "length: model " << expected.interleaved.size() << " samples, CLI " << actual.size() << "; ";
  const size_t common = std::min(expected.interleaved.size(), actual.size());
  size_t differing = 0, first = common;
  int maxDiff = 0;
  for (size_t i = 0; i < common; ++i) {
    const int d = std::abs(expected.interleaved[i] - actual[i]);
    if (d != 0) {
      if (first == common) first = i;
      ++differing;
      maxDiff = std::max(maxDiff, d);
    }
  }
  if (differing == 0) return s.str();
  const size_t frame = first / static_cast<size_t>(expected.channels);
  s << differing << " of " << common << " samples differ (largest difference " << maxDiff
    << "); first at sample " << first << " (frame " << frame << ", block " << frame / blockFrames
    << ", offset " << frame % blockFrames
    << (expected.channels == 2 ? (first % 2 == 0 ? ", left" : ", right") : "") << "): model "
    << expected.interleaved[first] << ", CLI " << actual[first] << "; following model/CLI:";
  for (size_t i = first + 1; i < std::min(common, first + 6); ++i)
    s << " " << expected.interleaved[i] << "/" << actual[i];
  return s.str();
}

}  // namespace model
