#include "base/terminal_text.h"

#include <langinfo.h>

#include <clocale>

#include "base/code_page.h"
#include "base/text_search.h"

namespace brivano {

TerminalEncoding TerminalEncodingOfCodeset(std::string_view codeset) {
  const std::string name = LowerAscii(codeset);
  return name == "gbk" || name == "gb18030" || name == "gb2312" ? TerminalEncoding::Gbk
                                                                : TerminalEncoding::Utf8;
}

TerminalEncoding TerminalEncodingOfLocale() {
  // Only looked at: the rest of the program runs in the C locale, so that
  // nothing else (character classes, number formats) changes with it.
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  const std::string previous = current != nullptr ? current : "C";
  if (std::setlocale(LC_CTYPE, "") == nullptr) return TerminalEncoding::Utf8;
  const TerminalEncoding encoding = TerminalEncodingOfCodeset(::nl_langinfo(CODESET));
  std::setlocale(LC_CTYPE, previous.c_str());
  return encoding;
}

void AppendGbkForTerminal(TerminalEncoding terminal, std::string& out, std::string_view gbk) {
  if (terminal == TerminalEncoding::Gbk || IsAscii(gbk)) {
    out.append(gbk);
  } else {
    out.append(GbkToUtf8(gbk));
  }
}

void AppendUtf8ForTerminal(TerminalEncoding terminal, std::string& out, std::string_view utf8) {
  if (terminal == TerminalEncoding::Utf8 || IsAscii(utf8)) {
    out.append(utf8);
  } else {
    out.append(Utf8ToGbk(utf8));
  }
}

std::string GbkFromTerminal(TerminalEncoding terminal, std::string_view text) {
  return terminal == TerminalEncoding::Gbk ? std::string(text) : Utf8ToGbk(text);
}

}  // namespace brivano
