#include "visit/page_charset.h"

#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>

#include <algorithm>
#include <climits>
#include <memory>

#include "base/code_page.h"
#include "base/text_encoding.h"
#include "base/text_search.h"
#include "search/declared_charset.h"
#include "visit/encoding_labels.h"

namespace brivano {
namespace {

// Browsers look for the <meta> tag this far into the page (the HTML standard's
// prescan reads 1024 bytes; heads with long scripts before it need more).
constexpr std::size_t kMetaWindow = 4 * 1024;
// Enough text for the detector to judge; more only costs time.
constexpr std::size_t kDetectWindow = 64 * 1024;

constexpr std::string_view kGb18030 = "gb18030";
constexpr std::string_view kUtf8 = "utf-8";
// Encodings browsers refuse to decode (HZ, ISO-2022-KR, ...): the page reads as
// one U+FFFD, so that no text hides in them.
constexpr std::string_view kReplacement = "replacement";

bool IsGbkFamily(std::string_view name) {
  constexpr std::string_view kNames[] = {"gb2312", "gbk", "x-gbk", "cp936", "gb18030"};
  return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

// The decoder for a declared or detected name, as browsers choose it: the
// Encoding Standard's encoding of the label ("gb2312" and "gbk" pages read as
// GB18030, their superset; "iso-8859-1" as windows-1252), empty for a label
// the standard does not list (a page that says "utf-32" or "utf-7" on ASCII
// bytes is read as if it had said nothing) and for one ICU cannot decode.
std::string CanonicalCharset(std::string_view declared) {
  std::string name(WhatwgEncodingOfLabel(declared));
  if (name.empty()) return {};
  if (IsGbkFamily(name)) return std::string(kGb18030);
  if (name == kReplacement) return name;
  if (name == "iso-8859-8-i") name = "iso-8859-8";
  // ASCII as ASCII; the upper half is a private area in browsers, and says
  // nothing of a contact here.
  if (name == "x-user-defined") name = "windows-1252";
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(name.c_str(), &status);
  if (U_FAILURE(status) || converter == nullptr) return {};
  ucnv_close(converter);
  return name;
}

// The charset parameter of a Content-Type header value, quoted or not.
std::string HeaderCharset(std::string_view contentType) {
  const std::string lower = LowerAscii(contentType);
  for (std::size_t at = lower.find("charset"); at != std::string::npos;
       at = lower.find("charset", at + 7)) {
    std::size_t i = at + 7;
    while (i < lower.size() && lower[i] == ' ') ++i;
    if (i >= lower.size() || lower[i] != '=') continue;
    ++i;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '"' || lower[i] == '\'')) ++i;
    const std::size_t end = lower.find_first_of(" \t;\"',", i);
    return lower.substr(i, end == std::string::npos ? std::string::npos : end - i);
  }
  return {};
}

// The detector's answer when it names a charset we decode; it also names
// Latin and other CJK code pages, which on the short pages of Chinese
// companies are mostly a misreading of GBK, and UTF-16 on weak evidence
// (a UTF-16 page without a mark or a header is rarer than an 8-bit page the
// detector misjudges).
std::string DetectedCharset(std::string_view bytes) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UCharsetDetector, decltype(&ucsdet_close)> detector(ucsdet_open(&status),
                                                                      &ucsdet_close);
  if (U_FAILURE(status)) return {};
  const std::string_view sample = bytes.substr(0, kDetectWindow);
  ucsdet_enableInputFilter(detector.get(), true);  // markup says nothing of the charset
  ucsdet_setText(detector.get(), sample.data(), static_cast<int32_t>(sample.size()), &status);
  const UCharsetMatch* match = ucsdet_detect(detector.get(), &status);
  if (U_FAILURE(status) || match == nullptr) return {};
  const char* name = ucsdet_getName(match, &status);
  if (U_FAILURE(status) || name == nullptr) return {};
  const std::string canonical = CanonicalCharset(name);
  constexpr std::string_view kTrusted[] = {kGb18030, "big5", kUtf8};
  if (std::find(std::begin(kTrusted), std::end(kTrusted), canonical) == std::end(kTrusted)) {
    return {};
  }
  // The detector forgives a few bad sequences; a page we call UTF-8 must be it.
  if (canonical == kUtf8 && !IsValidUtf8(bytes)) return {};
  return canonical;
}

// A declaration the bytes contradict: UTF-8 on GBK bytes, GBK on UTF-8
// Chinese. Sites copy templates and keep their meta tags. The weighing, not
// validity alone, decides, as short GBK texts can be valid UTF-8.
std::string Overruled(std::string charset, std::string_view bytes) {
  if (charset == kUtf8 && !IsValidUtf8(bytes) && !WeighsAsUtf8(bytes)) return std::string(kGb18030);
  if (charset == kGb18030 && ReadsAsUtf8(bytes) && WeighsAsUtf8(bytes)) return std::string(kUtf8);
  return charset;
}

std::string ToUtf8(std::string_view bytes, const std::string& charset) {
  if (bytes.empty()) return {};
  // ICU counts in int32_t; a page this large is cut rather than refused.
  const std::string_view source = bytes.substr(0, INT32_MAX / 4);
  const char* from = charset == kGb18030 ? "GB18030" : charset.c_str();
  std::string out(source.size() * 3 + 16, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length =
        ucnv_convert("UTF-8", from, out.data(), static_cast<int32_t>(out.size()), source.data(),
                     static_cast<int32_t>(source.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR && length > 0) {
      out.assign(static_cast<std::size_t>(length) + 1, '\0');
      continue;
    }
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<std::size_t>(length));
    return out;
  }
  return {};
}

}  // namespace

DecodedPage DecodePage(std::string_view bytes, std::string_view contentType) {
  std::string charset;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    charset = kUtf8;
  } else if (bytes.starts_with("\xFF\xFE")) {
    bytes.remove_prefix(2);
    charset = "utf-16le";
  } else if (bytes.starts_with("\xFE\xFF")) {
    bytes.remove_prefix(2);
    charset = "utf-16be";
  } else {
    charset = CanonicalCharset(HeaderCharset(contentType));
    if (charset.empty()) {
      charset = CanonicalCharset(DeclaredCharset(bytes.substr(0, kMetaWindow)));
      // A page whose meta tag we could read as ASCII is not UTF-16, whatever
      // the tag says (browsers read it as UTF-8 too).
      if (charset.starts_with("utf-16")) charset = kUtf8;
    }
    if (!charset.empty()) charset = Overruled(std::move(charset), bytes);
    if (charset.empty()) charset = DetectedCharset(bytes);
    if (charset.empty()) charset = IsValidUtf8(bytes) ? kUtf8 : kGb18030;
  }
  DecodedPage page;
  page.utf8 =
      charset == kReplacement ? (bytes.empty() ? "" : "\xEF\xBF\xBD") : ToUtf8(bytes, charset);
  // A browser drops a NUL and reads on; kept, it would end the page's text.
  std::erase(page.utf8, '\0');
  page.charset = std::move(charset);
  return page;
}

}  // namespace brivano
