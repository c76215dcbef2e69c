// Text for the terminal: what the command-line programs print goes out in
// the encoding of the user's locale, GBK on a Chinese GBK desktop, UTF-8
// everywhere else. Files keep their own encodings.
#pragma once

#include <string>
#include <string_view>

namespace brivano {

enum class TerminalEncoding { Utf8, Gbk };

// By the name nl_langinfo(CODESET) gives: GBK for "GBK", "GB18030" and
// "GB2312" (GBK holds GB2312 and is held by GB18030), UTF-8 for the rest,
// "ANSI_X3.4-1968" of the C locale included, since a Linux terminal shows
// UTF-8 whatever the locale says.
TerminalEncoding TerminalEncodingOfCodeset(std::string_view codeset);

// The encoding of the locale the environment names for LC_CTYPE (LC_ALL,
// LC_CTYPE, LANG); a locale that is not installed counts as C. The
// program's own locale is left as it was.
TerminalEncoding TerminalEncodingOfLocale();

// Appends a GBK text, or a UTF-8 one, in the terminal's encoding.
void AppendGbkForTerminal(TerminalEncoding terminal, std::string& out, std::string_view gbk);
void AppendUtf8ForTerminal(TerminalEncoding terminal, std::string& out, std::string_view utf8);
// A text typed on the terminal (an argument), as GBK.
std::string GbkFromTerminal(TerminalEncoding terminal, std::string_view text);

}  // namespace brivano
