#include "visit/politeness.h"

#include <algorithm>
#include <utility>

#include "base/text_search.h"

namespace brivano {

PolitenessScheduler::PolitenessScheduler(PolitenessLimits limits) : limits_(limits) {
  // A limit below one would never let anything start; a negative interval
  // means none.
  limits_.mostHostsAtOnce = std::max(limits_.mostHostsAtOnce, 1);
  limits_.perHostIntervalMs = std::max(limits_.perHostIntervalMs, 0LL);
}

void PolitenessScheduler::Add(std::string host, std::string address, std::uint64_t tag) {
  Host& state = hosts_[LowerAsciiBytes(host)];
  state.pages.push_back(Page{
      .order = nextOrder_++, .host = std::move(host), .address = std::move(address), .tag = tag});
  ++queued_;
}

bool PolitenessScheduler::MayStart(const Host& host, long long nowMs) const {
  if (host.busy || host.pages.empty()) return false;
  return !host.lastEndMs || nowMs - *host.lastEndMs >= limits_.perHostIntervalMs;
}

std::optional<Fetch> PolitenessScheduler::Next(long long nowMs) {
  if (busyHosts_ >= limits_.mostHostsAtOnce) return std::nullopt;
  Host* chosen = nullptr;
  for (auto& [key, host] : hosts_) {
    if (!MayStart(host, nowMs)) continue;
    if (!chosen || host.pages.front().order < chosen->pages.front().order) chosen = &host;
  }
  if (!chosen) {
    ForgetIdleHosts(nowMs);
    return std::nullopt;
  }
  Page page = std::move(chosen->pages.front());
  chosen->pages.pop_front();
  --queued_;
  chosen->busy = true;
  ++busyHosts_;
  return Fetch{.host = std::move(page.host), .address = std::move(page.address), .tag = page.tag};
}

void PolitenessScheduler::Finished(std::string_view host, long long nowMs) {
  auto it = hosts_.find(LowerAsciiBytes(host));
  if (it == hosts_.end() || !it->second.busy) return;
  it->second.busy = false;
  it->second.lastEndMs = nowMs;
  --busyHosts_;
  ForgetIdleHosts(nowMs);
}

std::optional<long long> PolitenessScheduler::NextDueMs(long long nowMs) const {
  // With every slot taken, only a Finished can let the next page start.
  if (busyHosts_ >= limits_.mostHostsAtOnce) return std::nullopt;
  std::optional<long long> due;
  for (const auto& [key, host] : hosts_) {
    if (host.busy || host.pages.empty()) continue;
    long long at = host.lastEndMs ? *host.lastEndMs + limits_.perHostIntervalMs : nowMs;
    at = std::max(at, nowMs);
    if (!due || at < *due) due = at;
  }
  return due;
}

void PolitenessScheduler::Clear() {
  for (auto& [key, host] : hosts_) host.pages.clear();
  queued_ = 0;
}

// A run meets thousands of hosts, most of them once: a host with nothing
// queued, nothing running and its interval over has nothing left to guard.
void PolitenessScheduler::ForgetIdleHosts(long long nowMs) {
  std::erase_if(hosts_, [&](const auto& entry) {
    const Host& host = entry.second;
    return !host.busy && host.pages.empty() &&
           (!host.lastEndMs || nowMs - *host.lastEndMs >= limits_.perHostIntervalMs);
  });
}

}  // namespace brivano
