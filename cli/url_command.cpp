// brivano-cli url: the result-page address a run would request.
#include <string>

#include "base/contact_kind.h"
#include "base/text.h"
#include "cli/cli_common.h"
#include "search/engine_table.h"
#include "search/result_address.h"

namespace brivano::cli {

int RunUrlCommand(Arguments& args) {
  const std::optional<std::string> engineName = args.Option("--engine");
  if (!engineName) throw UsageError{"url 需要 --engine"};
  const std::optional<Engine> engine = EngineFromCliName(*engineName);
  if (!engine) throw UnknownValue("搜索引擎", *engineName);

  ContactKind kind = ContactKind::Mobile;
  if (auto kindName = args.Option("--kind")) {
    const std::optional<ContactKind> parsed = ContactKindFromCliName(*kindName);
    if (!parsed) throw UnknownValue("类型", *kindName);
    kind = *parsed;
  }
  // Typed on the terminal, in its encoding; the default is the program's own.
  const std::optional<std::string> markOption = args.Option("--mark");
  const std::string mark =
      markOption ? GbkFromTerminal(Terminal(), *markOption) : Utf8ToGbk(InfoOf(kind).defaultMark);

  int page = 1;
  if (auto pageText = args.Option("--page")) page = DecimalArgument("--page", *pageText, 1);
  const std::vector<std::string> rest = args.Positionals();
  if (rest.size() != 1) throw UsageError{"url 需要一个 KEYWORD，且只要一个"};

  const std::string query = BuildQuery(GbkFromTerminal(Terminal(), rest[0]), mark);
  const EngineRow& row = DefaultEngineTable()[static_cast<int>(*engine)];
  Print(ResultPageAddress(row, query, page) + "\n");  // ASCII
  return kSuccess;
}

}  // namespace brivano::cli
