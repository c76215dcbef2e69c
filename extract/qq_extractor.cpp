// The QQ extractor's reading of a line: labels, mailboxes and links, and
// the lists of numbers behind a label.
#include "extract/qq_extractor.h"

#include <array>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"

namespace brivano {
namespace {

constexpr std::size_t kMinDigits = 5;
constexpr std::size_t kMaxDigits = 10;

// Words of a table, written in UTF-8 and held as GBK, matched at a character
// boundary with ASCII letters in either case. Two words that begin with
// different bytes never stand at the same place: each is kept with the words
// of its first byte, in table order.
class Words {
 public:
  explicit Words(std::span<const std::string_view> utf8) {
    gbk_.reserve(utf8.size());
    for (std::string_view word : utf8) {
      const std::string& held = gbk_.emplace_back(Utf8ToGbk(word));
      const auto first = static_cast<unsigned char>(held.front());
      byFirst_[first].push_back(&held);
      // A letter in either case.
      if (const unsigned char lower = first | 0x20; lower >= 'a' && lower <= 'z') {
        byFirst_[lower == first ? lower & ~0x20 : lower].push_back(&held);
      }
    }
  }
  // The length of the first word of the table that stands at `at`, or 0.
  std::size_t LengthAt(std::string_view text, std::size_t at) const {
    if (at >= text.size()) return 0;
    for (const std::string* word : byFirst_[static_cast<unsigned char>(text[at])]) {
      if (StandsAt(text, at, *word)) return word->size();
    }
    return 0;
  }
  static bool StandsAt(std::string_view text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t k = 0; k < word.size();) {
      const auto w = static_cast<unsigned char>(word[k]);
      const auto t = static_cast<unsigned char>(text[at + k]);
      if (IsGbkLeadByte(w)) {
        // A double-byte character, compared as it is.
        if (t != w || text[at + k + 1] != word[k + 1]) return false;
        k += 2;
      } else {
        if (LowerAsciiByte(t) != LowerAsciiByte(w)) return false;
        k += 1;
      }
    }
    return true;
  }

