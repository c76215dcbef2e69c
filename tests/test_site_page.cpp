// Reading a fetched site page: its addresses resolved as a browser resolves
// them, the registrable domain that bounds a visit, and the title, text and
// links of the page.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "visit/registrable_domain.h"
#include "visit/site_page.h"
#include "visit/web_address.h"

namespace brivano {

// Found by argument-dependent lookup from inside gtest, so beside PageLink.
bool operator==(const PageLink& a, const PageLink& b) {
  return a.address == b.address && a.text == b.text;
}
void PrintTo(const PageLink& link, std::ostream* out) {
  *out << "{" << link.address << ", " << link.text << "}";
}

namespace {

TEST(WebAddress, JoinsReferencesAsBrowsersDo) {
  struct Row {
    const char* base = "";
    const char* reference = "";
    const char* joined = "";
  };
  constexpr const char* kRfc = "http://a/b/c/d;p?q";  // RFC 3986, 5.4
  constexpr const char* kSite = "http://www.a.com.cn/cn/index.asp?id=1";
  const std::vector<Row> rows = {
      {kRfc, "g", "http://a/b/c/g"},
      {kRfc, "./g", "http://a/b/c/g"},
      {kRfc, "g/", "http://a/b/c/g/"},
      {kRfc, "/g", "http://a/g"},
      {kRfc, "//g", "http://g/"},
      {kRfc, "?y", "http://a/b/c/d;p?y"},
      {kRfc, "g?y", "http://a/b/c/g?y"},
      {kRfc, "#s", "http://a/b/c/d;p?q"},
      {kRfc, "g#s", "http://a/b/c/g"},
      {kRfc, ";x", "http://a/b/c/;x"},
      {kRfc, "", "http://a/b/c/d;p?q"},
      {kRfc, ".", "http://a/b/c/"},
      {kRfc, "..", "http://a/b/"},
      {kRfc, "../g", "http://a/b/g"},
      {kRfc, "../..", "http://a/"},
      {kRfc, "../../../g", "http://a/g"},
      {kRfc, "/./g", "http://a/g"},
      {kRfc, "g;x=1/../y", "http://a/b/c/y"},
      {kRfc, "g?y/./x", "http://a/b/c/g?y/./x"},
      {kRfc, "http:g", "http://a/b/c/g"},
      {kRfc, "g:h", ""},
      {kSite, " \n lianxi.asp\t", "http://www.a.com.cn/cn/lianxi.asp"},
      {kSite, "..\\about\\us.htm", "http://www.a.com.cn/about/us.htm"},
      {kSite, "\\\\b.com\\x", "http://b.com/x"},
      {kSite, "%2e%2E/x", "http://www.a.com.cn/x"},
      {kSite, "中文.html?q=联 系",
       "http://www.a.com.cn/cn/%E4%B8%AD%E6%96%87.html?q=%E8%81%94%20%E7%B3%BB"},
      {kSite, "HTTPS://WWW.B.COM:443/X", "https://www.b.com/X"},
      {kSite, "https:b.com/x", "https://b.com/x"},
      {kSite, "//b.com:8080", "http://b.com:8080/"},
      {kSite, "mailto:info@a.com.cn", ""},
      {kSite, "javascript:void(0)", ""},
      {kSite, "tel:0571-88888888", ""},
      {kSite, "data:text/html,<p>x</p>", ""},
      {"ftp://a.com/", "x.html", ""},
      {"", "http://a.com", "http://a.com/"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(JoinAddress(row.base, row.reference), row.joined)
        << row.base << " + " << row.reference;
  }
}

TEST(WebAddress, ParsesHttpAddressesOnly) {
  struct Row {
    const char* text = "";
    // Nothing expected when the host is empty.
    const char* host = "";
    int port = 0;
    const char* pathAndQuery = "";
    const char* origin = "";
  };
  const std::vector<Row> rows = {
      {"HTTP://WWW.A.COM", "www.a.com", 80, "/", "http://www.a.com"},
      {"https://a.com:8443/x?y#z", "a.com", 8443, "/x?y", "https://a.com:8443"},
      {"https://a.com:443", "a.com", 443, "/", "https://a.com"},
      {"http://a.com:/", "a.com", 80, "/", "http://a.com"},
      {"http://user:pw@a.com/p", "a.com", 80, "/p", "http://a.com"},
      {"http://www.baidu.com@evil.com/", "evil.com", 80, "/", "http://evil.com"},
      {"http://[2001:DB8::1]:8080/p", "2001:db8::1", 8080, "/p", "http://[2001:db8::1]:8080"},
      {"http://a.com?q=1", "a.com", 80, "/?q=1", "http://a.com"},
      {"http://a.com/a b/\"x\"?k='v'", "a.com", 80, "/a%20b/%22x%22?k=%27v%27", "http://a.com"},
      {"http://a.com/x/../%7E", "a.com", 80, "/%7E", "http://a.com"},
      {"http://例子.中国/", "例子.中国", 80, "/", "http://例子.中国"},
      {"http://ÄRGER.de/", "ärger.de", 80, "/", "http://ärger.de"},
      {"http://a。com。cn/", "a.com.cn", 80, "/", "http://a.com.cn"},
      {"ftp://a.com/"},
      {"mailto:x@a.com"},
      {"a.com/x"},
      {"http://"},
      {"http://a.com:99999/"},
      {"http://a.com:0/"},
      {"http://a.com:8o/"},
      {"http://[::1/"},
      {"http://[x::1]/"},
      {"http://a b.com/"},
      {"http://a%2eb.com/"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const std::optional<WebAddress> address = ParseWebAddress(row.text);
    ASSERT_EQ(address.has_value(), *row.host != '\0');
    if (!address) continue;
    EXPECT_EQ(address->host, row.host);
    EXPECT_EQ(address->port, row.port);
    EXPECT_EQ(address->pathAndQuery, row.pathAndQuery);
    EXPECT_EQ(SiteOrigin(*address), row.origin);
    EXPECT_EQ(RobotsAddress(*address), std::string(row.origin) + "/robots.txt");
  }
}

TEST(RegistrableDomain, FollowsThePublicSuffixList) {
  const std::vector<std::pair<const char*, const char*>> rows = {
      {"www.a.com.cn", "a.com.cn"},
      {"shop.x.co.uk", "x.co.uk"},
      {"WWW.A.COM.", "a.com"},
      {"a.b.test", "b.test"},
      {"com.cn", "com.cn"},
      {"localhost", "localhost"},
      {"www.例子.中国", "例子.中国"},
      {"x.blogspot.com", "x.blogspot.com"},
      {"192.168.1.10", "192.168.1.10"},
      {"2001:db8::1", "2001:db8::1"},
      {"[2001:DB8::1]", "2001:db8::1"},
  };
  for (const auto& [host, domain] : rows) EXPECT_EQ(RegistrableDomain(host), domain) << host;

  struct Pair {
    const char* a = "";
    const char* b = "";
    bool same = false;
  };
  for (const Pair& pair : std::vector<Pair>{{"www.a.com.cn", "shop.a.com.cn", true},
                                            {"a.com.cn", "b.com.cn", false},
                                            {"a.com", "A.COM", true},
                                            {"x.blogspot.com", "y.blogspot.com", false},
                                            {"", "", false}}) {
    EXPECT_EQ(SameRegistrableDomain(pair.a, pair.b), pair.same) << pair.a << " / " << pair.b;
  }
}

TEST(SitePage, ReadsTitleTextAndLinks) {
  const std::string html = R"html(<!DOCTYPE html>
<html><head><meta charset="utf-8">
<title>  杭州甲乙
  机械有限公司 &amp; 首页 </title>
<base href="/cn/">
<meta http-equiv="Refresh" content="5; URL='welcome.html'">
<style>.tel { color: red } /* 电话：0571-11111111 */</style>
<script>var s = "<a href='x.html'>假链接</a> 0571-22222222";</script>
</head><body>
<!-- 传真：0571-33333333 <a href="old.html">旧</a> -->
<noscript>请开启脚本</noscript>
<div class="top">欢迎光临<br>本公司</div><p>第一段<p>第二段
<table><tr><td>电话</td><td>0571-88888888</td></tr><tr><td>地址</td><td>杭州市</td></tr></table>
<div style="display: none">隐藏</div>
<a href="lxwm.html">联系<b>我们</b></a>
<a href="/about.asp"><img src="a.gif" alt=" 关于
 我们 "></a>
<a href="../news/" title="新闻中心"><img src="n.gif"></a>
<a href="mailto:info@a.cn">info@a.cn</a> <a href="javascript:void(0)">返回</a>
<a href=" https://www.b.com/ ">合作伙伴</a>
<map><area href="job.html" alt="招聘"><area href="map.html" title="地图"></map>
<iframe src="//map.example.com/m?x=1">不支持</iframe>
<frameset><frame src="left.html"></frameset>
</body></html>)html";
  const SitePage page = ReadSitePage(html, "http://www.a.com.cn/index.asp");
  EXPECT_EQ(page.title, "杭州甲乙 机械有限公司 & 首页");
  EXPECT_EQ(page.text,
            "欢迎光临\n本公司\n第一段\n第二段\n电话 0571-88888888\n地址 杭州市\n"
            "联系我们 info@a.cn 返回 合作伙伴");
  const std::vector<PageLink> links = {
      {"http://www.a.com.cn/cn/welcome.html", ""},
      {"http://www.a.com.cn/cn/lxwm.html", "联系我们"},
      {"http://www.a.com.cn/about.asp", "关于 我们"},
      {"http://www.a.com.cn/news/", "新闻中心"},
      {"https://www.b.com/", "合作伙伴"},
      {"http://www.a.com.cn/cn/job.html", "招聘"},
      {"http://www.a.com.cn/cn/map.html", "地图"},
      {"http://map.example.com/m?x=1", ""},
      {"http://www.a.com.cn/cn/left.html", ""},
  };
  EXPECT_EQ(page.links, links);
  EXPECT_EQ(page.refreshTarget, "http://www.a.com.cn/cn/welcome.html");
}

// Landing pages that only forward, and markup without <html> or <body>.
TEST(SitePage, ReadsForwardingAndBarePages) {
  struct Row {
    const char* html = "";
    const char* title = "";
    const char* text = "";
    const char* refreshTarget = "";
  };
  const std::vector<Row> rows = {
      {R"(<meta http-equiv="refresh" content="0;url=http://www.a.cn/cn/">)", "", "",
       "http://www.a.cn/cn/"},
      {R"(<META HTTP-EQUIV=REFRESH CONTENT="0.5 , url = 'index.asp' ">)", "", "",
       "http://a.cn/x/index.asp"},
      {R"(<meta http-equiv="refresh" content="0; main.htm">)", "", "", "http://a.cn/x/main.htm"},
      {R"(<meta http-equiv="refresh" content="30">)", "", "", ""},
      {R"(<meta http-equiv="refresh" content="url=main.htm">)", "", "", ""},
      {R"(<meta http-equiv="refresh" content="0;url=mailto:x@a.cn">)", "", "", ""},
      {R"(<meta name="refresh" content="0;url=main.htm">)", "", "", ""},
      {"<title>甲&nbsp;乙</title><script>s='丙'</script>电话：<b>0571</b>-1<p>地址", "甲 乙",
       "电话：0571-1\n地址", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.html);
    const SitePage page = ReadSitePage(row.html, "http://a.cn/x/home.htm");
    EXPECT_EQ(page.title, row.title);
    EXPECT_EQ(page.text, row.text);
    EXPECT_EQ(page.refreshTarget, row.refreshTarget);
    // The forward is a link too, with no text.
    const std::vector<PageLink> links = *row.refreshTarget
                                            ? std::vector<PageLink>{{row.refreshTarget, ""}}
                                            : std::vector<PageLink>{};
    EXPECT_EQ(page.links, links);
  }
}

}  // namespace
}  // namespace brivano
