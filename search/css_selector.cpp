#include "search/css_selector.h"

#include <algorithm>

#include "base/code_page.h"
#include "base/percent_encoding.h"
#include "base/text_search.h"

namespace brivano {
namespace {

constexpr bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
constexpr bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '-' || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}
constexpr char LowerAscii(char c) {
  return static_cast<char>(LowerAsciiByte(static_cast<unsigned char>(c)));
}

bool SameText(std::string_view a, std::string_view b, bool ignoreCase) {
  return ignoreCase ? EqualsIgnoringAsciiCase(a, b) : a == b;
}

std::size_t Find(std::string_view text, std::string_view part, bool ignoreCase,
                 std::size_t from = 0) {
  if (!ignoreCase) return text.find(part, from);
  if (part.size() > text.size()) return std::string_view::npos;
  for (std::size_t i = from; i + part.size() <= text.size(); ++i) {
    if (SameText(text.substr(i, part.size()), part, true)) return i;
  }
  return std::string_view::npos;
}

// Whether `word` is one of the blank-separated words of `list`.
bool HasWord(std::string_view list, std::string_view word, bool ignoreCase = false) {
  if (word.empty()) return false;
  for (std::size_t at = Find(list, word, ignoreCase); at != std::string_view::npos;
       at = Find(list, word, ignoreCase, at + 1)) {
    const std::size_t after = at + word.size();
    if ((at == 0 || IsHtmlBlank(list[at - 1])) &&
        (after == list.size() || IsHtmlBlank(list[after])))
      return true;
  }
  return false;
}

// Reads selector text one piece at a time; every read says whether the text
// held what was asked for.
class SelectorReader {
 public:
  explicit SelectorReader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return i_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[i_]; }
  void Skip() { ++i_; }
  bool SkipBlanks() {
    const std::size_t start = i_;
    while (!AtEnd() && IsHtmlBlank(text_[i_])) ++i_;
    return i_ > start;
  }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++i_;
    return true;
  }

  // An identifier with its escapes ("\31 a", "\:") resolved.
  bool Identifier(std::string& out) {
    out.clear();
    const std::size_t start = i_;
    while (!AtEnd()) {
      const char c = text_[i_];
      if (c == '\\') {
        if (!Escape(out)) return false;
      } else if (IsNameChar(c)) {
        out.push_back(c);
        ++i_;
      } else {
        break;
      }
    }
    if (i_ == start) return false;
    // An identifier starts with no digit, nor with "-" and a digit.
    const std::string_view raw = text_.substr(start);
    return !IsDigit(raw[0]) && !(raw[0] == '-' && raw.size() > 1 && IsDigit(raw[1]));
  }

  bool QuotedString(std::string& out) {
    out.clear();
    const char quote = text_[i_++];
    while (!AtEnd()) {
      const char c = text_[i_];
      if (c == quote) {
        ++i_;
        return true;
      }
      if (c == '\\') {
        if (!Escape(out)) return false;
      } else {
        out.push_back(c);
        ++i_;
      }
    }
    return false;
  }

 private:
  bool Escape(std::string& out) {
    ++i_;  // the backslash
    if (AtEnd()) return false;
    if (HexDigitValue(text_[i_]) < 0) {
      out.push_back(text_[i_++]);
      return true;
    }
    unsigned long code = 0;
    for (int digits = 0; digits < 6 && !AtEnd() && HexDigitValue(text_[i_]) >= 0; ++digits, ++i_) {
      code = code * 16 + static_cast<unsigned long>(HexDigitValue(text_[i_]));
    }
    if (!AtEnd() && IsHtmlBlank(text_[i_])) ++i_;
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    AppendUtf8(out, static_cast<char32_t>(code));
    return true;
  }

  std::string_view text_;
  std::size_t i_ = 0;
};

}  // namespace

CssSelector::CssSelector(std::string_view text) {
  if (!Parse(text)) alternatives_.clear();
}