 private:
  std::vector<std::string> gbk_;  // reserved: the pointers below stay valid
  std::array<std::vector<const std::string*>, 256> byFirst_;
};

// What may stand between a QQ marker and its number, any number of times:
// the rest of the label, in simplified or traditional characters, and the
// account that shares the number ("QQ/微信同号", "QQ&微信"). A longer word goes
// before a word it begins with.
constexpr std::string_view kLabelWords[] = {
    "号码",   "号",     "账号",   "帐号",   "邮箱",   "同号",    "在线", "客服",  "咨询",   "號碼",
    "號",     "賬號",   "帳號",   "郵箱",   "在線",   "諮詢",    "微信", "&微信", "＆微信", "/微信",
    "／微信", "、微信", "和微信", "及微信", "或微信", "/wechat", "/wx",  "/vx"};

// Gaps between label and number ("：", blanks, dashes, brackets) and list
// separators behind a number.
constexpr std::string_view kGaps[] = {" ", "\t", "　", ":", "：", "-",  "－", "—",
                                      ",", "，", "(",  ")", "（", "）", "【", "】"};
constexpr std::string_view kColons[] = {":", "："};
constexpr std::string_view kBlanks[] = {" ", "\t", "　"};
constexpr std::string_view kSeparators[] = {"、", "/",  "／", ",", "，", ";",
                                            "；", "或", "和", "|", "｜"};
// A run of digits followed by one of these is an amount, a size or a date:
// "13933元/吨", "13933.50", "20231210日".
constexpr std::string_view kUnits[] = {"元", "块", "万", "亿", "吨", "件", "个", "套", "台",
                                       "次", "人", "米", "斤", "克", "年", "月", "日", "天",
                                       "岁", "%",  "％", "㎡", "平", "kg", "倍", "张", "条"};
// Digits joined to more digits by one of these are a decimal, a version, a
// time or a date, or a number with an extension: "13933.50", "9.7.1",
// "12:30", "20231210-1".
constexpr std::string_view kJoiners[] = {".", "．", ":", "：", "-", "－"};
// The opening and closing brackets of a note behind a number, "(张先生)".
constexpr std::string_view kNoteOpen[] = {"(", "（"};
constexpr std::string_view kNoteClose[] = {")", "）"};
constexpr std::size_t kMostNoteBytes = 40;

// Markers of a QQ label; "Q:" is one too, apart from a word ("FAQ:").
constexpr std::string_view kMarkers[] = {"QQ",   "Q Q",  "ＱＱ", "ｑｑ",
                                         "Ｑｑ", "ｑＱ", "企鹅", "扣扣"};
constexpr std::string_view kMarkerStarts[] = {"Ｑ", "ｑ", "企", "扣"};
constexpr std::string_view kQColons[] = {"Q:", "Q："};

// QQ mailboxes and QQ-space addresses.
constexpr std::string_view kAtSigns[] = {"@", "＠"};
constexpr std::string_view kMailHosts[] = {"qq.com", "vip.qq.com"};
constexpr std::string_view kQzoneHost = ".qzone.qq.com";
constexpr std::string_view kQzonePath = "qzone.qq.com/";
// A QQ link's number: the uin parameter of a tencent:// or qq.com address.
constexpr std::string_view kUin = "uin=";
constexpr std::string_view kQQLinks[] = {"tencent:", "qq.com"};
constexpr std::size_t kMostLinkBytes = 512;

struct Tables {
  Words labelWords{kLabelWords};
  Words gaps{kGaps};
  Words blanks{kBlanks};
  Words separators{kSeparators};
  Words units{kUnits};
  Words joiners{kJoiners};
  Words colons{kColons};
  Words noteOpen{kNoteOpen};
  Words noteClose{kNoteClose};
  Words markers{kMarkers};
  Words markerStarts{kMarkerStarts};
  Words qColons{kQColons};
  Words atSigns{kAtSigns};
  Words mailHosts{kMailHosts};
  Words qqLinks{kQQLinks};
};

const Tables& Table() {
  static const Tables tables;
  return tables;
}

// The first bytes of what the reader looks at: digits (a mailbox or a
// QQ-space host begins with the number), the markers' and "uin=".
constexpr ByteClass kStarts{"0123456789QqUu\xA3\xC6\xBF"};

// Besides letters and digits, what a mailbox's local part may hold.
constexpr ByteClass kLocalPartMarks{"._-+%"};

bool IsAsciiAlnum(unsigned char b) {
  return (b >= '0' && b <= '9') || ((b | 0x20) >= 'a' && (b | 0x20) <= 'z');
}

// One line, read once from left to right.
class LineReader {
 public:
  LineReader(std::string_view line, BuyerSink& sink)
      : text_(line), bytes_(reinterpret_cast<const unsigned char*>(line.data())), sink_(sink) {}

  void Read() {
    unsigned char before = 0;
    for (std::size_t at = 0; at < text_.size();) {
      const unsigned char b = bytes_[at];
      if (kStarts.Contains(b)) {
        before_ = before;
        if (const std::size_t end = ReadAt(at); end > at) {
          // What was read ends in a digit, "=", "/" or a closing bracket,
          // each a character of its own.
          before = bytes_[end - 1] < 0x80 ? bytes_[end - 1] : 0;
          at = end;
          continue;
        }
      }
      const bool pair = IsGbkLeadByte(b) && at + 1 < text_.size() && IsGbkTrailByte(bytes_[at + 1]);
      before = pair ? 0 : b;
      at += pair ? 2 : 1;
    }
  }

