#include "page_fuzzing.h"
#include "testing/fax_steps.h"

using namespace brivano;

namespace {

// A landline in national form, a service number as written, or a mobile
// number's eleven digits.
void CheckNumber(std::string_view value) {
  constexpr ByteClass kNumberChars{"0123456789-"};
  std::size_t digits = 0;
  for (char c : value) digits += c >= '0' && c <= '9';
  const bool chars = RunLength(value, kNumberChars) == value.size();
  const bool landline =
      value.starts_with('0') && value.size() >= 11 && value.size() <= 13 && digits >= 10;
  const bool service = (value.starts_with("400") || value.starts_with("800")) && digits == 10;
  const bool mobile = value.size() == 11 && digits == 11 && value[0] == '1' && value[1] >= '3';
  if (!chars || !(landline || service || mobile)) {
    fuzzing::CollectingSink::Fail("not a normalised telephone number", value);
  }
}

}  // namespace

// Every number of a 4096-byte line needs a label and a digit.
constexpr std::size_t kMostPerLine = 4096 / 3;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(data, size, ContactKind::Fax, kMostPerLine, CheckNumber,
                    [](std::string_view) { return true; });
  fuzzing::MatchPlainSteps(data, size, ContactKind::Fax, testing::FaxesByPlainSteps);
  return 0;
}
