// Desktop-timer fakes on a virtual clock: whole runs in milliseconds.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "search/run_interfaces.h"

namespace brivano::testing {

class VirtualClock : public TimerFactory {
 public:
  std::unique_ptr<RunTimer> CreateTimer(int intervalMs, std::function<void()> onTick) override;

  long long Now() const { return now_; }
  // Moves time forward, firing every timer that falls due on the way, in
  // order of due time (creation order on ties).
  void AdvanceBy(long long ms);
  // Advances in steps until `done` holds or `limitMs` have passed; returns
  // whether `done` held.
  bool AdvanceUntil(const std::function<bool()>& done, long long limitMs, long long stepMs = 100);
  // Runs `action` once, `delayMs` from now.
  void CallLater(long long delayMs, std::function<void()> action);

 private:
  struct TimerState {
    bool enabled = false;
    int interval = 0;
    long long due = 0;
    std::function<void()> onTick;
    bool alive = true;
  };
  class FakeTimer;
  std::vector<std::shared_ptr<TimerState>> timers_;
  long long now_ = 0;
};

}  // namespace brivano::testing
