// Whole texts: ExtractText (which skips lines that its screen rejects and
// stops at the first NUL), and ExtractTextInParallel cut into small parts,
// must give what ExtractPage gives on the text's lines.
#include <cstdint>
#include <string_view>

#include "extract/parallel_extract.h"
#include "page_fuzzing.h"
#include "testing/recording_sink.h"

using namespace brivano;

using ValueSink = testing::RecordingSink;

// Input: one byte choosing the kind and the parts, then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const auto kind = static_cast<ContactKind>(data[0] % 4);
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  // The page's lines as the page step reads them, a label at the end of one
  // taking its value from the line below where the kind allows it.
  ValueSink lineByLine;
  ExtractPage(kind, SplitTextLines(text), lineByLine);

  ValueSink whole;
  const std::size_t read = ExtractText(kind, text, whole);
  if (read != std::min(text.size(), text.find('\0'))) {
    fuzzing::CollectingSink::Fail("read up to the wrong place", text.substr(0, 64));
  }
  if (whole.values != lineByLine.values) {
    fuzzing::CollectingSink::Fail("whole text differs from line by line", text.substr(0, 64));
  }

  ParallelExtractOptions options;
  options.threads = 2 + data[0] / 4 % 3;
  options.minPartBytes = 1 + data[0] / 16;
  ValueSink parts;
  if (ExtractTextInParallel(kind, text, parts, options) != read || parts.values != whole.values) {
    fuzzing::CollectingSink::Fail("parts differ from the whole text", text.substr(0, 64));
  }
  return 0;
}
