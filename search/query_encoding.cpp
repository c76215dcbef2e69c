#include "search/query_encoding.h"

#include <exception>

#include "base/percent_encoding.h"
#include "base/text.h"

namespace brivano {
namespace {

bool IsFormLiteral(unsigned char b) {
  return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9');
}

std::string FormEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (IsFormLiteral(b)) {
      out.push_back(c);
    } else if (b == ' ') {
      out.push_back('+');
    } else {
      AppendPercentEscape(out, b);
    }
  }
  return out;
}

}  // namespace

std::string FormEncoder::Encode() {
  try {
    return FormEncode(input);
  } catch (const std::exception& error) {
    if (OnError) OnError(*this, "Error during encode", error.what());
    return input;
  }
}

std::string EscapeAllBytes(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3);
  for (char c : bytes) AppendPercentEscape(out, static_cast<unsigned char>(c));
  return out;
}

std::string EscapeQueryAsUtf8(std::string_view gbkQuery) {
  return EscapeAllBytes(GbkToUtf8(gbkQuery));
}

}  // namespace brivano
