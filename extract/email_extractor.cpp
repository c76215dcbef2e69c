#include "extract/email_extractor.h"

#include <cstring>

#include "extract/text.h"

namespace brivano {
namespace {

constexpr ByteClass kAddressChars{"abcdefghijklmnopqrstuvwxyz0123456789-_&."};
constexpr ByteClass kEdgeChars{"-_&."};
constexpr int kPassesPerLine = 10;
constexpr int kStripRounds = 10;
constexpr std::size_t kTailBytes = 255;
constexpr std::size_t kMinDomainBytes = 5;
constexpr std::size_t kMaxDomainBytes = 39;
// A host name needs at least two bytes in front of its first dot.
constexpr std::size_t kMinFirstDotIndex = 2;
constexpr std::string_view kWebPageSuffix = ".htm";

// Number signs written in place of the "@", turned into it before the search.
constexpr ReplaceRow kAtSignSteps[] = {
    {"#", "@"},   // 1
    {"＃", "@"},  // 2
};

const ReplaceTable& AtSignSteps() {
  static const ReplaceTable table(kAtSignSteps);
  return table;
}

// Without an "@", a "#" or a byte of "＃" no step can yield anything, and most
// lines of a page have none of them.
bool MayHoldAddress(std::string_view line) {
  return std::memchr(line.data(), '@', line.size()) != nullptr ||
         std::memchr(line.data(), '#', line.size()) != nullptr ||
         std::memchr(line.data(), '\xA3', line.size()) != nullptr;
}

// Drops edge characters from both ends, one from each end per round: a long
// run of them (eleven leading dashes) keeps what the rounds do not reach.
std::string_view StripEdges(std::string_view part) {
  for (int round = 0; round < kStripRounds; ++round) {
    if (!part.empty() && kEdgeChars.Contains(static_cast<unsigned char>(part.front()))) {
      part.remove_prefix(1);
    }
    if (!part.empty() && kEdgeChars.Contains(static_cast<unsigned char>(part.back()))) {
      part.remove_suffix(1);
    }
  }
  return part;
}

bool LooksLikeHostName(std::string_view domain) {
  if (domain.size() < kMinDomainBytes || domain.size() > kMaxDomainBytes) return false;
  const std::size_t dot = domain.find('.');
  if (dot == std::string_view::npos || dot < kMinFirstDotIndex) return false;
  return domain.find(kWebPageSuffix) == std::string_view::npos;
}

}  // namespace

void ExtractEmailsFromLine(std::string_view line, BuyerSink& sink) {
  if (!MayHoldAddress(line)) return;
  std::string work = LowerAscii(line);
  AtSignSteps().Apply(work);

  // `rest` always starts on a character boundary of `work`: at the line's
  // start, then right behind a domain run, which ends before any double-byte
  // character.
  std::string_view rest = work;
  for (int pass = 0; pass < kPassesPerLine; ++pass) {
    // One forward walk, character by character, finds the first "@" that is
    // a character of its own and where the run of address characters in
    // front of it begins. GBK cannot be walked backward, and a letter, "_" or
    // "@" may be the second byte of a Chinese character: such a character is
    // stepped over whole, and its first byte (0x81 and up) ends the run.
    std::size_t at = std::string_view::npos;
    std::size_t localBegin = 0;
    for (std::size_t pos = 0; pos < rest.size();) {
      const auto first = static_cast<unsigned char>(rest[pos]);
      if (first == '@') {
        at = pos;
        break;
      }
      pos += GbkCharLength(rest, pos);
      if (!kAddressChars.Contains(first)) localBegin = pos;
    }
    if (at == std::string_view::npos || at == 0) return;

    std::string_view local = rest.substr(localBegin, at - localBegin).substr(0, kTailBytes);
    const std::string_view after = CutTo(rest.substr(at + 1), kTailBytes);
    std::string_view domain = after.substr(0, RunLength(after, kAddressChars));
    rest = after.substr(domain.size());

    local = StripEdges(local);
    domain = StripEdges(domain);
    if (const std::size_t dots = local.find(".."); dots != std::string_view::npos) {
      local.remove_prefix(dots + 2);
    }
    if (const std::size_t dots = domain.find(".."); dots != std::string_view::npos) {
      domain = domain.substr(0, dots);
    }
    if (local.empty() || !LooksLikeHostName(domain)) continue;

    std::string address;
    address.reserve(local.size() + 1 + domain.size());
    address.append(local).append(1, '@').append(domain);
    sink.AddBuyerItem(address, ContactKind::Email);
  }
}

void ExtractEmails(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractEmailsFromLine(line, sink);
}

}  // namespace brivano
