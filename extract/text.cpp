#include "extract/text.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <memory>
#include <mutex>

namespace brivano {
namespace {

// Code page 936 as two tables built once from ICU's "windows-936" converter:
// GBK code to BMP code point, and back. Building our own tables keeps the
// conversion exact (no GB18030 four-byte forms, "?" for what GBK lacks) and
// fast enough to convert a megabyte of page text in about a millisecond.
struct GbkTables {
  // Index: lead byte (0x81..0xFE) * 256 + trail byte. 0 = no character.
  std::vector<char16_t> doubleToUnicode = std::vector<char16_t>(65536, 0);
  std::array<char16_t, 256> singleToUnicode{};
  // Index: BMP code point. 0 = not representable (U+0000 is handled apart).
  std::vector<std::uint16_t> unicodeToGbk = std::vector<std::uint16_t>(65536, 0);
};

const GbkTables& Tables() {
  static const std::unique_ptr<GbkTables> tables = [] {
    auto t = std::make_unique<GbkTables>();
    UErrorCode status = U_ZERO_ERROR;
    UConverter* cnv = ucnv_open("windows-936", &status);
    if (U_FAILURE(status) || cnv == nullptr) {
      // Without ICU's table only ASCII can be converted.
      for (int b = 0; b < 0x80; ++b) t->singleToUnicode[b] = static_cast<char16_t>(b);
      for (int b = 0; b < 0x80; ++b) t->unicodeToGbk[b] = static_cast<std::uint16_t>(b);
      return t;
    }
    ucnv_setToUCallBack(cnv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    auto decode = [&](const char* bytes, int len) -> char16_t {
      UChar out[4];
      UErrorCode e = U_ZERO_ERROR;
      ucnv_reset(cnv);
      int32_t n = ucnv_toUChars(cnv, out, 4, bytes, len, &e);
      if (U_FAILURE(e) || n != 1 || out[0] == 0xFFFD) return 0;
      if (out[0] >= 0xD800 && out[0] <= 0xDFFF) return 0;
      return out[0];
    };
    for (int b = 0; b < 256; ++b) {
      if (IsGbkLeadByte(static_cast<unsigned char>(b))) continue;
      if (b < 0x80) {
        t->singleToUnicode[b] = static_cast<char16_t>(b);
        continue;
      }
      char byte = static_cast<char>(b);
      t->singleToUnicode[b] = decode(&byte, 1);
    }
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (!IsGbkTrailByte(static_cast<unsigned char>(trail))) continue;
        const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        t->doubleToUnicode[lead * 256 + trail] = decode(pair, 2);
      }
    }
    ucnv_close(cnv);
    // Reverse mapping: single bytes first, then double bytes in code order;
    // the first code that decodes to a code point is the one it encodes to.
    for (int b = 0; b < 256; ++b) {
      char16_t u = t->singleToUnicode[b];
      if ((u != 0 || b == 0) && t->unicodeToGbk[u] == 0)
        t->unicodeToGbk[u] = static_cast<std::uint16_t>(b);
    }
    for (int code = 0x8140; code <= 0xFEFE; ++code) {
      char16_t u = t->doubleToUnicode[code];
      if (u != 0 && u >= 0x80 && t->unicodeToGbk[u] == 0) {
        t->unicodeToGbk[u] = static_cast<std::uint16_t>(code);
      }
    }
    return t;
  }();
  return *tables;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `pos`; returns the code point and advances
// pos. A malformed sequence yields 0xFFFFFFFF and skips one byte.
constexpr char32_t kBadSequence = 0xFFFFFFFF;
char32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(s[pos]);
  int len;
  char32_t cp;
  if (b0 < 0x80) {
    ++pos;
    return b0;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    cp = b0 & 0x07;
  } else {
    ++pos;
    return kBadSequence;
  }
  if (pos + len > s.size()) {
    ++pos;
    return kBadSequence;
  }
  for (int i = 1; i < len; ++i) {
    const auto b = static_cast<unsigned char>(s[pos + i]);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return kBadSequence;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are malformed.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kBadSequence;
  }
  pos += len;
  return cp;
}

inline unsigned char LowerByte(unsigned char b) {
  return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
}

// Does `needle` match `text` at `pos`, ASCII case ignored for single-byte
// characters and double-byte characters compared exactly?
bool MatchesIgnoreCaseAt(std::string_view text, std::size_t pos, std::string_view needle) {
  if (text.size() - pos < needle.size()) return false;
  std::size_t k = 0;
  while (k < needle.size()) {
    const std::size_t len = GbkCharLength(needle, k);
    if (len == 2) {
      if (text[pos + k] != needle[k] || text[pos + k + 1] != needle[k + 1]) return false;
    } else if (LowerByte(static_cast<unsigned char>(text[pos + k])) !=
               LowerByte(static_cast<unsigned char>(needle[k]))) {
      return false;
    }
    k += len;
  }
  return true;
}

}  // namespace

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool IsValidUtf8(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (DecodeUtf8(text, pos) == kBadSequence) return false;
  }
  return true;
}

