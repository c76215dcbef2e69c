#include "extract/fax_extractor.h"

#include <array>
#include <vector>

#include "base/text.h"
#include "extract/fax_numbers.h"

namespace brivano {
namespace {

// ---- Labels ----------------------------------------------------------------

enum LabelFlag : unsigned {
  kLatin = 1,         // ASCII letters in either case, no letter right behind
  kStandsAlone = 2,   // no ASCII letter or digit right in front ("Intel", "3F:")
  kNeedsColon = 4,    // a letter alone is a label only with its colon ("T:")
  kBlanksInside = 8,  // "电 话", "传　真"
};

struct LabelWord {
  std::string_view utf8;
  unsigned flags;
};

// The words for a telephone or a fax. Where one word begins another, the
// longer comes first.
constexpr LabelWord kLabelWords[] = {
    {"电话", kBlanksInside},
    {"電話", kBlanksInside},
    {"传真", kBlanksInside},
    {"傳真", kBlanksInside},
    {"固话", kBlanksInside},
    {"固話", kBlanksInside},
    {"座机", 0},
    {"总机", 0},
    {"總機", 0},
    {"热线", 0},
    {"熱線", 0},
    {"专线", 0},
    {"專線", 0},
    {"联系方式", 0},
    {"聯系方式", 0},
    {"聯繫方式", 0},
    {"请联系", 0},
    {"来电", 0},
    {"來電", 0},
    {"致电", 0},
    {"致電", 0},
    {"请电", 0},
    {"請電", 0},
    {"拨打", 0},
    {"撥打", 0},
    {"℡", 0},
    {"telephone", kLatin},
    {"tel", kLatin | kStandsAlone},
    {"phone", kLatin},
    {"ph", kLatin | kStandsAlone},
    {"fax", kLatin},
    {"hotline", kLatin},
    {"t/f", kLatin | kStandsAlone},
    {"t", kLatin | kStandsAlone | kNeedsColon},
    {"f", kLatin | kStandsAlone | kNeedsColon},
    {"m", kLatin | kStandsAlone | kNeedsColon},
};

// What may follow a label word before its gap: "电话号码", "传真至",
// "电话咨询", "Tel.".
constexpr std::string_view kLabelSuffixes[] = {"号码", "號碼", "号",   "號",   "至", "为",
                                               "為",   "咨询", "諮詢", "客服", "."};

// Words between a label and its number, the number glued to them or behind
// a colon: who answers ("联系方式:李先生 0469-…"), a desk ("致電本中心2561…",
// "电话:门诊服务中心(工作日)本部0519-…"). At most this many characters,
// notes aside, and no label among them; none of them after a tab, which
// ends the label's cell.
constexpr std::size_t kMostWordChars = 12;
// Words of other fields: an account or card number (账号, 卡号), a mobile
// number (手机), a mailbox, an address, a price or a fee.
constexpr std::string_view kNotWordsBeforeNumber[] = {"号", "號", "机", "機", "箱",
                                                      "址", "价", "價", "费", "費"};

// What stands between a label and its number, besides blanks and notes: a
// colon, a semicolon, a table's bar, the bracket that closes "(Fax)".
constexpr std::string_view kGapMarks[] = {":", "：", ";", "|", "｜", ")", "）", "“", "\""};

struct Labels {
  struct Word {
    std::string gbk;  // Latin words in lower case
    unsigned flags;
  };
  std::vector<Word> words;
  FaxWords suffixes{kLabelSuffixes};
  FaxWords gapMarks{kGapMarks};
  FaxWords notWords{kNotWordsBeforeNumber};
  std::string colon = Utf8ToGbk("：");
  // The words that begin with each byte, in table order.
  std::array<std::vector<const Word*>, 256> byFirstByte;

