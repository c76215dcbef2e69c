// QTimer behind the run's timer interface keeps the desktop timer semantics
// the run relies on. A timer's time left to its next tick is compared with
// that of a plain QTimer started just before or after it, never with a fixed
// amount of time: a slow machine makes both wait alike, so no outcome depends
// on how long anything takes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/qt_run_timer.h"

namespace brivano {
namespace {

constexpr int kHour = 3'600'000;  // no such timer ticks during a test

class QtRunTimerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "gui_test_qt_run_timer";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
  }
};

// A QTimer on the same clock as QtRunTimer's.
void StartPrecise(QTimer& timer, int milliseconds) {
  timer.setTimerType(Qt::PreciseTimer);
  timer.start(milliseconds);
}

// Runs the event loop until a short tick has come, so that a timer started
// before it and one started after it differ in their time left.
void LetATickPass() {
  QTimer tick;
  tick.setSingleShot(true);
  QSignalSpy ticked(&tick, &QTimer::timeout);
  StartPrecise(tick, 20);
  ASSERT_TRUE(ticked.wait(60'000));
}

TEST_F(QtRunTimerTest, EnablingAgainOrTheSameIntervalKeepsThePeriod) {
  const std::function<void(RunTimer&)> operations[] = {
      [](RunTimer& t) { t.SetEnabled(true); },
      [](RunTimer& t) { t.SetInterval(kHour); },
  };
  for (const auto& operation : operations) {
    QtRunTimer timer(kHour, [] {});
    timer.SetEnabled(true);
    QTimer startedLater;
    StartPrecise(startedLater, kHour);
    LetATickPass();
    operation(timer);
    // Read last, the timer can show no more time left than the later one
    // unless the operation restarted it.
    const int later = startedLater.remainingTime();
    EXPECT_LE(timer.RemainingMs(), later);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_EQ(timer.Interval(), kHour);
  }
}

TEST_F(QtRunTimerTest, ANewIntervalRestartsAnEnabledTimer) {
  QtRunTimer timer(kHour, [] {});
  timer.SetEnabled(true);
  LetATickPass();
  QTimer startedBefore;
  StartPrecise(startedBefore, 2 * kHour);
  timer.SetInterval(2 * kHour);
  // Read first, a restarted timer has at least the time left of one started
  // before the restart; one that kept its start has a tick's less.
  const int remaining = timer.RemainingMs();
  EXPECT_GE(remaining, startedBefore.remainingTime());
  EXPECT_TRUE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 2 * kHour);
}

TEST_F(QtRunTimerTest, ADisabledTimerHasNoTickPendingAndTicksOnceEnabled) {
  int ticks = 0;
  QtRunTimer timer(kHour, [&] { ++ticks; });
  timer.SetInterval(10);  // a new interval does not enable it
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.RemainingMs(), -1);  // QTimer's "nothing pending"
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 60'000));
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.RemainingMs(), -1);
}

TEST_F(QtRunTimerTest, ScaledTimersReportTheIntervalsTheRunSet) {
  QtTimerFactory factory(0.001);
  auto timer = factory.CreateTimer(60000, [] {});
  EXPECT_EQ(timer->Interval(), 60000);
  timer->SetInterval(8000);
  EXPECT_EQ(timer->Interval(), 8000);
}

}  // namespace
}  // namespace brivano
