#include "tone/tone_filters.h"

namespace fw {
namespace {

void DesignSection(HighPassSection& section, const FloatWord& cutoff, const FloatWord& damping,
                   float rate) noexcept {
  section.Design(static_cast<double>(cutoff.load()), static_cast<double>(damping.load()),
                 static_cast<double>(rate));
}

}  // namespace

// Sections hold a valid design from the start, so the always-on stages are
// usable before the activation sequence designs them.
ToneFilters::ToneFilters() noexcept {
  DesignFvc1(*this, kFilterDesignRate);
  DesignFvc2(*this, kFilterDesignRate);
  DesignFvc3(*this, kFilterDesignRate);
  DesignFixedSection(*this, kFilterDesignRate);
}

void DesignFvc1(ToneFilters& f, float rate) noexcept {
  DesignSection(f.fvc1, f.Fvc1Cutoff, f.Fvc1Damping, rate);
}
void DesignFvc2(ToneFilters& f, float rate) noexcept {
  DesignSection(f.fvc2, f.Fvc2Cutoff, f.Fvc2Damping, rate);
}
void DesignFvc3(ToneFilters& f, float rate) noexcept {
  DesignSection(f.fvc3, f.Fvc3Cutoff, f.Fvc3Damping, rate);
}

void DesignFixedSection(ToneFilters& f, float rate) noexcept {
  f.fixedSection.Design(static_cast<double>(kFixedSectionCutoff), static_cast<double>(kFixedSectionDamping),
                        static_cast<double>(rate));
}

void ToneFilters::Fvc1Filter(float* work, float* side, int n) noexcept {
  Fvc1Run run(*this);
  for (int i = 0; i < n; ++i) work[i] = run.Step(work[i], side[i]);
}

void ToneFilters::Fvc2Stage(float* work, int n) noexcept {
  Fvc2Run fvc(*this);
  for (int i = 0; i < n; ++i) work[i] = fvc.Step(work[i]);
}

void ToneFilters::Fvc3Filter(float* work, int n) noexcept {
  Fvc3Run run(*this);
  for (int i = 0; i < n; ++i) work[i] = run.Step(work[i]);
}

void ToneFilters::FixedSection(float* work, int n) noexcept {
  HighPassSection::Run section(fixedSection);
  for (int i = 0; i < n; ++i) work[i] = section.Step(work[i]);
}

void ToneFilters::FixedHighPass(float* work, int n) noexcept {
  FixedHighPassRun run(*this);
  for (int i = 0; i < n; ++i) work[i] = run.Step(work[i]);
}

void ToneFilters::HiPreSectionA(float* work, int n) noexcept {
  hiPreA_.Process(work, n, HiPreCoefficient.load(), 1.0f);
}

void ToneFilters::HiPreSectionB(float* work, int n) noexcept {
  hiPreB_.Process(work, n, HiPreCoefficient.load(), HiPreGain.load());
}

void ToneFilters::LowPass2(float* work, int n) noexcept {
  LowPass2Run low(*this);
  for (int i = 0; i < n; ++i) work[i] = low.Step(work[i]);
}

}  // namespace fw
