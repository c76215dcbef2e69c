#include "search/result_address.h"

#include "base/text.h"

namespace brivano {

std::string BuildQuery(std::string_view keywordLine, std::string_view mark) {
  std::string joined(keywordLine);
  joined.push_back(' ');
  joined.append(TrimBlanks(mark));
  return std::string(TrimBlanks(joined));
}

std::string BaseAddress(const EngineRow& row, FormEncoder& encoder) {
  const std::string encoded =
      row.encoding == QueryEncoding::FormGbk ? encoder.Encode() : EscapeQueryAsUtf8(encoder.input);
  return row.schemeAndHost + row.pathAndQueryKey + encoded + row.pageKey;
}

long long PageValue(const EngineRow& row, int pageCounter) {
  return static_cast<long long>(row.pageFactor) * pageCounter + row.pageOffset;
}

std::string ResultPageAddress(const EngineRow& row, std::string_view gbkQuery, int pageNumber) {
  FormEncoder encoder;
  encoder.input = std::string(gbkQuery);
  const int counter = row.counterStart + pageNumber - 1;
  return BaseAddress(row, encoder) + std::to_string(PageValue(row, counter));
}

}  // namespace brivano
