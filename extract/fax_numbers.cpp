#include "extract/fax_numbers.h"

#include <array>
#include <string>

#include <vector>
#include "base/text.h"
#include "extract/mobile_extractor.h"

namespace brivano {
namespace {

// What a number is written with. Full-width digits count as digits; every
// dash a page prints (hyphen, full-width hyphen, em and en dash, bar) is a
// dash.
enum class Sym { Digit, Dash, Blank, Open, Close, Plus, Other };

// Double-byte symbols by their GBK bytes.
struct WideSymbol {
  unsigned char lead;
  unsigned char trail;
  Sym sym;
};
constexpr WideSymbol kWideSymbols[] = {
    {0xA3, 0xAD, Sym::Dash},   // －
    {0xA1, 0xAA, Sym::Dash},   // —
    {0xA8, 0x43, Sym::Dash},   // –
    {0xA8, 0x44, Sym::Dash},   // ―
    {0xA1, 0xA1, Sym::Blank},  // full-width blank
    {0xA3, 0xA8, Sym::Open},   // （
    {0xA3, 0xA9, Sym::Close},  // ）
    {0xA3, 0xAB, Sym::Plus},   // ＋
};

struct Symbol {
  Sym sym = Sym::Other;
  std::size_t size = 0;  // 0 at the end of the line
  char digit = 0;
};

Symbol SymbolAt(std::string_view line, std::size_t at) {
  if (at >= line.size()) return {};
  const auto b = static_cast<unsigned char>(line[at]);
  if (b < 0x80) {
    if (b >= '0' && b <= '9') return {Sym::Digit, 1, static_cast<char>(b)};
    switch (b) {
      case '-':
        return {Sym::Dash, 1};
      case ' ':
        return {Sym::Blank, 1};
      case '(':
        return {Sym::Open, 1};
      case ')':
        return {Sym::Close, 1};
      case '+':
        return {Sym::Plus, 1};
      default:
        return {Sym::Other, 1};
    }
  }
  if (at + 1 >= line.size()) return {Sym::Other, 1};
  const auto trail = static_cast<unsigned char>(line[at + 1]);
  if (b == 0xA3 && trail >= 0xB0 && trail <= 0xB9) {
    return {Sym::Digit, 2, static_cast<char>('0' + (trail - 0xB0))};
  }
  if (b < 0xA1 || b > 0xA8) return {Sym::Other, 2};  // no symbol's row
  for (const WideSymbol& wide : kWideSymbols) {
    if (b == wide.lead && trail == wide.trail) return {wide.sym, 2};
  }
  return {Sym::Other, 2};
}

std::size_t Skip(std::string_view line, std::size_t at, Sym sym, std::size_t most = 64) {
  for (Symbol s; most > 0 && (s = SymbolAt(line, at)).sym == sym; --most) at += s.size;
  return at;
}

// The digits from `at` as ASCII; returns where they end.
std::size_t ReadDigits(std::string_view line, std::size_t at, std::string& digits) {
  digits.clear();
  for (Symbol s; (s = SymbolAt(line, at)).sym == Sym::Digit; at += s.size)
    digits.push_back(s.digit);
  return at;
}

// Country codes that a number may carry, with the digits of the number
// behind them. Longer codes first: "+886" is no "+88".
struct CountryCode {
  std::string_view code;
  std::size_t minDigits;
  std::size_t maxDigits;
};
constexpr CountryCode kCountryCodes[] = {
    {"852", 8, 8},  // Hong Kong
    {"853", 8, 8},  // Macau
    {"886", 8, 9},  // Taiwan
    {"86", 0, 0},   // the mainland: its numbers are read as national ones
};
constexpr const CountryCode* kMainland = &kCountryCodes[3];

const CountryCode* CodeAtStartOf(std::string_view digits) {
  for (const CountryCode& c : kCountryCodes) {
    if (digits.starts_with(c.code)) return &c;
  }
  return nullptr;
}

bool IsMainland(const CountryCode* code) {
  return code == kMainland;
}

// A bracketed run that holds more than a number's characters, in front of
// a number or behind it: "(8:00-22:00)", "(销售部)", "( Tel )".
constexpr std::size_t kLongestNote = 48;

// Groups of digits and how each joins the one before.
constexpr std::size_t kMostGroups = 6;
constexpr std::size_t kLongestGroup = 15;

struct Group {
  std::string digits;
  std::size_t end = 0;      // behind its last digit, or its closing bracket
  bool dashBefore = false;  // a dash or a bracket before it, not blanks alone
};

struct Groups {
  std::array<Group, kMostGroups> at;
  std::size_t count = 0;
};

// From behind a group: blanks, up to four dashes, blanks, and a digit. Returns
// the digit's position, or npos when no further group of this number follows.
std::size_t JoinAt(std::string_view line, std::size_t at, bool& dash) {
  std::size_t p = Skip(line, at, Sym::Blank, 2);
  std::size_t dashes = 0;
  for (Symbol s; (s = SymbolAt(line, p)).sym == Sym::Dash; p += s.size) ++dashes;
  if (dashes > 4) return std::string_view::npos;
  dash = dashes > 0;
  if (dash) p = Skip(line, p, Sym::Blank, 2);
  if (p == at || SymbolAt(line, p).sym != Sym::Digit) return std::string_view::npos;
  return p;
}

// "(0755)", "（010）": an area code in brackets. Returns behind the bracket,
// or `at` when there is none.
std::size_t BracketedDigits(std::string_view line, std::size_t at, std::string& digits) {
  if (SymbolAt(line, at).sym != Sym::Open) return at;
  std::size_t p = Skip(line, at + SymbolAt(line, at).size, Sym::Blank, 2);
  p = Skip(line, ReadDigits(line, p, digits), Sym::Blank, 2);
  if (digits.empty() || SymbolAt(line, p).sym != Sym::Close) return at;
  return p + SymbolAt(line, p).size;
}

// The groups of one number from `at`, the first possibly given already
// (the digits glued behind a country code).
Groups ReadGroups(std::string_view line, std::size_t at, std::string first) {
  Groups groups;
  bool bracket = false;
  if (first.empty()) {
    std::size_t end = BracketedDigits(line, at, first);
    bracket = end != at;
    if (!bracket) end = ReadDigits(line, at, first);
    at = end;
    if (first.empty()) return groups;
  }
  groups.at[groups.count++] = {std::move(first), at, false};
  while (groups.count < kMostGroups) {
    bool dash = false;
    std::size_t p = bracket ? Skip(line, Skip(line, at, Sym::Blank, 2), Sym::Dash, 1) : at;
    p = bracket ? Skip(line, p, Sym::Blank, 2) : JoinAt(line, at, dash);
    if (p == std::string_view::npos || SymbolAt(line, p).sym != Sym::Digit) break;
    Group& g = groups.at[groups.count];
    const std::size_t end = ReadDigits(line, p, g.digits);
    // A run too long for any number ends this one; it is no part of it.
    if (g.digits.size() > kLongestGroup) break;
    at = end;
    g.end = at;
    g.dashBefore = dash || bracket;
    bracket = false;
    ++groups.count;
  }
  if (groups.at[0].digits.size() > kLongestGroup) groups.count = 0;
  return groups;
}

// A place name or a desk glued to a number of a list: "北站04-…、南站04-…".
constexpr std::size_t kMostListWordChars = 2;

// Where a number of a list begins: a digit, a plus sign or a bracket.
bool BeginsNumber(std::string_view line, std::size_t at) {
  const Sym sym = SymbolAt(line, at).sym;
  return sym == Sym::Digit || sym == Sym::Plus || sym == Sym::Open;
}

struct Number {
  std::string value;  // empty: no number
  std::size_t end = 0;
  // A landline's area code as written with what joins it to the local
  // number ("010-"), and the local number's digits: a list's next bare local
  // number shares them.
  std::string area;
  std::size_t localDigits = 0;
  bool bareLocal = false;  // a local number without an area code
};

// Takes groups from the first while fewer than `enough` digits are taken;
// each must have `shortest` digits or more, and all no more than `most`.
// Returns how many groups, 0 when they do not come to `enough`.
std::size_t Take(const Groups& groups, std::size_t from, std::size_t have, std::size_t enough,
                 std::size_t most, std::size_t shortest, std::size_t& digits) {
  std::size_t i = from;
  digits = have;
  while (digits < enough && i < groups.count) {
    const std::size_t size = groups.at[i].digits.size();
    if (size < shortest || digits + size > most) return 0;
    digits += size;
    ++i;
  }
  return digits >= enough && digits <= most ? i : 0;
}

std::string Written(const Groups& groups, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    if (groups.at[i].dashBefore) out.push_back('-');
    out += groups.at[i].digits;
  }
  return out;
}

std::string AllDigits(const Groups& groups, std::size_t count) {
  std::string out;
  for (std::size_t i = 0; i < count; ++i) out += groups.at[i].digits;
  return out;
}

// A mainland number, its country code given or not: how many groups it
// takes and its recorded form in `number`.
std::size_t Interpret(const Groups& groups, bool mainlandCode, Number& number) {
  const std::string& first = groups.at[0].digits;
  std::size_t digits = 0;
  // Service numbers as written, Taiwan's 0800 among them.
  if (first.starts_with("400") || first.starts_with("800") || first.starts_with("0800")) {
    const std::size_t n = Take(groups, 0, 0, 10, 10, 1, digits);
    if (n > 0) number.value = Written(groups, n);
    return n;
  }
  // A mobile number, with a trunk "0" in front or without: its 11 digits.
  // Nothing else begins with 1: "12345678901" is no number.
  // Behind a country code "10" is Beijing's area code.
  const bool trunkMobile =
      first.size() >= 3 && first[0] == '0' && first[1] == '1' && first[2] >= '3' && first[2] <= '9';
  if ((first[0] == '1' && !(mainlandCode && first == "10")) || trunkMobile) {
    const std::size_t length = trunkMobile ? 12 : 11;
    const std::size_t n = Take(groups, 0, 0, length, length, 3, digits);
    const std::string all = AllDigits(groups, n);
    if (n > 0 && IsMobileNumber(all.substr(trunkMobile ? 1 : 0))) {
      number.value = all.substr(trunkMobile ? 1 : 0);
    }
    return number.value.empty() ? 0 : n;
  }
  if (first[0] != '0' && !mainlandCode) {  // a local number, kept as written
    const std::size_t n = Take(groups, 0, 0, 7, 8, 3, digits);
    // Two more groups of a card's size behind it: a card or account number
    // ("6217 6352 3890 3962").
    auto cardGroup = [&](std::size_t i) {
      return i < groups.count && groups.at[i].digits.size() >= 3 && groups.at[i].digits.size() <= 4;
    };
    if (n == 0 || (cardGroup(n) && cardGroup(n + 1))) return 0;
    number.value = Written(groups, n);
    number.bareLocal = true;
    number.localDigits = digits;
    return n;
  }
  // A landline in national form; behind a country code the trunk "0" is
  // added. An area code written apart takes a local number of seven or
  // eight digits ("0760-6532-5318"); otherwise the whole has 10 to 12.
  const std::string trunk = first[0] == '0' ? "" : "0";
  const std::size_t area = trunk.size() + first.size();
  std::size_t n = 0;
  if (area >= 2 && area <= 4 && groups.count > 1) {
    n = Take(groups, 1, 0, 7, 8, 3, digits);
    if (n == 0) return 0;
    number.area = trunk + first + (groups.at[1].dashBefore ? "-" : "");
    number.localDigits = digits;
  } else {
    n = Take(groups, 1, area, 10, 12, 3, digits);
    if (n == 0) return 0;
  }
  number.value = trunk + Written(groups, n);
  return n;
}

// An extension behind a number: "-801", "转801", "分机 801", "ext.801",
// "x801". Returns behind it, or `at`.
std::size_t SkipExtension(std::string_view line, std::size_t at, const Groups& groups,
                          std::size_t taken) {
  if (taken < groups.count && groups.at[taken].dashBefore && groups.at[taken].digits.size() <= 5) {
    return groups.at[taken].end;
  }
  static constexpr std::string_view kWords[] = {"转", "轉", "分机", "分機", "ext.", "ext", "x"};
  static const FaxWords words(kWords, true);
  std::size_t p = Skip(line, at, Sym::Blank, 1);
  p = Skip(line, p, Sym::Dash, 1);
  if (const std::size_t word = words.LengthAt(line, p); word != 0) {
    std::size_t q = Skip(line, p + word, Sym::Blank, 1);
    if (line.substr(q, 1) == ":") ++q;
    std::string digits;
    const std::size_t end = ReadDigits(line, q, digits);
    return !digits.empty() && digits.size() <= 6 ? end : at;
  }
  return at;
}

// One number from `at`: its country code, its groups, what they make, its
// extension.
Number ReadNumber(std::string_view line, std::size_t at) {
  Number number;
  const CountryCode* code = nullptr;
  std::string glued;  // digits written right behind the code
  std::string digits;
  std::size_t p = at;
  const Symbol s = SymbolAt(line, at);
  if (s.sym == Sym::Plus) {  // "+86", "+ 852", "+8613800000000"
    const std::size_t end = ReadDigits(line, Skip(line, at + s.size, Sym::Blank, 1), digits);
    code = CodeAtStartOf(digits);
    if (code == nullptr) return number;
    glued = digits.substr(code->code.size());
    p = end;
  } else if (s.sym == Sym::Open) {  // "(+86)", "(852)"
    std::size_t q = Skip(line, at + s.size, Sym::Blank, 2);
    if (SymbolAt(line, q).sym == Sym::Plus) q += SymbolAt(line, q).size;
    q = Skip(line, ReadDigits(line, q, digits), Sym::Blank, 2);
    const CountryCode* inBrackets = CodeAtStartOf(digits);
    std::string area;
    if (SymbolAt(line, q).sym == Sym::Close && inBrackets != nullptr &&
        inBrackets->code == digits) {
      code = inBrackets;
      p = q + SymbolAt(line, q).size;
    } else if (BracketedDigits(line, at, area) == at) {  // "传真(2548 6031)"
      p = Skip(line, at + s.size, Sym::Blank, 2);
      if (!BeginsNumber(line, p) || SymbolAt(line, p).sym == Sym::Open) return number;
      return ReadNumber(line, p);
    }
  } else if (s.sym == Sym::Digit) {  // "0086-", "00852", "86-", "8613800000000"
    const std::size_t end = ReadDigits(line, at, digits);
    bool dash = false;
    if (digits.starts_with("00") && CodeAtStartOf(digits.substr(2)) != nullptr) {
      code = CodeAtStartOf(digits.substr(2));
      glued = digits.substr(2 + code->code.size());
      p = end;
    } else if ((digits == "086" ||
                (CodeAtStartOf(digits) != nullptr && CodeAtStartOf(digits)->code == digits)) &&
               JoinAt(line, end, dash) != std::string_view::npos) {
      code = digits == "086" ? kMainland : CodeAtStartOf(digits);  // "86-", "886-2-"
      p = end;
    } else if (digits.starts_with("86") && digits.size() >= 12) {
      code = kMainland;
      glued = digits.substr(2);
      p = end;
    }
  }
  if (code != nullptr && glued.empty()) {  // "+86 ", "+86-", "+86 (0)"
    p = Skip(line, Skip(line, Skip(line, p, Sym::Blank, 2), Sym::Dash, 1), Sym::Blank, 2);
    std::string zero;
    if (const std::size_t end = BracketedDigits(line, p, zero); end != p && zero == "0") {
      p = Skip(line, Skip(line, end, Sym::Blank, 2), Sym::Dash, 1);
    }
  }
  const Groups groups = ReadGroups(line, p, glued);
  if (groups.count == 0) return number;
  std::size_t taken = 0;
  if (code != nullptr && !IsMainland(code)) {
    std::size_t count = 0;
    taken = Take(groups, 0, 0, code->minDigits, code->maxDigits, 1, count);
    if (taken > 0) {
      number.value = "+" + std::string(code->code) + "-" + Written(groups, taken);
    }
  } else {
    taken = Interpret(groups, IsMainland(code), number);
  }
  if (taken == 0) return {};
  number.end = SkipExtension(line, groups.at[taken - 1].end, groups, taken);
  // Digits glued to an "@" are a mailbox's name, and digits glued to a unit
  // a count, a price or a date ("3000000件"): no number.
  static constexpr std::string_view kUnits[] = {"@",  "元", "件", "次", "人", "个", "個",
                                                "万", "萬", "亿", "億", "年", "月", "日",
                                                "天", "台", "吨", "噸", "岁", "歲", "%"};
  static const FaxWords units(kUnits);
  if (units.LengthAt(line, groups.at[taken - 1].end) != 0) return {};
  return number;
}

// A bracketed note, which may hold one more ("(市場(chǎng)部)"): returns
// behind it, or `at` when none stands there.
std::size_t SkipNote(std::string_view line, std::size_t at) {
  const Symbol open = SymbolAt(line, at);
  if (open.sym != Sym::Open) return at;
  // A number in brackets is no note: "电话(027-59861483, 88127904)".
  if (!ReadNumber(line, Skip(line, at + open.size, Sym::Blank, 2)).value.empty()) return at;
  bool words = false;
  int depth = 0;
  for (std::size_t p = at; p < line.size() && p - at <= kLongestNote;) {
    const Symbol s = SymbolAt(line, p);
    p += s.size;
    if (s.sym == Sym::Open && ++depth > 2) return at;
    if (s.sym == Sym::Close && --depth == 0) return words ? p : at;
    words = words || s.sym == Sym::Other;
  }
  return at;
}

// Between the numbers of a list, besides blanks.
std::size_t ListSeparatorAt(std::string_view line, std::size_t at) {
  static constexpr std::string_view kSeparators[] = {"、", "/",  "／", ",", "，",
                                                     ";",  "；", "或", "|", "｜"};
  static const FaxWords separators(kSeparators);
  return separators.LengthAt(line, at);
}

std::size_t SkipListBlanks(std::string_view line, std::size_t at) {
  for (;;) {
    if (line.substr(at, 1) == "\t") {
      ++at;
    } else if (const Symbol s = SymbolAt(line, at); s.sym == Sym::Blank) {
      at += s.size;
    } else {
      return at;
    }
  }
}

}  // namespace

