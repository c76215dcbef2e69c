// The one text layer of the program. Inside the core every page text, keyword,
// mark and file content is a GBK byte string; this module converts at the edges
// and offers the byte helpers the extractors and the run share. Every search,
// replace step and character class here respects double-byte characters: none
// of them ever starts or counts on the second byte of a Chinese character.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

// ---- GBK structure -------------------------------------------------------

constexpr bool IsGbkLeadByte(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}
constexpr bool IsGbkTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}

// Length in bytes (1 or 2) of the character that starts at `pos`.
inline std::size_t GbkCharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsGbkLeadByte(static_cast<unsigned char>(text[pos])) &&
      IsGbkTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
    return 2;
  }
  return 1;
}

// ---- Conversions (code page 936) -----------------------------------------

// UTF-8 to GBK. A character GBK cannot hold, and a malformed UTF-8 sequence,
// become "?". Never produces four-byte GB18030 forms.
std::string Utf8ToGbk(std::string_view utf8);
// GBK to UTF-8. A byte sequence that is no GBK character becomes "?".
std::string GbkToUtf8(std::string_view gbk);
// GBK to UTF-16 into `out` (replacing its content), with the same "?" for a
// byte sequence that is no GBK character. Reusing `out` spares an allocation
// per call where many short texts are converted in a row.
void GbkToUtf16(std::string_view gbk, std::u16string& out);
bool IsValidUtf8(std::string_view text);
bool IsAscii(std::string_view text);

// A UTF-8 literal of the program's own texts, as GBK (converted once per call
// site through a static; cheap to call repeatedly from the same place).
std::string Gbk(std::string_view utf8);

// ---- Byte helpers ----------------------------------------------------------

// A set of single-byte characters (digits, address characters, ...).
class ByteClass {
 public:
  constexpr explicit ByteClass(std::string_view members) : bits_{} {
    for (char c : members) bits_[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool Contains(unsigned char b) const { return bits_[b]; }

 private:
  std::array<bool, 256> bits_;
};

inline constexpr ByteClass kDigits{"0123456789"};

// First occurrence of `needle` in `text` at or after `from` (a character
// boundary), matching case-sensitively and only at character boundaries.
// Returns npos when absent; an empty needle is found at `from`.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0);
// The same, ASCII letters compared without regard to case.
std::size_t FindTextIgnoreCase(std::string_view text, std::string_view needle,
                               std::size_t from = 0);
bool ContainsText(std::string_view text, std::string_view needle);

// Replaces every occurrence of `pattern` in one left-to-right scan: matches do
// not overlap, replaced text is not scanned again, ASCII letter case is
// ignored, and a match never begins on the second byte of a double-byte
// character. An empty pattern leaves the text as it is.
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view pattern,
                                 std::string_view replacement);

// ASCII letters to lower case; both bytes of a double-byte character stay.
std::string LowerAscii(std::string_view text);

// Length of the longest prefix made only of bytes of `cls` (a double-byte
// character always ends the run).
std::size_t RunLength(std::string_view text, const ByteClass& cls);

// The first `max` bytes of a text (the bounded tails of the extractors).
inline std::string_view CutTo(std::string_view text, std::size_t max = 255) {
  return text.substr(0, max);
}

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

// Removes every byte of value 32 or less from both ends.
std::string_view TrimBlanks(std::string_view text);

// The text up to its first NUL byte, with every line break (CR LF, a lone CR,
// a lone LF) written as CR LF. Nothing else changes: a text that ends with a
// line break still ends with one, and one without still ends without.
std::string NormalizeLineBreaks(std::string_view text);

// Splits a text as the desktop's multi-line text box does: the text ends at
// its first NUL byte; CR LF, a lone CR and a lone LF each end a line; an empty
// last line does not count; every line is cut to its first `maxLineBytes`.
std::vector<std::string> SplitTextLines(std::string_view text, std::size_t maxLineBytes = 4096);

// Calls visit(line) for every line as SplitTextLines would produce it, without
// copying. Lines are views into `text`.
template <typename Visit>
void ForEachTextLine(std::string_view text, std::size_t maxLineBytes, Visit&& visit);

}  // namespace brivano

#include "extract/text_lines.inl"
