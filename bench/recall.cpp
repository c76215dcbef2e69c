// brivano-recall [--kind K] [--set generated|real|both] [--misses N] [--forms] [--lines N]
// [--show N]: how many of the contacts on generated company-page lines, and on
// lines copied from real pages (testing/real_lines), each extractor finds (recall),
// and how many of the values it gives were there to be found (precision). For
// mobile numbers libphonenumber's matcher is measured beside it on the same
// lines. A measurement, not a test: it exits 0 whatever the figures.
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumbermatch.h>
#include <phonenumbers/phonenumbermatcher.h>
#include <phonenumbers/phonenumberutil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/contact_kind.h"
#include "base/text.h"
#include "base/text_lines.h"
#include "extract/extractors.h"
#include "testing/contact_lines.h"
#include "testing/real_contact_lines.h"
#include "testing/recording_sink.h"

namespace brivano {
namespace {

using testing::ContactLine;
using Finder = std::function<std::vector<std::string>(const ContactLine&)>;

struct Count {
  std::size_t expected = 0;
  std::size_t found = 0;
};

struct Miss {
  std::string value;
  const ContactLine* line;
};

struct Score {
  std::size_t lines = 0;
  std::size_t expected = 0;
  std::size_t found = 0;
  std::size_t correct = 0;
  std::map<std::string, Count> byForm;
  std::map<std::string, Count> byLabel;
  std::vector<Miss> missed;  // expected, not found
  std::vector<Miss> wrong;   // found, not expected
};

// Values compared per line as multisets: each value found stands for at most
// one expected value.
Score Measure(const std::vector<ContactLine>& lines, const Finder& find) {
  Score score;
  score.lines = lines.size();
  for (const ContactLine& line : lines) {
    const std::vector<std::string> found = find(line);
    std::vector<bool> used(found.size(), false);
    score.expected += line.expected.size();
    score.found += found.size();
    for (const auto& expected : line.expected) {
      std::size_t i = 0;
      while (i < found.size() && (used[i] || found[i] != expected.value)) ++i;
      const bool hit = i < found.size();
      if (hit) used[i] = true;
      score.correct += hit ? 1 : 0;
      for (Count* count :
           {&score.byForm[std::string(expected.form)],
            &score.byLabel[expected.label.empty() ? "(none)" : std::string(expected.label)]}) {
        ++count->expected;
        count->found += hit ? 1 : 0;
      }
      if (!hit) score.missed.push_back({expected.value, &line});
    }
    for (std::size_t i = 0; i < found.size(); ++i) {
      if (!used[i]) score.wrong.push_back({found[i], &line});
    }
  }
  return score;
}

Finder ExtractorOf(ContactKind kind) {
  return [kind](const ContactLine& line) {
    // A contact line may stand on several lines of the page ("电话" above
    // its number): they are read as a page's lines are.
    testing::RecordingSink sink;
    ExtractPage(kind, SplitTextLines(Utf8ToGbk(line.text)), sink);
    std::vector<std::string> values;
    for (const std::string& value : sink.values) values.push_back(GbkToUtf8(value));
    return values;
  };
}

// The mobile numbers libphonenumber's matcher finds in the UTF-8 line at
// leniency VALID, as their eleven national digits.
std::vector<std::string> PhoneNumberMatcherMobiles(const ContactLine& line) {
  using i18n::phonenumbers::PhoneNumberMatch;
  using i18n::phonenumbers::PhoneNumberMatcher;
  using i18n::phonenumbers::PhoneNumberUtil;
  const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
  PhoneNumberMatcher matcher(util, line.text, "CN", PhoneNumberMatcher::VALID,
                             std::numeric_limits<int>::max());
  std::vector<std::string> values;
  PhoneNumberMatch match;
  while (matcher.HasNext() && matcher.Next(&match)) {
    const auto type = util.GetNumberType(match.number());
    if (match.number().country_code() != 86 ||
        (type != PhoneNumberUtil::MOBILE && type != PhoneNumberUtil::FIXED_LINE_OR_MOBILE)) {
      continue;
    }
    std::string national;
    util.GetNationalSignificantNumber(match.number(), &national);
    values.push_back(national);
  }
  return values;
}

std::string Percent(std::size_t part, std::size_t whole) {
  if (whole == 0) return "–";
  char text[16];
  std::snprintf(text, sizeof text, "%.1f",
                100.0 * static_cast<double>(part) / static_cast<double>(whole));
  return text;
}

void PrintRow(std::string_view name, const Score& s) {
  std::printf("| %.*s | %zu | %zu | %zu | %zu | %s | %s |\n", static_cast<int>(name.size()),
              name.data(), s.lines, s.expected, s.found, s.correct,
              Percent(s.correct, s.expected).c_str(), Percent(s.correct, s.found).c_str());
}

// Recall per form or per label, the weakest first; `beside`, when given, is
// the same breakdown of libphonenumber.
void PrintBreakdown(std::string_view title, std::string_view what,
                    const std::map<std::string, Count>& counts,
                    const std::map<std::string, Count>* beside) {
  std::vector<std::pair<std::string, Count>> rows(counts.begin(), counts.end());
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
    return a.second.found * b.second.expected < b.second.found * a.second.expected;
  });
  std::printf("\n#### %.*s by %.*s\n\n| %.*s | expected | recall %%%s |\n|---|---:|---:|%s\n",
              static_cast<int>(title.size()), title.data(), static_cast<int>(what.size()),
              what.data(), static_cast<int>(what.size()), what.data(),
              beside ? " | libphonenumber recall %" : "", beside ? "---:|" : "");
  for (const auto& [name, count] : rows) {
    std::printf("| %s | %zu | %s |", name.c_str(), count.expected,
                Percent(count.found, count.expected).c_str());
    if (beside) {
      const Count& other = beside->at(name);
      std::printf(" %s |", Percent(other.found, other.expected).c_str());
    }
    std::printf("\n");
  }
}

