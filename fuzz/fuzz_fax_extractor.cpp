#include "page_fuzzing.h"

using namespace brivano;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(
      data, size, ContactKind::Fax, 1,
      [](std::string_view value) {
        constexpr ByteClass kNumberChars{"0123456789-"};
        if (value.size() < 11 || value.size() > 13 || !value.starts_with('0') ||
            RunLength(value, kNumberChars) != value.size() ||
            value.find_first_of("0123456789", 1) == std::string_view::npos) {
          fuzzing::CollectingSink::Fail("not a normalised fax number", value);
        }
      },
      [](std::string_view) { return true; });
  return 0;
}
