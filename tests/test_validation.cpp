// 号码校验: mobile numbers against the mainland ranges, fax and telephone
// numbers as mainland fixed lines, e-mail values that are no addresses.
#include <gtest/gtest.h>

#include <span>

#include "store/contact_validation.h"

namespace brivano::testing {
namespace {

struct Case {
  const char* value;
  bool kept;
};

void ExpectVerdicts(ContactKind kind, std::span<const Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(PassesContactValidation(c.value, kind), c.kept) << c.value;
  }
}

TEST(Validation, MobileNumbersInMainlandRanges) {
  const Case cases[] = {
      {"13812345678", true},                                                    // China Mobile
      {"15012345678", true},   {"18612345678", true},                           // China Unicom
      {"17712345678", true},                                                    // China Telecom
      {"19912345678", true},   {"16612345678", true},  {"14712345678", true},   // data cards
      {"19212345678", true},                                                    // China Broadnet
      {"12012345678", false},                                                   // no 12x range
      {"11012345678", false},  {"10012345678", false}, {"14012345678", false},  // unassigned 140
      {"15412345678", false},                                                   // unassigned 154
      {"1381234567", false},                                                    // ten digits
      {"138123456789", false},                                                  // twelve digits
      {"1381234567a", false},
  };
  ExpectVerdicts(ContactKind::Mobile, cases);
}

TEST(Validation, FaxAndTelephoneNumbersAsMainlandFixedLines) {
  const Case cases[] = {
      // Area codes of three digits with the trunk 0.
      {"010-62345678", true},  // Beijing
      {"021-58881234", true},  // Shanghai
      {"02087654321", true},   // Guangzhou, no dash
      {"010-6234567", false},  // Beijing has eight digits
      // Area codes of four digits.
      {"0571-88886666", true},      // Hangzhou
      {"0755-26543210", true},      // Shenzhen
      {"0769-22123456", true},      // Dongguan
      {"0931-8123456", true},       // Lanzhou, seven digits
      {"0755-26543210-803", true},  // an extension
      {"0755-2654321", false},      // Shenzhen has eight
      {"0571-08886666", false},     // local part starts with 0
      {"0999-88886666", false},     // no such area code
      {"0001-2345678", false},
      // Not fixed lines at all.
      {"013812345678", false},   // a mobile behind 电话
      {"0400-810-8888", false},  // service number
      {"0------", false},
      {"0755-2654321a", false},
  };
  ExpectVerdicts(ContactKind::Fax, cases);
}

TEST(Validation, EmailValuesThatAreNoAddresses) {
  const Case cases[] = {
      {"sales@example.com", true}, {"li.ming@mail.sz-steel.com.cn", true},
      {"12345678@qq.com", true},   {"Info@Example.COM", true},
      {"logo@2x.png", false},      {"icon-home@3x.PNG", false},
      {"banner@2x.jpeg", false},   {"style@1.0.css", false},
      {"admin@localhost", false},  {"user@192.168.1.1", false},
      {"user@example.c1", false},  {"user@example.c", false},
      {"user@.com", false},        {"@example.com", false},
  };
  ExpectVerdicts(ContactKind::Email, cases);
}

TEST(Validation, QqNumbersAreAlwaysKept) {
  const Case cases[] = {{"12345", true}, {"9876543210", true}};
  ExpectVerdicts(ContactKind::QQ, cases);
}

}  // namespace
}  // namespace brivano::testing