// Tabs shown as "\t", so that table cells can be told apart.
std::string Shown(std::string_view text) {
  std::string out;
  for (char c : text) out += c == '\t' ? std::string("\\t") : std::string(1, c);
  return out;
}

void PrintMisses(std::string_view title, const Score& s, std::size_t n) {
  const auto print = [&](const char* what, const std::vector<Miss>& misses) {
    std::printf("\n#### %.*s: %s (first %zu of %zu)\n\n", static_cast<int>(title.size()),
                title.data(), what, std::min(n, misses.size()), misses.size());
    for (std::size_t i = 0; i < misses.size() && i < n; ++i) {
      std::printf("- `%s` in `%s`\n", misses[i].value.c_str(), Shown(misses[i].line->text).c_str());
    }
  };
  print("missed", s.missed);
  print("wrong", s.wrong);
}

void PrintLines(std::string_view title, const std::vector<ContactLine>& lines, std::size_t n) {
  std::printf("\n#### %.*s: the first %zu lines\n\n", static_cast<int>(title.size()), title.data(),
              std::min(n, lines.size()));
  for (std::size_t i = 0; i < lines.size() && i < n; ++i) {
    std::string values;
    for (const auto& expected : lines[i].expected) values += " `" + expected.value + "`";
    std::printf("- `%s` →%s\n", Shown(lines[i].text).c_str(),
                values.empty() ? " nothing" : values.c_str());
  }
}

int Usage() {
  std::fputs(
      "usage: brivano-recall [--kind mobile|email|qq|fax] [--set generated|real|both]\n"
      "                     [--misses N] [--forms] [--lines N] [--show N]\n",
      stderr);
  return 2;
}

std::optional<std::size_t> ParseCount(const char* text) {
  char* end = nullptr;
  const unsigned long long n = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0') return std::nullopt;
  return static_cast<std::size_t>(n);
}

