// How the visits of result sites stay polite: a host rests for a set interval
// after each fetch before it is asked again (so that no host sees two
// requests closer together than that, however long the way to it takes),
// and only so many hosts are worked on at
// once. The scheduler keeps no clock: the caller passes the time in, so a timer
// in the program and a simulated clock in the tests drive it alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace brivano {

struct PolitenessLimits {
  long long perHostIntervalMs = 2000;
  int mostHostsAtOnce = 6;
};

struct Fetch {
  std::string host{};
  std::string address{};
  std::uint64_t tag = 0;  // what the caller queued with the page
};

class PolitenessScheduler {
 public:
  explicit PolitenessScheduler(PolitenessLimits limits = {});

  // Queues a page of a host; a host's pages are fetched in the order added.
  void Add(std::string host, std::string address, std::uint64_t tag = 0);
  // The fetch that may start now, if any: the earliest-queued page whose host
  // is idle, last answered at least the interval ago, and fits within the
  // hosts-at-once limit. The host counts as busy from here to Finished.
  std::optional<Fetch> Next(long long nowMs);
  // The fetch of the host's page has ended, however it ended.
  void Finished(std::string_view host, long long nowMs);
  // When a queued page may next start, for a timer; nullopt when nothing is
  // queued or every queued page waits on a fetch still running.
  std::optional<long long> NextDueMs(long long nowMs) const;
  std::size_t Queued() const { return queued_; }
  // Drops every queued page (the run was stopped); fetches already started
  // still end with Finished and still count for the interval.
  void Clear();

 private:
  struct Page {
    std::size_t order = 0;
    std::string host{};
    std::string address{};
    std::uint64_t tag = 0;
  };
  struct Host {
    std::deque<Page> pages{};
    bool busy = false;
    std::optional<long long> lastEndMs{};
  };

  bool MayStart(const Host& host, long long nowMs) const;
  void ForgetIdleHosts(long long nowMs);

  PolitenessLimits limits_{};
  // Keyed by the host in lower case: "WWW.A.cn" and "www.a.cn" are one host.
  std::map<std::string, Host> hosts_{};
  std::size_t queued_ = 0;
  std::size_t nextOrder_ = 0;
  int busyHosts_ = 0;
};

}  // namespace brivano
