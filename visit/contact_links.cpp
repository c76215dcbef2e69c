#include "visit/contact_links.h"

#include <algorithm>
#include <map>
#include <optional>

#include "base/text_search.h"

namespace brivano {
namespace {

// Strongest hint first; the link's rank is its best hint. Link texts come
// first: a site names its contact page in words more reliably than in its
// addresses, which are often numbers.
// Sites of Taiwan and Hong Kong (often Big5) write the same words in
// traditional characters.
constexpr std::string_view kTextHints[] = {
    "联系我们", "聯絡我們", "聯繫我們", "联系方式",  "聯絡方式", "聯繫方式", "联系",
    "聯絡",     "聯繫",     "关于我们", "關於我們",  "公司简介", "公司簡介", "企业简介",
    "企業簡介", "公司介绍", "公司介紹", "contactus", "contact",  "aboutus",  "about",
};
// Pinyin and its initials are common in Chinese sites' paths: lianxi,
// lxwm (联系我们), gywm (关于我们), jianjie (简介).
constexpr std::string_view kPathHints[] = {
    "contact", "lianxi", "lxwm", "about", "gywm", "jianjie", "company", "intro",
};

// Extensions of files that hold no page to read contacts from.
constexpr std::string_view kFileExtensions[] = {
    "pdf", "doc", "docx", "xls", "xlsx", "ppt", "pptx", "txt", "csv", "zip", "rar", "7z",   "gz",
    "tar", "jpg", "jpeg", "png", "gif",  "bmp", "webp", "svg", "ico", "mp3", "mp4", "avi",  "mov",
    "wmv", "flv", "swf",  "exe", "apk",  "dmg", "msi",  "iso", "css", "js",  "xml", "json",
};

// Link texts come with line breaks, &nbsp; and full-width spaces inside
// ("联系 我们", "Contact\n Us"); without any space, and in lower case, they
// compare alike.
std::string FoldText(std::string_view text) {
  std::string folded;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n') {
      ++i;
    } else if (text.substr(i, 2) == "\xC2\xA0") {  // no-break space
      i += 2;
    } else if (text.substr(i, 3) == "\xE3\x80\x80") {  // ideographic space
      i += 3;
    } else {
      folded += static_cast<char>(LowerAsciiByte(static_cast<unsigned char>(text[i++])));
    }
  }
  return folded;
}

bool StartsWithLower(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && LowerAsciiBytes(text.substr(0, prefix.size())) == prefix;
}

struct Parts {
  std::string_view schemeAndHost{};
  std::string_view path{};  // from the first '/' after the host, up to '?'
};

// Only http(s) addresses; the fragment is already gone.
std::optional<Parts> SplitAddress(std::string_view address) {
  std::size_t start = 0;
  if (StartsWithLower(address, "http://")) {
    start = 7;
  } else if (StartsWithLower(address, "https://")) {
    start = 8;
  } else {
    return std::nullopt;
  }
  std::size_t hostEnd = address.find_first_of("/?", start);
  if (hostEnd == std::string_view::npos) hostEnd = address.size();
  if (hostEnd == start) return std::nullopt;
  std::string_view rest = address.substr(hostEnd);
  return Parts{.schemeAndHost = address.substr(0, hostEnd), .path = rest.substr(0, rest.find('?'))};
}

bool IsFile(std::string_view path) {
  std::string_view name = path.substr(path.rfind('/') + 1);
  std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string extension = LowerAsciiBytes(name.substr(dot + 1));
  return std::find(std::begin(kFileExtensions), std::end(kFileExtensions), extension) !=
         std::end(kFileExtensions);
}

std::optional<std::size_t> Rank(std::string_view text, std::string_view path) {
  std::string foldedText = FoldText(text);
  std::size_t rank = 0;
  for (std::string_view hint : kTextHints) {
    if (foldedText.find(hint) != std::string::npos) return rank;
    ++rank;
  }
  std::string lowerPath = LowerAsciiBytes(path);
  for (std::string_view hint : kPathHints) {
    if (lowerPath.find(hint) != std::string::npos) return rank;
    ++rank;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> ChooseContactPages(
    const std::vector<PageLink>& links,
    const std::function<bool(std::string_view address)>& sameSite, std::size_t most) {
  struct Candidate {
    std::size_t rank = 0;
    std::string address{};
  };
  std::vector<Candidate> candidates;
  // "http://A.cn/x" and "http://a.cn/x" are one page; the path keeps its case.
  // A page linked twice keeps its first place and its best hint.
  std::map<std::string, std::size_t> seen;
  for (const PageLink& link : links) {
    std::string_view address = link.address;
    address = address.substr(0, address.find('#'));
    std::optional<Parts> parts = SplitAddress(address);
    if (!parts || IsFile(parts->path)) continue;
    std::optional<std::size_t> rank = Rank(link.text, parts->path);
    if (!rank || !sameSite(address)) continue;
    std::string key = LowerAsciiBytes(parts->schemeAndHost);
    key += address.substr(parts->schemeAndHost.size());
    auto [it, added] = seen.emplace(std::move(key), candidates.size());
    if (!added) {
      candidates[it->second].rank = std::min(candidates[it->second].rank, *rank);
      continue;
    }
    candidates.push_back(Candidate{.rank = *rank, .address = std::string(address)});
  }
  std::stable_sort(candidates.begin(), candidates.end(),
                   [](const Candidate& a, const Candidate& b) { return a.rank < b.rank; });
  std::vector<std::string> chosen;
  for (Candidate& candidate : candidates) {
    if (chosen.size() == most) break;
    chosen.push_back(std::move(candidate.address));
  }
  return chosen;
}

}  // namespace brivano
