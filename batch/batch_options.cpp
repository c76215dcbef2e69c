#include "batch/batch_options.h"

#include <cmath>
#include <cstdlib>

#include "base/arguments.h"
#include "base/terminal_text.h"
#include "base/text.h"
#include "search/run_options.h"

namespace brivano {

const std::string_view kBatchUsage =
    "usage: brivano-run --keywords FILE [--encoding auto|gbk|utf-8|utf-16]\n"
    "                   [--engine baidu|sogou|360|bing] [--kind mobile|email|qq|fax]\n"
    "                   [--start-line N] [--speed S] [--pages P] [--dedup]\n"
    "                   [--mark TEXT] [--out FILE] [--format txt|csv|xlsx]\n"
    "                   [--on-verification wait|stop] [--max-wait MINUTES]\n"
    "                   [--visit-sites] [--resolve HOST:PORT:ADDRESS]...\n"
    "Runs the search of the desktop program without a window. Options left out\n"
    "come from the desktop program's settings; none is written back to them.\n"
    "The keyword file's encoding (auto, the default) comes from its byte-order\n"
    "mark, else from weighing its text as GBK and as UTF-8; utf-16 without a\n"
    "mark is little-endian.\n"
    "Exit status: 0 every keyword done, 1 failure, 2 usage error, 3 stopped at a\n"
    "verification page, 4 keywords whose pages did not load (named in the last\n"
    "line), 5 no page loaded for --max-wait, 129, 130 or 143 ended by SIGHUP,\n"
    "SIGINT or SIGTERM.\n"
    "--visit-sites also visits each result's site and up to 4 of its contact\n"
    "pages. --resolve maps a site's name to an address, as curl's option of that\n"
    "name does; such a mapping is trusted even to this machine.\n";

namespace {

int NumberInRange(std::string_view option, const std::string& text, const SpinRange& range) {
  const std::int32_t value = DecimalArgument(option, text, range.minimum);
  if (value > range.maximum) {
    throw UsageError{std::string(option) + " 需要 " + std::to_string(range.minimum) + " 到 " +
                     std::to_string(range.maximum) + " 之间的数"};
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
    throw UsageError{"--max-wait 需要大于 0 的分钟数"};
  }
  return minutes;
}

// `what` names the option's values in the message: "未知的搜索引擎“google”".
template <typename T, typename Lookup>
T Named(std::string_view what, const std::string& name, Lookup lookup) {
  const std::optional<T> found = lookup(name);
  if (!found) throw UnknownValue(what, name);
  return *found;
}

BatchOptions Parse(Arguments& args) {
  BatchOptions options;
  const std::optional<std::string> keywords = args.Option("--keywords");
  if (!keywords) throw UsageError{"缺少 --keywords FILE"};
  options.keywords = FileName(*keywords);
  if (auto v = args.Option("--encoding")) {
    options.encoding = Named<TextEncoding>("编码", *v, TextEncodingFromCliName);
  }
  if (auto v = args.Option("--engine"))
    options.engine = Named<Engine>("搜索引擎", *v, EngineFromCliName);
  if (auto v = args.Option("--kind")) {
    options.kind = Named<ContactKind>("类型", *v, ContactKindFromCliName);
  }
  if (auto v = args.Option("--start-line")) {
    options.startLine = DecimalArgument("--start-line", *v, 1);
  }
  if (auto v = args.Option("--speed")) options.speed = NumberInRange("--speed", *v, kSpeedRange);
  if (auto v = args.Option("--pages")) {
    options.pages = NumberInRange("--pages", *v, kPageLimitRange);
  }
  options.dedup = args.Flag("--dedup");
  // Typed on the terminal, in its encoding.
  if (auto v = args.Option("--mark"))
    options.mark = GbkFromTerminal(TerminalEncodingOfLocale(), *v);
  if (auto v = args.Option("--out")) options.out = FileName(*v);
  if (auto v = args.Option("--format")) {
    if (!options.out) throw UsageError{"--format 需要 --out FILE"};
    options.format = Named<ExportFormat>("格式", *v, ExportFormatFromName);
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
      throw UsageError{"--on-verification 只能是 wait 或 stop"};
    }
  }
  if (auto v = args.Option("--max-wait")) options.maxWaitMinutes = Minutes(*v);
  options.visitSites = args.Flag("--visit-sites");
  for (const std::string& text : args.RepeatedOption("--resolve")) {
    const std::optional<ResolveRule> rule = ParseResolveRule(text);
    if (!rule) throw UsageError{"--resolve 需要 HOST:PORT:ADDRESS，例如 example.com:443:127.0.0.1"};
    options.resolve.push_back(*rule);
  }
  if (const std::vector<std::string> rest = args.Positionals(); !rest.empty()) {
    throw UsageError{"多余的参数 " + rest.front() + "（关键词文件用 --keywords FILE 给出）"};
  }
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
