#pragma once
// The window-thread side of the "Tuner" page: the tuner and the two level meters,
// polled by the page's timer, and the views that redraw after each poll.
#include <functional>
#include <vector>

#include "app/tuner/meter_display.h"
#include "app/tuner/tuner.h"
#include "engine/engine.h"

namespace fw {

class TForm1;

struct TunerState {
  explicit TunerState(Engine& engine)
      : tuner(engine.tuner), input(engine.meters.input), output(engine.meters.output) {}

  Tuner tuner;
  MeterDisplay input;
  MeterDisplay output;
  // Called after every poll, on the window thread.
  std::vector<std::function<void()>> listeners;
};

TunerState& TunerOf(TForm1& form);

// The poll interval of the meters and the tuner: 25 times a second.
inline constexpr int kTunerPollMs = 40;

}  // namespace fw
