// Runs with 访问网站 on the virtual clock: a result page of three sites, each
// served by a fake web that logs when every page was asked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "base/text.h"
#include "testing/fake_fetcher.h"
#include "testing/run_harness.h"
#include "visit/site_visits.h"

namespace brivano {
namespace {

using testing::FakeFetcher;
using testing::RunHarness;

class MemoryHistory : public VisitHistory {
 public:
  std::set<std::string> recent;
  std::vector<std::string> marked;
  bool VisitedWithin(const std::string& domain, int days) override {
    return days > 0 && recent.contains(domain);
  }
  void MarkVisited(const std::string& domain) override { marked.push_back(domain); }
};

struct VisitRun {
  RunHarness h;
  FakeFetcher web{h.clock};
  MemoryHistory history;
  SiteVisits visits{{.run = *h.run,
                     .fetcher = &web,
                     .timers = h.clock,
                     .nowMs = [this] { return h.clock.Now(); },
                     .history = &history,
                     .tuning = {}}};
  std::string resultPage;

  VisitRun() {
    h.run->SetCompanion(&visits);
    h.window.engine = Engine::So360;
    h.window.keywords = {"a"};
    h.window.pageLimitText = "1";
    h.window.visitSites = true;
    resultPage = h.Address(Engine::So360, "a", 1);
    // Four results of three sites (www.a.test and a.test are one); the
    // result page itself names one number.
    const std::string html =
        "<ul><li class='res-list'><h3><a data-mdurl='http://a.test/'>甲公司</a></h3>"
        "<p>手机 13900000000</p><cite>a.test</cite></li>"
        "<li class='res-list'><h3><a "
        "data-mdurl='http://www.a.test/x'>甲</a></h3><cite>a</cite></li>"
        "<li class='res-list'><h3><a data-mdurl='http://b.test/'>乙</a></h3><cite>b</cite></li>"
        "<li class='res-list'><h3><a data-mdurl='http://c.test/'>丙</a></h3><cite>c</cite></li>"
        "</ul>";
    h.browser.Serve(resultPage, "甲公司\n手机 13900000000\n甲\n乙\n丙\n",
                    {.resultBlocks = 4, .html = html});
    // a: no robots.txt; its 联系我们 page names the company and a number.
    web.Serve("http://a.test/",
              "<title>甲</title><p>电话 13800000001</p><a href='/about/lx.html'>联系我们</a>"
              "<a href='/news/1.html'>新闻</a><a href='http://other.test/contact'>联系</a>");
    web.Serve("http://a.test/about/lx.html",
              "<p>手机：13800000002</p><p>深圳市甲贸易有限公司 版权所有</p>");
    // b forbids its contact page; its landing page is a redirect away.
    web.Serve("http://b.test/robots.txt", "User-agent: *\nDisallow: /lianxi", 100, "text/plain");
    web.Answer("http://b.test/",
               {.answer = {.httpStatus = 302, .redirect = "http://b.test/i.htm"}});
    web.Serve("http://b.test/i.htm", "<a href='/lianxi.html'>联系方式</a>");
    web.Serve("http://b.test/lianxi.html", "<p>13800000003</p>");
    // c answers slowly, long after the engine is done with.
    web.Serve("http://c.test/", "<p>13800000004</p>", 30000);
  }

