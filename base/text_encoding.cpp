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

// Through UTF-8, so that the text layer's one conversion to GBK decides what
// becomes "?": a lone surrogate or half a code unit turns into U+FFFD first,
// a supplementary character stays whole; GBK holds neither.
std::string Utf16ToGbk(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2 + 1);
  std::size_t pos = 0;
  for (; pos + 1 < bytes.size(); pos += 2) {
    const auto first = static_cast<unsigned char>(bytes[pos]);
    const auto second = static_cast<unsigned char>(bytes[pos + 1]);
    const auto unit = static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    if (unit == 0) break;
    units.push_back(unit);
  }
  if (pos + 1 == bytes.size()) units.push_back(u'\uFFFD');
  std::string utf8;
  utf8.reserve(units.size() * 3);
  for (std::size_t i = 0; i < units.size();) {
    UChar32 c;
    U16_NEXT(units.data(), i, units.size(), c);
    if (U_IS_SURROGATE(c)) c = 0xFFFD;
    char sequence[U8_MAX_LENGTH];
    std::size_t length = 0;
    U8_APPEND_UNSAFE(sequence, length, c);
    utf8.append(sequence, length);
  }
  return Utf8ToGbk(utf8);
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
    if (bytes.starts_with(kUtf16BeMark)) return {Utf16ToGbk(bytes.substr(2), true), "UTF-16BE"};
    if (bytes.starts_with(kUtf16LeMark)) return {Utf16ToGbk(bytes.substr(2), false), "UTF-16LE"};
    if (!detect) return {Utf16ToGbk(bytes, false), "UTF-16LE"};
  }
  if ((detect || encoding == TextEncoding::Utf8) && bytes.starts_with(kUtf8Mark)) {
    bytes.remove_prefix(kUtf8Mark.size());
    encoding = TextEncoding::Utf8;
  }
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  if (encoding == TextEncoding::Auto) {
    if (IsAscii(text)) return {std::string(text), "ASCII"};
    encoding = WeighsAsUtf8(text) ? TextEncoding::Utf8 : TextEncoding::Gbk;
  }
  if (encoding == TextEncoding::Utf8) return {Utf8ToGbk(text), "UTF-8"};
  return {std::string(text), "GBK"};
}

}  // namespace brivano
