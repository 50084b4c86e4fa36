// The eight-lane equaliser is only ever inlined into functions built for AVX2
// (target("avx2"), flatten), so no eight-lane vector crosses a call.
#pragma GCC diagnostic ignored "-Wpsabi"

#include "engine/back_stages.h"

#include "engine/stage_pipeline.h"

// The loops' lambdas are always inlined into the AVX2 or baseline function around
// them: an eight-lane loop compiled apart would run on the baseline instruction set.
#define FW_INLINED __attribute__((always_inline))

namespace fw {
namespace {

// The stage switches, read once per block.
struct BackSwitches {
  bool postEq;
  bool echo;
  bool lowPass2;
  bool flanger;
  bool reverb;
};

BackSwitches ReadBackSwitches(const EngineParams& p, Driver driver) noexcept {
  return {driver != Driver::Realtime && p.PostEqOn.load() == 1, p.EchoOn.load() == 1,
          p.LowPass2On.load() == 1, p.FlangerOn.load() == 1, p.ReverbOn.load() == 1};
}

// Calls next with the stage that start() begins when the switch is on, else with a
// Bypass: each combination of switches gets a loop of its own, with no test per sample.
template <class Start, class Next>
[[gnu::always_inline]] inline void IfOn(bool on, Start start, Next next) noexcept {
  if (on) {
    auto stage = start();
    next(stage);
  } else {
    Bypass bypass;
    next(bypass);
  }
}

// The post equaliser in lanes of W, or a Bypass for W = 0 (switched off).
template <int W, class Next>
[[gnu::always_inline]] inline void WithPostEq(Engine& e, Next next) noexcept {
  if constexpr (W == 0) {
    Bypass bypass;
    next(bypass);
  } else {
    GraphicEqualiser::Run<W> eq(e.eq.post);
    next(eq);
  }
}

// The elliptic filter at the order BeginBlock returned, 5 or 6.
template <class Next>
[[gnu::always_inline]] inline void WithElliptic(EllipticFilter& f, int order, Next next) noexcept {
  if (order == 5) {
    EllipticFilter::Run<5> elliptic(f);
    next(elliptic);
  } else {
    EllipticFilter::Run<6> elliptic(f);
    next(elliptic);
  }
}

// Fixed section, FVC2, post equaliser, echo, elliptic, second low-pass; then the
// flanger and the reverb.
template <int W>
[[gnu::always_inline]] inline void WaveInBack(Engine& e, float* work, int n, BackSwitches on,
                                              int order) noexcept {
  {
    HighPassSection::Run fixed(e.filters.fixedSection);
    ToneFilters::Fvc2Run fvc2(e.filters);
    WithPostEq<W>(e, [&](auto& eq) FW_INLINED {
      IfOn(
          on.echo, [&]() FW_INLINED { return Echo::Run(e.echo, e.echo.EchoDelay.load()); },
          [&](auto& echo) FW_INLINED {
            WithElliptic(e.elliptic, order, [&](auto& elliptic) FW_INLINED {
              IfOn(
                  on.lowPass2, [&]() FW_INLINED { return ToneFilters::LowPass2Run(e.filters); },
                  [&](auto& low) FW_INLINED { RunPipelined(work, n, fixed, fvc2, eq, echo, elliptic, low); });
            });
          });
    });
  }
  IfOn(
      on.flanger, [&]() FW_INLINED { return Flanger::Run(e.flanger); },
      [&](auto& flanger) FW_INLINED {
        IfOn(
            on.reverb, [&]() FW_INLINED { return Reverb::Run(e.reverb); },
            [&](auto& reverb) FW_INLINED { RunPipelined(work, n, flanger, reverb); });
      });
}

// Post equaliser (Direct only), FVC2, elliptic, second low-pass; then the flanger,
// the echo and the reverb.
template <int W>
[[gnu::always_inline]] inline void DirectBack(Engine& e, float* work, int n, BackSwitches on,
                                              int order) noexcept {
  WithPostEq<W>(e, [&](auto& eq) FW_INLINED {
    ToneFilters::Fvc2Run fvc2(e.filters);
    WithElliptic(e.elliptic, order, [&](auto& elliptic) FW_INLINED {
      IfOn(
          on.lowPass2, [&]() FW_INLINED { return ToneFilters::LowPass2Run(e.filters); },
          [&](auto& low) FW_INLINED { RunPipelined(work, n, eq, fvc2, elliptic, low); });
    });
  });
  IfOn(
      on.flanger, [&]() FW_INLINED { return Flanger::Run(e.flanger); },
      [&](auto& flanger) FW_INLINED {
        IfOn(
            on.echo, [&]() FW_INLINED { return Echo::Run(e.echo, e.echo.EchoDelay.load()); },
            [&](auto& echo) FW_INLINED {
              IfOn(
                  on.reverb, [&]() FW_INLINED { return Reverb::Run(e.reverb); },
                  [&](auto& reverb) FW_INLINED { RunPipelined(work, n, flanger, echo, reverb); });
            });
      });
}

template <int W>
[[gnu::always_inline]] inline void Back(Engine& e, float* work, int n, Driver driver, BackSwitches on,
                                        int order) noexcept {
  if (driver == Driver::WaveIn) {
    WaveInBack<W>(e, work, n, on, order);
  } else {
    DirectBack<W>(e, work, n, on, order);
  }
}

[[gnu::flatten]] void BackWithoutPostEq(Engine& e, float* work, int n, Driver driver, BackSwitches on,
                                        int order) noexcept {
  Back<0>(e, work, n, driver, on, order);
}

[[gnu::flatten]] void BackInFourLanes(Engine& e, float* work, int n, Driver driver, BackSwitches on,
                                      int order) noexcept {
  Back<kLanes>(e, work, n, driver, on, order);
}

__attribute__((target("avx2"), flatten)) void BackInEightLanes(Engine& e, float* work, int n, Driver driver,
                                                               BackSwitches on, int order) noexcept {
  Back<8>(e, work, n, driver, on, order);
}

}  // namespace

void RunBackStages(Engine& e, float* work, int n, Driver driver, BankWidth width) noexcept {
  const int order = e.elliptic.BeginBlock();
  if (order != 5 && order != 6) {
    // Only before the first brightness selection: no set has another order.
    RunBackStagesInTurn(e, work, n, driver);
    return;
  }
  const BackSwitches on = ReadBackSwitches(e.params, driver);
  if (!on.postEq) {
    BackWithoutPostEq(e, work, n, driver, on, order);
  } else if (width == BankWidth::kEight) {
    BackInEightLanes(e, work, n, driver, on, order);
  } else {
    BackInFourLanes(e, work, n, driver, on, order);
  }
}

void RunBackStagesInTurn(Engine& e, float* work, int n, Driver driver) noexcept {
  EngineParams& p = e.params;
  switch (driver) {
    case Driver::WaveIn:
      e.filters.FixedSection(work, n);
      e.filters.Fvc2Stage(work, n);
      if (p.PostEqOn.load() == 1) e.eq.PostEqualiser(work, n);
      if (p.EchoOn.load() == 1) e.echo.Process(work, n);
      e.elliptic.Process(work, n);
      if (p.LowPass2On.load() == 1) e.filters.LowPass2(work, n);
      if (p.FlangerOn.load() == 1) e.flanger.FlangerBlock(work, n);
      break;
    case Driver::Direct:
      if (p.PostEqOn.load() == 1) e.eq.PostEqualiser(work, n);
      [[fallthrough]];  // then the realtime driver's order
    case Driver::Realtime:
      e.filters.Fvc2Stage(work, n);
      e.elliptic.Process(work, n);
      if (p.LowPass2On.load() == 1) e.filters.LowPass2(work, n);
      if (p.FlangerOn.load() == 1) e.flanger.FlangerBlock(work, n);
      if (p.EchoOn.load() == 1) e.echo.Process(work, n);
      break;
  }
  if (p.ReverbOn.load() == 1) e.reverb.Process(work, n);
}

}  // namespace fw
