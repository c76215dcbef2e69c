// brivano-cli keywords: the generator's 创建 over a file of cities and a
// file of trades (GBK), to a keyword-list file or, as UTF-8, to the terminal.
#include <stdexcept>
#include <string>

#include "base/text.h"
#include "cli/cli_common.h"
#include "files/atomic_file.h"
#include "files/file_errors.h"
#include "files/keyword_generator.h"
#include "files/whole_file.h"

namespace brivano::cli {
namespace {

std::string ReadInput(const std::string& path) {
  WholeFile file = ReadWholeFile(FileName(path), ReadUntil::FirstNul);
  if (!file.ok()) throw std::runtime_error(CannotOpenFileText(path, file.error));
  return std::move(file.bytes);
}

}  // namespace

// The product can be far larger than the two lists (20,000 cities by 20,000
// trades make gigabytes), so it is written as it is made, never held.
int RunKeywordsCommand(Arguments& args) {
  const std::optional<std::string> output = args.Option("-o");
  const std::vector<std::string> names = args.Positionals();
  if (names.size() != 2) throw UsageError{"keywords needs CITIES and TRADES"};
  if (output) RefuseOutputClash(FileName(*output), {FileName(names[0]), FileName(names[1])});
  const std::string cityText = ReadInput(names[0]);
  const std::string tradeText = ReadInput(names[1]);
  std::vector<std::string_view> cities = KeywordBoxLines(cityText);
  std::vector<std::string_view> trades = KeywordBoxLines(tradeText);
  if (output) {
    AtomicFileWriter writer(*output);
    GenerateKeywordLines(cities, trades, "\r\n", [&](std::string_view block) {
      writer.Write(block);
      // Nothing more to gain once the write has failed.
      if (writer.error() != 0)
        throw std::runtime_error(CannotCreateFileText(*output, writer.error()));
    });
    const FileResult written = writer.Commit();
    if (!written.ok()) throw std::runtime_error(CannotCreateFileText(*output, written.error));
    return kSuccess;
  }
  // The terminal gets UTF-8 lines ended by LF. A line break is ASCII and
  // ends any GBK character, so each line converts on its own.
  std::vector<std::string> utf8Cities, utf8Trades;
  for (std::string_view city : cities) utf8Cities.push_back(GbkToUtf8(city));
  for (std::string_view trade : trades) utf8Trades.push_back(GbkToUtf8(trade));
  cities.assign(utf8Cities.begin(), utf8Cities.end());
  trades.assign(utf8Trades.begin(), utf8Trades.end());
  GenerateKeywordLines(cities, trades, "\n", [](std::string_view block) { Print(block); });
  return kSuccess;
}

}  // namespace brivano::cli
