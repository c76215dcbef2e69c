#include "search/company_name.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/text_search.h"

namespace brivano {
namespace {

struct Suffix {
  std::string_view text;
  // A short word such as "厂" ends a name only where the name ends: "五金厂"
  // is a company, "厂家直销" is not.
  bool mustEndTheName;
};

// Longer forms first, where one holds another.
constexpr Suffix kCompanySuffixes[] = {
    {"股份有限公司", false}, {"有限责任公司", false}, {"有限公司", false}, {"集团", true},
    {"经营部", true},        {"工作室", true},        {"商行", true},      {"厂", true},
};

// Words that stand before a name in a page's text but are no part of it.
constexpr std::string_view kLeadingWords[] = {
    "欢迎访问", "欢迎光临", "欢迎来到", "联系我们", "关于我们", "版权所有",
    "公司名称", "单位名称", "企业名称", "名称",     "本站",     "欢迎",
};

// What engines and sites add to a page's title.
constexpr std::string_view kTitleSuffixes[] = {
    "_百度百科", " - 百度百科", "-百度百科", "_360百科",  " - 360百科", "-360百科",
    "_搜狗百科", " - 搜狗百科", "-搜狗百科", "_百度知道", "_百度文库",  "_百度贴吧",
    "_官方网站", " - 官方网站", "-官方网站", "_官网",     " - 官网",    "-官网",
    "|官网",     "_首页",       " - 首页",   "-首页",
};

constexpr std::size_t kMostNameCharacters = 40;
constexpr std::size_t kFewestNameCharacters = 2;  // before the suffix

struct CodePoint {
  std::uint32_t value;
  std::size_t at;  // byte offset
};

std::vector<CodePoint> Decode(std::string_view s) {
  std::vector<CodePoint> out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    std::uint32_t value = length == 1 ? b : b & (0x7F >> length);
    for (std::size_t k = 1; k < length && i + k < s.size(); ++k) {
      value = (value << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    }
    out.push_back({value, i});
    i += length;
  }
  return out;
}

bool IsIdeograph(std::uint32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF);
}

// What a company's name is written with: ideographs, Latin letters and
// digits, and the brackets around a place ("某某（深圳）有限公司").
bool IsNameCharacter(std::uint32_t c) {
  return IsIdeograph(c) || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
         (c >= 'a' && c <= 'z') || c == '(' || c == ')' || c == 0xFF08 || c == 0xFF09;
}

// The earliest place at `from` or after it where a suffix of the table
// starts; npos when there is none. One pass over the text: every suffix
// begins with a three-byte character, so only their lead bytes are looked at.
std::size_t SuffixFrom(std::string_view text, std::size_t from) {
  for (std::size_t at = from; at + 3 <= text.size(); ++at) {
    if ((static_cast<unsigned char>(text[at]) & 0xF0) != 0xE0) continue;
    const std::string_view rest = text.substr(at);
    for (const Suffix& suffix : kCompanySuffixes) {
      if (rest.starts_with(suffix.text)) return at;
    }
    at += 2;
  }
  return std::string_view::npos;
}

std::string FirstCompanyNear(std::string_view s);

std::string FirstCompany(std::string_view s) {
  // Enough before a suffix for the longest name, and the character after it.
  constexpr std::size_t kBytesBefore = kMostNameCharacters * 4 + 32;
  constexpr std::size_t kBytesAfter = 24;
  for (std::size_t at = SuffixFrom(s, 0); at != std::string_view::npos;) {
    std::size_t start = at > kBytesBefore ? at - kBytesBefore : 0;
    // Start on a character: skip UTF-8 continuation bytes.
    while (start < at && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80) ++start;
    const std::size_t end = std::min(s.size(), at + kBytesAfter);
    std::size_t stop = end;
    while (stop < s.size() && (static_cast<unsigned char>(s[stop]) & 0xC0) == 0x80) ++stop;
    std::string name = FirstCompanyNear(s.substr(start, stop - start));
    if (!name.empty()) return name;
    at = SuffixFrom(s, at + 3);
  }
  return {};
}

std::string FirstCompanyNear(std::string_view s) {
  const std::vector<CodePoint> points = Decode(s);
  for (std::size_t i = 0; i < points.size(); ++i) {
    for (const Suffix& suffix : kCompanySuffixes) {
      if (s.substr(points[i].at).substr(0, suffix.text.size()) != suffix.text) continue;
      const std::size_t end = points[i].at + suffix.text.size();
      std::size_t next = i;
      while (next < points.size() && points[next].at < end) ++next;
      const bool endsTheName = next == points.size() || !IsIdeograph(points[next].value);
      std::size_t start = i;
      while (start > 0 && i - start < kMostNameCharacters &&
             IsNameCharacter(points[start - 1].value)) {
        --start;
      }
      std::string_view name = s.substr(points[start].at, end - points[start].at);
      for (bool cut = true; cut;) {
        cut = false;
        for (std::string_view word : kLeadingWords) {
          if (name.starts_with(word)) {
            name.remove_prefix(word.size());
            cut = true;
          }
        }
      }
      const std::size_t before = Decode(name.substr(0, name.size() - suffix.text.size())).size();
      if ((endsTheName || !suffix.mustEndTheName) && before >= kFewestNameCharacters) {
        return std::string(name);
      }
      // A shorter suffix inside this one names nothing more.
      i = next - 1;
      break;
    }
  }
  return {};
}

}  // namespace

std::string CompanyName(std::string_view title, std::string_view text) {
  std::string name = FirstCompany(title);
  return name.empty() ? FirstCompany(text) : name;
}

std::string SiteOwnerName(std::string_view title, std::string_view text) {
  // The lines that say whose a site is, by what they carry.
  constexpr std::string_view kOwnerMarks[] = {"版权所有",  "©",     "Copyright", "copyright",
                                              "COPYRIGHT", "ICP备", "ICP证"};
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    start = end + 1;
    const bool marked = std::any_of(
        std::begin(kOwnerMarks), std::end(kOwnerMarks),
        [&](std::string_view mark) { return line.find(mark) != std::string_view::npos; });
    if (!marked) continue;
    if (std::string name = FirstCompany(line); !name.empty()) return name;
  }
  return FirstCompany(title);
}

std::string CleanTitle(std::string_view title) {
  title = TrimBlanks(title);
  for (bool cut = true; cut;) {
    cut = false;
    for (std::string_view suffix : kTitleSuffixes) {
      if (title.size() > suffix.size() && title.ends_with(suffix)) {
        title = TrimBlanks(title.substr(0, title.size() - suffix.size()));
        cut = true;
      }
    }
  }
  return std::string(title);
}

}  // namespace brivano
