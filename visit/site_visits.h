// 访问网站: beside a run's result pages, the sites of its results are
// visited for their contacts. Each site once per run (and not again within
// the days the user set): its landing page, then at most a few contact and
// about pages of the same registrable domain that its links name; robots.txt
// is obeyed and every host is asked politely. What a page holds goes back to
// the run, which harvests it as it harvests a result page.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "search/run_events.h"
#include "search/run_interfaces.h"
#include "search/search_run.h"
#include "visit/page_fetcher.h"
#include "visit/politeness.h"
#include "visit/robots_rules.h"
#include "visit/visit_history.h"
#include "visit/visit_tuning.h"

namespace brivano {

struct SiteVisitEnvironment {
  SearchRun& run;
  // Null: no visits, even with the switch on (a front end without network).
  PageFetcher* fetcher = nullptr;
  TimerFactory& timers;
  // A steady clock in milliseconds: the politeness intervals count on it.
  std::function<long long()> nowMs{};
  VisitHistory* history = nullptr;
  // Read at every run's start.
  std::function<VisitTuning()> tuning{};
  std::size_t mostContactPages = 4;
};

class SiteVisits : public RunCompanion {
 public:
  // The name robots.txt groups are matched against.
  static constexpr std::string_view kProductToken = "brivano";
  // Redirects are followed one by one through the politeness queue.
  static constexpr int kMostRedirects = 5;

  explicit SiteVisits(SiteVisitEnvironment environment);
  ~SiteVisits() override;
  SiteVisits(const SiteVisits&) = delete;
  SiteVisits& operator=(const SiteVisits&) = delete;

  void RunStarted(const RunOptions& options) override;
  void ResultsRead(const std::shared_ptr<const PageSource>& page,
                   const std::vector<std::shared_ptr<const ResultOwner>>& results) override;
  bool FinishBeforeEnd(std::function<void()> done) override;
  void Stop() override;

  const SiteProgress& Progress() const { return progress_; }

 private:
  enum class Role { Robots, Landing, Contact };
  struct Site {
    std::string domain{};
    std::shared_ptr<const PageSource> resultPage{};
    std::shared_ptr<const ResultOwner> owner{};
    int pagesOpen = 0;       // queued, waiting on robots.txt or being fetched
    bool refreshed = false;  // the landing page's refresh was followed once
    bool marked = false;     // the history knows of this visit
    bool refused = false;    // an address of it lies on this machine or its network
    int pagesRead = 0;
    std::set<std::string> asked{};  // page addresses queued already
  };
  struct Job {
    Role role = Role::Landing;
    std::size_t site = 0;
    std::string host{};
    std::string address{};
    std::string origin{};  // Robots: whose rules these are
    int hops = 0;          // redirects that led here
  };
  struct OriginRules {
    std::optional<RobotsRules> rules{};  // empty while robots.txt is fetched
    std::vector<Job> waiting{};          // pages waiting for them
    bool reached = true;                 // false: the site did not answer at all
  };

  bool Working() const;
  // False when the page was asked for already (or is no web address).
  bool QueuePage(std::size_t site, const std::string& address, Role role, int hops = 0);
  void Schedule(Job job);
  void Pump();
  void ArmTimer();
  void OnAnswer(std::uint64_t id, FetchAnswer answer);
  void OnRobots(const Job& job, const FetchAnswer& answer);
  void OnPage(const Job& job, const FetchAnswer& answer);
  void PageClosed(std::size_t site);
  void Report();
  long long Now() const;

  SiteVisitEnvironment env_;
  std::unique_ptr<RunTimer> timer_;
  bool enabled_ = false;
  VisitTuning tuning_{};
  PolitenessScheduler scheduler_{};
  std::vector<Site> sites_{};
  std::set<std::string> domains_{};  // queued in this run
  std::map<std::string, OriginRules> origins_{};
  // Scheduled or in flight, by the number the scheduler carries for them.
  std::map<std::uint64_t, Job> jobs_{};
  std::set<std::uint64_t> inFlight_{};
  std::uint64_t nextJob_ = 0;
  SiteProgress progress_{};
  std::function<void()> finished_{};
  // Answers of a run that was stopped are not taken.
  std::uint64_t runNumber_ = 0;
  std::shared_ptr<SiteVisits*> self_;
};

}  // namespace brivano
