// The QQ extractor's steps done the plain way: each replace-all step on its
// own, in table order, with the text layer's ReplaceAllIgnoreCase, on a copy
// of the line. The extractor skips steps and text that cannot matter; tests
// and the fuzz target hold it to this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace brivano::testing {

inline std::vector<std::string> QQNumbersByPlainSteps(std::string_view line) {
  static const char* const kPreparation[][2] = {
      {"user.qzone.qq.com/", "QQ"}, {"Q Q", "QQ"}, {"qq", "QQ"}};
  static const char* const kCleanUp[][2] = {
      {"QQ/微信", "QQ"}, {"QQ／微信", "QQ"}, {"： ", ""},    {": ", ""},   {"QQ ", "QQ"},
      {"QQ ", "QQ"},     {"号码 ", ""},      {"号 ", ""},    {"：", ""},   {"-", ""},
      {":", ""},         {"QQ,", "QQ"},      {"QQ，", "QQ"}, {"号码", ""}, {"号", ""}};
  auto apply = [](std::string& w, const auto& rows) {
    for (const auto& row : rows) w = ReplaceAllIgnoreCase(w, Utf8ToGbk(row[0]), Utf8ToGbk(row[1]));
  };
  std::vector<std::string> found;
  std::string w(line);
  apply(w, kPreparation);
  for (int pass = 0; pass < 3; ++pass) {
    if (FindText(w, "QQ") == std::string::npos) break;
    apply(w, kCleanUp);
    const std::size_t at = FindText(w, "QQ");
    if (at == std::string::npos) break;
    w = w.substr(at + 2, 255);
    const std::size_t digits = RunLength(w, kDigits);
    if (digits >= 5 && digits <= 10) found.push_back(w.substr(0, digits));
  }
  return found;
}

}  // namespace brivano::testing
