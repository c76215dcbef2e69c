#include "base/text_encoding.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "base/code_page.h"

namespace brivano {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
// Tested before UTF-16's: the little-endian mark begins with UTF-16's.
constexpr std::string_view kUtf32LeMark{"\xFF\xFE\0\0", 4};
constexpr std::string_view kUtf32BeMark{"\0\0\xFE\xFF", 4};
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool IsChineseCodePoint(UChar32 c) {
  return (c >= 0x2E80 && c <= 0x9FFF) ||  // radicals, CJK punctuation, kana, ideographs
         (c >= 0xF900 && c <= 0xFAFF) ||  // compatibility ideographs
         (c >= 0xFE30 && c <= 0xFE4F) ||  // vertical and small CJK punctuation
         (c >= 0xFF00 && c <= 0xFFEF);    // full-width forms
}

std::int64_t Utf8Score(std::string_view text) {
  // ICU's macro counts in 32 bits; a text past 2 GiB is weighed by its start.
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto size = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
  std::int64_t score = 0;
  for (std::int32_t pos = 0; pos < size;) {
    const std::int32_t start = pos;
    UChar32 c;
    U8_NEXT(bytes, pos, size, c);
    if (c < 0) {
      score -= pos - start;
    } else if (IsChineseCodePoint(c)) {
      score += 3;
    }
  }
  return score;
}

std::int64_t GbkScore(std::string_view text) {
  std::int64_t score = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = GbkCharLength(text, pos);
    if (length == 2) {
      const auto trail = static_cast<unsigned char>(text[pos + 1]);
      const bool common = (lead >= 0xA1 && lead <= 0xA3) || (lead >= 0xB0 && lead <= 0xD7);
      if (trail >= 0xA1 && common) {
        score += 2;
      } else if (lead < 0xA1 || trail < 0xA1) {
        score -= 1;
      }
    } else if (lead >= 0x80) {
      score -= 1;
    }
    pos += length;
  }
  return score;
}

// Whether anything but NUL bytes follows the NUL at `nul`.
bool CutAtNul(std::string_view bytes, std::size_t nul) {
  return nul != std::string_view::npos &&
         bytes.find_first_not_of('\0', nul) != std::string_view::npos;
}

// Through UTF-8, so that the text layer's one conversion to GBK decides what
// becomes "?": a lone surrogate, a code point beyond Unicode or a cut-off code
// unit turns into U+FFFD first, a supplementary character stays whole; GBK
// holds none of them. The text ends at its first NUL code unit.
DecodedText UnicodeToGbk(std::string_view bytes, std::size_t unitBytes, bool bigEndian,
                         std::string_view name) {
  std::u32string points;
  points.reserve(bytes.size() / unitBytes + 1);
  std::size_t pos = 0;
  auto unitAt = [&](std::size_t at) {
    char32_t unit = 0;
    for (std::size_t k = 0; k < unitBytes; ++k) {
      const auto b = static_cast<unsigned char>(bytes[at + (bigEndian ? k : unitBytes - 1 - k)]);
      unit = unit << 8 | b;
    }
    return unit;
  };
  for (; pos + unitBytes <= bytes.size(); pos += unitBytes) {
    const char32_t unit = unitAt(pos);
    if (unit == 0) break;
    points.push_back(unit);
  }
  DecodedText decoded{{}, name};
  if (pos + unitBytes <= bytes.size()) {
    decoded.cutAtNul = CutAtNul(bytes, pos);
  } else if (pos < bytes.size()) {
    points.push_back(0xFFFD);
  }
  std::string utf8;
  utf8.reserve(points.size() * 3);
  for (std::size_t i = 0; i < points.size();) {
    UChar32 c;
    if (unitBytes == 2) {
      // Pairs of UTF-16 surrogates make one character.
      const char16_t first = static_cast<char16_t>(points[i++]);
      c = first;
      if (U16_IS_LEAD(first) && i < points.size() && U16_IS_TRAIL(points[i])) {
        c = U16_GET_SUPPLEMENTARY(first, static_cast<char16_t>(points[i++]));
      }
    } else {
      c = static_cast<UChar32>(points[i++]);
    }
    if (U_IS_SURROGATE(c) || c < 0 || c > 0x10FFFF) c = 0xFFFD;
    char sequence[U8_MAX_LENGTH];
    std::size_t length = 0;
    U8_APPEND_UNSAFE(sequence, length, c);
    utf8.append(sequence, length);
  }
  decoded.gbk = Utf8ToGbk(utf8);
  return decoded;
}

}  // namespace

std::optional<TextEncoding> TextEncodingFromCliName(std::string_view name) {
  if (name == "auto") return TextEncoding::Auto;
  if (name == "gbk") return TextEncoding::Gbk;
  if (name == "utf-8") return TextEncoding::Utf8;
  if (name == "utf-16") return TextEncoding::Utf16;
  return std::nullopt;
}

bool WeighsAsUtf8(std::string_view text) {
  return Utf8Score(text) > GbkScore(text);
}

DecodedText DecodeText(std::string_view bytes, TextEncoding encoding) {
  const bool detect = encoding == TextEncoding::Auto;
  if (detect || encoding == TextEncoding::Utf16) {
    if (bytes.starts_with(kUtf32LeMark)) return UnicodeToGbk(bytes.substr(4), 4, false, "UTF-32LE");
    if (bytes.starts_with(kUtf32BeMark)) return UnicodeToGbk(bytes.substr(4), 4, true, "UTF-32BE");
    if (bytes.starts_with(kUtf16BeMark)) return UnicodeToGbk(bytes.substr(2), 2, true, "UTF-16BE");
    if (bytes.starts_with(kUtf16LeMark)) return UnicodeToGbk(bytes.substr(2), 2, false, "UTF-16LE");
    if (!detect) return UnicodeToGbk(bytes, 2, false, "UTF-16LE");
  }
  if ((detect || encoding == TextEncoding::Utf8) && bytes.starts_with(kUtf8Mark)) {
    bytes.remove_prefix(kUtf8Mark.size());
    encoding = TextEncoding::Utf8;
  }
  const std::size_t nul = bytes.find('\0');
  const std::string_view text = bytes.substr(0, nul);
  const bool cut = CutAtNul(bytes, nul);
  if (encoding == TextEncoding::Auto) {
    if (IsAscii(text)) return {std::string(text), "ASCII", cut};
    encoding = WeighsAsUtf8(text) ? TextEncoding::Utf8 : TextEncoding::Gbk;
  }
  if (encoding == TextEncoding::Utf8) return {Utf8ToGbk(text), "UTF-8", cut};
  return {std::string(text), "GBK", cut};
}

}  // namespace brivano
