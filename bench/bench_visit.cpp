// Reading a visited site page: a megabyte of a company site's markup (nested
// divs, product tables, a few thousand links, a style sheet and scripts in
// the page, Chinese text) to its title, text and links. A site visit reads up
// to five such pages per result; the bar is 10 ms a page.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "testing/fake_fetcher.h"
#include "testing/run_harness.h"
#include "visit/robots_rules.h"
#include "visit/site_page.h"
#include "visit/site_visits.h"

namespace brivano::bench {
namespace {

constexpr const char* kPhrases[] = {
    "本公司专业生产",
    "液压机械设备",
    "数控机床配件",
    "欢迎来电咨询",
    "质量可靠",
    "价格优惠",
    "产品远销欧美",
    "通过ISO9001认证",
    "厂家直销",
    "售后服务完善",
    "年产量达十万台",
    "拥有先进的生产线",
    "技术力量雄厚",
    "诚信经营",
    "客户至上",
    "欢迎新老客户光临",
    "不锈钢阀门",
    "精密铸造",
    "节能环保",
    "广泛应用于化工、电力、冶金等行业",
    "24小时热线服务",
    "提供定制加工",
    "型号齐全",
    "现货供应",
    "浙江省杭州市萧山区经济技术开发区",
};
constexpr std::size_t kPhraseCount = std::size(kPhrases);

// A fixed sequence, so every run reads the same page.
class Sequence {
 public:
  std::uint32_t Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ >> 8;
  }
  const char* Phrase() { return kPhrases[Next() % kPhraseCount]; }

