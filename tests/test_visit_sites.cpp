// The visits of result sites: the politeness scheduler on a simulated clock
// and the choice of a site's contact pages from its landing page's links.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "visit/contact_links.h"
#include "visit/politeness.h"

namespace brivano {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Random queues of several hosts, fetched with random durations on a clock
// that jumps from one event (a fetch ending, a page coming due) to the next.
// Beside the scheduler runs a plain model of the rules: every start must be
// the earliest-queued page the rules allow at that moment.
TEST(PolitenessScheduler, SimulatedRuns) {
  struct Row {
    const char* name;
    PolitenessLimits limits;
    int hosts;
    int mostPagesPerHost;
    long long shortestFetchMs;
    long long longestFetchMs;
    unsigned seed;
  } rows[] = {
      {"defaults", {}, 12, 5, 50, 5000, 1},
      {"slow hosts", {}, 8, 4, 3000, 20000, 2},
      {"one host at once", {.perHostIntervalMs = 2000, .mostHostsAtOnce = 1}, 5, 4, 10, 3000, 3},
      {"no interval", {.perHostIntervalMs = 0, .mostHostsAtOnce = 3}, 6, 6, 0, 100, 4},
      {"one host many pages", {}, 1, 40, 10, 500, 5},
      {"many hosts few slots", {.perHostIntervalMs = 500, .mostHostsAtOnce = 2}, 30, 3, 1, 900, 6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::mt19937 random(row.seed);
    auto between = [&](long long low, long long high) {
      return std::uniform_int_distribution<long long>(low, high)(random);
    };

    // Pages are added in a random interleaving of hosts, each host written in
    // varying case: the scheduler must take "Host3.CN" and "host3.cn" as one.
    struct Queued {
      std::string host;
      std::string address;
    };
    std::vector<Queued> model;
    PolitenessScheduler scheduler(row.limits);
    std::vector<int> left(row.hosts);
    for (int& pages : left) pages = static_cast<int>(between(1, row.mostPagesPerHost));
    for (int page = 0;; ++page) {
      std::vector<int> open;
      for (int h = 0; h < row.hosts; ++h)
        if (left[h] > 0) open.push_back(h);
      if (open.empty()) break;
      int h = open[between(0, static_cast<long long>(open.size()) - 1)];
      --left[h];
      std::string host = "host" + std::to_string(h) + ".cn";
      if (between(0, 1)) host = "HOST" + std::to_string(h) + ".Cn";
      std::string address = "http://" + host + "/p" + std::to_string(page);
      scheduler.Add(host, address);
      model.push_back({Lower(host), address});
    }
    const std::size_t total = model.size();
    ASSERT_EQ(scheduler.Queued(), total);

    std::map<std::string, long long> lastStart;  // by host in lower case
    std::map<std::string, long long> lastEnd;
    std::multimap<long long, std::string> finishing;  // end time -> host
    std::map<std::string, std::vector<std::string>> fetchedByHost;
    long long now = 0;
    std::size_t fetched = 0;
    std::map<std::string, std::vector<std::string>> expectedByHost;
    for (const Queued& q : model) expectedByHost[q.host].push_back(q.address);

    for (int step = 0; fetched < total || !finishing.empty(); ++step) {
      ASSERT_LT(step, 100000) << "the run does not end";
      while (auto fetch = scheduler.Next(now)) {
        std::string host = Lower(fetch->host);
        auto busy = [&](const std::string& h) {
          return std::any_of(finishing.begin(), finishing.end(),
                             [&](const auto& f) { return f.second == h; });
        };
        ASSERT_FALSE(busy(host)) << "two fetches of " << host << " at once";
        if (lastStart.contains(host)) {
          ASSERT_GE(now - lastStart[host], row.limits.perHostIntervalMs) << host;
        }
        ASSERT_LT(static_cast<int>(finishing.size()), row.limits.mostHostsAtOnce);
        auto allowed = std::find_if(model.begin(), model.end(), [&](const Queued& q) {
          return !busy(q.host) && (!lastEnd.contains(q.host) ||
                                   now - lastEnd[q.host] >= row.limits.perHostIntervalMs);
        });
        ASSERT_NE(allowed, model.end());
        ASSERT_EQ(fetch->address, allowed->address) << "not the earliest page allowed";
        model.erase(allowed);
        lastStart[host] = now;
        finishing.emplace(now + between(row.shortestFetchMs, row.longestFetchMs), host);
        fetchedByHost[host].push_back(fetch->address);
        ++fetched;
      }
      ASSERT_EQ(scheduler.Queued(), total - fetched);
      std::optional<long long> due = scheduler.NextDueMs(now);
      if (due) {
        ASSERT_GT(*due, now) << "due now, yet Next gave nothing";
      }
      if (!due && finishing.empty()) {
        ASSERT_EQ(fetched, total) << "pages left that nothing will start";
        break;
      }
      long long next = finishing.empty() ? *due : finishing.begin()->first;
      if (due) next = std::min(next, *due);
      now = next;
      while (!finishing.empty() && finishing.begin()->first == now) {
        scheduler.Finished(finishing.begin()->second, now);
        lastEnd[finishing.begin()->second] = now;
        finishing.erase(finishing.begin());
      }
    }
    EXPECT_EQ(fetched, total);
    EXPECT_EQ(fetchedByHost, expectedByHost) << "each page once, in its host's order";
  }
}

// One host and short fetches: each page starts the moment the host has
// rested its interval after the last answer, not later.
TEST(PolitenessScheduler, OneHostKeepsTheInterval) {
  PolitenessScheduler scheduler;
  for (int i = 0; i < 4; ++i) scheduler.Add("a.cn", "http://a.cn/" + std::to_string(i));
  std::vector<long long> starts;
  long long now = 0;
  while (auto due = scheduler.NextDueMs(now)) {
    now = *due;
    auto fetch = scheduler.Next(now);
    ASSERT_TRUE(fetch);
    EXPECT_FALSE(scheduler.Next(now + 1999)) << "a second fetch while the first runs";
    starts.push_back(now);
    scheduler.Finished("A.CN", now + 100);
  }
  EXPECT_EQ(starts, (std::vector<long long>{0, 2100, 4200, 6300}));
}

// Stopping drops what is queued; a fetch already running still ends and
// still keeps its host waiting out the interval.
TEST(PolitenessScheduler, ClearDropsTheQueue) {
  PolitenessScheduler scheduler;
  scheduler.Add("a.cn", "http://a.cn/1");
  scheduler.Add("b.cn", "http://b.cn/1");
  scheduler.Add("a.cn", "http://a.cn/2");
  ASSERT_EQ(scheduler.Next(0)->address, "http://a.cn/1");
  scheduler.Clear();
  EXPECT_EQ(scheduler.Queued(), 0u);
  EXPECT_FALSE(scheduler.Next(0));
  EXPECT_FALSE(scheduler.NextDueMs(0));
  scheduler.Finished("a.cn", 500);
  scheduler.Add("a.cn", "http://a.cn/3");
  EXPECT_FALSE(scheduler.Next(2000));
  EXPECT_EQ(scheduler.NextDueMs(1000), 2500);
  EXPECT_EQ(scheduler.Next(2500)->address, "http://a.cn/3");
}

TEST(ContactLinks, ChoosesTheContactPages) {
  auto onSite = [](std::string_view site) {
    return [site](std::string_view address) {
      std::string_view rest = address.substr(address.find("//") + 2);
      std::string host = Lower(std::string(rest.substr(0, rest.find_first_of("/?"))));
      return host == site || host.ends_with("." + std::string(site));
    };
  };
  struct Row {
    const char* name;
    const char* site;
    std::vector<PageLink> links;
    std::size_t most;
    std::vector<std::string> chosen;
  } rows[] = {
      {"chinese company site",
       "hengda-wujin.cn",
       {
           {"http://www.hengda-wujin.cn/", "首页"},
           {"http://www.hengda-wujin.cn/products/list_1.html", "产品中心"},
           {"http://www.hengda-wujin.cn/news/12.html", "新闻动态"},
           {"http://www.hengda-wujin.cn/gywm/index.html", "关于我们"},
           {"http://www.hengda-wujin.cn/download/catalog.PDF", "联系我们"},
           {"http://www.baidu.com/lxwm.html", "联系我们"},
           {"mailto:sales@hengda-wujin.cn", "联系我们"},
           {"tel:057188886666", "联系电话"},
           {"javascript:void(0)", "联系方式"},
           {"http://www.hengda-wujin.cn/lxwm.html#map", "联系 我们"},
           {"http://www.hengda-wujin.cn/lxwm.html#form", "在线留言"},
           {"http://www.hengda-wujin.cn/jianjie.asp?id=3", "企业简介"},
           {"https://m.hengda-wujin.cn/contact/", "手机站"},
           {"http://www.hengda-wujin.cn/images/about.jpg", "公司简介"},
           {"http://www.hengda-wujin.cn/honor.html", "荣誉资质"},
       },
       4,
       {"http://www.hengda-wujin.cn/lxwm.html", "http://www.hengda-wujin.cn/gywm/index.html",
        "http://www.hengda-wujin.cn/jianjie.asp?id=3", "https://m.hengda-wujin.cn/contact/"}},
      {"english site, fewer slots",
       "acme-tools.com",
       {
           {"https://acme-tools.com/", "Home"},
           {"https://acme-tools.com/about-us", "About\n  Us"},
           {"https://acme-tools.com/en/company/history", "Our history"},
           {"https://acme-tools.com/page?id=7", "CONTACT US"},
           {"https://Acme-Tools.com/about-us#team", "Team"},
           {"https://acme-tools.com/products", "Products"},
       },
       2,
       {"https://acme-tools.com/page?id=7", "https://acme-tools.com/about-us"}},
      {"nothing hints at contacts",
       "a.cn",
       {{"http://a.cn/1.html", "产品"}, {"http://a.cn/list?p=2", "下一页"}},
       4,
       {}},
      {"a stronger link later in the page goes first",
       "a.cn",
       {{"http://a.cn/about.html", "关于我们"}, {"http://a.cn/c.html", "联系我们"}},
       1,
       {"http://a.cn/c.html"}},
      {"ties keep the page's order",
       "a.cn",
       {{"http://a.cn/x2", "联系"}, {"http://a.cn/x1", "联系"}, {"http://a.cn/lianxi/", ""}},
       4,
       {"http://a.cn/x2", "http://a.cn/x1", "http://a.cn/lianxi/"}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ChooseContactPages(row.links, onSite(row.site), row.most), row.chosen) << row.name;
  }
}

}  // namespace
}  // namespace brivano
