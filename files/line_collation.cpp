#include "files/line_collation.h"

#include <unicode/uchar.h>
#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/utf8.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "base/text.h"

namespace brivano {
namespace {

// GBK double-byte code to the code of its lower-case (case-folded) form;
// a code without one maps to itself. Built once from ICU's case folding of
// each character, keeping only folds that GBK can hold.
const std::uint16_t* FoldTable() {
  static const std::unique_ptr<std::uint16_t[]> table = [] {
    auto t = std::make_unique<std::uint16_t[]>(65536);
    std::u16string utf16;
    for (int code = 0; code < 65536; ++code) {
      t[code] = static_cast<std::uint16_t>(code);
      const auto lead = static_cast<unsigned char>(code >> 8);
      const auto trail = static_cast<unsigned char>(code & 0xFF);
      if (!IsGbkLeadByte(lead) || !IsGbkTrailByte(trail)) continue;
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      GbkToUtf16(std::string_view(bytes, 2), utf16);
      if (utf16.size() != 1 || utf16[0] == u'?') continue;
      const UChar32 folded = u_foldCase(utf16[0], U_FOLD_CASE_DEFAULT);
      if (folded == utf16[0]) continue;
      char utf8[4];
      int32_t length = 0;
      U8_APPEND_UNSAFE(utf8, length, folded);
      const std::string gbk = Utf8ToGbk(std::string_view(utf8, static_cast<std::size_t>(length)));
      if (gbk.size() == 2) {
        t[code] = static_cast<std::uint16_t>((static_cast<unsigned char>(gbk[0]) << 8) |
                                             static_cast<unsigned char>(gbk[1]));
      }
    }
    return t;
  }();
  return table.get();
}

}  // namespace

LineCollation::LineCollation() : foldDouble_(FoldTable()) {
  UErrorCode status = U_ZERO_ERROR;
  collator_ = ucol_open("zh_CN", &status);
  if (U_FAILURE(status) || collator_ == nullptr) {
    throw std::runtime_error(std::string("No Chinese collation: ") + u_errorName(status));
  }
  // Tertiary strength keeps width and every other difference but letter
  // case, which the fold has already taken away.
  ucol_setStrength(collator_, UCOL_TERTIARY);
}

LineCollation::~LineCollation() {
  ucol_close(collator_);
}

std::uint16_t LineCollation::FoldedChar(std::string_view text, std::size_t& pos) const {
  const auto b = static_cast<unsigned char>(text[pos]);
  if (b >= 0x80 && GbkCharLength(text, pos) == 2) {
    const auto code =
        static_cast<std::uint16_t>((b << 8) | static_cast<unsigned char>(text[pos + 1]));
    pos += 2;
    return foldDouble_[code];
  }
  ++pos;
  return (b >= 'A' && b <= 'Z') ? static_cast<std::uint16_t>(b + 32) : b;
}

void LineCollation::Fold(std::string_view line, std::string& folded) const {
  folded.resize(line.size());  // folding keeps the length
  const auto* in = reinterpret_cast<const unsigned char*>(line.data());
  const auto* const end = in + line.size();
  auto* out = reinterpret_cast<unsigned char*>(folded.data());
  while (in < end) {
    const unsigned char b = *in;
    if (b < 0x80) {
      *out++ = (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
      ++in;
    } else if (IsGbkLeadByte(b) && in + 1 < end && IsGbkTrailByte(in[1])) {
      const std::uint16_t c = foldDouble_[(b << 8) | in[1]];
      *out++ = static_cast<unsigned char>(c >> 8);
      *out++ = static_cast<unsigned char>(c & 0xFF);
      in += 2;
    } else {
      *out++ = b;
      ++in;
    }
  }
}

std::string LineCollation::Fold(std::string_view line) const {
  std::string folded;
  Fold(line, folded);
  return folded;
}

int LineCollation::CompareFolded(std::string_view a, std::string_view b) const {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const std::uint16_t ca = FoldedChar(a, i);
    const std::uint16_t cb = FoldedChar(b, j);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

void LineCollation::AppendSortKey(std::string_view foldedLine, std::vector<std::uint8_t>& keys) {
  GbkToUtf16(foldedLine, utf16_);
  const std::size_t start = keys.size();
  const auto length = static_cast<int32_t>(utf16_.size());
  std::size_t room = utf16_.size() * 4 + 32;
  while (true) {
    keys.resize(start + room);
    const int32_t needed = ucol_getSortKey(collator_, utf16_.data(), length, keys.data() + start,
                                           static_cast<int32_t>(room));
    if (static_cast<std::size_t>(needed) <= room) {
      keys.resize(start + static_cast<std::size_t>(needed));
      return;
    }
    room = static_cast<std::size_t>(needed);
  }
}

std::uint64_t LineCollation::SortKeyPrefix(std::string_view foldedLine) {
  // The first bytes of a key are the primary weights of the first
  // characters, so a piece of the line's start gives them, unless the piece
  // runs out (a level separator, byte 1, or a short key shows that): then a
  // longer piece is tried. Sixteen bytes are asked for so that the eight
  // kept never come from the piece's last character, which could belong to
  // a contraction with the next.
  constexpr int32_t kAsked = 16;
  for (std::size_t want = 256;; want *= 4) {
    std::size_t cut = 0;
    while (cut < foldedLine.size() && cut < want) cut += GbkCharLength(foldedLine, cut);
    const bool whole = cut >= foldedLine.size();
    GbkToUtf16(foldedLine.substr(0, cut), utf16_);
    UCharIterator iterator;
    uiter_setString(&iterator, utf16_.data(), static_cast<int32_t>(utf16_.size()));
    uint32_t state[2] = {0, 0};
    std::uint8_t part[kAsked] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t got = ucol_nextSortKeyPart(collator_, &iterator, state, part, kAsked, &status);
    if (U_FAILURE(status)) throw std::runtime_error(u_errorName(status));
    const bool complete = got == kAsked && std::memchr(part, 1, kAsked) == nullptr &&
                          std::memchr(part, 0, kAsked) == nullptr;
    if (whole || complete) {
      std::uint64_t prefix = 0;
      for (int k = 0; k < 8; ++k) prefix = (prefix << 8) | part[k];
      return prefix;
    }
  }
}

int LineCollation::Compare(std::string_view a, std::string_view b) {
  std::vector<std::uint8_t> keyA, keyB;
  AppendSortKey(Fold(a), keyA);
  AppendSortKey(Fold(b), keyB);
  const int byKey = std::memcmp(keyA.data(), keyB.data(), std::min(keyA.size(), keyB.size()));
  if (byKey != 0) return byKey < 0 ? -1 : 1;
  return CompareFolded(a, b);
}

}  // namespace brivano
