#include "visit/site_visits.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <utility>

#include "base/text.h"
#include "search/company_name.h"
#include "visit/contact_links.h"
#include "visit/page_charset.h"
#include "visit/registrable_domain.h"
#include "visit/site_page.h"
#include "visit/web_address.h"

namespace brivano {
namespace {

long long SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool Answered(const FetchAnswer& answer) {
  return answer.error == FetchError::None && answer.httpStatus >= 200 && answer.httpStatus < 300;
}

}  // namespace

SiteVisits::SiteVisits(SiteVisitEnvironment environment)
    : env_(std::move(environment)), self_(std::make_shared<SiteVisits*>(this)) {
  if (!env_.nowMs) env_.nowMs = &SteadyMs;
  timer_ = env_.timers.CreateTimer(1000, [this] {
    timer_->SetEnabled(false);
    Pump();
  });
}

SiteVisits::~SiteVisits() {
  *self_ = nullptr;
  if (env_.fetcher != nullptr) env_.fetcher->CancelAll();
}

long long SiteVisits::Now() const {
  return env_.nowMs();
}

void SiteVisits::RunStarted(const RunOptions& options) {
  Stop();
  ++runNumber_;
  enabled_ = options.visitSites && env_.fetcher != nullptr;
  tuning_ = env_.tuning ? env_.tuning() : VisitTuning{};
  scheduler_ = PolitenessScheduler(tuning_.politeness);
  sites_.clear();
  domains_.clear();
  origins_.clear();
  progress_ = {};
  if (enabled_) Report();
}

namespace {

// A displayed site that is a host name ("www.example.cn"), not a name such as
// "百度百科" or "知乎".
bool DisplaysAHost(std::string_view site) {
  const auto hostByte = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
  };
  return site.find('.') != std::string_view::npos &&
         std::all_of(site.begin(), site.end(), hostByte);
}

}  // namespace

void SiteVisits::ResultsRead(const std::shared_ptr<const PageSource>& page,
                             const std::vector<std::shared_ptr<const ResultOwner>>& results) {
  if (!enabled_) return;
  for (const std::shared_ptr<const ResultOwner>& owner : results) {
    if (!owner) continue;
    // The run keeps a result's address in GBK, as all its texts. A result
    // that gives only the engine's redirect is visited at the site its
    // displayed address names (Sogou shows no other).
    const std::string target = !owner->target.empty()       ? GbkToUtf8(owner->target)
                               : DisplaysAHost(owner->site) ? "http://" + owner->site + "/"
                                                            : std::string();
    const std::optional<WebAddress> address = ParseWebAddress(target);
    if (!address) continue;
    std::string domain = RegistrableDomain(address->host);
    if (!domains_.insert(domain).second) continue;
    if (env_.history != nullptr && env_.history->VisitedWithin(domain, tuning_.revisitDays)) {
      ++progress_.sitesSkipped;
      continue;
    }
    sites_.push_back(Site{.domain = std::move(domain), .resultPage = page, .owner = owner});
    ++progress_.sitesTotal;
    QueuePage(sites_.size() - 1, target, Role::Landing);
  }
  Report();
  Pump();
}

bool SiteVisits::QueuePage(std::size_t site, const std::string& address, Role role, int hops) {
  const std::optional<WebAddress> parsed = ParseWebAddress(address);
  if (!parsed || !sites_[site].asked.insert(address).second) return false;
  ++sites_[site].pagesOpen;
  Job job{.role = role,
          .site = site,
          .host = parsed->host,
          .address = address,
          .origin = {},
          .hops = hops};
  const std::string origin = SiteOrigin(*parsed);
  auto [rules, added] = origins_.try_emplace(origin);
  if (rules->second.rules) {
    if (rules->second.rules->Allows(parsed->pathAndQuery)) {
      Schedule(std::move(job));
    } else {
      ++(rules->second.reached ? progress_.pagesDisallowed : progress_.pagesFailed);
      PageClosed(site);
    }
    return true;
  }
  rules->second.waiting.push_back(std::move(job));
  // robots.txt is asked once per origin and run, before any of its pages.
  if (added) {
    Schedule(Job{.role = Role::Robots,
                 .site = site,
                 .host = parsed->host,
                 .address = RobotsAddress(*parsed),
                 .origin = origin,
                 .hops = 0});
  }
  return true;
}

