// brivano-cli extract: runs one extractor over files, each file one page, all
// pages feeding one buyer list, and prints the list's captions.
#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>

#include "base/buyer_list.h"
#include "base/contact_kind.h"
#include "base/text.h"
#include "cli/cli_common.h"
#include "extract/parallel_extract.h"

namespace brivano::cli {
namespace {

enum class InputEncoding { Auto, Gbk, Utf8 };

// Prints captions as they are added: the list only grows, so printing at the
// end would give the same lines. Only with de-duplication are the captions
// kept, in the list's hash index.
class PrintingSink : public BuyerSink {
 public:
  explicit PrintingSink(bool dedup) : dedup_(dedup) { out_.reserve(kFlushBytes + 256); }
  ~PrintingSink() override = default;

  void AddBuyerItem(std::string_view value, ContactKind kind) override {
    if (dedup_) {
      if (list_.Contains(value)) return;
      list_.Append(value, kind);
    }
    AppendGbkForTerminal(terminal_, out_, value);
    out_.push_back('\n');
    if (out_.size() >= kFlushBytes) Flush();
  }

  void Flush() {
    // Cleared first: a failed write throws, and the destructor must not
    // try the same bytes again.
    std::string out;
    out.swap(out_);
    PrintPrepared(out);
    out_.swap(out);
    out_.clear();
  }

 private:
  static constexpr std::size_t kFlushBytes = 1 << 20;
  bool dedup_;
  TerminalEncoding terminal_ = Terminal();
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
  const bool utf8 = encoding == InputEncoding::Utf8 || ReadsAsUtf8(content);
  if (!utf8) return content;
  converted = Utf8ToGbk(content);
  return converted;
}

// An input that cannot be mapped (a pipe, a device), read a block at a
// time. Lines are independent and only their first bytes are read, so the
// text is handed to the extractor in pieces cut after a line break, and a
// line longer than the extractor reads is handed on as its first bytes
// while the rest is skipped. With --encoding auto the choice of UTF-8 needs
// the whole content: from the first piece that is not ASCII on, pieces are
// held back until a byte that is no UTF-8 settles it as GBK, or to the end.
class StreamedPage {
 public:
  StreamedPage(ContactKind kind, InputEncoding encoding, BuyerSink& sink,
               const ParallelExtractOptions& parallel)
      : kind_(kind), encoding_(encoding), sink_(sink), parallel_(parallel) {}

  void Run(InputFile& input) {
    std::string block(kBlockBytes, '\0');
    while (const std::size_t got = input.Read(block.data(), block.size())) {
      Take(std::string_view(block.data(), got));
    }
    if (!pending_.empty()) Piece(pending_);
    if (!held_.empty()) Extract(Utf8ToGbk(held_));  // valid UTF-8 to the end
  }

 private:
  static constexpr std::size_t kBlockBytes = 1 << 20;

  void Take(std::string_view bytes) {
    if (skipping_) {
      const std::size_t lineBreak = bytes.find_first_of("\r\n");
      if (lineBreak == std::string_view::npos) return;
      skipping_ = false;
      bytes.remove_prefix(lineBreak);
    }
    pending_.append(bytes);
    std::size_t cut = pending_.rfind('\n');
    if (cut == std::string::npos) {
      // A CR at the very end may be the first half of a CR LF.
      cut = pending_.size() > 1 ? pending_.rfind('\r', pending_.size() - 2) : std::string::npos;
    }
    if (cut != std::string::npos) {
      Piece(std::string_view(pending_).substr(0, cut + 1));
      pending_.erase(0, cut + 1);
    } else if (pending_.size() > parallel_.maxLineBytes && !Undecided()) {
      Piece(std::string_view(pending_).substr(0, parallel_.maxLineBytes));
      pending_.clear();
      skipping_ = true;
    }
  }

  bool Undecided() const { return encoding_ == InputEncoding::Auto && !gbk_; }

  void Piece(std::string_view piece) {
    if (encoding_ == InputEncoding::Utf8) {
      Extract(Utf8ToGbk(piece));
    } else if (!Undecided() || (held_.empty() && IsAscii(piece))) {
      Extract(piece);  // ASCII reads the same in both encodings
    } else {
      held_.append(piece);
      if (!IsValidUtf8(piece)) {
        gbk_ = true;
        Extract(held_);
        std::string().swap(held_);
      }
    }
  }

  void Extract(std::string_view gbk) { ExtractTextInParallel(kind_, gbk, sink_, parallel_); }

  ContactKind kind_;
  InputEncoding encoding_;
  BuyerSink& sink_;
  const ParallelExtractOptions& parallel_;
  std::string pending_;  // the start of a line not yet ended
  std::string held_;     // auto: text not yet known to be GBK or UTF-8
  bool gbk_ = false;     // auto: a byte that is no UTF-8 was met
  bool skipping_ = false;
};

}  // namespace

int RunExtractCommand(Arguments& args) {
  const std::optional<std::string> kindName = args.Option("--kind");
  if (!kindName) throw UsageError{"extract 需要 --kind"};
  const std::optional<ContactKind> kind = ContactKindFromCliName(*kindName);
  if (!kind) throw UnknownValue("类型", *kindName);

  InputEncoding encoding = InputEncoding::Auto;
  if (auto name = args.Option("--encoding")) {
    if (*name == "gbk") {
      encoding = InputEncoding::Gbk;
    } else if (*name == "utf-8") {
      encoding = InputEncoding::Utf8;
    } else if (*name != "auto") {
      throw UnknownValue("编码", *name);
    }
  }
  const bool dedup = args.Flag("--dedup");
  ParallelExtractOptions parallel;
  parallel.threads = std::max(1u, std::thread::hardware_concurrency());
  if (auto threads = args.Option("--threads")) {
    parallel.threads = static_cast<unsigned>(DecimalArgument("--threads", *threads, 1));
  }
  std::vector<std::string> files = args.Positionals();
  if (files.empty()) files.push_back("-");
  for (const std::string& file : files) FileName(file);

  PrintingSink sink(dedup);
  for (const std::string& file : files) {
    InputFile input(file);
    if (input.mapped()) {
      std::string converted;
      const std::string_view page = AsGbk(input.bytes(), encoding, converted);
      ExtractTextInParallel(*kind, page, sink, parallel);
    } else {
      StreamedPage(*kind, encoding, sink, parallel).Run(input);
    }
  }
  sink.Flush();
  return kSuccess;
}

}  // namespace brivano::cli