std::string Utf8ToGbk(std::string_view utf8) {
  const GbkTables& t = Tables();
  std::string out(utf8.size(), '\0');  // GBK is never longer than UTF-8
  char* o = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  std::size_t pos = 0;
  auto put = [&](char32_t cp) {
    const std::uint16_t code = cp < 0x10000 ? t.unicodeToGbk[cp] : 0;
    if (code == 0) {
      *o++ = '?';
    } else if (code < 0x100) {
      *o++ = static_cast<char>(code);
    } else {
      *o++ = static_cast<char>(code >> 8);
      *o++ = static_cast<char>(code & 0xFF);
    }
  };
  while (pos < n) {
    const unsigned char b0 = p[pos];
    if (b0 < 0x80) {
      *o++ = static_cast<char>(b0);
      ++pos;
      continue;
    }
    // The common case of Chinese text: a well-formed three-byte sequence.
    if (b0 >= 0xE0 && b0 <= 0xEF && pos + 2 < n && (p[pos + 1] & 0xC0) == 0x80 &&
        (p[pos + 2] & 0xC0) == 0x80) {
      const char32_t cp = (static_cast<char32_t>(b0 & 0x0F) << 12) |
                          (static_cast<char32_t>(p[pos + 1] & 0x3F) << 6) | (p[pos + 2] & 0x3F);
      if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
        put(cp);
        pos += 3;
        continue;
      }
    }
    const char32_t cp = DecodeUtf8(utf8, pos);
    if (cp == kBadSequence) {
      *o++ = '?';
    } else {
      put(cp);
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  const GbkTables& t = Tables();
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  std::size_t pos = 0;
  while (pos < gbk.size()) {
    const auto b = static_cast<unsigned char>(gbk[pos]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++pos;
      continue;
    }
    char16_t u;
    if (GbkCharLength(gbk, pos) == 2) {
      u = t.doubleToUnicode[b * 256 + static_cast<unsigned char>(gbk[pos + 1])];
      pos += 2;
    } else {
      u = t.singleToUnicode[b];
      ++pos;
    }
    if (u == 0) {
      out.push_back('?');
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

void GbkToUtf16(std::string_view gbk, std::u16string& out) {
  const GbkTables& t = Tables();
  out.resize(gbk.size());  // never more UTF-16 units than GBK bytes
  char16_t* o = out.data();
  std::size_t pos = 0;
  while (pos < gbk.size()) {
    const auto b = static_cast<unsigned char>(gbk[pos]);
    char16_t u;
    if (b < 0x80) {
      u = b;
      ++pos;
    } else if (GbkCharLength(gbk, pos) == 2) {
      u = t.doubleToUnicode[b * 256 + static_cast<unsigned char>(gbk[pos + 1])];
      pos += 2;
    } else {
      u = t.singleToUnicode[b];
      ++pos;
    }
    *o++ = (u == 0 && b != 0) ? u'?' : u;
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

std::string Gbk(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

namespace {

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
  const unsigned char lower = LowerByte(first);
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

namespace {

// Sets of byte values as four 64-bit words.
using ByteSet = std::array<std::uint64_t, 4>;

void AddByte(ByteSet& set, unsigned char b) {
  set[b >> 6] |= std::uint64_t{1} << (b & 63);
}

ByteSet BytesOf(std::string_view text) {
  ByteSet set{};
#ifdef __SSE2__
  // A byte per value first: setting bits of a word in memory would chain
  // every byte of the text to the store of the one before.
  alignas(16) unsigned char seen[256] = {};
  for (char c : text) seen[static_cast<unsigned char>(c)] = 0x80;
  for (int block = 0; block < 16; ++block) {
    const auto bits = static_cast<std::uint64_t>(static_cast<unsigned>(
        _mm_movemask_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(seen + 16 * block)))));
    set[block / 4] |= bits << (16 * (block % 4));
  }
#else
  for (char c : text) AddByte(set, static_cast<unsigned char>(c));
#endif
  return set;
}

// The set with every ASCII capital also present as its small letter: the
// capitals 0x41..0x5A are bits 1..26 of word 1, the small letters bits 33..58.
ByteSet Folded(ByteSet set) {
  set[1] |= (set[1] & 0x7FFFFFEu) << 32;
  return set;
}

bool Within(const ByteSet& part, const ByteSet& whole) {
  return ((part[0] & ~whole[0]) | (part[1] & ~whole[1]) | (part[2] & ~whole[2]) |
          (part[3] & ~whole[3])) == 0;
}

bool Meets(const ByteSet& a, const ByteSet& b) {
  return ((a[0] & b[0]) | (a[1] & b[1]) | (a[2] & b[2]) | (a[3] & b[3])) != 0;
}

}  // namespace

ReplaceTable::ReplaceTable(std::span<const ReplaceRow> utf8Rows) {
  rows_.reserve(utf8Rows.size());
  for (const ReplaceRow& row : utf8Rows) {
    Row gbk;
    gbk.pattern = Utf8ToGbk(row.pattern);
    gbk.replacement = Utf8ToGbk(row.replacement);
    for (char c : gbk.pattern) {
      const unsigned char lowered = LowerByte(static_cast<unsigned char>(c));
      gbk.loweredPattern.push_back(static_cast<char>(lowered));
      gbk.hasLetters = gbk.hasLetters || (lowered >= 'a' && lowered <= 'z');
      AddByte(gbk.patternBytes, lowered);
    }
    gbk.replacementBytes = BytesOf(gbk.replacement);
    // A replacement that is the pattern in other letter cases changes only
    // letters that stand in the text in the case it does not have.
    gbk.caseOnly = gbk.replacement.size() == gbk.pattern.size() &&
                   LowerAscii(gbk.replacement) == LowerAscii(gbk.pattern);
    if (gbk.caseOnly) {
      for (char c : gbk.replacement) {
        if (c >= 'a' && c <= 'z') AddByte(gbk.changedLetters, static_cast<unsigned char>(c - 32));
        if (c >= 'A' && c <= 'Z') AddByte(gbk.changedLetters, static_cast<unsigned char>(c + 32));
      }
    }
    rows_.push_back(std::move(gbk));
  }
}

namespace {

// ReplaceAllIgnoreCase for a replacement no longer than its pattern, from the
// match at `first`, without a second string: the result is written over the
// text behind the reading position, and the search only ever reads bytes at
// or after that position (it checks character boundaries back to where it
// started), which are still the text's own.
void ReplaceShrinkingInPlace(std::string& text, std::size_t first, std::string_view pattern,
                             std::string_view replacement) {
  char* const bytes = text.data();
  std::size_t write = first;
  std::size_t read = first;
  for (std::size_t hit = first; hit != std::string_view::npos;
       hit = FindTextIgnoreCase(text, pattern, read)) {
    std::memmove(bytes + write, bytes + read, hit - read);
    write += hit - read;
    std::memcpy(bytes + write, replacement.data(), replacement.size());
    write += replacement.size();
    read = hit + pattern.size();
  }
  std::memmove(bytes + write, bytes + read, text.size() - read);
  text.resize(write + text.size() - read);
}

}  // namespace

void ReplaceTable::Apply(std::string& text) const {
  // Quick tests come before the search that respects characters; each can
  // only send a row on to that search, never hold back a change.
  // `present` holds every byte of the text and may hold more: replacing adds
  // the replacement's bytes and removes nothing.
  ByteSet present = BytesOf(text);
  // Every match is also a match of the bytes alone: in the text itself for a
  // pattern without letters, in the lowered text for one with letters.
  std::string lowered;
  bool loweredCurrent = false;
  for (const Row& row : rows_) {
    if (!Within(row.patternBytes, Folded(present))) continue;
    if (row.caseOnly && !Meets(row.changedLetters, present)) continue;
    if (!row.hasLetters) {
      if (text.find(row.pattern) == std::string::npos) continue;
    } else {
      if (!loweredCurrent) {
        lowered.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
          lowered[i] = static_cast<char>(LowerByte(static_cast<unsigned char>(text[i])));
        }
        loweredCurrent = true;
      }
      if (lowered.find(row.loweredPattern) == std::string::npos) continue;
    }
    const std::size_t first = FindTextIgnoreCase(text, row.pattern);
    if (first == std::string_view::npos) continue;
    // Nothing before the first match changes, and the scan may start there:
    // it is a character boundary.
    if (row.replacement.size() <= row.pattern.size()) {
      ReplaceShrinkingInPlace(text, first, row.pattern, row.replacement);
    } else {
      text.replace(
          first, std::string::npos,
          ReplaceAllIgnoreCase(std::string_view(text).substr(first), row.pattern, row.replacement));
    }
    loweredCurrent = false;
    for (std::size_t i = 0; i < present.size(); ++i) present[i] |= row.replacementBytes[i];
  }
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (std::size_t pos = 0; pos < out.size();) {
    const std::size_t len = GbkCharLength(out, pos);
    if (len == 1) out[pos] = static_cast<char>(LowerByte(static_cast<unsigned char>(out[pos])));
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

std::string NormalizeLineBreaks(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t brk = text.find_first_of("\r\n", pos);
    if (brk == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, brk - pos));
    out.append("\r\n");
    pos = (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? brk + 2 : brk + 1;
  }
  return out;
}

std::vector<std::string> SplitTextLines(std::string_view text, std::size_t maxLineBytes) {
  std::vector<std::string> lines;
  ForEachTextLine(text, maxLineBytes, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

}  // namespace brivano
