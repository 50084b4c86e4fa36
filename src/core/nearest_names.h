#pragma once
// Names a user types: matched in any letter case, and when nothing matches, the
// nearest names for a "did you mean".
#include <algorithm>
#include <cctype>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

inline char LowerAscii(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

inline bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

// Edits (insert, delete, replace) from one name to the other, letter case ignored.
inline std::size_t NameDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), std::size_t{0});
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t replace = diagonal + (LowerAscii(a[i - 1]) == LowerAscii(b[j - 1]) ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, replace});
    }
  }
  return row[b.size()];
}

// " (did you mean A, B or C?)": the three nearest candidates, nearest first.
inline std::string DidYouMean(std::string_view name, std::vector<std::string> candidates) {
  std::stable_sort(candidates.begin(), candidates.end(), [name](const std::string& x, const std::string& y) {
    return NameDistance(name, x) < NameDistance(name, y);
  });
  candidates.resize(std::min<std::size_t>(candidates.size(), 3));
  if (candidates.empty()) return {};
  std::string text = " (did you mean " + candidates.front();
  for (std::size_t i = 1; i < candidates.size(); ++i)
    text += (i + 1 == candidates.size() ? " or " : ", ") + candidates[i];
  return text + "?)";
}

}  // namespace fw
