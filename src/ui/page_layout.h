#pragma once
// A page's layout as the page declares it: rows from top to bottom, each either one
// block across the page or two columns of blocks; a block keeps its controls
// together. Controls are named, so the order they are created in moves nothing.
#include <string>
#include <utility>
#include <vector>

namespace fw::ui {

struct LayoutBlock {
  enum class Kind {
    Control,    // one control on its own
    Captioned,  // names: a label over its horizontal scroll bar
    Bands,      // names: label, vertical bar, label, bar, ... side by side, each bar over its label
    Buttons,    // names: buttons two to a line, in this order
    Section,    // names: a heading over `parts`
  };
  Kind kind = Kind::Control;
  std::vector<std::string> names;
  std::vector<LayoutBlock> parts;
};

struct LayoutRow {
  std::vector<LayoutBlock> left;   // a row across the page has its one block here
  std::vector<LayoutBlock> right;  // empty for a row across
  bool across = true;
};

struct PageLayout {
  std::vector<LayoutRow> rows;

  bool TwoColumns() const {
    for (const LayoutRow& row : rows) {
      if (!row.across) return true;
    }
    return false;
  }
};

// The words page tables are written in.
namespace layout {

inline LayoutBlock One(std::string name) { return {LayoutBlock::Kind::Control, {std::move(name)}, {}}; }
inline LayoutBlock Captioned(std::string label, std::string bar) {
  return {LayoutBlock::Kind::Captioned, {std::move(label), std::move(bar)}, {}};
}
inline LayoutBlock Bands(std::vector<std::string> labelsAndBars) {
  return {LayoutBlock::Kind::Bands, std::move(labelsAndBars), {}};
}
inline LayoutBlock Buttons(std::vector<std::string> buttons) {
  return {LayoutBlock::Kind::Buttons, std::move(buttons), {}};
}
inline LayoutBlock Section(std::string heading, std::vector<LayoutBlock> parts) {
  return {LayoutBlock::Kind::Section, {std::move(heading)}, std::move(parts)};
}
inline LayoutRow Across(LayoutBlock block) { return {{std::move(block)}, {}, true}; }
inline LayoutRow Columns(std::vector<LayoutBlock> left, std::vector<LayoutBlock> right) {
  return {std::move(left), std::move(right), false};
}

}  // namespace layout
}  // namespace fw::ui
