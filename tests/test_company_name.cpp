// Whose a result is: the company a title or snippet names, and the title
// without what the engines and sites add to it.
#include <gtest/gtest.h>

#include "search/company_name.h"

namespace brivano {
namespace {

TEST(CompanyName, FromTheTitleElseTheText) {
  const struct {
    const char* title;
    const char* text;
    const char* company;
  } cases[] = {
      {"深圳市甲乙旅行社有限公司_官网", "", "深圳市甲乙旅行社有限公司"},
      {"首页 - 华南重工股份有限公司", "", "华南重工股份有限公司"},
      {"北京丙丁科技有限责任公司 | 联系我们", "", "北京丙丁科技有限责任公司"},
      {"联系方式", "地址：东莞市长安五金厂 电话：0769-1234567", "东莞市长安五金厂"},
      {"某某（深圳）电子有限公司", "", "某某（深圳）电子有限公司"},
      {"欢迎访问广州戊己贸易商行", "", "广州戊己贸易商行"},
      {"丁丁家电经营部", "", "丁丁家电经营部"},
      {"小王设计工作室 - 作品", "", "小王设计工作室"},
      {"华为集团", "", "华为集团"},
      // A word that only ends in a suffix inside a sentence names no one.
      {"厂家直销 钢材批发", "本厂位于深圳", ""},
      {"集团客户专线", "", ""},
      {"有限公司", "", ""},
      {"", "", ""},
      // The title goes first; the text serves when the title names none.
      {"酒店预订_携程", "上海携程商务有限公司 版权所有", "上海携程商务有限公司"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompanyName(c.title, c.text), c.company) << c.title << " | " << c.text;
  }
}

TEST(CompanyName, ASitesOwnerFromItsCopyrightOrIcpLineElseItsTitle) {
  const struct {
    const char* title;
    const char* text;
    const char* owner;
  } cases[] = {
      {"产品中心", "首页\n联系我们\n版权所有 © 2024 深圳市甲乙科技有限公司 粤ICP备12345678号",
       "深圳市甲乙科技有限公司"},
      {"联系我们_广州丙丁贸易有限公司", "Copyright 2023 东莞戊己五金厂 All rights reserved",
       "东莞戊己五金厂"},
      {"联系我们_广州丙丁贸易有限公司", "电话：020-12345678\n本公司主营：某某有限公司代理",
       "广州丙丁贸易有限公司"},  // a company named in passing is not the owner
      {"首页", "粤ICP备12345678号-1", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SiteOwnerName(c.title, c.text), c.owner) << c.text;
}

TEST(CompanyName, TitlesLoseTheSuffixesEnginesAndSitesAdd) {
  const std::pair<const char*, const char*> cases[] = {
      {"旅行社_百度百科", "旅行社"},
      {"旅行社 - 360百科", "旅行社"},
      {"甲乙公司_官网_百度百科", "甲乙公司"},
      {"  甲乙公司 - 官方网站 ", "甲乙公司"},
      {"官网", "官网"},  // nothing would be left
      {"深圳 旅行社 - 首页", "深圳 旅行社"},
      {"官网介绍_百度知道", "官网介绍"},
  };
  for (const auto& [title, clean] : cases) EXPECT_EQ(CleanTitle(title), clean) << title;
}

}  // namespace
}  // namespace brivano
