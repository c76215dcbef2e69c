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
  if (!engineName) throw UsageError{"url needs --engine"};
  const std::optional<Engine> engine = EngineFromCliName(*engineName);
  if (!engine) throw UsageError{"unknown engine " + *engineName};

  ContactKind kind = ContactKind::Mobile;
  if (auto kindName = args.Option("--kind")) {
    const std::optional<ContactKind> parsed = ContactKindFromCliName(*kindName);
    if (!parsed) throw UsageError{"unknown kind " + *kindName};
    kind = *parsed;
  }
  const std::string mark = args.Option("--mark").value_or(std::string(InfoOf(kind).defaultMark));

  int page = 1;
  if (auto pageText = args.Option("--page")) page = DecimalArgument("--page", *pageText, 1);
  const std::vector<std::string> rest = args.Positionals();
  if (rest.size() != 1) throw UsageError{"url needs exactly one KEYWORD"};

  const std::string query = BuildQuery(Utf8ToGbk(rest[0]), Utf8ToGbk(mark));
  const EngineRow& row = DefaultEngineTable()[static_cast<int>(*engine)];
  Print(ResultPageAddress(row, query, page) + "\n");
  return kSuccess;
}

}  // namespace brivano::cli
