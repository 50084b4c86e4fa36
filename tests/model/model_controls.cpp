#include "model/model_controls.h"

#include <stdexcept>

namespace model {

void ControlTable::Add(const std::string& name, int min, int max, int position,
                       std::function<void()> onChange) {
  controls_[name] = Control{min, max, position, std::move(onChange)};
}

int ControlTable::Position(const std::string& name) const {
  const auto it = controls_.find(name);
  if (it == controls_.end()) throw std::invalid_argument("model has no control " + name);
  return it->second.position;
}

bool ControlTable::Set(const std::string& name, int value) {
  const auto it = controls_.find(name);
  if (it == controls_.end()) return false;
  Control& c = it->second;
  if (value < c.min) value = c.min;
  if (value > c.max) value = c.max;
  if (value == c.position) return true;
  c.position = value;
  if (c.onChange) c.onChange();  // the handler reads the control's position itself
  return true;
}

}  // namespace model
