#include "extract/fax_extractor.h"

#include <cstring>

#include "extract/text.h"

namespace brivano {
namespace {

constexpr std::string_view kLabel = "FAX:";
constexpr ByteClass kFaxChars{"0123456789(-+)"};
constexpr std::size_t kTailBytes = 255;
constexpr std::size_t kMinNumberBytes = 11;
constexpr std::size_t kMaxNumberBytes = 13;

// Turns the telephone label into the fax label, then every written form of
// the fax label into "FAX:", and finally drops all blanks so that blanks
// inside a number do not end it. Case is ignored, so "FAX" rows catch "Fax"
// and "fax" too.
constexpr ReplaceRow kLabelTable[] = {
    {"电话", "传真"},        // 1
    {"(Fax) ", "Fax"},       // 2
    {"(Fax)", "Fax"},        // 3
    {"（FAX）", "Fax"},      // 4
    {";", ":"},              // 5
    {"  ", " "},             // 6
    {"传真： ", "FAX:"},     // 7
    {"传真：", "FAX:"},      // 8
    {"传真: ", "FAX:"},      // 9
    {"传真:", "FAX:"},       // 10
    {"传真 ", "FAX:"},       // 11
    {"传真号码：", "FAX:"},  // 12
    {"传真至：", "FAX:"},    // 13
    {"FAX： ", "FAX:"},      // 14
    {"FAX：", "FAX:"},       // 15
    {"FAX: ", "FAX:"},       // 16
    {"FAX:", "FAX:"},        // 17
    {"FAX ", "FAX:"},        // 18
    {"FAX号码：", "FAX:"},   // 19
    {"FAX至：", "FAX:"},     // 20
    {" ", ""},               // 21
};

// Brackets around an area code become dashes, plus signs go, and runs of up
// to four dashes become one.
constexpr ReplaceRow kNumberCleanUp[] = {
    {"(", "-"},   // 1
    {")", "-"},   // 2
    {"+", ""},    // 3
    {"--", "-"},  // 4
    {"--", "-"},  // 5
};

// Tested in this order, each on what the one before left.
constexpr std::string_view kCountryPrefixes[] = {"0086-", "0086", "086-", "086", "86-", "86"};

const ReplaceTable& LabelTable() {
  static const ReplaceTable table(kLabelTable);
  return table;
}

const ReplaceTable& NumberCleanUp() {
  static const ReplaceTable table(kNumberCleanUp);
  return table;
}

// A label needs an "F" of some case in the line, or one of the two Chinese
// labels that the table turns into one; most lines of a page have neither.
// The Chinese test is a plain byte search and may hit across two characters:
// that only sends the line through the table, which never does.
bool MayHoldLabel(std::string_view line) {
  static const std::string fax = Utf8ToGbk("传真");
  static const std::string telephone = Utf8ToGbk("电话");
  return std::memchr(line.data(), 'F', line.size()) != nullptr ||
         std::memchr(line.data(), 'f', line.size()) != nullptr ||
         line.find(fax) != std::string_view::npos || line.find(telephone) != std::string_view::npos;
}

// National form of the number: dashes for brackets, no plus signs, no
// country prefix, the trunk "0" in front, no dash at either end.
std::string Normalise(std::string_view run) {
  std::string number(run);
  NumberCleanUp().Apply(number);
  if (!number.empty() && number.front() == '-') number.erase(0, 1);
  for (std::string_view prefix : kCountryPrefixes) {
    if (number.starts_with(prefix)) number.erase(0, prefix.size());
  }
  if (!number.starts_with('0')) number.insert(0, 1, '0');
  if (number.ends_with('-')) number.pop_back();
  return number;
}

// A label followed by a long run of dashes or brackets (a divider line, an
// empty form field) normalises to the trunk "0" and dashes, long enough to
// pass the length test. Such a value is no number: a number needs a digit
// behind the leading "0".
bool HoldsNumber(std::string_view number) {
  return number.find_first_of("0123456789", 1) != std::string_view::npos;
}

}  // namespace

void ExtractFaxesFromLine(std::string_view line, BuyerSink& sink) {
  if (!MayHoldLabel(line)) return;
  std::string work(line);
  LabelTable().Apply(work);
  const std::size_t at = FindText(work, kLabel);
  if (at == std::string::npos) return;
  const std::string_view tail =
      CutTo(std::string_view(work).substr(at + kLabel.size()), kTailBytes);
  const std::string number = Normalise(tail.substr(0, RunLength(tail, kFaxChars)));
  if (number.size() >= kMinNumberBytes && number.size() <= kMaxNumberBytes && HoldsNumber(number)) {
    sink.AddBuyerItem(number, ContactKind::Fax);
  }
}

void ExtractFaxes(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractFaxesFromLine(line, sink);
}

}  // namespace brivano
