#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/engine_fixture.h"

namespace fw {
namespace {

void Count(const ui::LayoutBlock& block, std::map<std::string, int>& placed) {
  for (const std::string& name : block.names) ++placed[name];
  for (const ui::LayoutBlock& part : block.parts) Count(part, placed);
}

// A control its page's table leaves out would never show; one named twice, or a
// name without a control on that page, is a slip in the table.
TEST(PageLayouts, PlaceEveryControlOfTheirPageOnce) {
  test::FormFixture f;
  std::map<std::string, std::map<std::string, int>> placed;  // page -> control -> times
  for (ui::Control* control : f.form->Controls()) {
    const ui::PageLayout* layout = f.form->LayoutOf(control->Page());
    if (layout == nullptr || placed.count(control->Page()) != 0) continue;
    auto& counts = placed[control->Page()];
    for (const ui::LayoutRow& row : layout->rows) {
      for (const auto* column : {&row.left, &row.right}) {
        for (const ui::LayoutBlock& block : *column) Count(block, counts);
      }
    }
  }
  for (ui::Control* control : f.form->Controls()) {
    if (control->Kind() == ui::ControlKind::PageControl || control->Page().empty()) continue;
    ASSERT_NE(f.form->LayoutOf(control->Page()), nullptr) << control->Page();
    EXPECT_EQ(placed[control->Page()][control->Name()], 1) << control->Name();
  }
  for (const auto& [page, counts] : placed) {
    for (const auto& [name, times] : counts) {
      const ui::Control* control = f.form->Find(name);
      EXPECT_TRUE(control != nullptr && control->Page() == page) << name << " on " << page;
    }
  }
}

}  // namespace
}  // namespace fw
