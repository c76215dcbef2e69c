// Shared by the extractor fuzz targets: the input is one loaded page, split
// into lines as the page step splits it, and every line goes through the
// extractor twice: as it is, and behind one whole Chinese character. Every
// value must have its kind's form, and the character in front must change
// nothing, since no extractor counts positions from the start of a line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/buyer_list.h"
#include "base/text.h"
#include "extract/extractors.h"

namespace brivano::fuzzing {

class CollectingSink : public BuyerSink {
 public:
  explicit CollectingSink(ContactKind kind) : kind_(kind) {}
  void AddBuyerItem(std::string_view value, ContactKind kind) override {
    if (kind != kind_) Fail("value of the wrong kind", value);
    values.emplace_back(value);
  }
  [[noreturn]] static void Fail(const char* what, std::string_view value) {
    std::fprintf(stderr, "%s: \"%.*s\"\n", what, static_cast<int>(value.size()), value.data());
    std::abort();
  }
  std::vector<std::string> values;

 private:
  ContactKind kind_;
};

// "中" in GBK: a complete double-byte character with no marker in it.
inline constexpr std::string_view kWholeCharacter = "\xD6\xD0";

// check(value) aborts on a malformed value; maxPerLine bounds the values of
// one line; prefixInvariant(line) says whether the character in front may be
// expected to change nothing for this line.
template <typename Check, typename PrefixInvariant>
void FuzzPage(const std::uint8_t* data, std::size_t size, ContactKind kind, std::size_t maxPerLine,
              Check check, PrefixInvariant prefixInvariant) {
  const LineExtractor extract = LineExtractorFor(kind);
  if (extract == nullptr) std::abort();
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  std::string prefixed;
  ForEachTextLine(page, 4096, [&](std::string_view line) {
    CollectingSink plain(kind);
    extract(line, plain);
    if (plain.values.size() > maxPerLine) CollectingSink::Fail("too many values", line);
    for (const std::string& value : plain.values) {
      for (char c : value) {
        if (static_cast<unsigned char>(c) >= 0x80) CollectingSink::Fail("non-ASCII byte", value);
      }
      check(value);
    }
    if (!prefixInvariant(line)) return;
    prefixed.assign(kWholeCharacter).append(line);
    CollectingSink shifted(kind);
    extract(prefixed, shifted);
    if (shifted.values != plain.values) CollectingSink::Fail("a character in front changed", line);
  });
}

// Every line of the page must give what `plainSteps(line)` gives: the
// extractor's steps done one after the other on a copy of the line.
template <typename PlainSteps>
void MatchPlainSteps(const std::uint8_t* data, std::size_t size, ContactKind kind,
                     PlainSteps plainSteps) {
  const LineExtractor extract = LineExtractorFor(kind);
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  ForEachTextLine(page, 4096, [&](std::string_view line) {
    CollectingSink sink(kind);
    extract(line, sink);
    if (sink.values != plainSteps(line)) CollectingSink::Fail("differs from the plain steps", line);
  });
}

// The page's values hold every line's own values in their order: a kind
// whose label may stand on the line above its value adds the values below
// such labels and drops none; any other kind gives exactly the lines' values.
inline void PageMatchesItsLines(const std::uint8_t* data, std::size_t size, ContactKind kind) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = SplitTextLines(page);
  CollectingSink whole(kind);
  ExtractPage(kind, lines, whole);
  CollectingSink own(kind);
  const LineExtractor extract = LineExtractorFor(kind);
  for (const std::string& line : lines) extract(line, own);
  std::size_t matched = 0;
  for (const std::string& value : whole.values) {
    if (matched < own.values.size() && value == own.values[matched]) ++matched;
  }
  if (matched != own.values.size()) CollectingSink::Fail("a line's value is missing", page);
  if (LabelAboveValueFor(kind) == nullptr && whole.values != own.values) {
    CollectingSink::Fail("values beside the lines' own", page);
  }
}

inline bool AllDigits(std::string_view value) {
  for (char c : value) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace brivano::fuzzing
