// The fax extractor's steps done the plain way: each row of the label table
// on its own, in table order, with the text layer's ReplaceAllIgnoreCase on a
// copy of the line, then every "FAX:" in turn. The extractor screens lines
// and runs the table at once; tests and the fuzz target hold it to this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace brivano::testing {

inline std::string FaxNumberByPlainSteps(std::string c) {
  c = ReplaceAllIgnoreCase(c, "(", "-");
  c = ReplaceAllIgnoreCase(c, ")", "-");
  c = ReplaceAllIgnoreCase(c, "+", "");
  c = ReplaceAllIgnoreCase(c, "--", "-");
  c = ReplaceAllIgnoreCase(c, "--", "-");
  if (c.starts_with('-')) c.erase(0, 1);
  for (const char* prefix : {"0086-", "0086", "086-", "086", "86-", "86"}) {
    if (c.starts_with(prefix)) c.erase(0, std::string_view(prefix).size());
  }
  if (c.ends_with('-')) c.pop_back();
  std::string digits;
  for (char d : c) {
    if (d >= '0' && d <= '9') digits.push_back(d);
  }
  if (digits.size() == 11 && digits[0] == '1' && digits[1] >= '3') return digits;
  if (c.starts_with("400") || c.starts_with("800")) return digits.size() == 10 ? c : "";
  if (!c.starts_with('0')) {
    c.insert(0, "0");
    digits.insert(0, "0");
  }
  return c.size() >= 11 && c.size() <= 13 && digits.size() >= 10 ? c : "";
}

inline std::vector<std::string> FaxesByPlainSteps(std::string_view line) {
  static const char* const kRows[][2] = {
      {"电话", "传真"},     {"座机", "传真"},     {"固话", "传真"},      {"总机", "传真"},
      {"热线", "传真"},     {"专线", "传真"},     {"TELEPHONE", "传真"}, {"HOTLINE", "传真"},
      {"PHONE", "传真"},    {"TEL", "传真"},      {"FAX", "传真"},       {"(传真)", "传真"},
      {"（传真）", "传真"}, {"传真号码", "传真"}, {"传真号", "传真"},    {"传真至", "传真"},
      {"（", "("},          {"）", ")"},          {"－", "-"},           {"　", " "},
      {"\t", " "},          {";", ":"},           {"  ", " "},           {" ：", "："},
      {" :", ":"},          {"传真： ", "FAX:"},  {"传真：", "FAX:"},    {"传真: ", "FAX:"},
      {"传真:", "FAX:"},    {"传真 ", "FAX:"},    {"传真", "FAX:"},      {" ", ""}};
  constexpr ByteClass kFaxChars{"0123456789(-+)"};
  std::string w(line);
  for (const auto& row : kRows) w = ReplaceAllIgnoreCase(w, Utf8ToGbk(row[0]), Utf8ToGbk(row[1]));
  std::vector<std::string> found;
  std::size_t at = FindText(w, "FAX:");
  while (at != std::string::npos) {
    std::size_t next = at + 4;
    for (;;) {
      const std::string tail = w.substr(next, 255);
      const std::size_t run = RunLength(tail, kFaxChars);
      if (std::string number = FaxNumberByPlainSteps(tail.substr(0, run)); !number.empty()) {
        found.push_back(number);
      }
      next += run;
      std::size_t separator = 0;
      for (const char* written : {"、", "/", "／", ",", "，", "；", "或"}) {
        const std::string s = Utf8ToGbk(written);
        if (run > 0 && separator == 0 && w.compare(next, s.size(), s) == 0 &&
            next + s.size() < w.size() &&
            kFaxChars.Contains(static_cast<unsigned char>(w[next + s.size()]))) {
          separator = s.size();
        }
      }
      if (separator == 0) break;
      next += separator;
    }
    at = FindText(w, "FAX:", next);
  }
  return found;
}

}  // namespace brivano::testing
