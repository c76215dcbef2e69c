#include "extract/email_extractor.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BRIVANO_EMAIL_AVX2 1
#endif

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <string>

#include "base/text.h"

namespace brivano {
namespace {

constexpr ByteClass kEdgeChars{"-_&."};
constexpr int kPassesPerLine = 10;
constexpr int kStripRounds = 10;
constexpr std::size_t kTailBytes = 255;
constexpr std::size_t kMinDomainBytes = 5;
constexpr std::size_t kMaxDomainBytes = 39;
// A host name needs at least two bytes in front of its first dot.
constexpr std::size_t kMinFirstDotIndex = 2;
constexpr std::string_view kWebPageSuffix = ".htm";
constexpr std::size_t kMinTopLevelBytes = 2;
constexpr ByteClass kLetters{"abcdefghijklmnopqrstuvwxyz"};
constexpr std::string_view kFileExtensions[] = {"png",  "jpg", "jpeg", "gif",
                                                "webp", "svg", "css",  "js"};

// Bytes that are address characters once the line is lowered.
constexpr ByteClass kAddressOrCapital{
    "abcdefghijklmnopqrstuvwxyz0123456789-_&.ABCDEFGHIJKLMNOPQRSTUVWXYZ"};

// Number signs written in place of the "@": before the search, the line is
// lowered and these become "@", in this order.
constexpr ReplaceRow kAtSignSteps[] = {
    {"#", "@"},   // 1
    {"＃", "@"},  // 2
    {"＠", "@"},  // 3
};

// The extractor works on the line in place, so the steps are not run: the
// screen looks for their patterns' bytes (and "@" itself), and IsAtSign
// decides which of its hits the steps would turn into a character "@".
constexpr unsigned char kNumberSign = '#';
// "＃" is A3 A3 and "＠" A3 C0: both begin with the same byte.
constexpr unsigned char kFullWidthLead = 0xA3;
constexpr unsigned char kFullWidthNumberSign = 0xA3;
constexpr unsigned char kFullWidthAtSign = 0xC0;

// The patterns above are what the screen looks for, and each step turns one
// character into one "@"; checked once, so that the table and the screen
// cannot drift apart.
void CheckScreenKnowsTheSteps() {
  static const bool agrees = [] {
    const std::string screened[] = {
        std::string(1, static_cast<char>(kNumberSign)),
        {static_cast<char>(kFullWidthLead), static_cast<char>(kFullWidthNumberSign)},
        {static_cast<char>(kFullWidthLead), static_cast<char>(kFullWidthAtSign)}};
    if (std::size(kAtSignSteps) != std::size(screened)) return false;
    for (std::size_t i = 0; i < std::size(screened); ++i) {
      if (Utf8ToGbk(kAtSignSteps[i].pattern) != screened[i] || kAtSignSteps[i].replacement != "@") {
        return false;
      }
    }
    return true;
  }();
  if (!agrees) throw std::logic_error("the e-mail screen does not match the number-sign steps");
}

// How many bytes that may begin a double-byte character (0x81 to 0xFE) stand
// right before `pos`, counted back to `floor`, a character boundary.
//
// A byte outside that range always ends a character, so the bytes of such a
// run pair up from its start (each of them is also a valid second byte): with
// an even count `pos` begins a character, with an odd one the run's last byte
// is a first byte waiting for the byte at `pos`.
std::size_t LeadRangeRunBefore(const unsigned char* bytes, std::size_t floor, std::size_t pos) {
  std::size_t run = 0;
  while (pos - run > floor && IsGbkLeadByte(bytes[pos - run - 1])) ++run;
  return run;
}

// Whether the screen's hit at `at` (an "@", a "#", or A3 A3), with `floor` a
// character boundary at or before it, is an "@" of the working text: the
// marker must begin a character. For "@" and "＃" that is plain. A "#" behind
// a lone first byte begins a character of the line, but once it is an "@" it
// pairs with that byte, so it is no "@" either: the same even count decides.
bool IsAtSign(const unsigned char* bytes, std::size_t floor, std::size_t at) {
  return LeadRangeRunBefore(bytes, floor, at) % 2 == 0;
}

// Copies `part` lowered, as the working text holds it.
std::string_view LowerInto(std::string_view part, char* out) {
  for (std::size_t i = 0; i < part.size(); ++i) {
    const auto b = static_cast<unsigned char>(part[i]);
    out[i] = static_cast<char>((b >= 'A' && b <= 'Z') ? b + ('a' - 'A') : b);
  }
  return {out, part.size()};
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
  if (domain.find(kWebPageSuffix) != std::string_view::npos) return false;
  // A top-level domain is letters, never a number ("12#301.5" is a room);
  // and one that is a file extension names a picture or a style sheet drawn
  // at a scale ("logo@2x.png"), not a mail host.
  const std::string_view last = domain.substr(domain.rfind('.') + 1);
  if (last.size() < kMinTopLevelBytes || RunLength(last, kLetters) != last.size()) return false;
  return std::find(std::begin(kFileExtensions), std::end(kFileExtensions), last) ==
         std::end(kFileExtensions);
}

// The screen without wide registers: sixteen first bytes at a time, each
// with the byte after it; the last block overlaps the one before, and the
// last byte is looked at alone. With kStopAtNul a NUL byte is a hit too.
template <bool kStopAtNul>
std::size_t FindMarkerSse2(const unsigned char* bytes, std::size_t size) {
  auto marker = [&](std::size_t at) {
    return bytes[at] == '@' || bytes[at] == kNumberSign || (kStopAtNul && bytes[at] == 0) ||
           (bytes[at] == kFullWidthLead && at + 1 < size &&
            (bytes[at + 1] == kFullWidthNumberSign || bytes[at + 1] == kFullWidthAtSign));
  };
  std::size_t at = 0;
#ifdef __SSE2__
  if (size >= 17) {
    const __m128i atSign = _mm_set1_epi8('@');
    const __m128i numberSign = _mm_set1_epi8(static_cast<char>(kNumberSign));
    const __m128i fullWidth = _mm_set1_epi8(static_cast<char>(kFullWidthLead));
    const __m128i fullWidthNumberSign = _mm_set1_epi8(static_cast<char>(kFullWidthNumberSign));
    const __m128i fullWidthAtSign = _mm_set1_epi8(static_cast<char>(kFullWidthAtSign));
    for (std::size_t block = 0;; block += 16) {
      if (block + 17 > size) block = size - 17;
      const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block));
      const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block + 1));
      __m128i hit = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi8(first, atSign), _mm_cmpeq_epi8(first, numberSign)),
          _mm_and_si128(_mm_cmpeq_epi8(first, fullWidth),
                        _mm_or_si128(_mm_cmpeq_epi8(second, fullWidthNumberSign),
                                     _mm_cmpeq_epi8(second, fullWidthAtSign))));
      if constexpr (kStopAtNul) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(first, _mm_setzero_si128()));
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

