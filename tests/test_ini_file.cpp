// The settings file's INI format with the profile-file semantics.
#include <gtest/gtest.h>

#include "base/text.h"
#include "files/ini_file.h"

namespace brivano {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

TEST(IniFileRead, Strings) {
  const std::string longValue(3000, 'v');
  struct Case {
    std::string content, section, key, expected;
  } cases[] = {
      {"[config]\r\nspeed=8\r\n", "config", "speed", "8"},
      {"[CONFIG]\r\nSpeed=8\r\n", "config", "SPEED", "8"},  // names without regard to case
      {"  [ config ]  \r\n  speed  =  8 \t\r\n", "config", "speed", "8"},
      {"[config]\nmarkmob=\"  手机: \"\n", "config", "markmob", "  手机: "},  // quotes keep blanks
      {"[config]\nmarkmob='QQ:'\n", "config", "markmob", "QQ:"},
      {"[config]\nmarkmob=   手机:   \n", "config", "markmob", "手机:"},
      {"[config]\nm=\"a'\n", "config", "m", "\"a'"},  // no matching pair
      {"[config]\nm=\"\n", "config", "m", "\""},      // one quote is no pair
      {"[config]\nm=\"\"\n", "config", "m", ""},
      {"[config]\nm=a=b\n", "config", "m", "a=b"},
      {"[config]\nm=\n", "config", "m", ""},
      {"[config]\rspeed=9\rmaxpage=3", "config", "maxpage", "3"},  // lone CR, no final break
      {"[other]\nspeed=1\n[config]\nspeed=2\n", "config", "speed", "2"},
      {"[config]\nspeed=1\n[other]\nspeed=2\n", "other", "speed", "2"},
      {"[config]\nspeed=1\nspeed=2\n[config]\nspeed=3\n", "config", "speed", "1"},  // first wins
      {"[config]\nspeed\nspeed=4\n", "config", "speed", "4"},   // a line without "=" is no key
      {"speed=5\n[config]\n", "config", "speed", "(default)"},  // before any section
      {"[config]\nspeed=5\n", "other", "speed", "(default)"},
      {"[config]\nspeeds=5\n", "config", "speed", "(default)"},
      {"", "config", "speed", "(default)"},
      {std::string("[config]\nspeed=5\0\nmaxpage=2\n", 26), "config", "maxpage", "(default)"},
      {"[config]\nv=" + longValue + "\n", "config", "v", longValue.substr(0, 2047)},
  };
  for (const Case& c : cases) {
    const IniFile ini(G(c.content));
    EXPECT_EQ(GbkToUtf8(ini.ReadString(c.section, c.key, "(default)")), c.expected) << c.content;
  }
}

TEST(IniFileRead, LongValuesAreCutOnACharacterBoundary) {
  // 2046 ASCII bytes, then Chinese characters: the 2047th byte would be the
  // first half of one.
  const std::string value = std::string(2046, 'x') + G("深圳深圳");
  const IniFile ini("[config]\r\nv=" + value + "\r\n");
  EXPECT_EQ(ini.ReadString("config", "v", ""), std::string(2046, 'x'));
  const IniFile odd("[config]\r\nv=" + std::string(2045, 'x') + G("深圳") + "\r\n");
  EXPECT_EQ(odd.ReadString("config", "v", ""), std::string(2045, 'x') + G("深"));
}

TEST(IniFileRead, Integers) {
  struct Case {
    const char* value;
    std::int32_t expected;
  } cases[] = {
      {"2", 2},
      {"5000", 5000},
      {"0x10", 16},
      {"0X1f", 31},
      {"$10", 16},
      {"-5", -5},
      {"+7", 7},
      {" 12 ", 12},
      {"'5'", 5},
      {"\"0x10\"", 16},
      {"abc", -99},
      {"0x", -99},
      {"$", -99},
      {"", -99},
      {"12abc", -99},
      {"1 2", -99},
      {"2147483647", 2147483647},
      {"2147483648", -99},
      {"-2147483648", -2147483647 - 1},
      {"0xFFFFFFFF", -1},
      {"256", 256},
  };
  for (const Case& c : cases) {
    const IniFile ini(std::string("[config]\r\nspeed=") + c.value + "\r\n");
    EXPECT_EQ(ini.ReadInteger("config", "speed", -99), c.expected) << c.value;
  }
  EXPECT_EQ(IniFile().ReadInteger("config", "speed", 8), 8);
}

TEST(IniFileWrite, ReplacesInPlaceAppendsToTheSectionOrCreatesIt) {
  struct Case {
    std::string before;
    const char* key;
    std::string value;
    std::string after;
  } cases[] = {
      {"", "speed", "8", "[config]\r\nspeed=8\r\n"},
      {"[config]\r\nspeed=8\r\nmaxpage=10\r\n", "speed", "20",
       "[config]\r\nspeed=20\r\nmaxpage=10\r\n"},
      // The key keeps its spelling and place; LF lines come back with CR LF.
      {"[Config]\n  Speed = 8 \nmaxpage=10\n", "SPEED", "9",
       "[Config]\r\nSpeed=9\r\nmaxpage=10\r\n"},
      // A missing key goes after the section's last line that is not blank.
      {"[config]\r\nspeed=8\r\n\r\n[other]\r\nx=1\r\n", "maxpage", "10",
       "[config]\r\nspeed=8\r\nmaxpage=10\r\n\r\n[other]\r\nx=1\r\n"},
      {"[other]\r\nspeed=1\r\n", "speed", "8", "[other]\r\nspeed=1\r\n[config]\r\nspeed=8\r\n"},
      {"; note\r\n[config]\r\nspeed=8\r\n", "info", "eml",
       "; note\r\n[config]\r\nspeed=8\r\ninfo=eml\r\n"},
      // Values are written as they are, blanks included.
      {"[config]\r\n", "markmob", " a ", "[config]\r\nmarkmob= a \r\n"},
      // A line break would start a line that could pose as a further key.
      {"[config]\r\n", "markmob", "a\r\nspeed=1", "[config]\r\nmarkmob=a\r\n"},
      {"[config]\r\n", "markmob", std::string("a\0b", 3), "[config]\r\nmarkmob=a\r\n"},
  };
  for (const Case& c : cases) {
    IniFile ini(c.before);
    ini.WriteString("config", c.key, c.value);
    EXPECT_EQ(ini.Content(), c.after) << c.before << " + " << c.key;
  }
}

TEST(IniFileWrite, IntegersAsDecimalTextAndReadBack) {
  IniFile ini;
  for (std::int32_t value : {0, 7, -5, 1000, 2147483647, -2147483647 - 1}) {
    ini.WriteInteger("config", "process", value);
    EXPECT_EQ(ini.ReadInteger("config", "process", 99), value);
    EXPECT_EQ(ini.ReadString("config", "process", ""), std::to_string(value));
  }
  EXPECT_EQ(ini.Content(), "[config]\r\nprocess=-2147483648\r\n");
}

}  // namespace
}  // namespace brivano
