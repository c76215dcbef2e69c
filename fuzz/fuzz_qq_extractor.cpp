#include "page_fuzzing.h"
#include "testing/qq_steps.h"

using namespace brivano;

// The shortest value of a list ("/12345") takes six bytes of a 4096-byte line.
constexpr std::size_t kMostPerLine = 4096 / 6 + 1;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(
      data, size, ContactKind::QQ, kMostPerLine,
      [](std::string_view value) {
        if (value.size() < 5 || value.size() > 10 || !fuzzing::AllDigits(value)) {
          fuzzing::CollectingSink::Fail("not a QQ number", value);
        }
      },
      [](std::string_view) { return true; });
  fuzzing::MatchPlainSteps(data, size, ContactKind::QQ, testing::QQNumbersByPlainSteps);
  return 0;
}
