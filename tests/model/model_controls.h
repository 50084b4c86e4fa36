#pragma once
// A minimal control table for the reference model: each named control has a range,
// a position and a change handler. Setting a position limits it to the range and
// runs the handler only when the position changes, as the window does.
#include <functional>
#include <map>
#include <string>

namespace model {

class ControlTable {
 public:
  void Add(const std::string& name, int min, int max, int position, std::function<void()> onChange);
  bool Has(const std::string& name) const { return controls_.count(name) != 0; }
  int Position(const std::string& name) const;
  // Returns false for an unknown name.
  bool Set(const std::string& name, int value);

 private:
  struct Control {
    int min;
    int max;
    int position;
    std::function<void()> onChange;
  };
  std::map<std::string, Control> controls_;
};

}  // namespace model