#ifdef BRIVANO_EMAIL_AVX2
// Thirty-two first bytes at a time, each with the byte after it, over the
// blocks whose following byte lies inside the text. Returns the hit, or
// npos with `covered` the number of first bytes looked at.
template <bool kStopAtNul>
__attribute__((target("avx2"))) std::size_t FindMarkerAvx2(const unsigned char* bytes,
                                                           std::size_t size, std::size_t& covered) {
  const __m256i atSign = _mm256_set1_epi8('@');
  const __m256i numberSign = _mm256_set1_epi8(static_cast<char>(kNumberSign));
  const __m256i fullWidth = _mm256_set1_epi8(static_cast<char>(kFullWidthLead));
  const __m256i fullWidthNumberSign = _mm256_set1_epi8(static_cast<char>(kFullWidthNumberSign));
  const __m256i fullWidthAtSign = _mm256_set1_epi8(static_cast<char>(kFullWidthAtSign));
  std::size_t block = 0;
  for (; block + 33 <= size; block += 32) {
    const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + block));
    const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + block + 1));
    __m256i hit = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpeq_epi8(first, atSign), _mm256_cmpeq_epi8(first, numberSign)),
        _mm256_and_si256(_mm256_cmpeq_epi8(first, fullWidth),
                         _mm256_or_si256(_mm256_cmpeq_epi8(second, fullWidthNumberSign),
                                         _mm256_cmpeq_epi8(second, fullWidthAtSign))));
    if constexpr (kStopAtNul) {
      hit = _mm256_or_si256(hit, _mm256_cmpeq_epi8(first, _mm256_setzero_si256()));
    }
    if (const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(hit)); mask != 0) {
      return block + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
  covered = block;
  return std::string_view::npos;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

}  // namespace

