// robots.txt rules and the addresses a site visit may reach.
#include <gtest/gtest.h>

#include <string>

#include "visit/address_safety.h"
#include "visit/robots_rules.h"

namespace brivano {
namespace {

// A typical company site: contact pages closed except one, scripts closed.
constexpr const char* kCompany =
    "\xEF\xBB\xBF# robots.txt for www.example.cn\r\n"
    "User-agent: *\r\n"
    "Disallow: /lianxi/\r\n"
    "Allow: /lianxi/index.html   # the public contact page\r\n"
    "Disallow: /*.php$\r\n"
    "Disallow: /admin\r\n"
    "Sitemap: http://www.example.cn/sitemap.xml\r\n";

// A group for us beside the "*" group; agents sharing a group; the other
// groups' rules must not leak into ours.
constexpr const char* kGroups =
    "User-agent: Baiduspider\n"
    "Disallow: /\n"
    "\n"
    "user-agent: Googlebot\n"
    "USER-AGENT: Brivano/2.0\n"
    "disallow: /about/\n"
    "Crawl-delay: 5\n"
    "\n"
    "User-agent: *\n"
    "Disallow: /\n"
    "\n"
    "User-agent: brivano\n"
    "Disallow: /news/*?page=\n";

// Only "*", with an empty disallow: everything allowed.
constexpr const char* kOpen = "User-agent: *\nDisallow:\n";

// Escapes, raw UTF-8 paths (联系 = %E8%81%94%E7%B3%BB), '$' and a tie.
constexpr const char* kEncoded =
    "User-agent: *\n"
    "Disallow: /%e8%81%94%e7%b3%bb/\n"
    "Disallow: /%7Euser/\n"
    "Disallow: /a/\n"
    "Allow: /a/\n"
    "Disallow: /exact$\n"
    "Disallow: /*/private/*.doc\n"
    "Disallow: /robots.txt\n";

// Rules before any user-agent belong to no group; no "*" group at all.
constexpr const char* kNoStar = "Disallow: /\nUser-agent: Sogou web spider\nDisallow: /\n";

TEST(RobotsRules, Allows) {
  struct Case {
    const char* robots;
    const char* path;
    bool allowed;
  } cases[] = {
      {kCompany, "/", true},
      {kCompany, "/lianxi/", false},
      {kCompany, "/lianxi/map.html", false},
      {kCompany, "/lianxi/index.html", true},
      {kCompany, "/lianxi/index.html?from=baidu", true},
      {kCompany, "/lianxi", true},
      {kCompany, "/contact.php", false},
      {kCompany, "/contact.php?id=1", true},
      {kCompany, "/sub/dir/x.php", false},
      {kCompany, "/administrator/login", false},
      {kCompany, "/ADMIN", true},
      {kCompany, "/robots.txt", true},
      {kGroups, "/", true},
      {kGroups, "/about/", false},
      {kGroups, "/news/list?page=2", false},
      {kGroups, "/news/list", true},
      {kOpen, "/lianxi/", true},
      {kOpen, "/", true},
      {kEncoded, "/联系/", false},
      {kEncoded, "/%E8%81%94%E7%B3%BB/index.html", false},
      {kEncoded, "/%E8%81%94/", true},
      {kEncoded, "/~user/cv.html", false},
      {kEncoded, "/%7euser/", false},
      {kEncoded, "/a/b", true},
      {kEncoded, "/exact", false},
      {kEncoded, "/exact/", true},
      {kEncoded, "/x/private/cv.doc", false},
      {kEncoded, "/x/public/cv.doc", true},
      {kEncoded, "/robots.txt", true},
      {kNoStar, "/lianxi/", true},
      {"", "/anything", true},
      {"User-agent: *\nDisallow: /*", "/", false},
      {"User-agent: *\nDisallow: /\nAllow: /$", "/", true},
      {"User-agent: *\nDisallow: /\nAllow: /$", "/index.html", false},
      {"User-agent: *\rDisallow: /old\r", "/old/a", false},
      {"User-agent: *\nDisallow /nocolon\nDisallow: /yes", "/nocolon", true},
      {"User-agent: *\nDisallow: /yes", "/yes", false},
      {"User-agent: *\nDisallow: /a*b*c*d*e*f*g*h*z$",
       "/aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseRobotsTxt(c.robots, "brivano").Allows(c.path), c.allowed) << c.path << " under\n"
                                                                             << c.robots;
  }
}

// Files that would cost minutes if every question matched them naively:
// they are read once, and each question costs the path's length per rule.
TEST(RobotsRules, HostileFilesAnswerAtOnce) {
  std::string manyRules = "User-agent: *\n";
  for (int i = 0; i < 5000; ++i) manyRules += "Disallow: /x" + std::to_string(i) + "\n";
  const std::string stars = "User-agent: *\nDisallow: /" + std::string(480000, '*') + "\n";
  const std::string longPath = "/lianxi/" + std::string(200000, 'a');
  struct Case {
    std::string robots;
    std::string path;
    bool allowed;
  } cases[] = {
      {stars, "/lianxi/", false},
      {stars, longPath, false},
      {kOpen, longPath, false},
      {kOpen, "/" + std::string(kRobotsMaxPathBytes - 1, 'a'), true},
      {manyRules, "/lianxi/", false},
      {"User-agent: *\nDisallow: /*" + std::string(1000, 'a') + "*" + std::string(1000, 'b') + "$",
       "/" + std::string(2000, 'a'), true},
      {"User-agent: *\nDisallow: /a*b*c$", "/abcabc", false},
      {"User-agent: *\nDisallow: /a*b*c$", "/abcab", true},
      {"User-agent: *\nDisallow: /*.php$\nAllow: /**.php$", "/lianxi.php", true},
      {"User-agent: *\nDisallow: /" + std::string(7000, 'z'), "/zz", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseRobotsTxt(c.robots, "brivano").Allows(c.path), c.allowed)
        << c.path.substr(0, 40) << " under " << c.robots.substr(0, 60);
  }
}

TEST(RobotsRules, FetchOutcomesAndSizeLimit) {
  EXPECT_TRUE(RobotsRules::AllowAll().Allows("/lianxi/"));
  EXPECT_FALSE(RobotsRules::DisallowAll().Allows("/"));
  EXPECT_FALSE(RobotsRules::DisallowAll().Allows("/lianxi/index.html"));

  // Rules past the read limit are not read; a rule cut by the limit is dropped
  // rather than read shortened.
  std::string big = "User-agent: *\nDisallow: /early\n";
  big += std::string(kRobotsTxtReadLimit - big.size() - 12, '#') + "\n";
  big += "Disallow: /private\nDisallow: /late\n";
  const RobotsRules rules = ParseRobotsTxt(big, "brivano");
  EXPECT_FALSE(rules.Allows("/early"));
  EXPECT_TRUE(rules.Allows("/"));
  EXPECT_TRUE(rules.Allows("/pri"));
  EXPECT_TRUE(rules.Allows("/late"));
}

TEST(AddressSafety, Classify) {
  using enum AddressUse;
  struct Case {
    const char* address;
    AddressUse use;
  } cases[] = {
      {"8.8.8.8", Public},
      {"114.114.114.114", Public},
      {"198.18.0.1", Public},  // proxies' fake-ip range: still reachable
      {"127.0.0.1", Loopback},
      {"127.255.1.2", Loopback},
      {"10.0.0.1", Private},
      {"172.16.0.1", Private},
      {"172.31.255.255", Private},
      {"172.32.0.1", Public},
      {"172.15.0.1", Public},
      {"192.168.1.1", Private},
      {"100.64.0.1", Private},
      {"100.127.255.255", Private},
      {"100.128.0.1", Public},
      {"169.254.169.254", LinkLocal},
      {"224.0.0.1", Multicast},
      {"239.255.255.250", Multicast},
      {"0.0.0.0", Unspecified},
      {"0.1.2.3", Unspecified},
      {"240.0.0.1", Reserved},
      {"255.255.255.255", Reserved},
      {"2400:3200::1", Public},
      {"[2400:3200::1]", Public},
      {"::1", Loopback},
      {"[::1]", Loopback},
      {"::", Unspecified},
      {"fc00::1", Private},
      {"fdff::1", Private},
      {"fe80::1", LinkLocal},
      {"febf::1", LinkLocal},
      {"fec0::1", Reserved},
      {"ff02::1", Multicast},
      {"::ffff:127.0.0.1", Loopback},
      {"::ffff:c0a8:101", Private},
      {"::ffff:8.8.8.8", Public},
      {"::10.0.0.1", Private},
      {"64:ff9b::7f00:1", Loopback},
      {"64:ff9b::808:808", Public},
      {"2002:c0a8:101::1", Private},
      {"2002:808:808::1", Public},
      {"", Invalid},
      {"localhost", Invalid},
      {"1.2.3", Invalid},
      {"1.2.3.256", Invalid},
      {"01.2.3.4", Invalid},
      {" 8.8.8.8", Invalid},
      {"0x7f.0.0.1", Invalid},
      {"2130706433", Invalid},
      {"[8.8.8.8]", Invalid},
      {"[::1", Invalid},
      {"fe80::1%eth0", Invalid},
      {"1:2:3:4:5:6:7:8:9", Invalid},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClassifyAddress(c.address), c.use) << c.address;
    EXPECT_EQ(MayVisit(c.address), c.use == Public) << c.address;
  }
}

TEST(AddressSafety, ParseResolveRule) {
  struct Case {
    const char* text;
    std::optional<ResolveRule> rule;
  } cases[] = {
      {"www.Example.CN:80:1.2.3.4", ResolveRule{"www.example.cn", 80, "1.2.3.4"}},
      {"localhost:8080:127.0.0.1", ResolveRule{"localhost", 8080, "127.0.0.1"}},
      {"a.cn:443:[2400:3200::1]", ResolveRule{"a.cn", 443, "2400:3200::1"}},
      {"a.cn:443:::1", ResolveRule{"a.cn", 443, "::1"}},
      {"a_b.cn:65535:10.0.0.1", ResolveRule{"a_b.cn", 65535, "10.0.0.1"}},
      {"a.cn:0:1.2.3.4", std::nullopt},
      {"a.cn:65536:1.2.3.4", std::nullopt},
      {"a.cn:+80:1.2.3.4", std::nullopt},
      {"a.cn::1.2.3.4", std::nullopt},
      {"a.cn:80:", std::nullopt},
      {"a.cn:80", std::nullopt},
      {":80:1.2.3.4", std::nullopt},
      {"a..cn:80:1.2.3.4", std::nullopt},
      {"a.cn.:80:1.2.3.4", std::nullopt},
      {"a cn:80:1.2.3.4", std::nullopt},
      {"例子.中国:80:1.2.3.4", std::nullopt},
      {"+a.cn:80:1.2.3.4", std::nullopt},
      {"-a.cn:80", std::nullopt},
      {"*:80:1.2.3.4", std::nullopt},
      {"a.cn:80:1.2.3.4,5.6.7.8", std::nullopt},
      {"a.cn:80:example.com", std::nullopt},
      {"a.cn:80:[1.2.3.4]", std::nullopt},
      {"a.cn:80:[::1", std::nullopt},
      {"a.cn:80:1.2.3.4 ", std::nullopt},
  };
  const auto show = [](const std::optional<ResolveRule>& r) {
    return r ? r->host + "|" + std::to_string(r->port) + "|" + r->address : std::string("none");
  };
  for (const auto& c : cases) EXPECT_EQ(show(ParseResolveRule(c.text)), show(c.rule)) << c.text;
}

}  // namespace
}  // namespace brivano
