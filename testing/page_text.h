// Text shaped like the rendered result pages of a search engine (titles,
// snippets, addresses, contact lines and their noise), in GBK, for benchmarks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"

namespace brivano::bench {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed * 2654435761u + 1) {}
  std::uint64_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return state_;
  }
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  std::string Digits(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s.push_back(static_cast<char>('0' + Below(10)));
    return s;
  }

 private:
  std::uint64_t state_;
};

inline const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = [] {
    const char* utf8[] = {"深圳",     "旅行社", "北京", "广州",     "上海", "酒店",     "展览",
                          "电器",     "咨询",   "机械", "有限公司", "欢迎", "联系",     "我们",
                          "服务",     "地址",   "产品", "价格",     "优惠", "旅游",     "线路",
                          "国际",     "会展",   "中心", "百度快照", "网页", "相关搜索", "更多",
                          "营业执照", "年",     "月",   "日",       "，",   "。",       "、",
                          "：",       "（",     "）",   "　",       "的",   "是",       "在"};
    std::vector<std::string> out;
    for (const char* w : utf8) out.push_back(brivano::Utf8ToGbk(w));
    return out;
  }();
  return words;
}

inline std::string Chinese(Random& r, int words) {
  std::string s;
  for (int i = 0; i < words; ++i) s += Words()[r.Below(Words().size())];
  return s;
}

inline std::string Line(Random& r) {
  static const std::string mobileLabel = brivano::Utf8ToGbk("手机：");
  static const std::string phoneLabel = brivano::Utf8ToGbk("电话：");
  static const std::string faxLabel = brivano::Utf8ToGbk("传真：");
  static const std::string qqLabel = brivano::Utf8ToGbk("QQ号：");
  static const std::string mailLabel = brivano::Utf8ToGbk("邮箱：");
  static const std::string nextPage = brivano::Utf8ToGbk("下一页>");
  static const char* prefixes[] = {"13", "14", "15", "17", "18", "19", "16", "12"};
  static const char* domains[] = {"qq.com", "163.com", "126.com", "sina.com.cn", "example.cn"};
  switch (r.Below(14)) {
    case 0:
      return Chinese(r, 3) + mobileLabel + prefixes[r.Below(8)] + r.Digits(9) + " " + Chinese(r, 2);
    case 1:
      return phoneLabel + "0" + r.Digits(3) + "-" + r.Digits(8) + " " + faxLabel + "0" +
             r.Digits(3) + "-" + r.Digits(8);
    case 2:
      return qqLabel + r.Digits(5 + static_cast<int>(r.Below(6))) + " " + Chinese(r, 4);
    case 3:
      return mailLabel + "sales" + r.Digits(3) + (r.Below(3) == 0 ? "#" : "@") +
             domains[r.Below(5)] + " " + Chinese(r, 2);
    case 4:
      return "www." + r.Digits(4) + ".com/news/20" + r.Digits(2) + "/" + r.Digits(6) + ".html - " +
             Chinese(r, 1);
    case 5:
      return "Fax: +86-" + r.Digits(2) + "-" + r.Digits(8) + " Tel: 86" + r.Digits(11);
    case 6:
      return "1 2 3 4 5 6 7 8 9 10 " + nextPage;
    case 7:
      return "user.qzone.qq.com/" + r.Digits(9) + " " + Chinese(r, 3);
    default:
      return Chinese(r, 6 + static_cast<int>(r.Below(20))) + " 20" + r.Digits(2) + "-" +
             r.Digits(2) + "-" + r.Digits(2) + " " + Chinese(r, 5);
  }
}

// About `bytes` bytes of page lines ended by CR LF.
inline std::string PageText(std::size_t bytes, std::uint64_t seed = 1) {
  Random r(seed);
  std::string out;
  out.reserve(bytes + 512);
  while (out.size() < bytes) {
    out += Line(r);
    out += "\r\n";
  }
  return out;
}

}  // namespace brivano::bench
