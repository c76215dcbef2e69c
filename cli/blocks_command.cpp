// brivano-cli blocks: the result blocks of a saved results page as a run
// reads them, so that an engine's new layout can be checked against the
// engine rows' selectors before a run meets it.
#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

#include "base/text.h"
#include "base/text_encoding.h"
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

char LowerAsciiChar(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The charset a <meta> tag in the page's head names ("<meta charset=gbk>",
// "<meta http-equiv=Content-Type content='text/html; charset=gb2312'>"), in
// lower case; empty when none does.
std::string DeclaredCharset(std::string_view page) {
  const std::string head = LowerAscii(page.substr(0, std::min(page.find("<body"), page.size())));
  for (std::size_t meta = head.find("<meta"); meta != std::string::npos;
       meta = head.find("<meta", meta + 5)) {
    const std::string_view tag = std::string_view(head).substr(meta, head.find('>', meta) - meta);
    const std::size_t at = tag.find("charset");
    if (at == std::string_view::npos) continue;
    std::size_t i = at + 7;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '=' || tag[i] == '"' || tag[i] == '\''))
      ++i;
    std::string name;
    while (i < tag.size() &&
           (std::isalnum(static_cast<unsigned char>(tag[i])) || tag[i] == '-' || tag[i] == '_'))
      name.push_back(LowerAsciiChar(tag[i++]));
    if (!name.empty()) return name;
  }
  return {};
}

// The page as UTF-8: by its byte-order mark, else by the charset its head
// names, else UTF-8 unless its bytes read as GBK rather than UTF-8.
std::string PageAsUtf8(std::string page) {
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (page.starts_with(kUtf8Mark)) return page.substr(kUtf8Mark.size());
  if (page.starts_with("\xFF\xFE") || page.starts_with("\xFE\xFF")) {
    return GbkToUtf8(DecodeText(page, TextEncoding::Auto).gbk);
  }
  const std::string charset = DeclaredCharset(page);
  constexpr std::string_view kGbkNames[] = {"gbk", "gb2312", "gb18030", "x-gbk", "cp936"};
  const bool gbk =
      std::find(std::begin(kGbkNames), std::end(kGbkNames), charset) != std::end(kGbkNames) ||
      (charset.empty() && !IsValidUtf8(page) && !WeighsAsUtf8(page));
  return gbk ? GbkToUtf8(page) : page;
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

  const std::string page = PageAsUtf8(ReadPage(FileName(files[0])));
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
