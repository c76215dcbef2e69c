// brivano-cli keywords: the generator's 创建 over a file of cities and a
// file of trades (GBK), to a keyword-list file or, as UTF-8, to the terminal.
#include <cstdio>
#include <stdexcept>
#include <string>

#include "cli/cli_common.h"
#include "base/text.h"
#include "files/atomic_file.h"
#include "files/file_errors.h"
#include "files/keyword_generator.h"
#include "files/whole_file.h"

namespace brivano::cli {
namespace {

std::string ReadInput(const std::string& path) {
  WholeFile file = ReadWholeFile(path);
  if (!file.ok()) throw std::runtime_error(CannotOpenFileText(path, file.error));
  return std::move(file.bytes);
}

}  // namespace

int RunKeywordsCommand(Arguments& args) {
  const std::optional<std::string> output = args.Option("-o");
  const std::vector<std::string> names = args.Positionals();
  if (names.size() != 2) throw UsageError{"keywords needs CITIES and TRADES"};
  const std::string list = GenerateKeywordList(ReadInput(names[0]), ReadInput(names[1]));
  if (output) {
    const FileResult written = WriteFileAtomically(*output, list);
    if (!written.ok()) throw std::runtime_error(CannotCreateFileText(*output, written.error));
    return kSuccess;
  }
  // The terminal gets UTF-8 lines ended by LF.
  std::string text;
  ForEachTextLine(list, std::string_view::npos, [&](std::string_view line) {
    text.append(GbkToUtf8(line));
    text.push_back('\n');
  });
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kSuccess;
}

}  // namespace brivano::cli
