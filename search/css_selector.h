// CSS selectors as the engine rows write them, matched against a page read
// by html_tree.h: lists ("a, b"), the descendant (" ") and child (">")
// combinators, type, ".class", "#id" and attribute tests ([a], [a='v'],
// [a*='v'], [a^='v'], [a$='v'], [a~='v'], [a|='v'], with an " i" flag for
// case). A selector with anything else (":hover", "+", "~") matches
// nothing, as a browser's querySelectorAll finds nothing in a list it
// cannot read.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/html_tree.h"

namespace brivano {

class CssSelector {
 public:
  explicit CssSelector(std::string_view text);

  // Whether the text was read whole; an empty selector is not.
  bool valid() const { return !alternatives_.empty(); }
  bool Matches(const HtmlDocument& document, int index) const;
  // The first element inside the one at `scope` (not itself) that matches,
  // in document order; -1 when none does.
  int FirstWithin(const HtmlDocument& document, int scope) const;

 private:
  struct AttributeTest {
    enum class Kind { Present, Equals, Contains, Prefix, Suffix, Word, Dash };
    std::string name;
    Kind kind = Kind::Present;
    std::string value;
    bool ignoreCase = false;
  };
  struct Compound {
    std::string type;  // lower case; empty for any
    std::vector<std::string> ids;
    std::vector<std::string> classes;
    std::vector<AttributeTest> attributes;
    bool childOfNext = false;  // joined to the compound before it by ">"
  };
  // A complex selector from right to left: [0] is the element itself.
  using Complex = std::vector<Compound>;

  static bool MatchesCompound(const Compound& compound, const HtmlDocument& document, int index);
  static bool MatchesFrom(const Complex& complex, std::size_t at, const HtmlDocument& document,
                          int index);
  bool Parse(std::string_view text);

  std::vector<Complex> alternatives_;
};

}  // namespace brivano
