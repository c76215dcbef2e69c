// The QQ extractor's steps done the plain way: each replace-all step on its
// own, in table order, with the text layer's ReplaceAllIgnoreCase, on a copy
// of the line, then every marker in turn. The extractor skips steps and text
// that cannot matter; tests and the fuzz target hold it to this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace brivano::testing {

inline std::vector<std::string> QQNumbersByPlainSteps(std::string_view line) {
  static const char* const kPreparation[][2] = {{"user.qzone.qq.com/", "QQ"},
                                                {"Q Q", "QQ"},
                                                {"ＱＱ", "QQ"},
                                                {"ｑｑ", "QQ"},
                                                {"\t", " "},
                                                {"　", " "},
                                                {"qq", "QQ"}};
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
  if (FindText(w, "QQ") == std::string::npos) return found;
  apply(w, kCleanUp);
  for (std::size_t at = FindText(w, "QQ"); at != std::string::npos;) {
    std::size_t next = at + 2;
    for (bool more = true; more;) {
      std::size_t digits = 0;
      while (next + digits < w.size() && w[next + digits] >= '0' && w[next + digits] <= '9') {
        ++digits;
      }
      if (digits >= 5 && digits <= 10) found.push_back(w.substr(next, digits));
      next += digits;
      more = false;
      for (const char* written : {"、", "/", "／", " / ", ",", "，", "；", "或"}) {
        const std::string s = Utf8ToGbk(written);
        if (!more && digits > 0 && w.compare(next, s.size(), s) == 0 &&
            next + s.size() < w.size() && w[next + s.size()] >= '0' && w[next + s.size()] <= '9') {
          next += s.size();
          more = true;
        }
      }
    }
    at = FindText(w, "QQ", next);
  }
  return found;
}

}  // namespace brivano::testing
