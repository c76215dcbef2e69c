// Tables of replace-all steps, the extractors' clean-up: applied in order,
// each on the result of the one before.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

// One row of a replace-all table as the source writes it (UTF-8).
struct ReplaceRow {
  std::string_view pattern;
  std::string_view replacement;
};

// A table of replace-all steps, held as GBK. Apply runs the rows in table
// order, each with ReplaceAllIgnoreCase on the result of the one before. A row
// whose pattern holds a byte that the text lacks costs no search; one whose
// pattern does not occur costs one search and no copy.
class ReplaceTable {
 public:
  explicit ReplaceTable(std::span<const ReplaceRow> utf8Rows);
  void Apply(std::string& text) const;
  std::size_t size() const { return rows_.size(); }

 private:
  struct Row {
    std::string pattern;
    std::string replacement;
    std::string loweredPattern;  // every byte lowered as if it were ASCII
    // Byte values as sets of four 64-bit words: the pattern's with ASCII
    // letters lowered, and the replacement's.
    std::array<std::uint64_t, 4> patternBytes{};
    std::array<std::uint64_t, 4> replacementBytes{};
    bool hasLetters = false;
    // The replacement differs from the pattern in letter case alone; then
    // only these letters (the other case) can make a match change anything.
    bool caseOnly = false;
    std::array<std::uint64_t, 4> changedLetters{};
  };
  std::vector<Row> rows_;
};

}  // namespace brivano
