#include <algorithm>

#include "extract/email_extractor.h"
#include "page_fuzzing.h"
#include "testing/email_steps.h"

using namespace brivano;

namespace {

constexpr ByteClass kLocalChars{"abcdefghijklmnopqrstuvwxyz0123456789-_&.+"};
constexpr ByteClass kHostChars{"abcdefghijklmnopqrstuvwxyz0123456789-_."};
// An address and the byte that ends it take at least eight bytes of a
// 4096-byte line ("a@ab.cn;").
constexpr std::size_t kMostPerLine = 4096 / 8 + 1;

void CheckAddress(std::string_view value) {
  const std::size_t at = value.find('@');
  if (at == std::string_view::npos || at == 0 ||
      value.find('@', at + 1) != std::string_view::npos) {
    fuzzing::CollectingSink::Fail("not one @ behind a local part", value);
  }
  const std::string_view local = value.substr(0, at);
  const std::string_view host = value.substr(at + 1);
  if (RunLength(local, kLocalChars) != local.size() || RunLength(host, kHostChars) != host.size()) {
    fuzzing::CollectingSink::Fail("a byte that is no address character", value);
  }
  const std::size_t dot = host.find('.');
  if (local.size() > 64 || host.size() < 5 || host.size() > 253 || dot == std::string_view::npos ||
      dot < 2 || host.find(".htm") != std::string_view::npos ||
      host.find("..") != std::string_view::npos) {
    fuzzing::CollectingSink::Fail("host or local part out of bounds", value);
  }
  for (std::size_t begin = 0; begin <= host.size();) {
    const std::size_t end = std::min(host.find('.', begin), host.size());
    if (end - begin > 63) fuzzing::CollectingSink::Fail("a label over 63 bytes", value);
    begin = end + 1;
  }
}

// What the extractor gives on the line made of whole characters.
std::vector<std::string> ByCharacters(std::string_view line) {
  fuzzing::CollectingSink sink(ContactKind::Email);
  ExtractEmailsFromLine(testing::EmailLineByCharacters(line), sink);
  // A line that the screen passes over is never read.
  if (!sink.values.empty() && FindEmailMarkerByte(line) == std::string_view::npos) {
    fuzzing::CollectingSink::Fail("the screen passes over an address", line);
  }
  return sink.values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzPage(data, size, ContactKind::Email, kMostPerLine, CheckAddress,
                    [](std::string_view) { return true; });
  fuzzing::MatchPlainSteps(data, size, ContactKind::Email, ByCharacters);
  return 0;
}
