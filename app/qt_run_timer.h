// The run's timers on QTimer, with the desktop semantics the run relies on.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "search/run_interfaces.h"

namespace brivano {

class QtRunTimer : public RunTimer {
 public:
  QtRunTimer(int intervalMs, std::function<void()> onTick);
  void SetEnabled(bool enabled) override;
  bool Enabled() const override { return timer_.isActive(); }
  void SetInterval(int milliseconds) override;
  int Interval() const override { return interval_; }
  int RemainingMs() const { return timer_.remainingTime(); }

 private:
  QTimer timer_;
  int interval_;
};

class QtTimerFactory : public TimerFactory {
 public:
  // `scale` shortens every interval, for end-to-end tests that run whole
  // searches in seconds; the program uses 1.
  explicit QtTimerFactory(double scale = 1.0) : scale_(scale) {}
  std::unique_ptr<RunTimer> CreateTimer(int intervalMs, std::function<void()> onTick) override;

 private:
  double scale_;
};

}  // namespace brivano