bool CssSelector::Parse(std::string_view text) {
  SelectorReader in(text);
  Complex current;  // left to right while it is read
  bool child = false;
  bool blank = false;
  const auto finish = [&] {
    if (current.empty() || child) return false;
    std::reverse(current.begin(), current.end());
    alternatives_.push_back(std::move(current));
    current.clear();
    return true;
  };
  std::string word;
  while (true) {
    blank = in.SkipBlanks() || blank;
    if (in.AtEnd()) return finish();
    if (in.Take(',')) {
      if (!finish()) return false;
      blank = false;
      continue;
    }
    if (in.Take('>')) {
      if (current.empty() || child) return false;
      child = true;
      continue;
    }
    if (!current.empty() && !blank && !child) return false;  // "a:hover", "a+b"
    Compound compound;
    compound.childOfNext = child;
    child = blank = false;
    bool any = false;
    if (in.Take('*')) {
      any = true;
    } else if (IsNameChar(in.Peek()) || in.Peek() == '\\') {
      if (!in.Identifier(word)) return false;
      for (char& c : word) c = LowerAscii(c);
      compound.type = word;
      any = true;
    }
    while (true) {
      if (in.Take('.')) {
        if (!in.Identifier(word)) return false;
        compound.classes.push_back(word);
      } else if (in.Take('#')) {
        if (!in.Identifier(word)) return false;
        compound.ids.push_back(word);
      } else if (in.Take('[')) {
        AttributeTest test;
        in.SkipBlanks();
        if (!in.Identifier(test.name)) return false;
        for (char& c : test.name) c = LowerAscii(c);
        in.SkipBlanks();
        if (!in.Take(']')) {
          using Kind = AttributeTest::Kind;
          const char op = in.Peek();
          if (op == '=') {
            test.kind = Kind::Equals;
          } else {
            in.Skip();
            if (op == '*')
              test.kind = Kind::Contains;
            else if (op == '^')
              test.kind = Kind::Prefix;
            else if (op == '$')
              test.kind = Kind::Suffix;
            else if (op == '~')
              test.kind = Kind::Word;
            else if (op == '|')
              test.kind = Kind::Dash;
            else
              return false;
            if (in.Peek() != '=') return false;
          }
          in.Skip();
          in.SkipBlanks();
          if (in.Peek() == '"' || in.Peek() == '\'') {
            if (!in.QuotedString(test.value)) return false;
          } else if (!in.Identifier(test.value)) {
            return false;
          }
          const bool blankBefore = in.SkipBlanks();
          if (blankBefore &&
              (in.Peek() == 'i' || in.Peek() == 'I' || in.Peek() == 's' || in.Peek() == 'S')) {
            test.ignoreCase = LowerAscii(in.Peek()) == 'i';
            in.Skip();
            in.SkipBlanks();
          }
          if (!in.Take(']')) return false;
        }
        compound.attributes.push_back(std::move(test));
      } else {
        break;
      }
      any = true;
    }
    if (!any) return false;
    current.push_back(std::move(compound));
  }
}

bool CssSelector::MatchesCompound(const Compound& compound, const HtmlDocument& document,
                                  int index) {
  const HtmlNode& node = document.node(index);
  if (!node.IsElement()) return false;
  if (!compound.type.empty() && node.name != compound.type) return false;
  for (const std::string& id : compound.ids) {
    if (document.IdValue(index) != id || node.idAttribute < 0) return false;
  }
  if (!compound.classes.empty()) {
    const std::string_view classes = document.ClassValue(index);
    for (const std::string& name : compound.classes) {
      if (!HasWord(classes, name)) return false;
    }
  }
  using Kind = AttributeTest::Kind;
  for (const AttributeTest& test : compound.attributes) {
    const std::optional<std::string_view> found = document.Attribute(index, test.name);
    if (!found) return false;
    const std::string_view value = *found;
    const std::string_view wanted = test.value;
    const bool ignoreCase = test.ignoreCase;
    bool ok = true;
    switch (test.kind) {
      case Kind::Present:
        break;
      case Kind::Equals:
        ok = SameText(value, wanted, ignoreCase);
        break;
      case Kind::Contains:
        ok = !wanted.empty() && Find(value, wanted, ignoreCase) != std::string_view::npos;
        break;
      case Kind::Prefix:
        ok = !wanted.empty() && value.size() >= wanted.size() &&
             SameText(value.substr(0, wanted.size()), wanted, ignoreCase);
        break;
      case Kind::Suffix:
        ok = !wanted.empty() && value.size() >= wanted.size() &&
             SameText(value.substr(value.size() - wanted.size()), wanted, ignoreCase);
        break;
      case Kind::Word:
        ok = std::none_of(wanted.begin(), wanted.end(), IsHtmlBlank) &&
             HasWord(value, wanted, ignoreCase);
        break;
      case Kind::Dash:
        ok = SameText(value, wanted, ignoreCase) ||
             (value.size() > wanted.size() && value[wanted.size()] == '-' &&
              SameText(value.substr(0, wanted.size()), wanted, ignoreCase));
        break;
    }
    if (!ok) return false;
  }
  return true;
}

bool CssSelector::MatchesFrom(const Complex& complex, std::size_t at, const HtmlDocument& document,
                              int index) {
  if (!MatchesCompound(complex[at], document, index)) return false;
  if (at + 1 == complex.size()) return true;
  const int parent = document.node(index).parent;
  if (complex[at].childOfNext) {
    return parent >= 0 && MatchesFrom(complex, at + 1, document, parent);
  }
  for (int ancestor = parent; ancestor >= 0; ancestor = document.node(ancestor).parent) {
    if (MatchesFrom(complex, at + 1, document, ancestor)) return true;
  }
  return false;
}

bool CssSelector::Matches(const HtmlDocument& document, int index) const {
  return std::any_of(alternatives_.begin(), alternatives_.end(), [&](const Complex& complex) {
    return MatchesFrom(complex, 0, document, index);
  });
}

int CssSelector::FirstWithin(const HtmlDocument& document, int scope) const {
  if (!valid()) return -1;
  const int end = document.node(scope).end;
  for (int i = scope + 1; i < end; ++i) {
    if (Matches(document, i)) return i;
  }
  return -1;
}

}  // namespace brivano
