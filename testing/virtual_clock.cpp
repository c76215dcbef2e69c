#include "testing/virtual_clock.h"

#include <vector>

namespace brivano::testing {

class VirtualClock::FakeTimer : public RunTimer {
 public:
  FakeTimer(VirtualClock& clock, std::shared_ptr<TimerState> state)
      : clock_(clock), state_(std::move(state)) {}
  ~FakeTimer() override { state_->alive = false; }

  void SetEnabled(bool enabled) override {
    if (enabled && !state_->enabled) state_->due = clock_.now_ + state_->interval;
    state_->enabled = enabled;
  }
  bool Enabled() const override { return state_->enabled; }
  void SetInterval(int ms) override {
    if (ms == state_->interval) return;
    state_->interval = ms;
    if (state_->enabled) state_->due = clock_.now_ + ms;
  }
  int Interval() const override { return state_->interval; }

 private:
  VirtualClock& clock_;
  std::shared_ptr<TimerState> state_;
};

std::unique_ptr<RunTimer> VirtualClock::CreateTimer(int intervalMs, std::function<void()> onTick) {
  auto state = std::make_shared<TimerState>();
  state->interval = intervalMs;
  state->onTick = std::move(onTick);
  timers_.push_back(state);
  return std::make_unique<FakeTimer>(*this, state);
}

void VirtualClock::AdvanceBy(long long ms) {
  const long long target = now_ + ms;
  std::erase_if(timers_, [](const auto& timer) { return !timer->alive; });
  while (true) {
    std::shared_ptr<TimerState> next;
    for (const auto& timer : timers_) {
      // A timer with a period of zero or less never fires, as on the desktop.
      if (!timer->alive || !timer->enabled || timer->interval <= 0) continue;
      if (timer->due > target) continue;
      if (!next || timer->due < next->due) next = timer;
    }
    if (!next) break;
    now_ = next->due;
    next->due = now_ + next->interval;
    next->onTick();
  }
  now_ = target;
}

bool VirtualClock::AdvanceUntil(const std::function<bool()>& done, long long limitMs,
                                long long stepMs) {
  for (long long spent = 0; spent < limitMs; spent += stepMs) {
    if (done()) return true;
    AdvanceBy(stepMs);
  }
  return done();
}

void VirtualClock::CallLater(long long delayMs, std::function<void()> action) {
  auto state = std::make_shared<TimerState>();
  state->interval = static_cast<int>(delayMs > 0 ? delayMs : 1);
  state->enabled = true;
  state->due = now_ + delayMs;
  std::weak_ptr<TimerState> weak = state;
  state->onTick = [weak, action = std::move(action)] {
    if (auto self = weak.lock()) {
      self->enabled = false;
      self->alive = false;
    }
    action();
  };
  timers_.push_back(state);
}

}  // namespace brivano::testing
