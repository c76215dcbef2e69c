// brivano-cli extract: runs one extractor over files, each file one page, all
// pages feeding one buyer list, and prints the list's captions.
#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>

#include "cli/cli_common.h"
#include "base/buyer_list.h"
#include "base/contact_kind.h"
#include "base/integer_text.h"
#include "extract/parallel_extract.h"
#include "base/text.h"

namespace brivano::cli {
namespace {

enum class InputEncoding { Auto, Gbk, Utf8 };

// Prints captions as they are added: the list only grows, so printing at the
// end would give the same lines. Only with de-duplication are the captions
// kept, in the list's hash index.
class PrintingSink : public BuyerSink {
 public:
  explicit PrintingSink(bool dedup) : dedup_(dedup) { out_.reserve(kFlushBytes + 256); }
  ~PrintingSink() override { Flush(); }

  void AddBuyerItem(std::string_view value, ContactKind kind) override {
    if (dedup_) {
      if (list_.Contains(value)) return;
      list_.Append(value, kind);
    }
    if (IsAscii(value)) {
      out_.append(value);
    } else {
      out_.append(GbkToUtf8(value));
    }
    out_.push_back('\n');
    if (out_.size() >= kFlushBytes) Flush();
  }

  void Flush() {
    if (!out_.empty()) std::fwrite(out_.data(), 1, out_.size(), stdout);
    out_.clear();
  }

 private:
  static constexpr std::size_t kFlushBytes = 1 << 20;
  bool dedup_;
  BuyerList list_;
  std::string out_;
};

// The page's content up to its first NUL, as GBK. `converted` holds the
// text when it had to be converted from UTF-8.
std::string_view AsGbk(std::string_view content, InputEncoding encoding, std::string& converted) {
  if (encoding == InputEncoding::Gbk) return content;  // the extractor stops at a NUL itself
  if (const auto nul = content.find('\0'); nul != std::string_view::npos) {
    content = content.substr(0, nul);
  }
  const bool utf8 = encoding == InputEncoding::Utf8 || (!IsAscii(content) && IsValidUtf8(content));
  if (!utf8) return content;
  converted = Utf8ToGbk(content);
  return converted;
}

}  // namespace

int RunExtractCommand(Arguments& args) {
  const std::optional<std::string> kindName = args.Option("--kind");
  if (!kindName) throw UsageError{"extract needs --kind"};
  const std::optional<ContactKind> kind = ContactKindFromCliName(*kindName);
  if (!kind) throw UsageError{"unknown kind " + *kindName};

  InputEncoding encoding = InputEncoding::Auto;
  if (auto name = args.Option("--encoding")) {
    if (*name == "gbk") {
      encoding = InputEncoding::Gbk;
    } else if (*name == "utf-8") {
      encoding = InputEncoding::Utf8;
    } else if (*name != "auto") {
      throw UsageError{"unknown encoding " + *name};
    }
  }
  const bool dedup = args.Flag("--dedup");
  ParallelExtractOptions parallel;
  parallel.threads = std::max(1u, std::thread::hardware_concurrency());
  if (auto threads = args.Option("--threads")) {
    const std::optional<std::int32_t> count = ParseIntegerText(*threads);
    if (!count || *count < 1) throw UsageError{"--threads needs a number of 1 or more"};
    parallel.threads = static_cast<unsigned>(*count);
  }
  std::vector<std::string> files = args.Positionals();
  if (files.empty()) files.push_back("-");

  PrintingSink sink(dedup);
  for (const std::string& file : files) {
    const InputFile input(file);
    std::string converted;
    const std::string_view page = AsGbk(input.bytes(), encoding, converted);
    ExtractTextInParallel(*kind, page, sink, parallel);
  }
  sink.Flush();
  std::fflush(stdout);
  return kSuccess;
}

}  // namespace brivano::cli
