// The libcurl fetcher against a local web of company sites: the traps a
// result site can set (odd charsets, compression, huge or silent pages,
// redirect loops, files that are no pages, names that lead to the user's own
// machine), and answers that must never come once cancelled.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "testing/local_web.h"
#include "visit/curl_fetcher.h"

namespace brivano::testing {
namespace {

// Only against a hang: every wait below ends on a condition.
constexpr std::chrono::seconds kSafety{30};

// A proxy from the environment would carry the local sites' names elsewhere.
// Set before any test starts a thread that could read the environment.
class NoProxy : public ::testing::Environment {
  void SetUp() override {
    setenv("no_proxy", "*", 1);
    setenv("NO_PROXY", "*", 1);
  }
};
::testing::Environment* const kNoProxy = ::testing::AddGlobalTestEnvironment(new NoProxy);

// The owner's thread of the tests: delivered tasks queue up here and run on
// the test's thread while it waits.
class Inbox {
 public:
  std::function<void(std::function<void()>)> Deliver() {
    return [this](std::function<void()> task) {
      std::lock_guard<std::mutex> lock(mutex_);
      tasks_.push_back(std::move(task));
      arrived_.notify_all();
    };
  }

  // Until `count` tasks wait, none of them run.
  bool WaitQueued(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, kSafety, [&] { return tasks_.size() >= count; });
  }

  // Runs tasks as they come until `done` holds.
  bool RunUntil(const std::function<bool()>& done) {
    const auto giveUp = std::chrono::steady_clock::now() + kSafety;
    while (!done()) {
      std::function<void()> task;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!arrived_.wait_until(lock, giveUp, [&] { return !tasks_.empty(); })) return false;
        task = std::move(tasks_.front());
        tasks_.pop_front();
      }
      task();
    }
    return true;
  }

  void RunQueued() {
    RunUntil([&] {
      std::lock_guard<std::mutex> lock(mutex_);
      return tasks_.empty();
    });
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::function<void()>> tasks_;
};

// Names the tests' resolver knows; every other test site is a trusted
// mapping to the local web.
std::vector<std::string> TestResolve(const std::string& host) {
  if (host == "sneaky.test") return {"127.0.0.1"};
  if (host == "twofaced.test") return {"93.184.216.34", "192.168.1.1"};
  return {};
}

const char* const kTrustedSites[] = {"gbk-site.test", "gzip-site.test", "errors.test", "big.test",
                                     "silent.test",   "loop.test",      "chain.test",  "pics.test",
                                     "hop.test",      "robots.test",    "bare.test",   "fast.test"};

CurlFetcherOptions OptionsFor(const LocalWeb& web, Inbox& inbox) {
  CurlFetcherOptions options;
  options.userAgent = "Mozilla/5.0 (compatible; Brivano/1.0)";
  for (const char* site : kTrustedSites) options.trusted.push_back({site, web.Port(), "127.0.0.1"});
  options.resolve = TestResolve;
  options.deliver = inbox.Deliver();
  return options;
}

const std::string kHtml = "text/html; charset=utf-8";

WebResponse Page(std::string body, std::string type = kHtml) {
  WebResponse response;
  response.headers = {{"Content-Type", std::move(type)}};
  response.body = std::move(body);
  return response;
}

WebResponse Redirect(std::string location) {
  WebResponse response;
  response.status = 302;
  response.headers = {{"Location", std::move(location)}};
  return response;
}

// 联系我们 (contact us) in GBK.
const std::string kGbkPage =
    "<html><head><meta charset=\"gbk\"></head><body>\xC1\xAA\xCF\xB5\xCE\xD2\xC3\xC7 "
    "0571-88886666</body></html>";
const std::string kGzipPage =
    "<html><body>" + std::string(5000, 'x') + " sales@a.test</body></html>";
const std::string kChainEnd = "<html><body>chain end</body></html>";
const std::string kRobots = "User-agent: *\nDisallow: /admin\n";

