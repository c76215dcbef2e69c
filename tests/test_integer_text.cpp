// Numbers as the desktop's text conversion reads them.
#include <gtest/gtest.h>

#include "base/integer_text.h"

namespace brivano {
namespace {

TEST(IntegerText, RuntimeConversion) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"0", 0},
      {"12", 12},
      {"-5", -5},
      {"+7", 7},
      {"  42", 42},
      {"$10", 16},
      {"0x10", 16},
      {"0X1f", 31},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"0xFFFFFFFF", -1},
      {"0x100000000", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"-", std::nullopt},
      {"12 ", std::nullopt},
      {"1a", std::nullopt},
      {"abc", std::nullopt},
      {"１２", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseIntegerText(c.text), c.value) << c.text;
  EXPECT_EQ(NotAnIntegerMessage("abc"), "'abc' is not a valid integer value");
}

}  // namespace
}  // namespace brivano
