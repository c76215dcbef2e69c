#include "batch/batch_options.h"

#include <cmath>
#include <cstdlib>

#include "base/text.h"
#include "cli/arguments.h"
#include "search/run_options.h"

namespace brivano {

const std::string_view kBatchUsage =
    "usage: brivano-run --keywords FILE [--encoding auto|gbk|utf-8|utf-16]\n"
    "                   [--engine baidu|sogou|360|bing] [--kind mobile|email|qq|fax]\n"
    "                   [--start-line N] [--speed S] [--pages P] [--dedup]\n"
    "                   [--mark TEXT] [--out FILE] [--format txt|csv|xlsx]\n"
    "                   [--on-verification wait|stop] [--max-wait MINUTES]\n"
    "Runs the search of the desktop program without a window. Options left out\n"
    "come from the desktop program's settings; none is written back to them.\n"
    "The keyword file's encoding (auto, the default) comes from its byte-order\n"
    "mark, else from weighing its text as GBK and as UTF-8; utf-16 without a\n"
    "mark is little-endian.\n"
    "Exit status: 0 every keyword done, 1 failure, 2 usage error, 3 stopped at a\n"
    "verification page, 4 keywords whose pages did not load (named in the last\n"
    "line), 5 no page loaded for --max-wait, 129, 130 or 143 ended by SIGHUP,\n"
    "SIGINT or SIGTERM.\n";

namespace {

using cli::Arguments;
using cli::UsageError;

int NumberInRange(std::string_view option, const std::string& text, const SpinRange& range) {
  const std::int32_t value = cli::DecimalArgument(option, text, range.minimum);
  if (value > range.maximum) {
    throw UsageError{std::string(option) + " needs a number from " + std::to_string(range.minimum) +
                     " to " + std::to_string(range.maximum)};
  }
  return value;
}

// Minutes as a decimal number, fractions allowed ("0.5"), more than zero.
double Minutes(const std::string& text) {
  bool valid = !text.empty() && text.size() <= 12;
  int dots = 0;
  for (const char c : text) {
    if (c == '.') {
      ++dots;
    } else if (c < '0' || c > '9') {
      valid = false;
    }
  }
  const double minutes = valid && dots <= 1 ? std::strtod(text.c_str(), nullptr) : 0;
  if (!(minutes > 0) || !std::isfinite(minutes)) {
    throw UsageError{"--max-wait needs a number of minutes above 0"};
  }
  return minutes;
}

template <typename T, typename Lookup>
T Named(std::string_view option, const std::string& name, Lookup lookup) {
  const std::optional<T> found = lookup(name);
  if (!found) throw UsageError{"unknown " + std::string(option.substr(2)) + " " + name};
  return *found;
}

BatchOptions Parse(Arguments& args) {
  BatchOptions options;
  const std::optional<std::string> keywords = args.Option("--keywords");
  if (!keywords) throw UsageError{"--keywords FILE is needed"};
  options.keywords = cli::FileName(*keywords);
  if (auto v = args.Option("--encoding")) {
    options.encoding = Named<TextEncoding>("--encoding", *v, TextEncodingFromCliName);
  }
  if (auto v = args.Option("--engine"))
    options.engine = Named<Engine>("--engine", *v, EngineFromCliName);
  if (auto v = args.Option("--kind")) {
    options.kind = Named<ContactKind>("--kind", *v, ContactKindFromCliName);
  }
  if (auto v = args.Option("--start-line")) {
    options.startLine = cli::DecimalArgument("--start-line", *v, 1);
  }
  if (auto v = args.Option("--speed")) options.speed = NumberInRange("--speed", *v, kSpeedRange);
  if (auto v = args.Option("--pages")) {
    options.pages = NumberInRange("--pages", *v, kPageLimitRange);
  }
  options.dedup = args.Flag("--dedup");
  if (auto v = args.Option("--mark")) options.mark = Utf8ToGbk(*v);
  if (auto v = args.Option("--out")) options.out = cli::FileName(*v);
  if (auto v = args.Option("--format")) {
    if (!options.out) throw UsageError{"--format needs --out FILE"};
    options.format = Named<ExportFormat>("--format", *v, ExportFormatFromName);
  } else if (options.out) {
    // The file's own extension, as the save dialog's filters go.
    std::string extension = options.out->extension().string();
    if (!extension.empty()) extension.erase(0, 1);
    options.format = ExportFormatFromName(LowerAscii(extension)).value_or(ExportFormat::Txt);
  }
  if (auto v = args.Option("--on-verification")) {
    if (*v == "wait") {
      options.onVerification = VerificationPolicy::Wait;
    } else if (*v == "stop") {
      options.onVerification = VerificationPolicy::Stop;
    } else {
      throw UsageError{"--on-verification takes wait or stop"};
    }
  }
  if (auto v = args.Option("--max-wait")) options.maxWaitMinutes = Minutes(*v);
  if (!args.Positionals().empty()) throw UsageError{"brivano-run takes no FILE but --keywords"};
  return options;
}

}  // namespace

ParsedBatchOptions ParseBatchOptions(std::span<char* const> args) {
  ParsedBatchOptions parsed;
  try {
    Arguments arguments(args);
    if (arguments.WantsHelp()) {
      parsed.help = true;
      return parsed;
    }
    if (arguments.WantsVersion()) {
      parsed.version = true;
      return parsed;
    }
    parsed.options = Parse(arguments);
  } catch (const UsageError& error) {
    parsed.error = error.message;
  }
  return parsed;
}

}  // namespace brivano
