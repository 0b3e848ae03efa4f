#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest/QTest>

#include <map>
#include <memory>
#include <set>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/ui/window/WindowRig.h"
#include "ui/NumLab.h"
#include "ui/SpinButton.h"
#include "ui_MainWindow.h"

namespace orvane {
namespace {

using testing::LowOn;
using testing::WindowRig;

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() : window_(rig_.Open()), form_(rig_.form()) {
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  // A short click on a half of a spin button.
  static void ClickHalf(TCSpinButton& spin, bool upper) {
    const QRect half = upper ? spin.UpperHalf() : spin.LowerHalf();
    const QPoint point(half.center().x(), upper ? half.top() + 2 : half.bottom() - 2);
    QTest::mouseClick(&spin, Qt::LeftButton, {}, point);
  }

  WindowRig rig_;
  TForm1& window_;
  Ui::TForm1& form_;
};

TEST_F(SettingsTest, EachSliderPutsTheExactQuotientOfItsPositionInItsDisplay) {
  for (int position = 0; position <= 50; ++position) {
    form_.action_delayTb->setValue(position);
    form_.puff_duration->setValue(position);
    ASSERT_EQ(form_.action_delay->Value(), position / 10.0) << position;
    ASSERT_EQ(form_.puff_duration_val->Value(), position / 10.0) << position;
    ASSERT_EQ(window_.PuffDelay(), position / 10.0);
    ASSERT_EQ(window_.PuffDuration(), position);
  }
  for (int position = 1; position <= 300; ++position) {
    form_.feedback_delay1->setValue(position);
    ASSERT_EQ(form_.odds->Value(), position / 1000.0) << position;
  }

  form_.action_delayTb->setValue(3);
  EXPECT_EQ(form_.action_delay->Value(), 0.3);
  EXPECT_NE(form_.action_delay->Value(), 3 * 0.1) << "a product, not the quotient";
  EXPECT_EQ(form_.action_delay->ShownText(), "0.3");

  form_.action_delayTb->setValue(0);
  form_.puff_duration->setValue(0);
  form_.feedback_delay1->setValue(0);  // below the range: stays at 1
  form_.serial_tb->setValue(2);
  EXPECT_EQ(form_.action_delay->Value(), 0.0);
  EXPECT_EQ(form_.puff_duration_val->ShownText(), "0.00");
  EXPECT_EQ(form_.odds->Value(), 0.001);
  EXPECT_EQ(form_.odds->ShownText(), "0.0010");
  EXPECT_EQ(form_.serial_num->Value(), 2);

  form_.action_delayTb->setValue(99);
  form_.puff_duration->setValue(99);
  form_.feedback_delay1->setValue(999);
  form_.serial_tb->setValue(999);
  EXPECT_EQ(form_.action_delay->Value(), 5.0);
  EXPECT_EQ(form_.puff_duration_val->Value(), 5.0);
  EXPECT_EQ(form_.odds->Value(), 0.3);
  EXPECT_EQ(form_.serial_num->Value(), 100);
  EXPECT_EQ(window_.SerialBlockLength(), 100);
}

TEST_F(SettingsTest, TheKeyboardMovesASliderByOneAndAPageByTwo) {
  form_.action_delayTb->setFocus();
  QTest::keyClick(form_.action_delayTb, Qt::Key_Right);
  EXPECT_EQ(form_.action_delay->Value(), 2.1);
  QTest::keyClick(form_.action_delayTb, Qt::Key_PageUp);
  EXPECT_EQ(form_.action_delayTb->value(), 23);
  EXPECT_EQ(form_.action_delay->Value(), 2.3);
  QTest::keyClick(form_.action_delayTb, Qt::Key_Left);
  EXPECT_EQ(form_.action_delay->Value(), 2.2);
}

TEST_F(SettingsTest, TheSpinButtonsStepTheirDisplaysWithinTheirBounds) {
  ClickHalf(*form_.l1s, true);
  EXPECT_EQ(form_.l1->Value(), 7) << "7 is the top line";
  for (int i = 0; i < 9; ++i) {
    ClickHalf(*form_.l1s, false);
  }
  EXPECT_EQ(form_.l1->Value(), 0) << "0 is the bottom line";
  ClickHalf(*form_.l1s, true);
  EXPECT_EQ(window_.PerchLine(), 1);

  // The port and puffer displays are shown only: their spin buttons are disabled.
  ClickHalf(*form_.p1s, true);
  ClickHalf(*form_.p2s, true);
  ClickHalf(*form_.l2s, false);
  EXPECT_EQ(form_.p1->Value(), 2);
  EXPECT_EQ(form_.p2->Value(), 0);
  EXPECT_EQ(form_.l2->Value(), 4);

  // Their handlers keep the bounds all the same: p2 stops at 6, the others at 7 and 0.
  for (int i = 0; i < 10; ++i) {
    window_.p1sUpClick();
    window_.p2sUpClick();
    window_.l2sUpClick();
  }
  EXPECT_EQ(form_.p1->Value(), 7);
  EXPECT_EQ(form_.p2->Value(), 6);
  EXPECT_EQ(form_.l2->Value(), 7);
  for (int i = 0; i < 10; ++i) {
    window_.p1sDownClick();
    window_.p2sDownClick();
    window_.l2sDownClick();
  }
  EXPECT_EQ(form_.p1->Value(), 0);
  EXPECT_EQ(form_.p2->Value(), 0);
  EXPECT_EQ(form_.l2->Value(), 0);
}

// Fired by hand, so the test decides when each repeat period ends.
class ManualTimer final : public RepeatTimer {
 public:
  void OnTimeout(std::function<void()> handler) override { handler_ = std::move(handler); }
  void Start(int) override { active_ = true; }
  void SetInterval(int) override {}
  void Stop() override { active_ = false; }
  bool IsActive() const override { return active_; }
  void Fire() {
    if (active_) {
      handler_();
    }
  }

