#include "audio/linux/speex_rate_converter.h"

#include <speex/speex_resampler.h>

namespace fw {
namespace {

class SpeexRateConverter final : public RateConverter {
 public:
  SpeexRateConverter(SpeexResamplerState* state, int channels) : state_(state), channels_(channels) {}
  ~SpeexRateConverter() override { speex_resampler_destroy(state_); }
  SpeexRateConverter(const SpeexRateConverter&) = delete;
  SpeexRateConverter& operator=(const SpeexRateConverter&) = delete;

  void Process(const float* in, std::uint32_t& inFrames, float* out,
               std::uint32_t& outFrames) noexcept override {
    spx_uint32_t inLen = inFrames;
    spx_uint32_t outLen = outFrames;
    if (channels_ == 1) {
      speex_resampler_process_float(state_, 0, in, &inLen, out, &outLen);
    } else {
      speex_resampler_process_interleaved_float(state_, in, &inLen, out, &outLen);
    }
    inFrames = inLen;
    outFrames = outLen;
  }
  void Reset() noexcept override {
    speex_resampler_reset_mem(state_);
    speex_resampler_skip_zeros(state_);
  }
  int LatencyFrames() const noexcept override { return speex_resampler_get_output_latency(state_); }

 private:
  SpeexResamplerState* state_;
  int channels_;
};

}  // namespace

std::unique_ptr<RateConverter> MakeSpeexRateConverter(int channels, int fromRate, int toRate) {
  if (channels < 1 || fromRate <= 0 || toRate <= 0) return nullptr;
  int error = 0;
  SpeexResamplerState* state =
      speex_resampler_init(static_cast<spx_uint32_t>(channels), static_cast<spx_uint32_t>(fromRate),
                           static_cast<spx_uint32_t>(toRate), 5, &error);
  if (state == nullptr || error != RESAMPLER_ERR_SUCCESS) return nullptr;
  speex_resampler_skip_zeros(state);
  return std::make_unique<SpeexRateConverter>(state, channels);
}

}  // namespace fw
