// brivano-run's command line: which of the run's settings it replaces for
// this run (the rest come from the settings file), the keyword file, the
// output file and what to do when an engine puts up a verification page.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/contact_kind.h"
#include "base/text_encoding.h"
#include "search/engine_table.h"
#include "store/exports.h"
#include "visit/address_safety.h"

namespace brivano {

enum class VerificationPolicy { Wait, Stop };

struct BatchOptions {
  std::filesystem::path keywords;
  TextEncoding encoding = TextEncoding::Auto;  // the keyword file's
  std::optional<Engine> engine;
  std::optional<ContactKind> kind;
  std::optional<std::int32_t> startLine;
  std::optional<int> speed;
  std::optional<int> pages;
  bool dedup = false;               // --dedup turns 去重 on; without it the file decides
  std::optional<std::string> mark;  // GBK, for the run's kind
  std::optional<std::filesystem::path> out;
  ExportFormat format = ExportFormat::Txt;
  VerificationPolicy onVerification = VerificationPolicy::Wait;
  double maxWaitMinutes = 60;
  bool visitSites = false;  // --visit-sites turns 访问网站 on; without it the file decides
  // --resolve HOST:PORT:ADDRESS, as curl takes it: a site's name mapped to
  // an address the user chose, trusted even when it is the user's own.
  std::vector<ResolveRule> resolve;
};

struct ParsedBatchOptions {
  std::optional<BatchOptions> options;
  bool help = false;     // --help or -h: print the usage, succeed
  bool version = false;  // --version: print the version, succeed
  std::string error;     // a usage error, when neither of the above
};

// `args` without the program's name.
ParsedBatchOptions ParseBatchOptions(std::span<char* const> args);

extern const std::string_view kBatchUsage;

}  // namespace brivano