 private:
  std::function<void()> handler_;
  bool active_ = false;
};

TEST_F(SettingsTest, HoldingTheUpHalfFromFiveReachesTheTopLineAndStaysThere) {
  // The perch line's spin button as the form binds it, on a repeat clock the test fires.
  auto owned = std::make_unique<ManualTimer>();
  ManualTimer& timer = *owned;
  TCSpinButton spin(std::move(owned), &window_);
  spin.setGeometry(form_.l1s->geometry());
  spin.show();
  QObject::connect(&spin, &TCSpinButton::upClick, &window_, &TForm1::l1sUpClick);
  window_.l1sDownClick();
  window_.l1sDownClick();
  ASSERT_EQ(form_.l1->Value(), 5);

  const QPoint upper = spin.UpperHalf().center();
  QTest::mousePress(&spin, Qt::LeftButton, {}, upper);
  timer.Fire();
  EXPECT_EQ(form_.l1->Value(), 6);
  for (int i = 0; i < 5; ++i) {
    timer.Fire();
  }
  QTest::mouseRelease(&spin, Qt::LeftButton, {}, upper);
  EXPECT_EQ(form_.l1->Value(), 7);
  EXPECT_FALSE(timer.IsActive());
}

TEST_F(SettingsTest, TheSelectionSwitchShowsOneSetOfControlsAndBothKeepTheirValues) {
  WindowRig::PickItem(*form_.precent_bad, 3);
  WindowRig::PickItem(*form_.song_selection, 1);
  EXPECT_EQ(window_.SelectionMode(), 1);
  EXPECT_TRUE(form_.precent_bad->isHidden());
  EXPECT_TRUE(form_.serial_tb->isVisible());
  EXPECT_TRUE(form_.serial_num->isVisible());
  EXPECT_FALSE(form_.serial_num->isEnabled()) << "drawn disabled whenever shown";
  EXPECT_TRUE(form_.start_with->isVisible());

  form_.serial_tb->setValue(33);
  WindowRig::PickItem(*form_.start_with, 1);
  WindowRig::PickItem(*form_.song_selection, 0);
  EXPECT_EQ(window_.SelectionMode(), 0);
  EXPECT_TRUE(form_.precent_bad->isVisible());
  EXPECT_TRUE(form_.serial_tb->isHidden());
  EXPECT_TRUE(form_.serial_num->isHidden());
  EXPECT_TRUE(form_.start_with->isHidden());
  EXPECT_EQ(window_.NeutralShareItem(), 3);
  EXPECT_EQ(window_.SerialBlockLength(), 33);
  EXPECT_EQ(form_.serial_num->Value(), 33);
  EXPECT_EQ(window_.SerialStartItem(), 1);

  // The arrow keys move between the items of the focused group.
  form_.precent_bad->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(window_.NeutralShareItem(), 4);

  WindowRig::PickItem(*form_.song_selection, 1);
  EXPECT_EQ(form_.serial_tb->value(), 33);
  EXPECT_EQ(form_.start_with->ItemIndex(), 1);
  EXPECT_EQ(form_.precent_bad->ItemIndex(), 4);
  EXPECT_EQ(form_.serial_tb->geometry(), QRect(628, 479, 108, 20));
}

TEST_F(SettingsTest, WideningTheWindowMovesOnlyTheRightAnchoredDisplays) {
  const std::set<QString> anchored = {"odds",       "puff_duration_val", "action_delay", "bad_stay",
                                      "bad_escape", "good_stay",         "good_escape"};
  std::map<QString, QRect> before;
  for (const QWidget* child : form_.contents->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    before[child->objectName()] = child->geometry();
  }
  window_.resize(1013, 800);
  ASSERT_EQ(window_.width(), 1013);
  for (const QWidget* child : form_.contents->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const QString name = child->objectName();
    const QRect was = before[name];
    const int shift = anchored.contains(name) ? 200 : 0;
    EXPECT_EQ(child->geometry(), was.translated(shift, 0)) << name.toStdString();
  }
  window_.resize(813, 758);
  EXPECT_EQ(form_.odds->geometry(), QRect(571, 60, 50, 20));
  EXPECT_EQ(form_.bad_stay->geometry(), QRect(71, 260, 50, 20));
}

// A window smaller than its page, as on a screen that cannot hold it, scrolls: every control stays
// reachable. At its described size it does not scroll and shows the layout as described.
TEST_F(SettingsTest, AWindowSmallerThanItsPageScrollsAndOneThatFitsDoesNot) {
  const auto resize = [this](int width, int height) {
    window_.resize(width, height);
    // The platform answers a resize with events; the page follows once they are handled.
    EXPECT_TRUE(QTest::qWaitFor([&] { return form_.scroller->size() == QSize(width, height); }));
    QCoreApplication::processEvents();
  };
  resize(600, 500);
  EXPECT_TRUE(form_.scroller->verticalScrollBar()->isVisible());
  // The right-hand controls can be scrolled into view in full, and the page's bottom edge too.
  for (QWidget* far :
       std::initializer_list<QWidget*>{form_.precent_bad, form_.clear, form_.good_escape}) {
    form_.scroller->ensureWidgetVisible(far, 0, 0);
    EXPECT_TRUE(form_.scroller->viewport()->rect().contains(
        QRect(far->mapTo(form_.scroller->viewport(), QPoint(0, 0)), far->size())))
        << far->objectName().toStdString();
  }
  form_.scroller->verticalScrollBar()->setValue(form_.scroller->verticalScrollBar()->maximum());
  EXPECT_EQ(form_.contents->mapTo(form_.scroller->viewport(), QPoint(0, 758)).y(),
            form_.scroller->viewport()->height());

  resize(813, 758);
  EXPECT_FALSE(form_.scroller->verticalScrollBar()->isVisible());
  EXPECT_FALSE(form_.scroller->horizontalScrollBar()->isVisible());
  EXPECT_EQ(form_.Start->mapTo(&window_, QPoint(0, 0)), QPoint(8, 328))
      << "the layout as described";
  EXPECT_EQ(form_.odds->mapTo(&window_, QPoint(0, 0)), QPoint(571, 60));
}

// Serial mode's first block plays the kind its start item names, whatever the order of items.
SongKind FirstSerialKind(int start_item) {
  WindowRig rig;
  TForm1& window = rig.Open();
  Ui::TForm1& form = rig.form();
  window.show();
  rig.ClickSong(*form.bad_song_list, "alarm.wav");
  rig.ClickSong(*form.good_song_list, "calm.wav");
  WindowRig::PickItem(*form.song_selection, 1);
  WindowRig::PickItem(*form.start_with, start_item);
  rig.device.ScriptRead(LowOn({7}));
  QTest::mouseClick(form.Start, Qt::LeftButton);
  if (!rig.TickUntilDecided(1)) {
    ADD_FAILURE() << "no serial trial was decided";
    return kNoTrial;
  }
  return form.report->table().GetElem(2, 1) == "good" ? kNeutralSong : kBadSong;
}

TEST(SerialStart, TheStartItemsCaptionNamesTheKindOfTheFirstBlock) {
  WindowRig rig;
  rig.Open();
  EXPECT_EQ(rig.form().start_with->Items(), QStringList({"safe song", "bad song"}));
  EXPECT_EQ(FirstSerialKind(0), kNeutralSong) << "item 0, the safe song";
  EXPECT_EQ(FirstSerialKind(1), kBadSong) << "item 1, the bad song";
}

}  // namespace
}  // namespace orvane
