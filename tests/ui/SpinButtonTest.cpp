#include "ui/SpinButton.h"

#include <gtest/gtest.h>
#include <QDialog>
#include <QSignalSpy>
#include <QtTest/QTest>

#include <memory>

namespace {

// Fired by hand: the tests decide when each period ends.
class ManualTimer : public orvane::RepeatTimer {
 public:
  void OnTimeout(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Start(int milliseconds) override {
    interval = milliseconds;
    active = true;
    ++starts;
  }
  void SetInterval(int milliseconds) override { interval = milliseconds; }
  void Stop() override { active = false; }
  bool IsActive() const override { return active; }

  void Fire() {
    ASSERT_TRUE(active) << "a stopped timer does not fire";
    handler_();
  }

  int interval = 0;
  bool active = false;
  int starts = 0;

 private:
  std::function<void()> handler_;
};

class SpinButtonTest : public testing::Test {
 protected:
  SpinButtonTest() {
    spin_.resize(20, 25);
    spin_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&spin_));
  }

  int Ups() const { return static_cast<int>(ups_.count()); }
  int Downs() const { return static_cast<int>(downs_.count()); }

  static std::unique_ptr<ManualTimer> NewTimer(ManualTimer*& handle) {
    auto timer = std::make_unique<ManualTimer>();
    handle = timer.get();
    return timer;
  }

  ManualTimer* timer_ = nullptr;
  TCSpinButton spin_{NewTimer(timer_)};
  QSignalSpy ups_{&spin_, &TCSpinButton::upClick};
  QSignalSpy downs_{&spin_, &TCSpinButton::downClick};
  const QPoint upper_{10, 4};
  const QPoint lower_{10, 19};
  const QPoint outside_{10, 60};
};

TEST_F(SpinButtonTest, SplitsIntoTwoOverlappingHalvesAtLeastFifteenPixelsWide) {
  EXPECT_EQ(spin_.UpperHalf(), QRect(0, 0, 20, 12));
  EXPECT_EQ(spin_.LowerHalf(), QRect(0, 11, 20, 14));
  spin_.resize(20, 26);
  EXPECT_EQ(spin_.UpperHalf(), QRect(0, 0, 20, 13));
  EXPECT_EQ(spin_.LowerHalf(), QRect(0, 12, 20, 14));
  spin_.resize(8, 25);
  EXPECT_EQ(spin_.width(), 15);
  EXPECT_EQ(spin_.focusPolicy(), Qt::NoFocus);
}

TEST_F(SpinButtonTest, AShortClickStepsOnceOnRelease) {
  QTest::mousePress(&spin_, Qt::LeftButton, {}, upper_);
  EXPECT_EQ(Ups(), 0);
  EXPECT_TRUE(timer_->active);
  EXPECT_EQ(timer_->interval, 400);
  QTest::mouseRelease(&spin_, Qt::LeftButton, {}, upper_);
  EXPECT_EQ(Ups(), 1);
  EXPECT_EQ(Downs(), 0);
  EXPECT_FALSE(timer_->active);

  QTest::mouseClick(&spin_, Qt::LeftButton, {}, lower_);
  EXPECT_EQ(Ups(), 1);
  EXPECT_EQ(Downs(), 1);

  QTest::mouseClick(&spin_, Qt::LeftButton, {}, QPoint(10, 11));
  EXPECT_EQ(Downs(), 2) << "the shared row belongs to the lower half";
}

TEST_F(SpinButtonTest, HoldingRepeatsAfterTheFirstPeriodThenEveryShortOneAndOnceMoreOnRelease) {
  QTest::mousePress(&spin_, Qt::LeftButton, {}, upper_);
  timer_->Fire();
  EXPECT_EQ(Ups(), 1);
  EXPECT_EQ(timer_->interval, 100);
  timer_->Fire();
  timer_->Fire();
  EXPECT_EQ(Ups(), 3);
  QTest::mouseRelease(&spin_, Qt::LeftButton, {}, upper_);
  EXPECT_EQ(Ups(), 4);
  EXPECT_FALSE(timer_->active);

  QTest::mousePress(&spin_, Qt::LeftButton, {}, upper_);
  EXPECT_EQ(timer_->interval, 400) << "every press starts with the long period";
  QTest::mouseRelease(&spin_, Qt::LeftButton, {}, upper_);
  EXPECT_EQ(Downs(), 0);
}

TEST_F(SpinButtonTest, PointerOffTheHeldHalfPausesTheClicksButNotTheTimer) {
  QTest::mousePress(&spin_, Qt::LeftButton, {}, lower_);
  timer_->Fire();
  EXPECT_EQ(Downs(), 1);

  QTest::mouseMove(&spin_, upper_);
  timer_->Fire();
  timer_->Fire();
  EXPECT_EQ(Downs(), 1);
  EXPECT_EQ(Ups(), 0) << "the other half never takes over the press";
  EXPECT_TRUE(timer_->active);

  QTest::mouseMove(&spin_, lower_);
  timer_->Fire();
  EXPECT_EQ(Downs(), 2);

  QTest::mouseMove(&spin_, outside_);
  QTest::mouseRelease(&spin_, Qt::LeftButton, {}, outside_);
  EXPECT_EQ(Downs(), 2) << "released away from the half: no final click";
  EXPECT_FALSE(timer_->active);
  EXPECT_EQ(timer_->starts, 1);
}

TEST_F(SpinButtonTest, DisabledIgnoresTheMouseAndDisablingEndsAHold) {
  spin_.setEnabled(false);
  QTest::mouseClick(&spin_, Qt::LeftButton, {}, upper_);
  QTest::mousePress(&spin_, Qt::LeftButton, {}, lower_);
  EXPECT_FALSE(timer_->active);
  QTest::mouseRelease(&spin_, Qt::LeftButton, {}, lower_);
  EXPECT_EQ(Ups() + Downs(), 0);

  spin_.setEnabled(true);
  QTest::mousePress(&spin_, Qt::LeftButton, {}, upper_);
  spin_.setEnabled(false);
  EXPECT_FALSE(timer_->active);
  spin_.setEnabled(true);
  QTest::mouseRelease(&spin_, Qt::LeftButton, {}, upper_);
  EXPECT_EQ(Ups(), 0);
}

TEST_F(SpinButtonTest, AHoldEndsWhenTheReleaseCanNoLongerArrive) {
  QTest::mousePress(&spin_, Qt::LeftButton, {}, upper_);
  timer_->Fire();
  EXPECT_EQ(Ups(), 1);
  QDialog box;  // e.g. an error box opened by the click
  box.setWindowModality(Qt::ApplicationModal);
  box.show();
  timer_->Fire();
  EXPECT_EQ(Ups(), 1);
  EXPECT_FALSE(timer_->active);
  box.hide();

  QTest::mousePress(&spin_, Qt::LeftButton, {}, lower_);
  spin_.hide();
  EXPECT_FALSE(timer_->active);
  EXPECT_EQ(Downs(), 0);
}

}  // namespace