FaxWords::FaxWords(std::span<const std::string_view> utf8, bool ignoreCase)
    : ignoreCase_(ignoreCase) {
  for (std::string_view word : utf8) {
    words_.push_back(Utf8ToGbk(word));
    const auto first = static_cast<unsigned char>(words_.back()[0]);
    first_[first] = true;
    if (ignoreCase && first >= 'a' && first <= 'z') first_[first & ~0x20u] = true;
  }
}

std::size_t FaxWords::LengthAt(std::string_view line, std::size_t at) const {
  if (at >= line.size() || !first_[static_cast<unsigned char>(line[at])]) return 0;
  for (const std::string& word : words_) {
    if (line.size() - at < word.size()) continue;
    std::size_t k = 0;
    for (; k < word.size(); ++k) {
      auto b = static_cast<unsigned char>(line[at + k]);
      if (ignoreCase_ && b >= 'A' && b <= 'Z') b |= 0x20;
      if (b != static_cast<unsigned char>(word[k])) break;
    }
    if (k == word.size()) return word.size();
  }
  return 0;
}

std::size_t SkipFaxNote(std::string_view line, std::size_t at) {
  return SkipNote(line, at);
}

bool IsHanzi(std::string_view line, std::size_t at) {
  // GBK's rows A1 to A9 hold punctuation, symbols and full-width letters.
  const auto lead = at + 1 < line.size() ? static_cast<unsigned char>(line[at]) : 0;
  return lead >= 0x81 && (lead < 0xA1 || lead > 0xA9);
}