void SiteVisits::Schedule(Job job) {
  const std::uint64_t id = ++nextJob_;
  // The scheduler carries the job's number; the job itself stays here.
  scheduler_.Add(job.host, job.address, id);
  jobs_.emplace(id, std::move(job));
}

void SiteVisits::Pump() {
  if (!enabled_) return;
  while (std::optional<Fetch> next = scheduler_.Next(Now())) {
    const std::uint64_t id = next->tag;
    const Job& job = jobs_.at(id);
    inFlight_.insert(id);
    std::weak_ptr<SiteVisits*> self = self_;
    env_.fetcher->Fetch(FetchRequest{.address = job.address,
                                     .robotsFile = job.role == Role::Robots,
                                     .followRedirects = false},
                        [self, id, run = runNumber_](FetchAnswer answer) {
                          auto alive = self.lock();
                          if (!alive || !*alive || (*alive)->runNumber_ != run) return;
                          (*alive)->OnAnswer(id, std::move(answer));
                        });
  }
  ArmTimer();
}

void SiteVisits::ArmTimer() {
  const std::optional<long long> due = scheduler_.NextDueMs(Now());
  if (!due) {
    timer_->SetEnabled(false);
    return;
  }
  const long long wait = std::clamp<long long>(*due - Now(), 1, std::numeric_limits<int>::max());
  timer_->SetEnabled(false);
  timer_->SetInterval(static_cast<int>(wait));
  timer_->SetEnabled(true);
}

void SiteVisits::OnAnswer(std::uint64_t id, FetchAnswer answer) {
  const auto found = jobs_.find(id);
  if (found == jobs_.end() || inFlight_.erase(id) == 0) return;
  const Job job = std::move(found->second);
  jobs_.erase(found);
  scheduler_.Finished(job.host, Now());
  if (job.role == Role::Robots) {
    OnRobots(job, answer);
  } else {
    OnPage(job, answer);
  }
  Report();
  Pump();
  if (finished_ && !Working()) {
    std::function<void()> finished = std::move(finished_);
    finished_ = nullptr;
    finished();
  }
}

void SiteVisits::OnRobots(const Job& job, const FetchAnswer& answer) {
  if (!answer.redirect.empty() && job.hops < kMostRedirects) {
    const std::optional<WebAddress> next = ParseWebAddress(answer.redirect);
    if (next) {
      Job hop = job;
      hop.host = next->host;
      hop.address = answer.redirect;
      ++hop.hops;
      Schedule(std::move(hop));
      return;
    }
  }
  // As RFC 9309 has it: rules when they came, none for a missing file (4xx),
  // nothing at all when the server failed or could not be reached.
  // Endless redirects count as no file.
  RobotsRules rules = RobotsRules::DisallowAll();
  if (Answered(answer)) {
    rules = ParseRobotsTxt(answer.body, kProductToken);
  } else if (answer.error == FetchError::None &&
             ((answer.httpStatus >= 400 && answer.httpStatus < 500) || !answer.redirect.empty())) {
    rules = RobotsRules::AllowAll();
  }
  OriginRules& origin = origins_[job.origin];
  if (answer.error == FetchError::Refused) {
    for (const Job& page : origin.waiting) sites_[page.site].refused = true;
  }
  origin.rules = std::move(rules);
  origin.reached = answer.error == FetchError::None;
  std::vector<Job> waiting = std::move(origin.waiting);
  origin.waiting.clear();
  for (Job& page : waiting) {
    const std::optional<WebAddress> parsed = ParseWebAddress(page.address);
    if (parsed && origin.rules->Allows(parsed->pathAndQuery)) {
      Schedule(std::move(page));
    } else {
      ++(origin.reached ? progress_.pagesDisallowed : progress_.pagesFailed);
      PageClosed(page.site);
    }
  }
}