 private:
  std::uint32_t state_ = 20240601u;
};

void AppendSentences(std::string& page, Sequence& sequence, int count) {
  for (int i = 0; i < count; ++i) {
    page += sequence.Phrase();
    page += i + 1 < count ? "，" : "。";
  }
}

std::string StyleBlock() {
  std::string style = "<style type=\"text/css\">\n";
  for (int i = 0; style.size() < 12 * 1024; ++i) {
    const std::string n = std::to_string(i);
    style += ".box" + n + " .pro" + n + " a:hover{color:#c00;background:url(/images/bg" + n +
             ".png) no-repeat 0 0;margin:0 auto;padding:4px 8px}\n";
  }
  return style + "</style>\n";
}

// Scripts hold markup in strings ("<div>", "</a>"), which must stay text.
std::string ScriptBlock(std::size_t bytes) {
  std::string script = "<script type=\"text/javascript\">\n";
  for (int i = 0; script.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    script += "function show" + n + "(id){var box=document.getElementById('m'+id);if(box){box." +
              "innerHTML='<div class=\"tip\"><a href=\"/p/'+id+'.html\">查看详情</a></div>';" +
              "if(id<" + n + "&&id>0){box.style.display='block';}}}\n";
  }
  return script + "</script>\n";
}

std::string CompanyPage(std::size_t bytes) {
  Sequence sequence;
  std::string page =
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\">\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\n"
      "<title>杭州甲乙机械有限公司-液压机械设备,数控机床配件,不锈钢阀门</title>\n"
      "<meta name=\"keywords\" content=\"液压机械,数控机床,不锈钢阀门\" />\n"
      "<link href=\"/css/style.css\" rel=\"stylesheet\" type=\"text/css\" />\n";
  page += StyleBlock();
  page += ScriptBlock(16 * 1024);
  page +=
      "</head>\n<body>\n<div id=\"wrap\"><div class=\"header\"><div class=\"logo\"><a "
      "href=\"/\"><img src=\"/images/logo.gif\" alt=\"杭州甲乙机械有限公司\" /></a></div>\n"
      "<div class=\"nav\"><ul>";
  for (const char* item : {"网站首页", "关于我们", "产品中心", "新闻动态", "工程案例", "技术支持",
                           "人才招聘", "在线留言", "联系我们"}) {
    page += "<li><a href=\"/about/" + std::to_string(page.size() % 97) + ".html\">" + item +
            "</a></li>";
  }
  page += "</ul></div></div>\n<div class=\"main\">\n";
  int block = 0;
  while (page.size() + 4096 < bytes) {
    const std::string n = std::to_string(block++);
    page += "<div class=\"row\"><div class=\"col-left\"><div class=\"box\"><div class=\"pro\">";
    page += "<a href=\"/product/show.asp?id=" + n + "&amp;cat=" + std::to_string(block % 12) +
            "\" title=\"产品" + n + "\"><img src=\"/upload/2023/" + n + ".jpg\" alt=\"液压机" + n +
            "型\" width=\"160\" height=\"120\" /></a>\n";
    page += "<h3><a href=\"/product/show.asp?id=" + n + "\">" + sequence.Phrase() + "-XY" + n +
            "</a></h3><p>";
    AppendSentences(page, sequence, 6);
    page +=
        "</p></div></div></div>\n<div class=\"col-right\"><table class=\"params\" "
        "cellpadding=\"0\" cellspacing=\"1\" width=\"100%\">\n";
    for (const char* label : {"型号", "功率", "重量", "尺寸"}) {
      page += "<tr><td class=\"label\">" + std::string(label) + "</td><td>XY-" + n + "-" +
              std::to_string(sequence.Next() % 1000) + "</td><td><a href=\"/params/" + n +
              ".html\">详细参数</a></td></tr>\n";
    }
    page += "</table></div>\n<ul class=\"news\">";
    for (int i = 0; i < 5; ++i) {
      const std::string id = std::to_string(sequence.Next() % 100000);
      page += "<li><span class=\"date\">2023-0" + std::to_string(1 + i) + "-1" + std::to_string(i) +
              "</span><a href=\"news/" + id + ".html\" target=\"_blank\" title=\"" +
              sequence.Phrase() + "\">" + sequence.Phrase() + "</a></li>\n";
    }
    page += "</ul></div>\n";
    if (block % 40 == 0) {
      page += "<div class=\"contact\"><p>联系电话：0571-8" + std::to_string(1000000 + block) +
              "<br />传真：0571-8" + std::to_string(2000000 + block) +
              "<br />邮箱：<a href=\"mailto:sales" + n + "@jiayi-jixie.com.cn\">sales" + n +
              "@jiayi-jixie.com.cn</a></p></div>\n<!-- 第" + n + "栏结束 -->\n";
    }
  }
  page +=
      "</div>\n<div class=\"footer\"><p><a href=\"/lxwm/\">联系我们</a> | <a "
      "href=\"/sitemap.html\">网站地图</a> | <a href=\"javascript:void(0)\" "
      "onclick=\"addFav()\">加入收藏</a></p><p>版权所有 &copy; 杭州甲乙机械有限公司&nbsp;"
      "地址：浙江省杭州市萧山区经济技术开发区 电话：0571-88888888</p><p><a "
      "href=\"https://beian.miit.gov.cn/\">浙ICP备12345678号</a></p></div></div>\n";
  page += ScriptBlock(page.size() < bytes ? std::min<std::size_t>(bytes - page.size(), 2048) : 0);
  page += "</body>\n</html>\n";
  return page;
}

const std::string& Page() {
  static const std::string page = CompanyPage(1 << 20);
  return page;
}

void BM_ReadSitePage1MB(benchmark::State& state) {
  const std::string& page = Page();
  std::size_t links = 0;
  std::size_t textBytes = 0;
  for (auto _ : state) {
    const SitePage read = ReadSitePage(page, "http://www.jiayi-jixie.com.cn/index.html");
    links = read.links.size();
    textBytes = read.text.size();
    benchmark::DoNotOptimize(read);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.counters["links"] = static_cast<double>(links);
  state.counters["textKiB"] = static_cast<double>(textBytes) / 1024;
}
BENCHMARK(BM_ReadSitePage1MB)->Unit(benchmark::kMillisecond);

// The worst robots.txt a site can send within the read limit, read and asked
// about as a visit does, on the event loop: a rule of 480,000 stars and two
// contact links of 200 KB; and the largest group still obeyed, every rule of
// which reads the whole longest path a visit asks about. Each must stay within
// a few milliseconds.
void BM_HostileRobotsTxt(benchmark::State& state) {
  std::string file = "User-agent: *\n";
  std::string path;
  if (state.range(0) == 0) {
    file += "Disallow: /" + std::string(480000, '*') + "\n";
    path = "/lianxi/" + std::string(200 * 1024, 'a');
  } else {
    for (std::size_t i = 0; i < kRobotsMaxRules; ++i) {
      file += "Disallow: /*" + std::to_string(i) + "zz*q$\n";
    }
    path = "/" + std::string(kRobotsMaxPathBytes - 1, 'z');
  }
  for (auto _ : state) {
    const RobotsRules rules = ParseRobotsTxt(file, "brivano");
    benchmark::DoNotOptimize(rules.Allows(path));
    benchmark::DoNotOptimize(rules.Allows(path + "b"));
    benchmark::DoNotOptimize(rules.Allows("/"));
  }
  state.SetLabel(state.range(0) == 0 ? "480,000 stars, 200 KB paths" : "1,000 rules, 2 KB paths");
}
BENCHMARK(BM_HostileRobotsTxt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A run whose one result page names `sites` sites, visited on the simulated
// clock at the default politeness: each site answers robots.txt with 404,
// then its landing page and its 联系我们 page, every request taking
// `fetchMs`.
struct SimulatedVisits {
  testing::RunHarness h;
  testing::FakeFetcher web{h.clock};
  SiteVisits visits{{.run = *h.run,
                     .fetcher = &web,
                     .timers = h.clock,
                     .nowMs = [this] { return h.clock.Now(); },
                     .history = nullptr,
                     .tuning = {}}};

  SimulatedVisits(int sites, long long fetchMs) {
    h.run->SetCompanion(&visits);
    h.window.keywords = {"a"};
    h.window.pageLimitText = "1";
    h.window.visitSites = true;
    std::string html = "<ul>";
    for (int i = 0; i < sites; ++i) {
      const std::string site = "http://s" + std::to_string(i) + ".test/";
      html += "<li class='res-list'><h3><a data-mdurl='" + site + "'>公司" + std::to_string(i) +
              "</a></h3><cite>s.test</cite></li>";
      web.Serve(site, "<p>电话 13800000000</p><a href='/lx.html'>联系我们</a>", fetchMs);
      web.Serve(site + "lx.html", "<p>手机 139" + std::to_string(10000000 + i) + "</p>", fetchMs);
      web.Answer(site + "robots.txt", {.answer = {.httpStatus = 404}, .delayMs = fetchMs});
    }
    h.browser.Serve(h.Address(Engine::So360, "a", 1), "公司\n",
                    {.resultBlocks = sites, .html = html + "</ul>"});
  }
};

// Pages a minute on the simulated clock, and what the visits cost the
// program in time.
void BM_VisitSites200(benchmark::State& state) {
  const long long fetchMs = state.range(0);
  double pagesPerMinute = 0;
  for (auto _ : state) {
    SimulatedVisits run(200, fetchMs);
    run.h.Start();
    run.h.RunToEnd(24LL * 3600 * 1000);
    const SiteProgress& done = run.visits.Progress();
    if (done.sitesDone != 200 || done.pagesRead != 400) state.SkipWithError("sites left");
    // From the first request to the last answer.
    const auto& requests = run.web.Requests();
    const double minutes = (run.h.clock.Now() - requests.front().atMs) / 60000.0;
    pagesPerMinute = done.pagesRead / minutes;
  }
  state.counters["pages_per_min"] = pagesPerMinute;
}
BENCHMARK(BM_VisitSites200)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

// The memory 1,000 queued sites take beside the run's own, none of them
// answering yet.
void BM_VisitQueue1000Sites(benchmark::State& state) {
  std::size_t queuedBytes = 0;
  for (auto _ : state) {
    SimulatedVisits run(1000, -1);
    const std::size_t before = mallinfo2().uordblks;
    run.h.Start();
    run.h.clock.AdvanceBy(10000);  // the result page is read and the sites queued
    if (run.visits.Progress().sitesTotal != 1000) state.SkipWithError("not queued");
    queuedBytes = mallinfo2().uordblks - before;
  }
  state.counters["queued_bytes"] = static_cast<double>(queuedBytes);
}
BENCHMARK(BM_VisitQueue1000Sites)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace brivano::bench