 private:
  // Reads what begins at `at`; returns where reading goes on (`at` when
  // nothing does).
  std::size_t ReadAt(std::size_t at) {
    const unsigned char b = bytes_[at];
    if (kDigits.Contains(b)) return ReadAddressNumber(at);
    const bool q = (b | 0x20) == 'q';
    if (!q) {
      if ((b | 0x20) == 'u') return Words::StandsAt(text_, at, kUin) ? ReadUin(at) : at;
      // Most characters that begin like "Ｑ", "企" or "扣" are none of them.
      if (t_.markerStarts.LengthAt(text_, at) == 0) return at;
    } else if (Words::StandsAt(text_, at, kQzonePath)) {
      return ReadLinkNumber(at + kQzonePath.size());
    }
    if (const std::size_t marker = t_.markers.LengthAt(text_, at); marker > 0) {
      return ReadLabel(at, at + marker);
    }
    if (q && !IsAsciiAlnum(before_) && t_.qColons.LengthAt(text_, at) > 0) {
      return ReadLabel(at, at + 1);
    }
    return at;
  }

  std::size_t DigitsAt(std::size_t at) const {
    std::size_t end = at;
    while (end < text_.size() && kDigits.Contains(bytes_[end])) ++end;
    return end - at;
  }

  // Whether the digits at `at` read as a QQ number: five to ten of them, no
  // leading 0, and nothing behind that makes them an amount, a date, a time,
  // a decimal or a version, or the local part of a mailbox.
  bool ReadsAsQQ(std::size_t at, std::size_t digits) const {
    if (digits < kMinDigits || digits > kMaxDigits || bytes_[at] == '0') return false;
    const std::size_t end = at + digits;
    if (end == text_.size()) return true;
    if (t_.units.LengthAt(text_, end) > 0 || t_.atSigns.LengthAt(text_, end) > 0) return false;
    const std::size_t joiner = t_.joiners.LengthAt(text_, end);
    return joiner == 0 || end + joiner == text_.size() || !kDigits.Contains(bytes_[end + joiner]);
  }

  void Give(std::size_t at, std::size_t digits) {
    sink_.AddBuyerItem(text_.substr(at, digits), ContactKind::QQ);
  }

  // Digits that begin an address: "542913359@qq.com", "542913359.qzone.qq.com".
  std::size_t ReadAddressNumber(std::size_t at) {
    const std::size_t digits = DigitsAt(at);
    const std::size_t end = at + digits;
    if (digits < kMinDigits || digits > kMaxDigits || bytes_[at] == '0') return end;
    // The number is the whole local part or the whole first label of the host.
    if (IsAsciiAlnum(before_) || kLocalPartMarks.Contains(before_)) return end;
    if (const std::size_t sign = t_.atSigns.LengthAt(text_, end); sign > 0) {
      const std::size_t host = t_.mailHosts.LengthAt(text_, end + sign);
      if (host > 0 && HostEndsAt(end + sign + host)) Give(at, digits);
    } else if (Words::StandsAt(text_, end, kQzoneHost) && HostEndsAt(end + kQzoneHost.size())) {
      Give(at, digits);
    }
    return end;
  }

  // Whether a host name ends at `at` (and does not go on: "qq.com.cn").
  bool HostEndsAt(std::size_t at) const {
    if (at == text_.size()) return true;
    const unsigned char b = bytes_[at];
    if (IsAsciiAlnum(b) || b == '-' || b == '_') return false;
    return !(b == '.' && at + 1 < text_.size() && IsAsciiAlnum(bytes_[at + 1]));
  }

  // The number right behind a link's "qzone.qq.com/" or "uin=".
  std::size_t ReadLinkNumber(std::size_t at) {
    const std::size_t digits = DigitsAt(at);
    if (ReadsAsQQ(at, digits)) Give(at, digits);
    return at + digits;
  }