void AddSites(LocalWeb& web) {
  web.Route("gbk-site.test", "/", Page(kGbkPage, "text/html; charset=GBK"));
  WebResponse gzipped = Page(kGzipPage);
  gzipped.gzip = true;
  web.Route("gzip-site.test", "/", gzipped);
  WebResponse gone = Page("<html>gone</html>");
  gone.status = 404;
  web.Route("errors.test", "/gone", gone);
  WebResponse broken = Page("<html>broken</html>");
  broken.status = 500;
  web.Route("errors.test", "/broken", broken);
  WebResponse huge = Page({});
  huge.streamBytes = 50 * 1024 * 1024;
  web.Route("big.test", "/", huge);
  WebResponse silent;
  silent.neverAnswer = true;
  web.Route("silent.test", "/", silent);
  web.Route("loop.test", "/a", Redirect("/b"));
  web.Route("loop.test", "/b", Redirect("/a"));
  for (int hop = 0; hop < 5; ++hop) {
    web.Route("chain.test", "/" + std::to_string(hop), Redirect("/" + std::to_string(hop + 1)));
  }
  web.Route("chain.test", "/5", Page(kChainEnd));
  web.Route("pics.test", "/logo.png", Page("\x89PNG\r\n", "image/png"));
  web.Route("hop.test", "/", Redirect(web.Address("sneaky.test", "/")));
  web.Route("robots.test", "/robots.txt", Page(kRobots, "Text/Plain; charset=utf-8"));
  web.Route("bare.test", "/", WebResponse{.status = 200, .body = "<p>no type</p>"});
  web.Route("fast.test", "/", Page("<html>first</html>"));
  web.Route("fast.test", "/later", Page("<html>later</html>"));
}

class CurlFetcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AddSites(web_);
    web_.Start();
  }

  LocalWeb web_;
  Inbox inbox_;
};

TEST_F(CurlFetcherTest, Traps) {
  // Positional rows: what, host, path, robotsFile, pageTimeoutMs, mostRedirects, then the
  // answer: error, status, contentType, body, truncated, and the path it ended on.
  struct Trap {
    const char* what;
    const char* host;
    const char* path;
    bool robotsFile;
    long pageTimeoutMs;
    int mostRedirects;
    FetchError error;
    int status;
    std::string contentType;
    std::string body;
    bool truncated;
    const char* finalPath;  // nullptr: the path asked
  };
  using enum FetchError;
  const std::string kText = "Text/Plain; charset=utf-8";
  const Trap traps[] = {
      {"GBK bytes intact", "gbk-site.test", "/", false, 15000, 5, None, 200,
       "text/html; charset=GBK", kGbkPage, false, nullptr},
      {"gzip unpacked", "gzip-site.test", "/", false, 15000, 5, None, 200, kHtml, kGzipPage, false,
       nullptr},
      {"404 is an answer", "errors.test", "/gone", false, 15000, 5, None, 404, kHtml,
       "<html>gone</html>", false, nullptr},
      {"500 is an answer", "errors.test", "/broken", false, 15000, 5, None, 500, kHtml,
       "<html>broken</html>", false, nullptr},
      {"50 MB page cut", "big.test", "/", false, 15000, 5, None, 200, kHtml, "", true, nullptr},
      {"never answers", "silent.test", "/", false, 300, 5, TimedOut, 0, "", "", false, nullptr},
      {"redirect loop", "loop.test", "/a", false, 15000, 5, TooManyRedirects, 302, "", "", false,
       "/b"},
      {"exactly the most redirects", "chain.test", "/0", false, 15000, 5, None, 200, kHtml,
       kChainEnd, false, "/5"},
      {"one redirect too many", "chain.test", "/0", false, 15000, 4, TooManyRedirects, 302, "", "",
       false, "/4"},
      {"image behind a link", "pics.test", "/logo.png", false, 15000, 5, NotPage, 200, "image/png",
       "", false, nullptr},
      {"name leads to loopback", "sneaky.test", "/", false, 15000, 5, Refused, 0, "", "", false,
       nullptr},
      {"one private address of two", "twofaced.test", "/", false, 15000, 5, Refused, 0, "", "",
       false, nullptr},
      {"redirect to loopback", "hop.test", "/", false, 15000, 5, Refused, 0, "", "", false,
       nullptr},
      {"no address", "nowhere.test", "/", false, 15000, 5, NotResolved, 0, "", "", false, nullptr},
      {"robots.txt as text", "robots.test", "/robots.txt", true, 15000, 5, None, 200, kText,
       kRobots, false, nullptr},
      {"text is no page", "robots.test", "/robots.txt", false, 15000, 5, NotPage, 200, kText, "",
       false, nullptr},
      {"no type is a page", "bare.test", "/", false, 15000, 5, None, 200, "", "<p>no type</p>",
       false, nullptr},
  };
  const std::size_t kCap = CurlFetcherOptions{}.mostBytes;
  for (const Trap& trap : traps) {
    SCOPED_TRACE(trap.what);
    CurlFetcherOptions options = OptionsFor(web_, inbox_);
    options.pageTimeoutMs = trap.pageTimeoutMs;
    options.mostRedirects = trap.mostRedirects;
    CurlFetcher fetcher(options);
    std::optional<FetchAnswer> answer;
    fetcher.Fetch({web_.Address(trap.host, trap.path), trap.robotsFile},
                  [&](FetchAnswer a) { answer = std::move(a); });
    ASSERT_TRUE(inbox_.RunUntil([&] { return answer.has_value(); }));
    EXPECT_EQ(answer->error, trap.error) << answer->detail;
    EXPECT_EQ(answer->httpStatus, trap.status);
    EXPECT_EQ(answer->contentType, trap.contentType);
    EXPECT_EQ(answer->truncated, trap.truncated);
    if (trap.truncated) {
      EXPECT_EQ(answer->body.size(), kCap);
      EXPECT_EQ(answer->body.substr(0, 12), "<html><body>");
    } else {
      EXPECT_EQ(answer->body, trap.body);
    }
    if (trap.error != Refused) {
      EXPECT_EQ(answer->finalAddress,
                web_.Address(trap.host, trap.finalPath != nullptr ? trap.finalPath : trap.path));
    }
  }
  // The cut page was ended at once, not read to its end in the background.
  EXPECT_TRUE(web_.WaitForCutShort(1, kSafety));
  for (const WebRequest& request : web_.Requests()) {
    EXPECT_NE(request.host, "sneaky.test");
    EXPECT_NE(request.host, "twofaced.test");
  }
}

