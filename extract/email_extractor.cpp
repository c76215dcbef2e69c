#include "extract/email_extractor.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
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
// Page lines are cut at 4096 bytes; their working text fits on the stack.
constexpr std::size_t kStackWorkBytes = 4096;

// Number signs written in place of the "@", turned into it before the search.
constexpr ReplaceRow kAtSignSteps[] = {
    {"#", "@"},   // 1
    {"＃", "@"},  // 2
};

// The steps in GBK as lookup tables: a single-byte pattern becomes an entry
// of a byte translation that also lowers ASCII capitals; a double-byte one is
// compared as a 16-bit pair.
struct WorkingTextSteps {
  struct PairStep {
    std::uint16_t pattern;
    std::string replacement;
  };
  std::array<unsigned char, 256> single;
  std::vector<PairStep> pairs;
};

std::uint16_t PairCode(unsigned char first, unsigned char second) {
  return static_cast<std::uint16_t>(first << 8 | second);
}

const WorkingTextSteps& AtSignSteps() {
  static const WorkingTextSteps steps = [] {
    WorkingTextSteps t;
    for (int b = 0; b < 256; ++b) {
      t.single[b] = static_cast<unsigned char>((b >= 'A' && b <= 'Z') ? b - 'A' + 'a' : b);
    }
    for (const ReplaceRow& row : kAtSignSteps) {
      const std::string pattern = Utf8ToGbk(row.pattern);
      const std::string replacement = Utf8ToGbk(row.replacement);
      // The working text is written into a buffer as long as the line, and
      // the walk below relies on one character becoming one.
      if (replacement.size() != 1 || pattern.empty() || pattern.size() > 2) {
        throw std::logic_error("an at-sign step must turn one character into one byte");
      }
      const auto first = static_cast<unsigned char>(pattern[0]);
      if (pattern.size() == 1) {
        t.single[first] = static_cast<unsigned char>(replacement[0]);
      } else {
        t.pairs.push_back({PairCode(first, static_cast<unsigned char>(pattern[1])), replacement});
      }
    }
    return t;
  }();
  return steps;
}

bool StartsPair(const unsigned char* text, std::size_t pos, std::size_t end) {
  return IsGbkLeadByte(text[pos]) && pos + 1 < end && IsGbkTrailByte(text[pos + 1]);
}

// Writes the line with its ASCII capitals lowered and then the steps applied
// to `out` (room for line.size() bytes) and returns its length. Each step
// replaces one whole character by one byte, so a single walk over the
// characters of the line, translating as it goes, gives what lowering and the
// steps give one after the other: no step can make or break a match of a
// later one. (In broken GBK a "#" right behind a stray first byte becomes an
// "@" that pairs with that byte, either way; the search below sees the pair.)
std::size_t WriteWorkingText(std::string_view line, unsigned char* out) {
  const WorkingTextSteps& steps = AtSignSteps();
  const auto* in = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  std::size_t written = 0;
  for (std::size_t pos = 0; pos < size;) {
    if (!StartsPair(in, pos, size)) {
      out[written++] = steps.single[in[pos++]];
      continue;
    }
    const std::uint16_t code = PairCode(in[pos], in[pos + 1]);
    const WorkingTextSteps::PairStep* step = nullptr;
    for (const auto& candidate : steps.pairs) {
      if (candidate.pattern == code) step = &candidate;
    }
    if (step != nullptr) {
      out[written++] = static_cast<unsigned char>(step->replacement[0]);
    } else {
      out[written++] = in[pos];
      out[written++] = in[pos + 1];
    }
    pos += 2;
  }
  return written;
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

// The passes over a working text `work` of `size` bytes.
void HarvestWorkingText(const unsigned char* work, std::size_t size, BuyerSink& sink) {
  const auto view = [work](std::size_t begin, std::size_t end) {
    return std::string_view(reinterpret_cast<const char*>(work) + begin, end - begin);
  };
  // The remaining text of the passes, [restBegin, restEnd). It always starts
  // on a character boundary: at the line's start, then right behind a domain
  // run, which ends before any double-byte character.
  std::size_t restBegin = 0;
  std::size_t restEnd = size;
  for (int pass = 0; pass < kPassesPerLine; ++pass) {
    // One forward walk, character by character, finds the first "@" that is
    // a character of its own and where the run of address characters in
    // front of it begins. GBK cannot be walked backward, and a letter, "_" or
    // "@" may be the second byte of a Chinese character: such a character is
    // stepped over whole, and its first byte (0x81 and up) ends the run.
    std::size_t at = restEnd;
    std::size_t localBegin = restBegin;
    for (std::size_t pos = restBegin; pos < restEnd;) {
      const unsigned char c = work[pos];
      if (c == '@') {
        at = pos;
        break;
      }
      if (StartsPair(work, pos, restEnd)) {
        pos += 2;
        localBegin = pos;
        continue;
      }
      ++pos;
      if (!kAddressChars.Contains(c)) localBegin = pos;
    }
    if (at == restEnd || at == restBegin) return;

    std::string_view local = view(localBegin, at).substr(0, kTailBytes);
    const std::size_t afterEnd = std::min(restEnd, at + 1 + kTailBytes);
    std::size_t domainEnd = at + 1;
    while (domainEnd < afterEnd && kAddressChars.Contains(work[domainEnd])) ++domainEnd;
    std::string_view domain = view(at + 1, domainEnd);
    restBegin = domainEnd;
    restEnd = afterEnd;

    local = StripEdges(local);
    domain = StripEdges(domain);
    if (const std::size_t dots = local.find(".."); dots != std::string_view::npos) {
      local.remove_prefix(dots + 2);
    }
    if (const std::size_t dots = domain.find(".."); dots != std::string_view::npos) {
      domain = domain.substr(0, dots);
    }
    if (local.empty() || !LooksLikeHostName(domain)) continue;

    char address[kTailBytes + 1 + kMaxDomainBytes];
    std::copy(local.begin(), local.end(), address);
    address[local.size()] = '@';
    std::copy(domain.begin(), domain.end(), address + local.size() + 1);
    sink.AddBuyerItem(std::string_view(address, local.size() + 1 + domain.size()),
                      ContactKind::Email);
  }
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
  unsigned char onStack[kStackWorkBytes];
  std::string onHeap;
  unsigned char* work = onStack;
  if (line.size() > kStackWorkBytes) {
    onHeap.resize(line.size());
    work = reinterpret_cast<unsigned char*>(onHeap.data());
  }
  HarvestWorkingText(work, WriteWorkingText(line, work), sink);
}

void ExtractEmails(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractEmailsFromLine(line, sink);
}

}  // namespace brivano
