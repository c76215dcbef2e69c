#include "page_fuzzing.h"
#include "testing/email_steps.h"

using namespace brivano;

namespace {

constexpr ByteClass kAddressChars{"abcdefghijklmnopqrstuvwxyz0123456789-_&."};

void CheckAddress(std::string_view value) {
  const std::size_t at = value.find('@');
  if (at == std::string_view::npos || at == 0 ||
      value.find('@', at + 1) != std::string_view::npos) {
    fuzzing::CollectingSink::Fail("not one @ behind a local part", value);
  }
  const std::string_view local = value.substr(0, at);
  const std::string_view domain = value.substr(at + 1);
  for (std::string_view part : {local, domain}) {
    if (RunLength(part, kAddressChars) != part.size()) {
      fuzzing::CollectingSink::Fail("a byte that is no address character", value);
    }
  }
  const std::size_t dot = domain.find('.');
  if (local.size() > 255 || domain.size() < 5 || domain.size() > 39 ||
      dot == std::string_view::npos || dot < 2 || domain.find(".htm") != std::string_view::npos ||
      domain.find("..") != std::string_view::npos) {
    fuzzing::CollectingSink::Fail("domain or local part out of bounds", value);
  }
}

// A line whose working text starts with an "@" yields nothing; behind a
// character it no longer starts with one. Every other line must not care.
bool StartsWithoutAtSign(std::string_view line) {
  return !line.starts_with('@') && !line.starts_with('#') && !line.starts_with("\xA3\xA3") &&
         !line.starts_with("\xA3\xC0");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(data, size, ContactKind::Email, 10, CheckAddress, StartsWithoutAtSign);
  fuzzing::MatchPlainSteps(data, size, ContactKind::Email, testing::EmailsByPlainSteps);
  return 0;
}
