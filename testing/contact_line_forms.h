// The pieces that the generated contact lines of every kind are made of: the
// random draws, a value's fields and the forms that write them, labels and
// the gaps behind them, and the tables of one kind. Each kind's tables lie in
// a file of their own (contact_lines_KIND.cpp); contact_lines.cpp puts lines
// together from them.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace brivano::testing::lines {

class Draw {
 public:
  explicit Draw(std::uint32_t seed) : engine_(seed) {}

  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  bool Percent(unsigned p) { return Below(100) < p; }

  std::string_view Any(std::span<const std::string_view> table) {
    return table[Below(table.size())];
  }
  // An entry of a table whose entries carry a `weight`.
  template <typename Table>
  const auto& Pick(const Table& table) {
    std::size_t total = 0;
    for (const auto& entry : table) total += static_cast<std::size_t>(entry.weight);
    std::size_t r = Below(total);
    for (const auto& entry : table) {
      if (r < static_cast<std::size_t>(entry.weight)) return entry;
      r -= static_cast<std::size_t>(entry.weight);
    }
    return table.back();
  }
  std::string Digits(std::size_t count, int lowestFirst = 0) {
    std::string digits;
    for (std::size_t i = 0; i < count; ++i) {
      const int lowest = i == 0 ? lowestFirst : 0;
      const auto digit = lowest + static_cast<int>(Below(static_cast<std::size_t>(10 - lowest)));
      digits.push_back(static_cast<char>('0' + digit));
    }
    return digits;
  }
  // `pattern` with each "~" replaced by a digit of its own.
  std::string Scatter(std::string_view pattern) {
    std::string out;
    for (char c : pattern) out += c == '~' ? Digits(1) : std::string(1, c);
    return out;
  }

 private:
  std::mt19937 engine_;
};

// The parts of one value, which a form's patterns put together.
struct Fields {
  std::string prefix;  // P: the first three digits of a mobile number
  std::string area;    // C: an area code with its trunk 0; c: without it
  std::string local;   // L: the local number behind an area code
  std::string number;  // N: a QQ number
  std::string user;    // U and D: an address's two halves
  std::string domain;
  std::string digits;  // x: the next of these, so that two patterns agree
};

inline std::string Fill(std::string_view pattern, const Fields& f) {
  const std::string_view area = f.area;
  const std::array<std::pair<char, std::string_view>, 7> named{
      {{'P', f.prefix},
       {'C', area},
       {'c', area.substr(area.empty() ? 0 : 1)},
       {'L', f.local},
       {'N', f.number},
       {'U', f.user},
       {'D', f.domain}}};
  std::string out;
  std::size_t next = 0;
  for (char c : pattern) {
    const auto field =
        std::find_if(named.begin(), named.end(), [c](const auto& n) { return n.first == c; });
    if (field != named.end()) {
      out += field->second;
    } else {
      out += c == 'x' ? f.digits.at(next++) : c;
    }
  }
  return out;
}

inline std::string AsciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Full-width digits, U+FF10 to U+FF19.
inline std::string WideDigits(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      out += "\xEF\xBC";
      out += static_cast<char>(0x90 + (c - '0'));
    } else {
      out += c;
    }
  }
  return out;
}

// How a value is written, and what the extractor should make of it: both
// patterns in the placeholders of Fields.
struct Form {
  std::string_view name;
  std::string_view written;
  std::string_view expected;
  int weight;
  bool wideDigits = false;
};

// What stands between a label and its value. Repeats weigh an entry.
inline constexpr std::array<std::string_view, 11> kGaps{"：", "：",  "：", ":",  ":", " ",
                                                        "",   "： ", ": ", "　", "\t"};
// Behind a Latin label in front of an address, where a glued one would make
// the label part of it.
inline constexpr std::array<std::string_view, 5> kSpacedGaps{"：", ":", ": ", "： ", " "};
inline constexpr std::array<std::string_view, 4> kNameGaps{"", "", " ", "："};
inline constexpr std::array<std::string_view, 1> kNoGap{""};

struct Label {
  std::string_view text;
  int weight;
  std::span<const std::string_view> gaps = kGaps;
};

// One sort of value of a kind, with the labels written in front of it.
struct ValueClass {
  int weight;
  std::span<const Label> labels;
  std::span<const Form> forms;
  Fields (*draw)(Draw&);
};

struct KindTables {
  std::span<const ValueClass> classes;
  std::span<const std::string_view> joins;  // between values behind one label
  std::span<const std::string_view> tails;  // right behind the last of them
  std::span<const std::string_view> decoys;
};

// Mobile numbers, which the telephone lines hold as well.
inline constexpr std::array<std::string_view, 55> kMobilePrefixes{
    "130", "131", "132", "133", "134", "135", "136", "137", "138", "139", "145",
    "146", "147", "148", "149", "150", "151", "152", "153", "155", "156", "157",
    "158", "159", "162", "165", "166", "167", "170", "171", "172", "173", "175",
    "176", "177", "178", "180", "181", "182", "183", "184", "185", "186", "187",
    "188", "189", "190", "191", "192", "193", "195", "196", "197", "198", "199"};

inline Fields DrawMobile(Draw& draw) {
  Fields f;
  f.prefix = draw.Any(kMobilePrefixes);
  f.digits = draw.Digits(8);
  return f;
}

inline constexpr std::string_view kMobile = "Pxxxxxxxx";

const KindTables& MobileTables();
const KindTables& FaxTables();
const KindTables& QQTables();
const KindTables& AddressTables();

}  // namespace brivano::testing::lines
