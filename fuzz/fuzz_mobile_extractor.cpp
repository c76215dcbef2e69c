#include "extract/mobile_extractor.h"
#include "page_fuzzing.h"
#include "testing/mobile_steps.h"

using namespace brivano;

// A number and the byte that ends it take twelve bytes of a 4096-byte line.
constexpr std::size_t kMostPerLine = 4096 / 12 + 1;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(
      data, size, ContactKind::Mobile, kMostPerLine,
      [](std::string_view value) {
        if (value.size() != 11 || !fuzzing::AllDigits(value) || value[0] != '1' || value[1] < '3') {
          fuzzing::CollectingSink::Fail("not a mobile number", value);
        }
      },
      [](std::string_view) { return true; });
  fuzzing::MatchPlainSteps(data, size, ContactKind::Mobile, [](std::string_view line) {
    // A line that the screen passes over is never read.
    std::vector<std::string> numbers = testing::MobilesByPlainSteps(line);
    if (!numbers.empty() && FindMobileMarkerByte(line) == std::string_view::npos) {
      fuzzing::CollectingSink::Fail("the screen passes over a number", line);
    }
    return numbers;
  });
  return 0;
}
