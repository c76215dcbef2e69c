// The two ways a query goes into a result-page address: form encoding of the
// GBK bytes (Baidu, Sogou) and escaping of every UTF-8 byte (360, Bing).
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace brivano {

// The URL-encoding component of the main window.
class FormEncoder {
 public:
  using ErrorHandler = std::function<void(FormEncoder& sender, const std::string& operation,
                                          const std::string& errMsg)>;

  std::string input;
  ErrorHandler OnError;

  // Form encoding of input, computed anew on every read. Letters and
  // digits stay, the blank becomes "+", every other byte "%XX".
  std::string Encode();
};

// "%XX" for every byte, letters, digits and blanks included.
std::string EscapeAllBytes(std::string_view bytes);

// A GBK query as UTF-8, every byte escaped.
std::string EscapeQueryAsUtf8(std::string_view gbkQuery);

}  // namespace brivano
