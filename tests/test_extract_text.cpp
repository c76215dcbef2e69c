// Extracting from a whole text, with stretches of lines skipped unsplit,
// gives exactly what the line-by-line extractor gives.
#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/email_extractor.h"
#include "extract/extractors.h"
#include "extract/fax_extractor.h"
#include "extract/mobile_extractor.h"
#include "extract/parallel_extract.h"
#include "extract/qq_extractor.h"
#include "testing/page_text.h"
#include "testing/recording_sink.h"

namespace brivano::testing {
namespace {

// The text's lines as the page step reads them, a label at the end of one
// taking its value from the line below where the kind allows it.
std::vector<std::string> LineByLine(ContactKind kind, std::string_view text) {
  RecordingSink sink;
  ExtractPage(kind, SplitTextLines(text), sink);
  return sink.values;
}

std::vector<std::string> Whole(ContactKind kind, std::string_view text) {
  RecordingSink sink;
  ExtractText(kind, text, sink);
  return sink.values;
}

// Texts of markers, values, line breaks of every kind, long lines and NUL
// bytes, in random order.
std::string RandomText(std::mt19937& random, int round) {
  static const std::string pieces[] = {"\r\n",
                                       "\r",
                                       "\n",
                                       "13800000000",
                                       "15912345678 ",
                                       "a@b.cn",
                                       "x#y.com",
                                       Utf8ToGbk("＃"),
                                       "QQ:12345",
                                       "qq 123456",
                                       Utf8ToGbk("传真：0755-1234567"),
                                       Utf8ToGbk("电话"),
                                       Utf8ToGbk("咨询热线"),
                                       "400-007-6266",
                                       "\n  \n",
                                       "FAX:020-8888888",
                                       "fax",
                                       "1",
                                       "Q",
                                       "@",
                                       "#",
                                       "\xA3",
                                       "\xB4",
                                       " ",
                                       "-",
                                       Utf8ToGbk("深圳旅行社"),
                                       "abc"};
  std::string text;
  const int count = static_cast<int>(random() % 60);
  for (int i = 0; i < count; ++i) text += pieces[random() % std::size(pieces)];
  if (round % 50 == 0) text.insert(random() % (text.size() + 1), std::string(5000, 'x'));
  if (round % 40 == 0) text.insert(random() % (text.size() + 1), std::string(1, '\0'));
  return text;
}

TEST(ExtractText, AgreesWithLineByLineOnRandomTexts) {
  std::mt19937 random(5);
  std::size_t values = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string text = RandomText(random, round);
    for (ContactKind kind : kAllContactKinds) {
      const auto expected = LineByLine(kind, text);
      ASSERT_EQ(Whole(kind, text), expected) << InfoOf(kind).cliName << " round " << round;
      values += expected.size();
    }
  }
  EXPECT_GT(values, 1000u);
}

// Cut into parts on several threads, a text gives the same values in the
// same order, and ends at its first NUL all the same.
TEST(ExtractTextInParallel, AgreesWithOneThread) {
  std::mt19937 random(6);
  std::size_t values = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string text = RandomText(random, round);
    if (round % 7 == 0) text.insert(random() % (text.size() + 1), std::string(1, '\0'));
    for (ContactKind kind : kAllContactKinds) {
      RecordingSink one;
      const std::size_t read = ExtractText(kind, text, one);
      EXPECT_EQ(read, std::min(text.size(), text.find('\0')));
      for (unsigned threads : {2u, 3u, 5u}) {
        ParallelExtractOptions options;
        options.threads = threads;
        options.minPartBytes = 1 + random() % 64;
        RecordingSink many;
        ASSERT_EQ(ExtractTextInParallel(kind, text, many, options), read)
            << InfoOf(kind).cliName << " round " << round;
        ASSERT_EQ(many.values, one.values) << InfoOf(kind).cliName << " round " << round;
      }
      values += one.values.size();
    }
  }
  EXPECT_GT(values, 500u);
}

TEST(ExtractText, AgreesOnAMegabyteOfResultPages) {
  const std::string text = bench::PageText(1 << 20, 9);
  for (ContactKind kind : kAllContactKinds) {
    const auto expected = LineByLine(kind, text);
    EXPECT_GT(expected.size(), 100u) << InfoOf(kind).cliName;
    EXPECT_EQ(Whole(kind, text), expected) << InfoOf(kind).cliName;
  }
}

// The screen of a whole text is the kind's marker screen that also stops at
// a NUL: whichever comes first, on texts long enough for the wide blocks.
TEST(TextScreens, StopAtTheFirstMarkerOrNul) {
  using MarkerScreen = std::size_t (*)(std::string_view);
  const std::pair<ContactKind, MarkerScreen> screens[] = {
      {ContactKind::Mobile, &FindMobileMarkerByte},
      {ContactKind::Email, &FindEmailMarkerByte},
      {ContactKind::QQ, &FindQQMarkerByte},
      {ContactKind::Fax, &FindFaxLabelByte},
  };
  const std::string pieces[] = {"1",
                                "@",
                                "#",
                                "\xA3",
                                "q",
                                "Q",
                                "f",
                                Utf8ToGbk("传真"),
                                Utf8ToGbk("电话"),
                                std::string(1, '\0')};
  std::mt19937 random(8);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 160, 'x');
    for (std::size_t at = 0; at < text.size(); ++at) {
      if (random() % 24 == 0) text.replace(at, 1, pieces[random() % std::size(pieces)]);
    }
    const std::size_t nul = text.find('\0');
    for (const auto& [kind, markerOnly] : screens) {
      const std::size_t expected = std::min(nul, markerOnly(text));
      ASSERT_EQ(TextScreenFor(kind)(text), expected)
          << InfoOf(kind).cliName << " " << ::testing::PrintToString(text);
    }
  }
}

TEST(ExtractText, MarkersBeyondTheLineCut) {
  // The marker lies past the first 4096 bytes of its line: the cut line is
  // what the extractor sees, and the next line is still read.
  const std::string text = std::string(4095, 'x') + "13800000000\r\n13900000000";
  EXPECT_EQ(Whole(ContactKind::Mobile, text), std::vector<std::string>{"13900000000"});
  EXPECT_EQ(Whole(ContactKind::Mobile, ""), std::vector<std::string>{});
}

}  // namespace
}  // namespace brivano::testing
