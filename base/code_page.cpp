#include "base/code_page.h"

#include <unicode/ucnv.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

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

}  // namespace

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

}  // namespace brivano