  std::vector<std::string> Values() const {
    std::vector<std::string> values;
    for (const ContactValue& item : h.run->Buyers().items()) values.push_back(item.value);
    return values;
  }
  std::vector<std::string> Asked() const {
    std::vector<std::string> asked;
    for (const FakeFetcher::Request& r : web.Requests()) asked.push_back(r.address);
    return asked;
  }
};

TEST(SiteVisits, ContactPagesAreHarvestedPolitelyAndTheRunWaitsForThem) {
  VisitRun r;
  ASSERT_TRUE(r.h.Start());
  ASSERT_TRUE(r.h.RunToEnd());

  // The slow site was waited for; b's forbidden page was never asked for,
  // nor the other site's contact page, nor a page that names no contact.
  EXPECT_EQ(r.Values(),
            (std::vector<std::string>{"13900000000", "13800000001", "13800000002", "13800000004"}));
  const std::vector<std::string> asked = r.Asked();
  for (const char* never : {"http://b.test/lianxi.html", "http://other.test/contact",
                            "http://a.test/news/1.html", "http://www.a.test/x"}) {
    EXPECT_EQ(std::count(asked.begin(), asked.end(), never), 0) << never;
  }
  // robots.txt comes first on every host, and no host is asked twice
  // within two seconds.
  std::map<std::string, long long> last;
  std::set<std::string> hosts;
  for (const FakeFetcher::Request& request : r.web.Requests()) {
    const std::string host = request.address.substr(7, request.address.find('/', 7) - 7);
    if (hosts.insert(host).second) {
      EXPECT_EQ(request.address, "http://" + host + "/robots.txt");
    } else {
      EXPECT_GE(request.atMs - last[host], 2000) << request.address;
    }
    last[host] = request.atMs;
  }

  // A contact page's value tells where it was found and whose it is.
  const ContactValue& contact = r.h.run->Buyers().items()[2];
  ASSERT_TRUE(contact.source && contact.owner);
  EXPECT_TRUE(contact.source->sitePage);
  EXPECT_EQ(contact.source->pageUrl, "http://a.test/about/lx.html");
  EXPECT_EQ(contact.source->keyword, "a");
  EXPECT_EQ(GbkToUtf8(contact.owner->company), "深圳市甲贸易有限公司");
  EXPECT_EQ(contact.owner->target, "http://a.test/");
  EXPECT_EQ(GbkToUtf8(r.h.run->Buyers().items()[1].source->pageTitle), "甲");
  EXPECT_FALSE(r.h.run->Buyers().items()[0].source->sitePage);

  const SiteProgress& done = r.visits.Progress();
  EXPECT_EQ(done.sitesDone, 3);
  EXPECT_EQ(done.sitesTotal, 3);
  EXPECT_EQ(done.pagesDisallowed, 1);
  EXPECT_EQ(r.h.window.Panel(StatusPanel::Sites), "网站 3/3");
  EXPECT_NE(r.h.window.Panel(StatusPanel::Message).find("访问网站 3/3 个，读取网页 4 页"),
            std::string::npos)
      << r.h.window.Panel(StatusPanel::Message);
  EXPECT_EQ(r.history.marked, (std::vector<std::string>{"a.test", "b.test", "c.test"}));
}

TEST(SiteVisits, ASitePageIsReadWhole) {
  VisitRun r;
  // A footer of 600 links with a NUL in it, and a table row of 900 cells: each
  // line's number stands beyond 4,096 bytes.
  std::string links;
  std::string cells;
  for (int i = 0; i < 600; ++i) links += "<a href='/p" + std::to_string(i) + "'>产品</a> ";
  for (int i = 0; i < 900; ++i) cells += "<td>单元</td>";
  r.web.Serve("http://c.test/", "<p>" + links + std::string(1, '\0') + "手机 13800000008</p>" +
                                    "<table><tr>" + cells + "<td>13800000009</td></table>");
  ASSERT_TRUE(r.h.Start());
  ASSERT_TRUE(r.h.RunToEnd());
  const std::vector<std::string> values = r.Values();
  for (const char* value : {"13800000008", "13800000009"}) {
    EXPECT_NE(std::find(values.begin(), values.end(), value), values.end()) << value;
  }
}

TEST(SiteVisits, AResultWithOnlyARedirectIsVisitedAtTheSiteItShows) {
  VisitRun r;
  r.h.browser.Serve(r.resultPage, "丁\n",
                    {.resultBlocks = 2,
                     .html = "<ul><li class='res-list'><h3><a href='/link?u=1'>丁</a></h3>"
                             "<cite>www.d.test/about</cite></li><li class='res-list'><h3>"
                             "<a href='/link?u=2'>戊</a></h3><cite>百度百科</cite></li></ul>"});
  r.web.Serve("http://www.d.test/", "<p>电话 13800000005</p>");
  ASSERT_TRUE(r.h.Start());
  ASSERT_TRUE(r.h.RunToEnd());
  EXPECT_EQ(r.Asked(),
            (std::vector<std::string>{"http://www.d.test/robots.txt", "http://www.d.test/"}));
  EXPECT_EQ(r.Values(), std::vector<std::string>{"13800000005"});
}

TEST(SiteVisits, ASiteOnThisMachineIsRefusedNotVisited) {
  VisitRun r;
  for (const char* address : {"http://c.test/robots.txt", "http://c.test/"}) {
    r.web.Answer(address, {.answer = {.error = FetchError::Refused}});
  }
  ASSERT_TRUE(r.h.Start());
  ASSERT_TRUE(r.h.RunToEnd());
  const SiteProgress& done = r.visits.Progress();
  EXPECT_EQ(done.sitesDone, 2);
  EXPECT_EQ(done.sitesRefused, 1);
  EXPECT_EQ(r.h.window.Panel(StatusPanel::Sites), "网站 3/3");
  EXPECT_NE(r.h.window.Panel(StatusPanel::Message).find("访问网站 2/3 个"), std::string::npos)
      << r.h.window.Panel(StatusPanel::Message);
  EXPECT_NE(r.h.window.Panel(StatusPanel::Message).find("本机或内网地址 1 个未访问"),
            std::string::npos);
}

TEST(SiteVisits, TheEngineKeepsItsPaceAndAnOffSwitchVisitsNothing) {
  // The same two-keyword run with and without visits asks the engine at the
  // same moments.
  std::map<bool, std::vector<long long>> engineTimes;
  for (const bool on : {false, true}) {
    VisitRun r;
    r.h.window.visitSites = on;
    r.h.window.keywords = {"a", "b"};
    r.h.browser.Serve(r.h.Address(Engine::So360, "b", 1), "13900000009\n");
    ASSERT_TRUE(r.h.Start());
    ASSERT_TRUE(r.h.RunToEnd());
    engineTimes[on] = r.h.browser.RequestTimes();
    EXPECT_EQ(r.web.Requests().empty(), !on);
    EXPECT_EQ(r.h.window.Panel(StatusPanel::Sites), on ? "网站 3/3" : "");
  }
  EXPECT_EQ(engineTimes[true], engineTimes[false]);
}

TEST(SiteVisits, AVerificationPageAtTheEngineDoesNotStopTheVisits) {
  VisitRun r;
  r.h.window.keywords = {"a", "b"};
  r.h.browser.wallAt = {2};  // b's page: the engine wants a check solved
  r.h.browser.wallAddress = "http://engine.test/qcaptcha?from=s";
  ASSERT_TRUE(r.h.Start());
  ASSERT_TRUE(r.h.clock.AdvanceUntil([&] { return r.h.run->Paused(); }, 600 * 1000));
  r.h.clock.AdvanceBy(120 * 1000);
  EXPECT_TRUE(r.h.run->Paused());
  EXPECT_EQ(r.visits.Progress().sitesDone, 3);
  EXPECT_EQ(r.Values().size(), 4u);
}

TEST(SiteVisits, StopEndsTheVisitsAtOnceAndKeepsWhatWasRead) {
  VisitRun r;
  r.web.Answer("http://c.test/", {.answer = {}, .delayMs = -1});  // never answers
  ASSERT_TRUE(r.h.Start());
  ASSERT_TRUE(r.h.clock.AdvanceUntil(
      [&] { return r.visits.Progress().sitesDone == 2 && !r.h.run->PageTimer().Enabled(); },
      600 * 1000));
  ASSERT_TRUE(r.h.Running());  // waiting for c
  r.h.run->Stop();
  EXPECT_FALSE(r.h.Running());
  EXPECT_GE(r.web.Cancels(), 1);
  EXPECT_EQ(r.Values(), (std::vector<std::string>{"13900000000", "13800000001", "13800000002"}));
  const std::size_t asked = r.web.Requests().size();
  r.h.clock.AdvanceBy(60 * 1000);
  EXPECT_EQ(r.web.Requests().size(), asked);
}

TEST(SiteVisits, ASiteVisitedRecentlyIsLeftOut) {
  VisitRun r;
  r.history.recent = {"a.test"};
  ASSERT_TRUE(r.h.Start());
  ASSERT_TRUE(r.h.RunToEnd());
  for (const std::string& address : r.Asked()) EXPECT_EQ(address.find("a.test"), std::string::npos);
  EXPECT_EQ(r.visits.Progress().sitesSkipped, 1);
  EXPECT_EQ(r.visits.Progress().sitesTotal, 2);
}

}  // namespace
}  // namespace brivano
