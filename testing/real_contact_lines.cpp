#include "testing/real_contact_lines.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace brivano::testing {
namespace {

struct Record {
  std::string source;
  std::string text;
  std::string values[4];  // in the order of ContactKind
};

constexpr std::size_t kFields = 6;

[[noreturn]] void Fail(const std::filesystem::path& file, std::size_t line, std::string_view why) {
  throw std::runtime_error(file.string() + ":" + std::to_string(line) + ": " + std::string(why));
}

// "\t", "\n" and "\\" as the characters they stand for; any other backslash is
// a typo.
std::string Unescaped(std::string_view text, const std::filesystem::path& file, std::size_t line) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    const char next = i + 1 < text.size() ? text[++i] : '\0';
    if (next == 't') {
      out += '\t';
    } else if (next == 'n') {
      out += '\n';
    } else if (next == '\\') {
      out += '\\';
    } else {
      Fail(file, line, "unknown escape \"\\" + std::string(1, next) + "\"");
    }
  }
  return out;
}

std::vector<Record> ReadRecords() {
  const std::filesystem::path folder =
      std::filesystem::path(BRIVANO_SOURCE_DIR) / "testing" / "real_lines";
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == ".tsv") files.push_back(entry);
  }
  std::sort(files.begin(), files.end());
  std::vector<Record> records;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) Fail(file, 0, "cannot be read");
    std::string text;
    for (std::size_t number = 1; std::getline(in, text); ++number) {
      if (text.empty() || text.front() == '#') continue;
      if (text.back() == '\r') Fail(file, number, "CR LF line end");
      std::vector<std::string_view> fields;
      for (std::size_t start = 0;;) {
        const std::size_t tab = text.find('\t', start);
        fields.push_back(std::string_view(text).substr(start, tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
      }
      if (fields.size() != kFields) {
        Fail(file, number, std::to_string(fields.size()) + " fields, not 6");
      }
      Record record{std::string(fields[0]), Unescaped(fields[1], file, number), {}};
      if (record.source.empty() || record.text.empty()) Fail(file, number, "no source or text");
      for (std::size_t k = 0; k < 4; ++k) record.values[k] = fields[2 + k];
      records.push_back(std::move(record));
    }
  }
  return records;
}

// The host of a page's address, kept for the life of the program: the
// expected values only view their label.
std::string_view HostOf(std::string_view address) {
  static std::set<std::string, std::less<>> hosts;
  if (const auto scheme = address.find("://"); scheme != std::string_view::npos) {
    address.remove_prefix(scheme + 3);
  }
  address = address.substr(0, address.find('/'));
  auto it = hosts.find(address);
  if (it == hosts.end()) it = hosts.emplace(address).first;
  return *it;
}

}  // namespace

std::vector<ContactLine> RealContactLines(ContactKind kind) {
  std::vector<ContactLine> lines;
  for (Record& record : ReadRecords()) {
    ContactLine line{std::move(record.text), {}};
    const std::string_view values = record.values[static_cast<int>(kind)];
    for (std::size_t start = 0; start < values.size();) {
      const std::size_t blank = std::min(values.find(' ', start), values.size());
      if (blank > start) {
        line.expected.push_back(
            {std::string(values.substr(start, blank - start)), "real", HostOf(record.source)});
      }
      start = blank + 1;
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

RealCorpusSize RealContactLinesSize() {
  const std::vector<Record> records = ReadRecords();
  std::set<std::string_view> sources;
  for (const Record& record : records) sources.insert(record.source);
  return {records.size(), sources.size()};
}

}  // namespace brivano::testing
