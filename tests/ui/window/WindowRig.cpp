#include "tests/ui/window/WindowRig.h"

#include <QAbstractButton>
#include <QListWidgetItem>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "app/ErrorText.h"
#include "ui/window/RadioGroup.h"
#include "ui_MainWindow.h"

namespace orvane::testing {

WindowRig::WindowRig(const std::vector<std::string>& songs_to_write) {
  for (const std::string& name : songs_to_write) {
    // Long enough that no song runs to its end while a test ticks.
    WriteSong(songs.path() / name, 80000);
  }
  device.Reset();
}

WindowRig::~WindowRig() = default;

TForm1& WindowRig::Open(std::optional<std::string> default_folder) {
  const WindowServices services{
      sound,
      dialog,
      clipboard,
      local_clock,
      calendar_clock,
      default_folder.value_or(songs.Utf8() + "/"),
      [this](const QString& text) { messages << text; },
      [this](const std::exception_ptr& thrown) {
        exceptions << ErrorBoxText(thrown);
        if (while_box_open) {
          while_box_open();
        }
      },
      journals.path() / "Orvane",
      [this](const std::string& text) { end_faults << QString::fromStdString(text); },
      journals.path() / "settings.ini",
      clock,
      power};
  window_ = std::make_unique<TForm1>(services);
  return *window_;
}

void WindowRig::ClickSong(TFileListBox& list, const QString& name) {
  const QList<QListWidgetItem*> found = list.findItems(name, Qt::MatchExactly);
  if (found.size() != 1) {
    ADD_FAILURE() << "no entry " << name.toStdString() << " in " << list.objectName().toStdString();
    return;
  }
  list.scrollToItem(found[0]);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(found[0]).center());
}

void WindowRig::PickItem(TRadioGroup& group, int item) {
  const QList<QAbstractButton*> buttons = group.findChildren<QAbstractButton*>();
  if (item >= buttons.size()) {
    ADD_FAILURE() << group.objectName().toStdString() << " has no item " << item;
    return;
  }
  QAbstractButton& button = *buttons[item];
  QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(6, button.height() / 2));
}

void WindowRig::StartQuickBadTrials() {
  Ui::TForm1& controls = form();
  ClickSong(*controls.bad_song_list, "alarm.wav");
  ClickSong(*controls.good_song_list, "calm.wav");
  PickItem(*controls.precent_bad, 0);
  controls.feedback_delay1->setValue(300);
  controls.action_delayTb->setValue(5);
  controls.puff_duration->setValue(5);
  device.ScriptRead(LowOn({7}));
  QTest::mouseClick(controls.Start, Qt::LeftButton);
}

void WindowRig::Tick(int count) {
  for (int i = 0; i < count; ++i) {
    window_->Timer1Timer();
  }
}

bool WindowRig::TickUntilDecided(int rows, int limit) {
  for (int i = 0; i < limit && DecidedTrials() < rows; ++i) {
    window_->Timer1Timer();
  }
  return DecidedTrials() >= rows;
}

int WindowRig::DecidedTrials() const {
  return window_->Log().next_row() - 1;
}

std::vector<std::string> WindowRig::DriverCalls(const std::string& prefix) const {
  std::vector<std::string> calls;
  for (const std::string& call : device.Calls()) {
    if (call.starts_with(prefix)) {
      calls.push_back(call);
    }
  }
  return calls;
}

}  // namespace orvane::testing
