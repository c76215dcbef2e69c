// Extracting from a whole text, with stretches of lines skipped unsplit,
// gives exactly what the line-by-line extractor gives.
#include <gtest/gtest.h>

#include <random>

#include "bench/page_text.h"
#include "extract/extractors.h"
#include "extract/parallel_extract.h"
#include "extract/text.h"
#include "support/recording_sink.h"

namespace brivano::testing {
namespace {

std::vector<std::string> LineByLine(ContactKind kind, std::string_view text) {
  RecordingSink sink;
  const LineExtractor extract = LineExtractorFor(kind);
  ForEachTextLine(text, 4096, [&](std::string_view line) { extract(line, sink); });
  return sink.values;
}

std::vector<std::string> Whole(ContactKind kind, std::string_view text) {
  RecordingSink sink;
  ExtractText(kind, text, sink);
  return sink.values;
}

// The text is read a window at a time; tiny windows put markers, line breaks
// and NUL bytes on every window edge.
std::vector<std::string> InWindows(ContactKind kind, std::string_view text, std::size_t window) {
  RecordingSink sink;
  detail::ExtractTextInWindows(kind, text, sink, 4096, window);
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
      for (std::size_t window : {1u, 16u, 17u, 29u}) {
        ASSERT_EQ(InWindows(kind, text, window), expected)
            << InfoOf(kind).cliName << " round " << round << " window " << window;
      }
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
    EXPECT_EQ(InWindows(kind, text, 100), expected) << InfoOf(kind).cliName;
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