namespace {

template <bool kStopAtNul>
std::size_t FindMarker(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
#ifdef BRIVANO_EMAIL_AVX2
  if (size >= 64 && HasAvx2()) {
    std::size_t covered = 0;
    if (const std::size_t hit = FindMarkerAvx2<kStopAtNul>(bytes, size, covered);
        hit != std::string_view::npos) {
      return hit;
    }
    const std::size_t rest = FindMarkerSse2<kStopAtNul>(bytes + covered, size - covered);
    return rest == std::string_view::npos ? rest : covered + rest;
  }
#endif
  return FindMarkerSse2<kStopAtNul>(bytes, size);
}

}  // namespace

std::size_t FindEmailMarkerByte(std::string_view text) {
  return FindMarker<false>(text);
}

std::size_t FindEmailMarkerOrNul(std::string_view text) {
  return FindMarker<true>(text);
}

void ExtractEmailsFromLine(std::string_view line, BuyerSink& sink) {
  CheckScreenKnowsTheSteps();
  // The working text W of the steps is the line lowered, with every "#" and
  // "＃" made an "@". It is never built: positions here are the line's, and
  // W's are found by subtracting the "＃" seen so far (each is one byte
  // shorter in W). Address characters are ASCII and so stand alike in both.
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  std::size_t floor = 0;      // a character boundary; no "@" of W lies before it unused
  std::size_t restBegin = 0;  // where the text left for the passes begins
  std::size_t shortenedBy = 0;
  std::size_t windowEnd = std::string_view::npos;  // in W, after the first "@"
  for (int pass = 0; pass < kPassesPerLine; ++pass) {
    // The next "@" of W: hits of the screen that stand inside a character
    // are passed over, and the boundary moves on behind them.
    std::size_t at = 0;
    for (;;) {
      const std::size_t hit = FindEmailMarkerByte(line.substr(floor));
      if (hit == std::string_view::npos) return;
      at = floor + hit;
      if (IsAtSign(bytes, floor, at)) break;
      floor = at + 1;
    }
    if (at == restBegin) return;  // the first byte of what is left
    const std::size_t atInWork = at - shortenedBy;
    if (windowEnd == std::string_view::npos) {
      windowEnd = atInWork + 1 + kTailBytes;
    } else if (atInWork >= windowEnd) {
      return;
    }
    const std::size_t markerBytes = bytes[at] == kFullWidthLead ? 2 : 1;
    shortenedBy += markerBytes - 1;

    // The local part: the run of address characters in front, which may not
    // begin with the second byte of a character.
    std::size_t localBegin = at;
    while (localBegin > restBegin && kAddressOrCapital.Contains(bytes[localBegin - 1])) {
      --localBegin;
    }
    if (localBegin > floor && localBegin < at && IsGbkLeadByte(bytes[localBegin - 1]) &&
        IsGbkTrailByte(bytes[localBegin]) && !IsAtSign(bytes, floor, localBegin)) {
      ++localBegin;
    }

    // The domain: the run behind, inside the 255 bytes of W that follow the
    // first "@" of the line.
    std::size_t domainEnd = at + markerBytes;
    while (domainEnd < size && domainEnd - shortenedBy < windowEnd &&
           kAddressOrCapital.Contains(bytes[domainEnd])) {
      ++domainEnd;
    }

    char localBytes[kTailBytes];
    char domainBytes[kTailBytes];
    std::string_view local =
        LowerInto(line.substr(localBegin, std::min(at - localBegin, kTailBytes)), localBytes);
    std::string_view domain =
        LowerInto(line.substr(at + markerBytes, domainEnd - at - markerBytes), domainBytes);
    restBegin = floor = domainEnd;

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

void ExtractEmails(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractEmailsFromLine(line, sink);
}

}  // namespace brivano
