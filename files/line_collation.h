// How the merge compares lines: by the Chinese (PRC) collation of ICU, with
// letter case ignored and every other difference kept. Two lines are equal
// exactly when they differ in letter case only (ASCII letters, and the
// full-width Latin, Greek, Cyrillic and Roman-numeral letters of GBK); so
// full-width and half-width forms stay apart, and so do bytes that are no
// GBK character, which the collation alone could confuse with "?". Lines
// that the collation ranks the same but that are not equal are ordered by
// their case-folded bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct UCollator;

namespace brivano {

class LineCollation {
 public:
  LineCollation();
  ~LineCollation();
  LineCollation(const LineCollation&) = delete;
  LineCollation& operator=(const LineCollation&) = delete;

  // The line with every letter in its lower-case form, in GBK; bytes that
  // are no GBK character stay as they are. Equal lines have equal folds.
  void Fold(std::string_view line, std::string& folded) const;
  std::string Fold(std::string_view line) const;
  // Compares the folds of two lines without building them.
  int CompareFolded(std::string_view a, std::string_view b) const;

  // Appends the collation's sort key of a folded line, its closing zero
  // byte included (no other byte of a key is zero). Keys compare bytewise.
  void AppendSortKey(std::string_view foldedLine, std::vector<std::uint8_t>& keys);

  // The first eight bytes of the sort key of a folded line, as a big-endian
  // number (zero bytes past a shorter key's end), without building the
  // whole key: for lines too long to key whole.
  std::uint64_t SortKeyPrefix(std::string_view foldedLine);

  // The whole order, for single comparisons: negative, zero or positive.
  int Compare(std::string_view a, std::string_view b);

 private:
  std::uint16_t FoldedChar(std::string_view text, std::size_t& pos) const;

  UCollator* collator_ = nullptr;
  const std::uint16_t* foldDouble_;  // GBK double-byte code -> folded code
  std::u16string utf16_;             // scratch of AppendSortKey
};

}  // namespace brivano
