#include "page_fuzzing.h"

using namespace brivano;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(
      data, size, ContactKind::Mobile, 18,
      [](std::string_view value) {
        static constexpr std::string_view kPrefixes[] = {"13", "14", "15", "17", "18", "19"};
        bool prefixed = false;
        for (std::string_view prefix : kPrefixes) prefixed |= value.starts_with(prefix);
        if (value.size() != 11 || !fuzzing::AllDigits(value) || !prefixed) {
          fuzzing::CollectingSink::Fail("not a mobile number", value);
        }
      },
      [](std::string_view) { return true; });
  return 0;
}
