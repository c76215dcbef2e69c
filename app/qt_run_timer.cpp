#include "app/qt_run_timer.h"

#include <algorithm>
#include <cmath>

namespace brivano {
namespace {

// A scaled timer: the run sees the intervals it set, QTimer runs the scaled
// ones.
class ScaledTimer : public RunTimer {
 public:
  ScaledTimer(double scale, int intervalMs, std::function<void()> onTick)
      : scale_(scale), inner_(Scale(intervalMs), std::move(onTick)), interval_(intervalMs) {}
  void SetEnabled(bool enabled) override { inner_.SetEnabled(enabled); }
  bool Enabled() const override { return inner_.Enabled(); }
  void SetInterval(int ms) override {
    if (ms == interval_) return;
    interval_ = ms;
    inner_.SetInterval(Scale(ms));
  }
  int Interval() const override { return interval_; }

 private:
  int Scale(int ms) const { return std::max(1, static_cast<int>(std::lround(ms * scale_))); }
  double scale_;
  QtRunTimer inner_;
  int interval_;
};

}  // namespace

QtRunTimer::QtRunTimer(int intervalMs, std::function<void()> onTick) : interval_(intervalMs) {
  timer_.setTimerType(Qt::PreciseTimer);
  timer_.setInterval(intervalMs);
  QObject::connect(&timer_, &QTimer::timeout, [onTick = std::move(onTick)] { onTick(); });
}

void QtRunTimer::SetEnabled(bool enabled) {
  // Enabling a running timer must not restart its period.
  if (enabled && !timer_.isActive()) {
    timer_.start();
  } else if (!enabled) {
    timer_.stop();
  }
}

void QtRunTimer::SetInterval(int milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  timer_.setInterval(milliseconds);  // restarts a running timer, as it should
}

std::unique_ptr<RunTimer> QtTimerFactory::CreateTimer(int intervalMs,
                                                      std::function<void()> onTick) {
  if (scale_ == 1.0) return std::make_unique<QtRunTimer>(intervalMs, std::move(onTick));
  return std::make_unique<ScaledTimer>(scale_, intervalMs, std::move(onTick));
}

}  // namespace brivano