  // "uin=" as a parameter ("?uin=", "&uin=", "&amp;uin=") of a tencent:// or
  // qq.com link.
  std::size_t ReadUin(std::size_t at) {
    if (before_ != '?' && before_ != '&' && before_ != ';') return at;
    std::size_t start = at;
    while (start > 0 && at - start < kMostLinkBytes && bytes_[start - 1] > ' ' &&
           bytes_[start - 1] < 0x7F && bytes_[start - 1] != '"' && bytes_[start - 1] != '\'') {
      --start;
    }
    bool qqLink = false;
    for (std::size_t k = start; k < at && !qqLink; ++k) qqLink = t_.qqLinks.LengthAt(text_, k) > 0;
    if (!qqLink) return at;
    std::size_t number = at + kUin.size();
    while (number < text_.size() && bytes_[number] == '=') ++number;  // "Uin==" in old codes
    return ReadLinkNumber(number);
  }

  // A label from its marker on: the rest of the label and the gap behind
  // it, then a number and the list it may begin. A label's own number
  // ("QQ2：", "客服QQ 1:") stands in front of a colon.
  std::size_t ReadLabel(std::size_t at, std::size_t pos) {
    for (;;) {
      // A note ("QQ（售后）：") before a bracket as a gap ("QQ(12345678)").
      if (const std::size_t note = NoteEnd(pos); note > pos) {
        pos = note;
        continue;
      }
      if (const std::size_t gap = t_.gaps.LengthAt(text_, pos)) {
        pos += gap;
        continue;
      }
      if (const std::size_t word = t_.labelWords.LengthAt(text_, pos)) {
        pos += word;
        continue;
      }
      const std::size_t digits = DigitsAt(pos);
      if (digits == 0 || digits > 2) break;
      std::size_t colon = pos + digits;
      while (colon < text_.size() && bytes_[colon] == ' ') ++colon;
      if (t_.colons.LengthAt(text_, colon) == 0) break;
      pos = colon;
    }
    std::size_t digits = DigitsAt(pos);
    if (!ReadsAsQQ(pos, digits)) return at;
    for (;;) {
      Give(pos, digits);
      pos += digits;
      pos = NoteEnd(pos);
      const std::size_t next = NextOfList(pos);
      if (next == pos) return pos;
      digits = DigitsAt(next);
      if (!ReadsAsQQ(next, digits)) return pos;
      pos = next;
    }
  }

  // Behind a note in brackets that stands at `at`, or `at` when there is none.
  // A note holds no digits: "(9:00-18:00)" says when, not whose.
  std::size_t NoteEnd(std::size_t at) const {
    const std::size_t open = t_.noteOpen.LengthAt(text_, at);
    if (open == 0) return at;
    for (std::size_t k = at + open; k < text_.size() && k - at <= kMostNoteBytes;
         k += GbkCharLength(text_, k)) {
      if (kDigits.Contains(bytes_[k])) return at;
      if (const std::size_t close = t_.noteClose.LengthAt(text_, k)) return k + close;
    }
    return at;
  }

  // Where the next number of a list begins: behind blanks, a separator or
  // both; `at` when no number follows.
  std::size_t NextOfList(std::size_t at) const {
    std::size_t pos = at;
    while (const std::size_t blank = t_.blanks.LengthAt(text_, pos)) pos += blank;
    if (const std::size_t separator = t_.separators.LengthAt(text_, pos)) {
      pos += separator;
      while (const std::size_t blank = t_.blanks.LengthAt(text_, pos)) pos += blank;
    }
    return pos > at && pos < text_.size() && kDigits.Contains(bytes_[pos]) ? pos : at;
  }

  std::string_view text_;
  const unsigned char* bytes_;
  BuyerSink& sink_;
  const Tables& t_ = Table();
  // The character in front of the one looked at when it is a single byte,
  // else 0: a byte in front told from the second half of a Chinese character.
  unsigned char before_ = 0;
};

}  // namespace

void ExtractQQNumbersFromLine(std::string_view line, BuyerSink& sink) {
  // Most lines of a page hold no screen word at all.
  if (FindQQMarkerByte(line) == std::string_view::npos) return;
  LineReader(line, sink).Read();
}

void ExtractQQNumbers(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractQQNumbersFromLine(line, sink);
}

}  // namespace brivano
