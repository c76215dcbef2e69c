// QTimer behind the run's timer interface keeps the desktop timer semantics
// the run relies on. Read through the time left to the next tick, which does
// not depend on how busy the machine is.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>

#include "app/qt_run_timer.h"

namespace brivano {
namespace {

class QtRunTimerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "gui_test_qt_run_timer";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
  }
};

int RemainingMs(const RunTimer& timer) {
  return static_cast<const QtRunTimer&>(timer).RemainingMs();
}

TEST_F(QtRunTimerTest, EnablingAnEnabledTimerKeepsItsPeriod) {
  QtRunTimer timer(2000, [] {});
  timer.SetEnabled(true);
  QThread::msleep(300);
  timer.SetEnabled(true);
  EXPECT_LE(RemainingMs(timer), 1750);
}

TEST_F(QtRunTimerTest, SameIntervalChangesNothingNewIntervalRestarts) {
  QtRunTimer timer(2000, [] {});
  timer.SetEnabled(true);
  QThread::msleep(300);
  timer.SetInterval(2000);
  EXPECT_LE(RemainingMs(timer), 1750);
  timer.SetInterval(5000);
  EXPECT_GT(RemainingMs(timer), 4500);
  EXPECT_EQ(timer.Interval(), 5000);
}

TEST_F(QtRunTimerTest, DisabledTimerHasNoTickAndFiresWhenEnabled) {
  int ticks = 0;
  QtRunTimer timer(10, [&] { ++ticks; });
  EXPECT_FALSE(timer.Enabled());
  timer.SetEnabled(true);
  EXPECT_TRUE(timer.Enabled());
  for (int i = 0; i < 200 && ticks == 0; ++i) {
    QThread::msleep(5);
    QCoreApplication::processEvents();
  }
  EXPECT_GT(ticks, 0);
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Enabled());
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
