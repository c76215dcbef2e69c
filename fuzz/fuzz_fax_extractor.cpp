#include "page_fuzzing.h"

using namespace brivano;

namespace {

bool IsNumberChars(std::string_view value) {
  constexpr ByteClass kNumberChars{"0123456789-"};
  return RunLength(value, kNumberChars) == value.size() && !value.starts_with('-') &&
         !value.ends_with('-') && value.find("--") == std::string_view::npos;
}

std::size_t DigitCount(std::string_view value) {
  std::size_t digits = 0;
  for (char c : value) digits += c >= '0' && c <= '9';
  return digits;
}

// A landline in national form, a service number as written, a mobile
// number's eleven digits, a local number as written, or a foreign number
// behind its country code.
void CheckNumber(std::string_view value) {
  bool good = false;
  if (value.starts_with('+')) {
    const std::size_t dash = value.find('-');
    const std::string_view code = value.substr(1, dash == std::string_view::npos ? 0 : dash - 1);
    const std::string_view rest =
        value.substr(code.size() + 2 > value.size() ? value.size() : code.size() + 2);
    const std::size_t digits = DigitCount(rest);
    good = (code == "852" || code == "853" || code == "886") && IsNumberChars(rest) &&
           digits >= 8 && digits <= 9;
  } else if (IsNumberChars(value)) {
    const std::size_t digits = DigitCount(value);
    const bool service =
        (value.starts_with("400") || value.starts_with("800") || value.starts_with("0800")) &&
        digits == 10;
    const bool landline = value.starts_with('0') && digits >= 9 && digits <= 12;
    const bool mobile = value.size() == 11 && digits == 11 && value[0] == '1' && value[1] >= '3';
    const bool local = value[0] >= '2' && value[0] <= '9' && digits >= 7 && digits <= 8;
    good = service || landline || mobile || local;
  }
  if (!good) fuzzing::CollectingSink::Fail("not a normalised telephone number", value);
}

}  // namespace

// Every number of a 4096-byte line needs a label and a digit.
constexpr std::size_t kMostPerLine = 4096 / 3;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(data, size, ContactKind::Fax, kMostPerLine, CheckNumber,
                    [](std::string_view) { return true; });
  fuzzing::PageMatchesItsLines(data, size, ContactKind::Fax);
  return 0;
}
