#include "extract/qq_extractor.h"
#include "page_fuzzing.h"

using namespace brivano;

// The shortest value of a list ("/12345") takes six bytes of a 4096-byte line.
constexpr std::size_t kMostPerLine = 4096 / 6 + 1;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(
      data, size, ContactKind::QQ, kMostPerLine,
      [](std::string_view value) {
        if (value.size() < 5 || value.size() > 10 || !fuzzing::AllDigits(value) ||
            value.front() == '0') {
          fuzzing::CollectingSink::Fail("not a QQ number", value);
        }
      },
      [](std::string_view) { return true; });
  // A line without a screen word gives nothing: the screen may skip it.
  ForEachTextLine(std::string_view(reinterpret_cast<const char*>(data), size), 4096,
                  [](std::string_view line) {
                    if (FindQQMarkerByte(line) != std::string_view::npos) return;
                    fuzzing::CollectingSink sink(ContactKind::QQ);
                    ExtractQQNumbersFromLine(line, sink);
                    if (!sink.values.empty()) {
                      fuzzing::CollectingSink::Fail("a value on a line the screen skips", line);
                    }
                  });
  return 0;
}