std::size_t ReadFaxNumbers(std::string_view line, std::size_t at, BuyerSink& sink) {
  std::size_t end = at;
  std::string area;
  std::size_t localDigits = 0;
  for (std::size_t p = at;;) {
    Number number = ReadNumber(line, p);
    if (number.value.empty()) return end;
    if (number.bareLocal && !area.empty() && number.localDigits == localDigits) {
      number.value.insert(0, area);  // "010-65646093、65646095"
    } else {
      area = number.area;
      localDigits = number.localDigits;
    }
    sink.AddBuyerItem(number.value, ContactKind::Fax);
    const std::size_t blanks = Skip(line, number.end, Sym::Blank, 2);
    const std::size_t note = SkipNote(line, blanks);
    end = note != blanks ? note : number.end;
    p = SkipListBlanks(line, end);
    const std::size_t separator = ListSeparatorAt(line, p);
    if (separator == 0 && p == end) return end;
    p = SkipListBlanks(line, p + separator);
    for (std::size_t q = p, chars = 0; chars < kMostListWordChars && IsHanzi(line, q); ++chars) {
      q += 2;
      if (SymbolAt(line, q).sym == Sym::Digit) {
        p = q;
        break;
      }
    }
    if (!BeginsNumber(line, p)) return end;
  }
}

}  // namespace brivano
