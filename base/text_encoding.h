// Text that comes from outside in an encoding the user chose or left to us,
// turned into the program's GBK: byte-order marks, UTF-16, and the choice
// between GBK and UTF-8 for a text without a mark.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brivano {

enum class TextEncoding { Auto, Gbk, Utf8, Utf16 };

// "auto", "gbk", "utf-8" or "utf-16", as the command lines name them.
std::optional<TextEncoding> TextEncodingFromCliName(std::string_view name);

struct DecodedText {
  std::string gbk;
  // What the text was read as, for the user: "GBK", "UTF-8", "UTF-16LE",
  // "UTF-16BE", "UTF-32LE", "UTF-32BE", or "ASCII" for an unmarked text of
  // ASCII only (the same in both), empty texts included.
  std::string_view encoding;
  // A NUL ended the text with more than NULs behind it: what stood there was
  // not read. Callers that must not lose lines say so.
  bool cutAtNul = false;
};

// `bytes` is everything the file holds. An 8-bit text ends at its first NUL
// byte, a UTF-16 text at its first NUL code unit. Auto reads a byte-order
// mark (UTF-8, UTF-16 LE or BE, UTF-32 LE or BE) and, without one, chooses GBK or UTF-8 as
// WeighsAsUtf8 says; a chosen encoding reads only its own mark (UTF-16 without
// one is little-endian; UTF-16 also reads a UTF-32 mark). Whatever GBK cannot hold, and bytes that
// are no character of the encoding, become "?".
DecodedText DecodeText(std::string_view bytes, TextEncoding encoding);

// Whether a text without a mark is UTF-8 rather than GBK. Validity alone
// cannot tell: short GBK texts are often valid UTF-8 (a GBK character with a
// lead byte 0xC2..0xDF and a trail byte 0x80..0xBF is a two-byte sequence),
// and one stray byte makes a UTF-8 file invalid. So each reading
// is weighed by the Chinese text it makes: UTF-8 scores 3 for every CJK
// character, full-width form or CJK punctuation mark, which GBK bytes rarely
// form by chance; GBK scores 2 for every character of GB2312's punctuation
// rows and 3,755 common hanzi, and loses 1 for every character of its
// extension area, where UTF-8 read as GBK mostly lands. Each loses 1 for
// every byte it cannot read. UTF-8 must score higher to win.
bool WeighsAsUtf8(std::string_view text);

}  // namespace brivano
