// ExtractText over a large text on several threads, for batch work on big
// files. The values reach the sink in the order ExtractText gives them.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/buyer_list.h"
#include "base/contact_kind.h"

namespace brivano {

struct ParallelExtractOptions {
  unsigned threads = 1;
  // A text is cut into no more parts than leave each at least this long: a
  // thread costs more than a small text takes.
  std::size_t minPartBytes = std::size_t{4} << 20;
  std::size_t maxLineBytes = 4096;
};

// Cuts `text` into parts at line starts, extracts each part on its own
// thread and passes the values to `sink` part by part, in text order. A NUL
// ends the text as it does for ExtractText: parts after it give nothing.
// Returns what ExtractText returns.
std::size_t ExtractTextInParallel(ContactKind kind, std::string_view text, BuyerSink& sink,
                                  const ParallelExtractOptions& options);

}  // namespace brivano
