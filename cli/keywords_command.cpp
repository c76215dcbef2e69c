// brivano-cli keywords: the 创建 command of the keyword generator, from a file
// of cities and a file of trades, to a keyword-list file (GBK, CR LF, as the
// generator window writes it) or to the terminal, in its encoding.
#include <stdexcept>
#include <string>

#include "cli/cli_common.h"
#include "files/atomic_file.h"
#include "files/file_errors.h"
#include "files/keyword_generator.h"
#include "files/text_file.h"

namespace brivano::cli {
namespace {

// Read as brivano-run reads its keyword file: GBK, UTF-8 or UTF-16, by its
// byte-order mark or by weighing the text, unless --encoding names one.
std::string ReadInput(const std::string& path, TextEncoding encoding) {
  TextFile file = ReadTextFile(FileName(path), encoding);
  if (!file.ok()) throw std::runtime_error(CannotOpenFileText(path, file.error));
  if (file.nulLine != 0) throw std::runtime_error(NulInTextFileText(path, file.nulLine, "文件"));
  return std::move(file.gbk);
}

}  // namespace

// The product can be far larger than the two lists (20,000 cities by 20,000
// trades make gigabytes), so it is written as it is made, never held.
int RunKeywordsCommand(Arguments& args) {
  const std::optional<std::string> output = args.Option("-o");
  TextEncoding encoding = TextEncoding::Auto;
  if (auto name = args.Option("--encoding")) {
    const std::optional<TextEncoding> named = TextEncodingFromCliName(*name);
    if (!named) throw UnknownValue("编码", *name);
    encoding = *named;
  }
  const std::vector<std::string> names = args.Positionals();
  if (names.size() != 2) throw UsageError{"keywords 需要 CITIES 和 TRADES 两个文件"};
  if (output) RefuseOutputClash(FileName(*output), {FileName(names[0]), FileName(names[1])});
  const std::string cityText = ReadInput(names[0], encoding);
  const std::string tradeText = ReadInput(names[1], encoding);
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
  // The terminal gets its own encoding and lines ended by LF. A line break
  // is ASCII and ends any GBK character, so each line converts on its own.
  std::vector<std::string> terminalCities(cities.size()), terminalTrades(trades.size());
  for (std::size_t i = 0; i < cities.size(); ++i) {
    AppendGbkForTerminal(Terminal(), terminalCities[i], cities[i]);
  }
  for (std::size_t i = 0; i < trades.size(); ++i) {
    AppendGbkForTerminal(Terminal(), terminalTrades[i], trades[i]);
  }
  cities.assign(terminalCities.begin(), terminalCities.end());
  trades.assign(terminalTrades.begin(), terminalTrades.end());
  GenerateKeywordLines(cities, trades, "\n", [](std::string_view block) { PrintPrepared(block); });
  return kSuccess;
}

}  // namespace brivano::cli
