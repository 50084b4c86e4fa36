#pragma once
// Serial stages over a block, pipelined: in one iteration each stage takes the
// sample the stage before it finished in the iteration before, so no stage waits
// on another within an iteration and the stages' recursions run side by side. Each
// stage still sees its own input samples in order: the same results as running the
// stages one after another over the whole block.
//
// A stage is anything with `float Step(float)`; a `Bypass` (a stage switched off
// for the block) takes no place in the pipeline.
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

namespace fw {

struct Bypass {
  static float Step(float x) noexcept { return x; }
};

namespace pipeline_detail {

template <class S>
auto Keep(S& stage) noexcept {
  if constexpr (std::is_same_v<S, Bypass>) {
    return std::tuple<>{};
  } else {
    return std::tuple<S&>{stage};
  }
}

// Stage K at iteration t works on sample t - K: from work[t] (K = 0) or from what
// stage K - 1 left in pending[K]; the last stage writes work[t - K].
template <std::size_t K, bool kChecked, class Stages>
[[gnu::always_inline]] inline void StageAt(Stages& stages, float* pending, float* work, int t,
                                           int n) noexcept {
  constexpr auto kLast = std::tuple_size_v<Stages> - 1;
  const int sample = t - static_cast<int>(K);
  if constexpr (kChecked) {
    if (sample < 0 || sample >= n) return;
  }
  const float out = std::get<K>(stages).Step(K == 0 ? work[t] : pending[K]);
  if constexpr (K == kLast) {
    work[sample] = out;
  } else {
    pending[K + 1] = out;
  }
}

// Last stage first, so that each stage reads what the stage before it left in
// the previous iteration.
template <bool kChecked, class Stages, std::size_t... k>
[[gnu::always_inline]] inline void Iteration(Stages& stages, float* pending, float* work, int t, int n,
                                             std::index_sequence<k...>) noexcept {
  constexpr auto kLast = sizeof...(k) - 1;
  (StageAt<kLast - k, kChecked>(stages, pending, work, t, n), ...);
}

template <class Stages>
[[gnu::always_inline]] inline void Run(Stages stages, float* work, int n) noexcept {
  constexpr int kCount = static_cast<int>(std::tuple_size_v<Stages>);
  if constexpr (kCount > 0) {
    constexpr auto kIndices = std::make_index_sequence<kCount>{};
    constexpr int kFill = kCount - 1;  // iterations before every stage has a sample
    float pending[kCount] = {};
    int t = 0;
    for (; t < kFill; ++t) Iteration<true>(stages, pending, work, t, n, kIndices);
    for (; t < n; ++t) Iteration<false>(stages, pending, work, t, n, kIndices);
    for (; t < n + kFill; ++t) Iteration<true>(stages, pending, work, t, n, kIndices);
  }
}

}  // namespace pipeline_detail

// work[0 .. n-1] through the stages in order, in place.
template <class... Stage>
[[gnu::always_inline]] inline void RunPipelined(float* work, int n, Stage&... stage) noexcept {
  pipeline_detail::Run(std::tuple_cat(pipeline_detail::Keep(stage)...), work, n);
}

}  // namespace fw