struct Options {
  std::vector<ContactKind> kinds{kAllContactKinds.begin(), kAllContactKinds.end()};
  std::size_t misses = 0;
  std::size_t show = 0;
  std::size_t lineCount = 3000;
  bool forms = false;
  bool generated = true;
  bool real = true;
};

// The table of one set of lines, then what the options ask to see of it;
// `prefix` names the set in the titles below the table.
void Report(const Options& options, std::string_view prefix,
            const std::function<std::vector<ContactLine>(ContactKind)>& linesOf) {
  std::printf(
      "| kind | lines | expected values | found | correct | recall %% | precision %% |\n"
      "|---|---:|---:|---:|---:|---:|---:|\n");
  struct Measured {
    ContactKind kind;
    std::vector<ContactLine> lines;
    Score score;
    std::optional<Score> libphonenumber;
  };
  std::vector<Measured> measured;
  for (ContactKind kind : options.kinds) {
    Measured m{kind, linesOf(kind), {}, std::nullopt};
    // A line that GBK cannot hold would measure the conversion, not the
    // extractor.
    for (const ContactLine& line : m.lines) {
      if (GbkToUtf8(Utf8ToGbk(line.text)) != line.text) {
        std::fprintf(stderr, "not GBK: %s\n", line.text.c_str());
      }
    }
    m.score = Measure(m.lines, ExtractorOf(kind));
    PrintRow(InfoOf(kind).cliName, m.score);
    if (kind == ContactKind::Mobile) {
      m.libphonenumber = Measure(m.lines, PhoneNumberMatcherMobiles);
      PrintRow("mobile: libphonenumber PhoneNumberMatcher, CN, VALID", *m.libphonenumber);
    }
    measured.push_back(std::move(m));
  }
  for (const Measured& m : measured) {
    const std::string name = std::string(prefix) + std::string(InfoOf(m.kind).cliName);
    const Score* other = m.libphonenumber ? &*m.libphonenumber : nullptr;
    if (options.show > 0) PrintLines(name, m.lines, options.show);
    if (options.forms) {
      PrintBreakdown(name, "form", m.score.byForm, other ? &other->byForm : nullptr);
      PrintBreakdown(name, "label", m.score.byLabel, other ? &other->byLabel : nullptr);
    }
    if (options.misses > 0) {
      PrintMisses(name, m.score, options.misses);
      if (other) PrintMisses(name + ", libphonenumber", *other, options.misses);
    }
  }
}

int Run(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--forms") {
      options.forms = true;
    } else if (arg == "--kind" && hasValue) {
      const auto kind = ContactKindFromCliName(argv[++i]);
      if (!kind) return Usage();
      options.kinds = {*kind};
    } else if (arg == "--set" && hasValue) {
      const std::string_view set = argv[++i];
      if (set != "generated" && set != "real" && set != "both") return Usage();
      options.generated = set != "real";
      options.real = set != "generated";
    } else if ((arg == "--misses" || arg == "--lines" || arg == "--show") && hasValue) {
      const auto n = ParseCount(argv[++i]);
      if (!n) return Usage();
      (arg == "--misses"  ? options.misses
       : arg == "--lines" ? options.lineCount
                          : options.show) = *n;
    } else {
      return Usage();
    }
  }

  if (options.generated) {
    Report(options, "",
           [&](ContactKind kind) { return testing::ContactLines(kind, options.lineCount); });
  }
  if (options.real) {
    const testing::RealCorpusSize size = testing::RealContactLinesSize();
    std::printf("%s### Real lines: %zu records from %zu pages (testing/real_lines)\n\n",
                options.generated ? "\n" : "", size.records, size.sources);
    Report(options, "real ", testing::RealContactLines);
  }
  return 0;
}

}  // namespace
}  // namespace brivano

int main(int argc, char** argv) {
  try {
    return brivano::Run(argc, argv);
  } catch (const std::exception& error) {
    // A malformed record of the real lines.
    std::fprintf(stderr, "brivano-recall: %s\n", error.what());
    return 1;
  }
}
