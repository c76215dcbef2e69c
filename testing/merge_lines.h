// Result-file lines for the merge benchmarks: the contacts several runs
// harvest (mobile numbers, e-mail addresses, QQ and fax numbers, names with
// numbers), in GBK, spread over several files so that every distinct line
// occurs twice, the second time often in other letter case.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"
#include "testing/page_text.h"

namespace brivano::bench {

// The distinct line number `index`; distinct indices give distinct lines.
inline std::string DistinctResultLine(std::uint64_t index, Random& random) {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const char* utf8 : {"张先生", "李小姐", "王经理", "深圳市", "广州", "旅行社", "酒店",
                             "机械厂", "有限公司", "销售部", "北京", "上海"}) {
      list.push_back(Utf8ToGbk(utf8));
    }
    return list;
  }();
  // Multiplying by an odd number that is no multiple of 5 permutes the
  // residues, so the numbers look random and stay distinct.
  const std::uint64_t scrambled = (index * 982451653u) % 1000000000u;
  std::string n = std::to_string(scrambled);
  n.insert(0, 9 - n.size(), '0');
  // Built by appending: GCC 12 warns falsely about "literal" + std::string.
  std::string line;
  switch (index % 8) {
    case 0:
    case 1:
    case 2:
      line.push_back('1');
      line.push_back(static_cast<char>('3' + index % 7));
      line.append(n);
      break;
    case 3:
    case 4:
      for (int i = 0; i < 6; ++i) line.push_back(static_cast<char>('a' + random.Below(26)));
      line.append(n);
      line.append("@mail");
      line.append(std::to_string(index % 97));
      line.append(".com.cn");
      break;
    case 5:
      line.append(std::to_string(10000 + scrambled % 2000000000u));
      break;
    case 6:
      line.append("0755-");
      line.append(n, 1);
      break;
    default:
      line.append(names[random.Below(names.size())]);
      line.append(names[random.Below(names.size())]);
      line.append(" 1");
      line.append(n);
      line.push_back('0');
      break;
  }
  return line;
}

// `files` file contents of `linesPerFile` lines each, ended by CR LF. Half of
// all lines repeat a line met elsewhere; a repeated e-mail address is often
// written in capitals.
inline std::vector<std::string> ResultFiles(int files, std::size_t linesPerFile,
                                            std::uint64_t seed) {
  Random random(seed);
  const std::size_t total = static_cast<std::size_t>(files) * linesPerFile;
  std::vector<std::uint32_t> occurrences(total);
  for (std::size_t i = 0; i < total; ++i) occurrences[i] = static_cast<std::uint32_t>(i / 2);
  for (std::size_t i = total; i > 1; --i)
    std::swap(occurrences[i - 1], occurrences[random.Below(i)]);
  std::vector<bool> seen(total / 2 + 1, false);
  std::vector<std::string> contents(static_cast<std::size_t>(files));
  for (std::size_t i = 0; i < total; ++i) {
    const std::uint32_t index = occurrences[i];
    Random lineRandom(index + 1);
    std::string line = DistinctResultLine(index, lineRandom);
    if (seen[index] && random.Below(2) == 0) {
      for (char& c : line) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      }
    }
    seen[index] = true;
    std::string& content = contents[i / linesPerFile];
    content += line;
    content += "\r\n";
  }
  return contents;
}

}  // namespace brivano::bench
