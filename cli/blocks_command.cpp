// brivano-cli blocks: the result blocks of a saved results page as a run
// reads them, so that an engine's new layout can be checked against the
// engine rows' selectors before a run meets it.
#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/text.h"
#include "cli/cli_common.h"
#include "search/engine_table.h"
#include "search/result_blocks.h"

namespace brivano::cli {
namespace {

// Saved results pages run to a few hundred kilobytes; a source that goes on
// far beyond that is no page.
constexpr std::size_t kMostPageBytes = std::size_t{64} << 20;

std::string ReadPage(const std::string& path) {
  InputFile input(path);
  if (input.mapped()) {
    const std::string_view bytes = input.bytes();
    return std::string(bytes.substr(0, bytes.find('\0')));
  }
  std::string page;
  std::string block(1 << 16, '\0');
  while (const std::size_t got = input.Read(block.data(), block.size())) {
    page.append(block, 0, got);
    if (page.size() > kMostPageBytes) {
      throw std::runtime_error("文件“" + path + "”超过 64 MB，不是一个结果页");
    }
  }
  return page;
}

// A field of the output line: a tab or a line break inside it would shift
// the columns.
void AppendField(std::string& line, std::string_view field) {
  line.push_back('\t');
  for (const char c : field) {
    line.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
  }
}

}  // namespace

int RunBlocksCommand(Arguments& args) {
  const std::optional<std::string> engineName = args.Option("--engine");
  if (!engineName) throw UsageError{"blocks 需要 --engine"};
  const std::optional<Engine> engine = EngineFromCliName(*engineName);
  if (!engine) throw UnknownValue("搜索引擎", *engineName);
  const std::vector<std::string> files = args.Positionals();
  if (files.size() != 1) throw UsageError{"blocks 需要一个 FILE，且只要一个"};

  const std::string page = SavedPageAsUtf8(ReadPage(FileName(files[0])));
  const EngineRow& row = DefaultEngineTable()[static_cast<int>(*engine)];
  const std::vector<ResultBlock> blocks = ReadResultBlocks(page, row);
  std::string out;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const ResultBlock& block = blocks[i];
    out += std::to_string(i + 1);
    AppendField(out, block.title);
    AppendField(out, block.site);
    AppendField(out, block.target);
    AppendField(out, block.link);
    out.push_back('\n');
  }
  out += "共 " + std::to_string(blocks.size()) + " 个结果块\n";
  Print(out);
  return kSuccess;
}

}  // namespace brivano::cli