void SiteVisits::OnPage(const Job& job, const FetchAnswer& answer) {
  Site& site = sites_[job.site];
  if (job.role == Role::Landing && env_.history != nullptr && answer.error == FetchError::None &&
      !std::exchange(site.marked, true)) {
    env_.history->MarkVisited(site.domain);
  }
  if (!answer.redirect.empty()) {
    // A redirect to a page asked for already (a loop) or beyond the last
    // hop ends here.
    if (job.hops >= kMostRedirects ||
        !QueuePage(job.site, answer.redirect, job.role, job.hops + 1)) {
      ++progress_.pagesFailed;
    }
    PageClosed(job.site);
    return;
  }
  if (!Answered(answer) || answer.body.empty()) {
    if (answer.error == FetchError::Refused) site.refused = true;
    ++progress_.pagesFailed;
    PageClosed(job.site);
    return;
  }
  ++progress_.pagesRead;
  ++site.pagesRead;
  const std::string& address = answer.finalAddress.empty() ? job.address : answer.finalAddress;
  const SitePage page = ReadSitePage(DecodePage(answer.body, answer.contentType).utf8, address);

  // The company the site names of itself says more than the result's text.
  std::shared_ptr<const ResultOwner> owner = site.owner;
  if (std::string named = SiteOwnerName(page.title, page.text); !named.empty()) {
    ResultOwner own = *site.owner;
    own.company = Utf8ToGbk(named);
    owner = std::make_shared<const ResultOwner>(std::move(own));
  }
  env_.run.HarvestSitePage(SitePageRead{.resultPage = site.resultPage,
                                        .owner = std::move(owner),
                                        .address = address,
                                        .title = Utf8ToGbk(page.title),
                                        .text = Utf8ToGbk(page.text)});

  if (job.role == Role::Landing) {
    const std::optional<WebAddress> landing = ParseWebAddress(address);
    const std::string domain = landing ? RegistrableDomain(landing->host) : site.domain;
    // A landing page that only forwards elsewhere on its own site (an old
    // site's meta refresh) stands for the page it forwards to.
    if (!page.refreshTarget.empty() && !site.refreshed) {
      const std::optional<WebAddress> forward = ParseWebAddress(page.refreshTarget);
      if (forward && SameRegistrableDomain(forward->host, domain)) {
        site.refreshed = true;
        QueuePage(job.site, page.refreshTarget, Role::Landing);
      }
    }
    const auto sameSite = [&](std::string_view link) {
      const std::optional<WebAddress> parsed = ParseWebAddress(link);
      return parsed && SameRegistrableDomain(parsed->host, domain);
    };
    site.asked.insert(address);
    for (const std::string& contact :
         ChooseContactPages(page.links, sameSite, env_.mostContactPages)) {
      QueuePage(job.site, contact, Role::Contact);
    }
  }
  PageClosed(job.site);
}

void SiteVisits::PageClosed(std::size_t site) {
  const Site& closed = sites_[site];
  if (--sites_[site].pagesOpen > 0) return;
  ++(closed.refused && closed.pagesRead == 0 ? progress_.sitesRefused : progress_.sitesDone);
}

bool SiteVisits::Working() const {
  return !jobs_.empty();
}

bool SiteVisits::FinishBeforeEnd(std::function<void()> done) {
  if (!enabled_ || !Working()) return false;
  finished_ = std::move(done);
  return true;
}

void SiteVisits::Stop() {
  finished_ = nullptr;
  timer_->SetEnabled(false);
  if (env_.fetcher != nullptr && !inFlight_.empty()) env_.fetcher->CancelAll();
  // Fetches cut short still count for their hosts' intervals.
  for (const std::uint64_t id : inFlight_) scheduler_.Finished(jobs_.at(id).host, Now());
  inFlight_.clear();
  jobs_.clear();
  scheduler_.Clear();
  ++runNumber_;
  enabled_ = false;
}

void SiteVisits::Report() {
  env_.run.SitesProgressed(progress_);
}

}  // namespace brivano
