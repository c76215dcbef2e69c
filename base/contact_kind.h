// The four kinds of contact a run can harvest. The numeric value is the
// picture index of the buyer list.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace brivano {

enum class ContactKind { Mobile = 0, Email = 1, QQ = 2, Fax = 3 };

inline constexpr std::array<ContactKind, 4> kAllContactKinds{
    ContactKind::Mobile, ContactKind::Email, ContactKind::QQ, ContactKind::Fax};

struct ContactKindInfo {
  ContactKind kind;
  std::string_view cliName;       // as brivano-cli names it
  std::string_view settingsWord;  // as the settings file stores it
  std::string_view defaultMark;   // UTF-8; the window holds it as GBK
};

inline constexpr std::array<ContactKindInfo, 4> kContactKindTable{{
    {ContactKind::Mobile, "mobile", "mob", "手机:"},
    {ContactKind::Email, "email", "eml", "邮箱:"},
    {ContactKind::QQ, "qq", "qq", "QQ:"},
    {ContactKind::Fax, "fax", "fax", "传真:"},
}};

inline constexpr const ContactKindInfo& InfoOf(ContactKind kind) {
  return kContactKindTable[static_cast<int>(kind)];
}

inline std::optional<ContactKind> ContactKindFromCliName(std::string_view name) {
  for (const auto& info : kContactKindTable) {
    if (info.cliName == name) return info.kind;
  }
  return std::nullopt;
}

}  // namespace brivano
