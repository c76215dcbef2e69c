#include "extract/email_extractor.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <array>
#include <utility>
#include <vector>

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

// The steps in GBK, sorted by the length of their pattern: a single-byte
// pattern becomes an entry of a byte translation, which also lowers ASCII
// capitals; a double-byte one is compared as a pair.
struct WorkingTextSteps {
  std::array<char, 256> single;
  std::vector<std::pair<std::string, std::string>> pairs;
};

const WorkingTextSteps& AtSignSteps() {
  static const WorkingTextSteps steps = [] {
    WorkingTextSteps t;
    for (int b = 0; b < 256; ++b) {
      t.single[b] = static_cast<char>((b >= 'A' && b <= 'Z') ? b - 'A' + 'a' : b);
    }
    for (const ReplaceRow& row : kAtSignSteps) {
      const std::string pattern = Utf8ToGbk(row.pattern);
      const std::string replacement = Utf8ToGbk(row.replacement);
      // Every step replaces one character by one byte.
      if (pattern.size() == 1) {
        t.single[static_cast<unsigned char>(pattern[0])] = replacement.at(0);
      } else {
        t.pairs.emplace_back(pattern.substr(0, 2), replacement);
      }
    }
    return t;
  }();
  return steps;
}

// The line with its ASCII capitals lowered and then the steps applied. Each
// step replaces one whole character by one, so a single walk over the
// characters of the line, translating as it goes, gives what lowering and the
// steps give one after the other: no step can make or break a match of a
// later one. (In broken GBK a "#" right behind a stray first byte becomes an
// "@" that pairs with that byte, either way; the search below sees the pair.)
std::string WorkingText(std::string_view line) {
  const WorkingTextSteps& steps = AtSignSteps();
  std::string work;
  work.reserve(line.size());
  for (std::size_t pos = 0; pos < line.size();) {
    if (GbkCharLength(line, pos) == 1) {
      work += steps.single[static_cast<unsigned char>(line[pos])];
      ++pos;
      continue;
    }
    const std::string* replacement = nullptr;
    for (const auto& [pattern, with] : steps.pairs) {
      if (line[pos] == pattern[0] && line[pos + 1] == pattern[1]) replacement = &with;
    }
    if (replacement != nullptr) {
      work += *replacement;
    } else {
      work.append(line.data() + pos, 2);
    }
    pos += 2;
  }
  return work;
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

std::size_t FindEmailMarkerByte(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  auto marker = [&](std::size_t at) {
    return bytes[at] == '@' || bytes[at] == '#' ||
           (bytes[at] == 0xA3 && at + 1 < size && bytes[at + 1] == 0xA3);
  };
  std::size_t at = 0;
#ifdef __SSE2__
  if (size >= 17) {
    const __m128i atSign = _mm_set1_epi8('@');
    const __m128i numberSign = _mm_set1_epi8('#');
    const __m128i fullWidth = _mm_set1_epi8(static_cast<char>(0xA3));
    // Sixteen first bytes at a time, each with the byte after it; the last
    // block overlaps the one before, and the last byte is looked at alone.
    for (std::size_t block = 0;; block += 16) {
      if (block + 17 > size) block = size - 17;
      const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block));
      const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block + 1));
      const __m128i hit = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(first, atSign), _mm_cmpeq_epi8(first, numberSign)),
          _mm_and_si128(_mm_cmpeq_epi8(first, fullWidth), _mm_cmpeq_epi8(second, fullWidth)));
      if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
        return block + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
      }
      if (block + 17 == size) break;
    }
    at = size - 1;
  }
#endif
  for (; at < size; ++at) {
    if (marker(at)) return at;
  }
  return std::string_view::npos;
}

void ExtractEmailsFromLine(std::string_view line, BuyerSink& sink) {
  // Most lines of a page hold no marker at all.
  if (FindEmailMarkerByte(line) == std::string_view::npos) return;
  const std::string work = WorkingText(line);

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