TEST_F(CurlFetcherTest, NoAnswerAfterCancelAll) {
  CurlFetcher fetcher(OptionsFor(web_, inbox_));
  int stale = 0;
  std::optional<FetchAnswer> later;
  fetcher.Fetch({web_.Address("silent.test", "/")}, [&](FetchAnswer) { ++stale; });
  fetcher.Fetch({web_.Address("fast.test", "/")}, [&](FetchAnswer) { ++stale; });
  // The fast page's answer is already handed over, not yet run.
  ASSERT_TRUE(inbox_.WaitQueued(1));
  fetcher.CancelAll();
  fetcher.Fetch({web_.Address("fast.test", "/later")}, [&](FetchAnswer a) { later = a; });
  // Answers come in order, so the stale one has had its turn by now.
  ASSERT_TRUE(inbox_.RunUntil([&] { return later.has_value(); }));
  EXPECT_EQ(later->body, "<html>later</html>");
  EXPECT_EQ(stale, 0);
}

TEST_F(CurlFetcherTest, DestroyedWhileSiteAndResolverHang) {
  struct Hang {
    std::promise<void> entered;
    std::shared_future<void> release;
  };
  std::promise<void> release;
  auto hang = std::make_shared<Hang>();
  hang->release = release.get_future().share();
  std::future<void> entered = hang->entered.get_future();
  bool answered = false;
  {
    CurlFetcherOptions options = OptionsFor(web_, inbox_);
    options.resolve = [hang](const std::string&) {
      hang->entered.set_value();
      hang->release.wait();
      return std::vector<std::string>{"93.184.216.34"};
    };
    CurlFetcher fetcher(options);
    fetcher.Fetch({web_.Address("silent.test", "/")}, [&](FetchAnswer) { answered = true; });
    fetcher.Fetch({"http://hang.test/"}, [&](FetchAnswer) { answered = true; });
    ASSERT_TRUE(web_.WaitForRequests(1, kSafety));
    ASSERT_EQ(entered.wait_for(kSafety), std::future_status::ready);
  }  // would never return if it waited for either
  release.set_value();
  inbox_.RunQueued();
  EXPECT_FALSE(answered);
}

}  // namespace
}  // namespace brivano::testing
