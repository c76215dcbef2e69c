#include "extract/parallel_extract.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "extract/extractors.h"

namespace brivano {
namespace {

// The values of one part, kept until the parts before it are passed on.
class CollectingSink : public BuyerSink {
 public:
  void AddBuyerItem(std::string_view value, ContactKind kind) override {
    ends_.push_back(bytes_.size() + value.size());
    bytes_.append(value);
    kinds_.push_back(kind);
  }

  void PassOn(BuyerSink& sink) const {
    std::size_t begin = 0;
    for (std::size_t i = 0; i < ends_.size(); ++i) {
      sink.AddBuyerItem(std::string_view(bytes_).substr(begin, ends_[i] - begin), kinds_[i]);
      begin = ends_[i];
    }
  }

 private:
  std::string bytes_;
  std::vector<std::size_t> ends_;
  std::vector<ContactKind> kinds_;
};

// The first line start at or after `from`: just past the next LF, or past a
// CR that no LF follows (a CR LF pair is never cut). `text.size()` when
// there is none.
std::size_t NextLineStart(std::string_view text, std::size_t from) {
  for (std::size_t pos = from; pos < text.size(); ++pos) {
    if (text[pos] == '\n') return pos + 1;
    if (text[pos] == '\r') {
      if (pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
      return pos + 1;
    }
  }
  return text.size();
}

std::vector<std::string_view> CutIntoParts(std::string_view text, std::size_t parts) {
  std::vector<std::string_view> cut;
  std::size_t begin = 0;
  for (std::size_t i = 1; i < parts && begin < text.size(); ++i) {
    const std::size_t target = std::max(begin, text.size() / parts * i);
    // A CR right before the target may pair with an LF at it.
    const std::size_t end = NextLineStart(text, target == 0 ? 0 : target - 1);
    if (end >= text.size()) break;
    cut.push_back(text.substr(begin, end - begin));
    begin = end;
  }
  cut.push_back(text.substr(begin));
  return cut;
}

}  // namespace

std::size_t ExtractTextInParallel(ContactKind kind, std::string_view text, BuyerSink& sink,
                                  const ParallelExtractOptions& options) {
  const std::size_t byLength = text.size() / std::max<std::size_t>(options.minPartBytes, 1);
  const std::size_t parts = std::clamp<std::size_t>(byLength, 1, std::max(options.threads, 1u));
  if (parts == 1) return ExtractText(kind, text, sink, options.maxLineBytes);

  const std::vector<std::string_view> cut = CutIntoParts(text, parts);
  std::vector<CollectingSink> collected(cut.size());
  std::vector<std::size_t> read(cut.size());
  {
    std::vector<std::jthread> workers;
    // Each part reads from the whole text: a label waiting on a part's last
    // line takes its value from the parts behind.
    auto extractPart = [&](std::size_t i) {
      const auto begin = static_cast<std::size_t>(cut[i].data() - text.data());
      read[i] = ExtractTextPart(kind, text, begin, begin + cut[i].size(), collected[i],
                                options.maxLineBytes) -
                begin;
    };
    for (std::size_t i = 1; i < cut.size(); ++i) {
      try {
        workers.emplace_back(extractPart, i);
      } catch (const std::system_error&) {
        extractPart(i);  // no thread to be had: this one does the part
      }
    }
    extractPart(0);
  }
  std::size_t offset = 0;
  for (std::size_t i = 0; i < cut.size(); ++i) {
    collected[i].PassOn(sink);
    // A part that stopped short met the NUL that ends the text.
    if (read[i] < cut[i].size()) return offset + read[i];
    offset += cut[i].size();
  }
  return text.size();
}

}  // namespace brivano