  Labels() {
    words.reserve(std::size(kLabelWords));
    for (const LabelWord& w : kLabelWords) {
      words.push_back({Utf8ToGbk(w.utf8), w.flags});
      const auto first = static_cast<unsigned char>(words.back().gbk[0]);
      byFirstByte[first].push_back(&words.back());
      if (w.flags & kLatin) byFirstByte[first & ~0x20u].push_back(&words.back());
    }
  }
};

const Labels& LabelTable() {
  static const Labels labels;
  return labels;
}

bool IsAsciiLetter(unsigned char b) {
  return (b | 0x20) >= 'a' && (b | 0x20) <= 'z';
}

bool IsAsciiAlnum(unsigned char b) {
  return IsAsciiLetter(b) || (b >= '0' && b <= '9');
}

// A blank between the characters of "电 话": ASCII or full-width.
std::size_t BlankAt(std::string_view line, std::size_t at) {
  if (line.substr(at, 1) == " ") return 1;
  return line.substr(at, 2) == "\xA1\xA1" ? 2 : 0;
}

// The end of `word` when it stands at `at` as a label, else 0. `afterAlnum`:
// an ASCII letter or digit stands right in front.
std::size_t WordEnd(std::string_view line, std::size_t at, const Labels::Word& word,
                    bool afterAlnum) {
  const std::string& w = word.gbk;
  if (word.flags & kLatin) {
    if ((word.flags & kStandsAlone) && afterAlnum) return 0;
    if (line.size() - at < w.size()) return 0;
    for (std::size_t k = 0; k < w.size(); ++k) {
      const auto b = static_cast<unsigned char>(line[at + k]);
      if ((IsAsciiLetter(b) ? (b | 0x20) : b) != static_cast<unsigned char>(w[k])) return 0;
    }
    const std::size_t end = at + w.size();
    if (end < line.size() && IsAsciiLetter(static_cast<unsigned char>(line[end]))) return 0;
    if (word.flags & kNeedsColon) {
      if (line.substr(end, 1) == ":") return end;
      return line.substr(end).starts_with(LabelTable().colon) ? end : 0;
    }
    return end;
  }
  if (!(word.flags & kBlanksInside)) return line.substr(at).starts_with(w) ? at + w.size() : 0;
  // Two characters, with up to two blanks between them, or a note: pages
  // that print each character's reading behind it ("電(diàn)話").
  if (line.substr(at, 2) != std::string_view(w).substr(0, 2)) return 0;
  std::size_t p = SkipFaxNote(line, at + 2);
  for (int blanks = 0; blanks < 2; ++blanks) {
    const std::size_t blank = BlankAt(line, p);
    if (blank == 0) break;
    p += blank;
  }
  return line.substr(p, 2) == std::string_view(w).substr(2) ? p + 2 : 0;
}

// The label word at `at` with its suffix: where it ends (0 for none), and
// whether an ASCII letter ends it.
struct LabelAt {
  std::size_t end = 0;
  bool letterLast = false;
};

LabelAt LabelEnd(std::string_view line, std::size_t at, bool afterAlnum) {
  const Labels& labels = LabelTable();
  for (const Labels::Word* word : labels.byFirstByte[static_cast<unsigned char>(line[at])]) {
    LabelAt label{WordEnd(line, at, *word, afterAlnum), (word->flags & kLatin) != 0};
    if (label.end == 0) continue;
    if (const std::size_t suffix = labels.suffixes.LengthAt(line, label.end); suffix != 0) {
      label.end += suffix;
      label.letterLast = false;
    }
    return label;
  }
  return {};
}

std::size_t SkipBlanks(std::string_view line, std::size_t at) {
  while (at < line.size()) {
    const std::size_t blank = line[at] == '\t' ? 1 : BlankAt(line, at);
    if (blank == 0) break;
    at += blank;
  }
  return at;
}

// Past the blanks, colons, bars and bracketed notes behind a label.
std::size_t SkipGap(std::string_view line, std::size_t at) {
  const Labels& labels = LabelTable();
  for (int marks = 0;; ++marks) {
    at = SkipBlanks(line, at);
    if (marks == 8) return at;
    if (const std::size_t note = SkipFaxNote(line, at); note != at) {
      at = note;
      continue;
    }
    const std::size_t mark = labels.gapMarks.LengthAt(line, at);
    if (mark == 0) return at;
    at += mark;
  }
}

// Behind the words at `at` that stand before a number, or `at`.
std::size_t SkipWords(std::string_view line, std::size_t at) {
  const Labels& labels = LabelTable();
  if (at > 0 && line[at - 1] == '\t') return at;
  std::size_t p = at;
  for (std::size_t chars = 0; chars < kMostWordChars && IsHanzi(line, p); ++chars) {
    if (LabelEnd(line, p, false).end != 0) return at;
    if (labels.notWords.LengthAt(line, p) != 0) return at;
    p = SkipFaxNote(line, p + 2);
  }
  return p;
}

// Reads the numbers behind a label's gap, or behind words and their own gap;
// returns where they end, or `gapEnd` when there are none.
std::size_t ReadNumbersBehind(std::string_view line, std::size_t gapEnd, BuyerSink& sink) {
  std::size_t read = ReadFaxNumbers(line, gapEnd, sink);
  if (read == gapEnd) {
    const std::size_t words = SkipWords(line, gapEnd);
    if (words != gapEnd) {
      const std::size_t number = SkipGap(line, words);
      read = ReadFaxNumbers(line, number, sink);
      if (read == number) read = gapEnd;
    }
  }
  return read;
}

// ---- Lines -------------------------------------------------------------------

// Every label of the line and the numbers behind it; true when the line ends
// with a label that no number follows on it.
bool ReadLine(std::string_view line, BuyerSink& sink) {
  // Most lines of a page hold no label at all.
  if (FindFaxLabelByte(line) == std::string_view::npos) return false;
  const Labels& labels = LabelTable();
  bool afterAlnum = false;
  for (std::size_t at = 0; at < line.size();) {
    const auto b = static_cast<unsigned char>(line[at]);
    if (!labels.byFirstByte[b].empty()) {
      if (const LabelAt label = LabelEnd(line, at, afterAlnum); label.end != 0) {
        const std::size_t number = SkipGap(line, label.end);
        if (number == line.size()) return true;
        const std::size_t read = ReadNumbersBehind(line, number, sink);
        // Numbers down to the end of the line may go on below it.
        if (read != number && SkipBlanks(line, read) == line.size()) return true;
        // A number ends with a digit or a note's bracket; no trail byte of
        // GBK is an ASCII digit.
        afterAlnum = read != number ? kDigits.Contains(static_cast<unsigned char>(line[read - 1]))
                                    : label.letterLast;
        at = read != number ? read : label.end;
        continue;
      }
    }
    afterAlnum = IsAsciiAlnum(b);
    at += b >= 0x80 && at + 1 < line.size() ? 2 : 1;
  }
  return false;
}

}  // namespace

void ExtractFaxesFromLine(std::string_view line, BuyerSink& sink) {
  ReadLine(line, sink);
}

bool ExtractFaxesFromLineWaiting(std::string_view line, BuyerSink& sink) {
  return ReadLine(line, sink);
}

BelowLabel ExtractFaxesBelowLabel(std::string_view line, BuyerSink& sink) {
  if (SkipBlanks(line, 0) == line.size()) return BelowLabel::Blank;
  const std::size_t at = SkipGap(line, 0);
  const std::size_t end = ReadNumbersBehind(line, at, sink);
  // A line of numbers alone, without a label of its own, leaves the list
  // open for the line below ("咨询热线" over two numbers on two lines).
  const bool all = end != at && SkipBlanks(line, end) == line.size() &&
                   FindFaxLabelByte(line) == std::string_view::npos;
  return all ? BelowLabel::ReadToTheEnd : BelowLabel::Read;
}

void ExtractFaxes(std::span<const std::string> pageLines, BuyerSink& sink) {
  ExtractPage(ContactKind::Fax, pageLines, sink);
}

}  // namespace brivano
