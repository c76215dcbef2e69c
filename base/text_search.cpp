#include "base/text_search.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace brivano {
namespace {

// Does `needle` match `text` at `pos`, ASCII case ignored for single-byte
// characters and double-byte characters compared exactly?
bool MatchesIgnoreCaseAt(std::string_view text, std::size_t pos, std::string_view needle) {
  if (text.size() - pos < needle.size()) return false;
  std::size_t k = 0;
  while (k < needle.size()) {
    const std::size_t len = GbkCharLength(needle, k);
    if (len == 2) {
      if (text[pos + k] != needle[k] || text[pos + k + 1] != needle[k + 1]) return false;
    } else if (LowerAsciiByte(static_cast<unsigned char>(text[pos + k])) !=
               LowerAsciiByte(static_cast<unsigned char>(needle[k]))) {
      return false;
    }
    k += len;
  }
  return true;
}

// Is `pos` the start of a character, knowing that `known` (<= pos) is one?
// Both ends of a match are checked with it, so that a needle ending in a lone
// first byte never takes the first half of a character.
// Bytes 0x81..0xFE pair up from the start of a run of them: whatever stands
// before such a run (a single-byte character, a second byte of 0x40..0x7E, or
// `known` itself) ends a character. So `pos` starts a character when the run
// of such bytes right before it is even, or when the byte at `pos` cannot be
// a second byte.
bool IsCharBoundary(std::string_view text, std::size_t known, std::size_t pos) {
  if (pos <= known || pos >= text.size()) return true;
  std::size_t run = 0;
  while (pos - run > known && IsGbkLeadByte(static_cast<unsigned char>(text[pos - run - 1]))) ++run;
  return run % 2 == 0 || !IsGbkTrailByte(static_cast<unsigned char>(text[pos]));
}

}  // namespace

std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size()) return std::string_view::npos;
  if (needle.empty()) return from;
  std::size_t known = from;  // a character start; it only moves forward
  for (std::size_t pos = text.find(needle, from); pos != std::string_view::npos;
       pos = text.find(needle, pos + 1)) {
    const bool starts = IsCharBoundary(text, known, pos);
    if (starts && IsCharBoundary(text, pos, pos + needle.size())) return pos;
    // Not a start means the second byte of a character: the next byte is one.
    known = starts ? pos : pos + 1;
  }
  return std::string_view::npos;
}

std::size_t FindTextIgnoreCase(std::string_view text, std::string_view needle, std::size_t from) {
  if (from > text.size()) return std::string_view::npos;
  if (needle.empty()) return from;
  if (needle.size() > text.size()) return std::string_view::npos;
  // Candidates come from memchr on both spellings of the first byte; the
  // character boundaries are checked only there.
  const auto first = static_cast<unsigned char>(needle[0]);
  const unsigned char lower = LowerAsciiByte(first);
  const unsigned char upper =
      (lower >= 'a' && lower <= 'z') ? static_cast<unsigned char>(lower - 32) : lower;
  const std::size_t last = text.size() - needle.size();
  auto next = [&](unsigned char byte, std::size_t at) -> std::size_t {
    if (at > last) return std::string_view::npos;
    const void* hit = std::memchr(text.data() + at, byte, last - at + 1);
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
               : std::string_view::npos;
  };
  std::size_t nextLower = next(lower, from);
  std::size_t nextUpper = upper == lower ? std::string_view::npos : next(upper, from);
  std::size_t known = from;  // a character start; it only moves forward
  while (true) {
    const std::size_t pos = std::min(nextLower, nextUpper);
    if (pos == std::string_view::npos) return pos;
    const bool starts = IsCharBoundary(text, known, pos);
    if (starts && MatchesIgnoreCaseAt(text, pos, needle) &&
        IsCharBoundary(text, pos, pos + needle.size())) {
      return pos;
    }
    known = starts ? pos : pos + 1;
    if (pos == nextLower) nextLower = next(lower, pos + 1);
    if (pos == nextUpper) nextUpper = next(upper, pos + 1);
  }
}

bool ContainsText(std::string_view text, std::string_view needle) {
  return FindText(text, needle) != std::string_view::npos;
}

std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view pattern,
                                 std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  std::size_t pos = 0;
  std::size_t copied = 0;  // text[copied, pos) is still to be appended
  while (true) {
    const std::size_t hit = FindTextIgnoreCase(text, pattern, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.data() + copied, hit - copied);
    out.append(replacement);
    pos = copied = hit + pattern.size();
  }
  out.append(text.data() + copied, text.size() - copied);
  return out;
}

std::string LowerAsciiBytes(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(LowerAsciiByte(static_cast<unsigned char>(c)));
  return out;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAsciiByte(static_cast<unsigned char>(a[i])) !=
        LowerAsciiByte(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t len = GbkCharLength(out, pos);
    if (len == 1)
      out[pos] = static_cast<char>(LowerAsciiByte(static_cast<unsigned char>(out[pos])));
    pos += len;
  }
  return out;
}

std::size_t RunLength(std::string_view text, const ByteClass& cls) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (GbkCharLength(text, pos) == 2) break;
    if (!cls.Contains(static_cast<unsigned char>(text[pos]))) break;
    ++pos;
  }
  return pos;
}

std::string_view TrimBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

}  // namespace brivano
