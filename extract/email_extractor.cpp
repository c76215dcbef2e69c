#include "extract/email_extractor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string>

#include "base/text.h"
#include "extract/email_screen.h"

namespace brivano {
namespace {

// Local parts as pages write them, with a plus tag ("sales+web"); hosts are
// labels of letters, digits and hyphens (an underscore passes too).
constexpr ByteClass kLocalChars{
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_&.+"};
constexpr ByteClass kLabelChars{"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_"};
// What a local part may not begin or end with: separators a page puts around
// an address ("----sales@..." or "sales.@...").
constexpr ByteClass kEdgeChars{"-_&.+"};
constexpr ByteClass kLetters{"abcdefghijklmnopqrstuvwxyz"};

constexpr std::size_t kMaxLocalBytes = 64;
constexpr std::size_t kMinHostBytes = 5;
constexpr std::size_t kMaxHostBytes = 253;
constexpr std::size_t kMaxLabelBytes = 63;
// A host name needs at least two bytes in front of its first dot.
constexpr std::size_t kMinFirstLabelBytes = 2;
constexpr std::size_t kMinTopLevelBytes = 2;
// Blanks a page may put on either side of an "@" ("sales @ abc.com").
constexpr std::size_t kMaxBlanksAroundAt = 2;
constexpr std::string_view kWebPageSuffix = ".htm";
// Top-level names that are file extensions: pictures drawn at a scale
// ("logo@2x.png"), style sheets, scripts and the files a page links to. Real
// top-level domains that are rarely a mail host ("mov", "zip") count as files.
constexpr std::string_view kFileExtensions[] = {
    "png",  "jpg",   "jpeg", "gif", "webp", "svg", "bmp",  "ico", "avif", "tif", "tiff", "heic",
    "heif", "jfif",  "apng", "psd", "css",  "js",  "json", "xml", "php",  "asp", "aspx", "jsp",
    "html", "shtml", "pdf",  "doc", "docx", "xls", "xlsx", "ppt", "pptx", "txt", "rar",  "zip",
    "mp3",  "mp4",   "avi",  "mov", "wmv",  "flv", "webm", "wav", "swf",  "apk", "exe"};
// Each packed into one integer, sorted, so that a host's last label is
// looked up among all of them in a few steps.
constexpr std::size_t kMaxExtensionBytes = 8;
constexpr std::uint64_t Packed(std::string_view name) {
  std::uint64_t packed = 0;
  for (char c : name) packed = packed << 8 | static_cast<unsigned char>(c);
  return packed;
}
constexpr auto kPackedExtensions = [] {
  std::array<std::uint64_t, std::size(kFileExtensions)> packed{};
  for (std::size_t i = 0; i < packed.size(); ++i) packed[i] = Packed(kFileExtensions[i]);
  std::sort(packed.begin(), packed.end());
  return packed;
}();
static_assert(std::all_of(std::begin(kFileExtensions), std::end(kFileExtensions),
                          [](std::string_view e) { return e.size() <= kMaxExtensionBytes; }));

using email_screen::kFullWidthAtSign;
using email_screen::kFullWidthDot;
using email_screen::kFullWidthLead;
using email_screen::kFullWidthNumberSign;

// How an "@" is written, which decides what may stand around it.
enum class AtForm {
  kSign,      // "@", "＠": blanks around it are dropped
  kStandIn,   // "#", "＃": only glued to both halves, else a hash-tag or a colour
  kBracket,   // "[at]", "(at)": blanks around it are dropped
  kWord,      // " AT ": the host may write its dots as "." or spelled
  kLowerWord  // " at ": only with a spelled dot in the host, else it is prose
};

struct AtToken {
  std::size_t begin;
  std::size_t end;
  AtForm form;
};

struct DotToken {
  std::size_t length = 0;  // 0: none
  bool spelled = false;    // "[dot]", "(dot)", " dot "
};

unsigned char ByteAt(std::string_view text, std::size_t at) {
  return at < text.size() ? static_cast<unsigned char>(text[at]) : 0;
}

// Whether `word` (lower case) stands at `at`, in any case.
bool WordAt(std::string_view text, std::size_t at, std::string_view word) {
  if (at > text.size() || text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (LowerAsciiByte(static_cast<unsigned char>(text[at + i])) !=
        static_cast<unsigned char>(word[i])) {
      return false;
    }
  }
  return true;
}

std::size_t BlanksAt(std::string_view text, std::size_t at, std::size_t most) {
  std::size_t blanks = 0;
  while (blanks < most && ByteAt(text, at + blanks) == ' ') ++blanks;
  return blanks;
}

std::size_t BlanksBefore(std::string_view text, std::size_t at, std::size_t floor,
                         std::size_t most) {
  std::size_t blanks = 0;
  while (blanks < most && at - blanks > floor && text[at - blanks - 1] == ' ') ++blanks;
  return blanks;
}

// "[word]" or "(word)" at `at`: its length, or 0.
std::size_t BracketedAt(std::string_view text, std::size_t at, std::string_view word) {
  const unsigned char open = ByteAt(text, at);
  const unsigned char close = open == '[' ? ']' : open == '(' ? ')' : 0;
  if (close == 0 || !WordAt(text, at + 1, word) || ByteAt(text, at + 1 + word.size()) != close) {
    return 0;
  }
  return word.size() + 2;
}

// Whether the byte at `at` begins a character, `floor` being a character
// boundary at or before it. Bytes 0x81 to 0xFE right before `at` pair up from
// the start of their run (a byte outside that range always ends a character):
// with an odd count the last of them is a first byte, which takes the byte
// at `at` as its second if it can be one.
bool BeginsCharacter(const unsigned char* bytes, std::size_t floor, std::size_t at) {
  std::size_t run = 0;
  while (at - run > floor && IsGbkLeadByte(bytes[at - run - 1])) ++run;
  return run % 2 == 0 || !IsGbkTrailByte(bytes[at]);
}

// Whether a full-width dot stands at `at`, as a character of its own.
bool WideDotAt(const unsigned char* bytes, std::size_t floor, std::size_t at, std::size_t end) {
  return at + 1 < end && bytes[at] == kFullWidthLead && bytes[at + 1] == kFullWidthDot &&
         BeginsCharacter(bytes, floor, at);
}

// The "@" that begins at `at`, a character boundary, if one does.
bool AtTokenAt(std::string_view line, std::size_t at, AtToken& token) {
  const unsigned char b = ByteAt(line, at);
  const unsigned char next = ByteAt(line, at + 1);
  if (b == '@' || (b == kFullWidthLead && next == kFullWidthAtSign)) {
    token = {at, at + (b == '@' ? 1u : 2u), AtForm::kSign};
  } else if (b == '#' || (b == kFullWidthLead && next == kFullWidthNumberSign)) {
    token = {at, at + (b == '#' ? 1u : 2u), AtForm::kStandIn};
  } else if (const std::size_t length = BracketedAt(line, at, "at"); length > 0) {
    token = {at, at + length, AtForm::kBracket};
  } else if (b == ' ' && next == 'A' && ByteAt(line, at + 2) == 'T' &&
             ByteAt(line, at + 3) == ' ') {
    token = {at, at + 4, AtForm::kWord};
  } else {
    return false;
  }
  return true;
}

// The dot written at `at`, right behind a label.
DotToken DotTokenAt(std::string_view line, std::size_t at) {
  const unsigned char b = ByteAt(line, at);
  if (b == '.') return {1, false};
  if (b == kFullWidthLead && ByteAt(line, at + 1) == kFullWidthDot) return {2, false};
  const std::size_t before = BlanksAt(line, at, kMaxBlanksAroundAt);
  if (const std::size_t length = BracketedAt(line, at + before, "dot"); length > 0) {
    return {before + length + BlanksAt(line, at + before + length, kMaxBlanksAroundAt), true};
  }
  if (before > 0 && WordAt(line, at + before, "dot")) {
    if (const std::size_t after = BlanksAt(line, at + before + 3, kMaxBlanksAroundAt); after > 0) {
      return {before + 3 + after, true};
    }
  }
  return {};
}

// A spelled dot at `at` (or behind the blanks there) may end the first
// labels behind a lower-case " at " ("sales at abc dot com"): that "@", if
// it is there and not before `from`.
bool LowerWordAtBefore(std::string_view line, std::size_t at, std::size_t from, AtToken& token) {
  const std::size_t labelEnd = at - BlanksBefore(line, at, from, kMaxBlanksAroundAt);
  if (!DotTokenAt(line, labelEnd).spelled) return false;
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  std::size_t labelBegin = labelEnd;
  for (;;) {
    if (labelBegin > from &&
        (kLabelChars.Contains(bytes[labelBegin - 1]) || bytes[labelBegin - 1] == '.')) {
      --labelBegin;
    } else if (labelBegin >= from + 2 && WideDotAt(bytes, from, labelBegin - 2, labelEnd)) {
      labelBegin -= 2;
    } else {
      break;
    }
  }
  if (labelBegin == labelEnd || labelBegin < from + 4 || !WordAt(line, labelBegin - 4, " at ")) {
    return false;
  }
  token = {labelBegin - 4, labelBegin, AtForm::kLowerWord};
  return true;
}

bool LooksLikeHostName(std::string_view host, std::size_t firstLabel) {
  if (host.size() < kMinHostBytes || firstLabel < kMinFirstLabelBytes) return false;
  if (host.find(kWebPageSuffix) != std::string_view::npos) return false;
  // A top-level domain is letters, never a number ("vue@2.6.14" is a
  // version, "12#301.5" a room), and never a file's extension.
  const std::string_view last = host.substr(host.rfind('.') + 1);
  if (last.size() < kMinTopLevelBytes || RunLength(last, kLetters) != last.size()) return false;
  return last.size() > kMaxExtensionBytes ||
         !std::binary_search(kPackedExtensions.begin(), kPackedExtensions.end(), Packed(last));
}

// An address read around an "@": lowered, "local@host", and where it ends.
struct Address {
  char text[kMaxLocalBytes + 1 + kMaxHostBytes];
  std::size_t size = 0;
  std::size_t end = 0;
};

// The local part in front of `token`, no further back than `from` (a
// character boundary), lowered into `out` with plain dots: its size, 0 for
// none. It is read backwards, up to a double dot ("a..b@" gives "b").
std::size_t ReadLocalPart(std::string_view line, const AtToken& token, std::size_t from,
                          char* out) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  std::size_t end = token.begin;
  if (token.form == AtForm::kSign || token.form == AtForm::kBracket) {
    end -= BlanksBefore(line, end, from, kMaxBlanksAroundAt);
  }
  std::size_t begin = end;
  std::size_t dotEnd = std::string_view::npos;  // behind the dot read last
  for (;;) {
    std::size_t length = 0;
    if (begin > from && kLocalChars.Contains(bytes[begin - 1])) {
      length = 1;
    } else if (begin >= from + 2 && WideDotAt(bytes, from, begin - 2, end)) {
      length = 2;
    } else {
      // Its first byte may be the second one of a Chinese character.
      if (begin < end && !BeginsCharacter(bytes, from, begin)) ++begin;
      break;
    }
    const bool dot = length == 2 || bytes[begin - 1] == '.';
    if (dot && dotEnd == begin) {
      begin = begin + (bytes[begin] == '.' ? 1 : 2);
      break;
    }
    begin -= length;
    if (dot) dotEnd = begin;
  }
  // Separators a page puts around an address, and its dots.
  auto edgeAt = [&](std::size_t at) {
    return kEdgeChars.Contains(bytes[at]) || WideDotAt(bytes, from, at, end);
  };
  while (begin < end && edgeAt(begin)) begin += bytes[begin] == kFullWidthLead ? 2 : 1;
  while (end > begin && (kEdgeChars.Contains(bytes[end - 1]) ||
                         (end >= begin + 2 && WideDotAt(bytes, from, end - 2, end)))) {
    end -= kEdgeChars.Contains(bytes[end - 1]) ? 1 : 2;
  }
  std::size_t size = 0;
  for (std::size_t at = begin; at < end; ++size) {
    if (size == kMaxLocalBytes) return 0;
    const bool wide = bytes[at] == kFullWidthLead;
    out[size] = wide ? '.' : static_cast<char>(LowerAsciiByte(bytes[at]));
    at += wide ? 2 : 1;
  }
  return size;
}

// The host behind `token`: labels joined by dots as the page writes them,
// lowered into `out` with plain dots. Gives its size (0 for no host name) and
// sets `end` behind its last label.
std::size_t ReadHost(std::string_view line, const AtToken& token, char* out, std::size_t& end) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  std::size_t at = token.end;
  if (token.form == AtForm::kSign || token.form == AtForm::kBracket) {
    at += BlanksAt(line, at, kMaxBlanksAroundAt);
  }
  // Hyphens and underscores at the host's two ends are the page's, not the
  // host's ("a@-example.com-").
  while (at < line.size() && (bytes[at] == '-' || bytes[at] == '_')) ++at;
  std::size_t size = 0;
  std::size_t firstLabel = 0;
  bool spelled = false;
  for (;;) {
    std::size_t labelEnd = at;
    while (labelEnd < line.size() && kLabelChars.Contains(bytes[labelEnd])) ++labelEnd;
    if (labelEnd == at || labelEnd - at > kMaxLabelBytes ||
        size + (labelEnd - at) > kMaxHostBytes) {
      return 0;
    }
    std::transform(bytes + at, bytes + labelEnd, out + size,
                   [](unsigned char b) { return static_cast<char>(LowerAsciiByte(b)); });
    size += labelEnd - at;
    if (firstLabel == 0) firstLabel = size;
    end = labelEnd;
    // A dot belongs to the host only with a label behind it ("abc.com.").
    const DotToken dot = DotTokenAt(line, labelEnd);
    const std::size_t next = labelEnd + dot.length;
    if (dot.length == 0 || next >= line.size() || !kLabelChars.Contains(bytes[next])) break;
    if (size + 1 >= kMaxHostBytes) return 0;
    out[size++] = '.';
    spelled = spelled || dot.spelled;
    at = next;
  }
  while (size > 0 && (out[size - 1] == '-' || out[size - 1] == '_')) {
    --size;
    --end;
  }
  if (token.form == AtForm::kLowerWord && !spelled) return 0;
  if (firstLabel >= size) return 0;  // one label: no host name
  return LooksLikeHostName(std::string_view(out, size), firstLabel) ? size : 0;
}

bool ReadAddress(std::string_view line, const AtToken& token, std::size_t from, Address& address) {
  const std::size_t local = ReadLocalPart(line, token, from, address.text);
  if (local == 0) return false;
  address.text[local] = '@';
  const std::size_t host = ReadHost(line, token, address.text + local + 1, address.end);
  if (host == 0) return false;
  address.size = local + 1 + host;
  return true;
}

// Behind a hit that read nothing, the next is first looked for among so
// many bytes one by one: where hits crowd ("@@@", "a#a#", "＃＃＃"), that
// spares starting the wide screen for each. A line's start and the end of
// an address go to the wide screen at once.
constexpr std::size_t kBytesLookedAtFirst = 8;

// The first hit of the screen at or after `from`.
std::size_t NextMarker(std::string_view line, std::size_t from, bool behindHit) {
  if (behindHit) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
    const std::size_t near = std::min(line.size(), from + kBytesLookedAtFirst);
    for (; from < near; ++from) {
      if (email_screen::IsMarkerAt(bytes, line.size(), from)) return from;
    }
  }
  return email_screen::FindMarkerFrom(line, from);
}

}  // namespace

void ExtractEmailsFromLine(std::string_view line, BuyerSink& sink) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  std::size_t from = 0;    // a character boundary: what lies before it is used up
  std::size_t floor = 0;   // a character boundary at or before the next hit
  bool behindHit = false;  // whether `scan` lies right behind a hit that read nothing
  for (std::size_t scan = 0; scan < line.size();) {
    const std::size_t at = NextMarker(line, scan, behindHit);
    if (at == std::string_view::npos) return;
    scan = at + 1;
    behindHit = true;
    if (!BeginsCharacter(bytes, floor, at)) {
      floor = at + 1;
      continue;
    }
    floor = at;
    AtToken token;
    if (!AtTokenAt(line, at, token) && !LowerWordAtBefore(line, at, from, token)) continue;
    if (token.begin < from) continue;
    Address address;
    // An "@" that reads no address (a hash-tag's "#") uses up nothing: the
    // local part of the next may stand behind it.
    if (!ReadAddress(line, token, from, address)) continue;
    sink.AddBuyerItem(std::string_view(address.text, address.size), ContactKind::Email);
    from = floor = scan = address.end;
    behindHit = false;
  }
}

void ExtractEmails(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractEmailsFromLine(line, sink);
}

}  // namespace brivano
