#include "store/contact_validation.h"

#include <phonenumbers/phonenumberutil.h>

#include <algorithm>
#include <array>
#include <string>

#include "base/text.h"

namespace brivano {
namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

// The mainland type of a national number, or UNKNOWN when it is none.
PhoneNumberUtil::PhoneNumberType MainlandType(const std::string& digits) {
  const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  PhoneNumber number;
  if (util.Parse(digits, "CN", &number) != PhoneNumberUtil::NO_PARSING_ERROR ||
      !util.IsValidNumberForRegion(number, "CN")) {
    return PhoneNumberUtil::UNKNOWN;
  }
  const PhoneNumberUtil::PhoneNumberType type = util.GetNumberType(number);
  // The metadata accepts some local numbers that start with 0 or 1 behind the
  // area code ("0571-08886666"); no mainland local number does.
  if (type == PhoneNumberUtil::FIXED_LINE) {
    std::string national;
    util.GetNationalSignificantNumber(number, &national);
    const std::size_t areaCode =
        static_cast<std::size_t>(util.GetLengthOfGeographicalAreaCode(number));
    if (areaCode > 0 && areaCode < national.size() &&
        (national[areaCode] == '0' || national[areaCode] == '1')) {
      return PhoneNumberUtil::UNKNOWN;
    }
  }
  return type;
}

bool IsMobile(std::string_view value) {
  if (value.size() != 11 || RunLength(value, kDigits) != value.size()) {
    return false;
  }
  const auto type = MainlandType(std::string(value));
  return type == PhoneNumberUtil::MOBILE || type == PhoneNumberUtil::FIXED_LINE_OR_MOBILE;
}

bool IsFixedLineDigits(const std::string& digits) {
  const auto type = MainlandType(digits);
  return type == PhoneNumberUtil::FIXED_LINE || type == PhoneNumberUtil::FIXED_LINE_OR_MOBILE;
}

// The fax extractor gives the national form: a trunk "0", digits and dashes
// ("0571-88886666", "010-6552-1234", "0755-26543210-803").
bool IsFixedLine(std::string_view value) {
  std::string digits;
  std::string firstTwoGroups;  // without a trailing extension
  int groups = 1;
  for (char c : value) {
    if (c == '-') {
      if (!digits.empty() && ++groups == 3) firstTwoGroups = digits;
      continue;
    }
    if (!kDigits.Contains(static_cast<unsigned char>(c))) return false;
    digits.push_back(c);
  }
  if (IsFixedLineDigits(digits)) return true;
  return !firstTwoGroups.empty() && IsFixedLineDigits(firstTwoGroups);
}

bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Extensions of files that pages link to and that look like addresses with
// an "@" in the name (images at several scales: "logo@2x.png").
constexpr std::array<std::string_view, 12> kFileExtensions{
    "png", "jpg", "jpeg", "gif", "webp", "svg", "bmp", "ico", "tif", "tiff", "css", "js"};

bool IsEmailAddress(std::string_view value) {
  const std::size_t at = value.rfind('@');
  if (at == std::string_view::npos || at == 0) return false;
  const std::string_view domain = value.substr(at + 1);
  const std::size_t dot = domain.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  const std::string topLevel = LowerAscii(domain.substr(dot + 1));
  if (topLevel.size() < 2 || !std::all_of(topLevel.begin(), topLevel.end(), IsAsciiLetter)) {
    return false;
  }
  return std::find(kFileExtensions.begin(), kFileExtensions.end(), topLevel) ==
         kFileExtensions.end();
}

}  // namespace

bool PassesContactValidation(std::string_view value, ContactKind kind) {
  switch (kind) {
    case ContactKind::Mobile:
      return IsMobile(value);
    case ContactKind::Fax:
      return IsFixedLine(value);
    case ContactKind::Email:
      return IsEmailAddress(value);
    case ContactKind::QQ:
      return true;
  }
  return true;
}

}  // namespace brivano
