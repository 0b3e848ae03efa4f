#include <QApplication>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/OrvaneApplication.h"
#include "app/RunOrvane.h"
#include "playback/Errors.h"
#include "tests/io/support/SimulatedDevice.h"
#include "ui/window/MainWindow.h"

namespace orvane {
namespace {

TEST(ProgramRun, ExitsWithZeroAfterItsWindowClosesAndAfterAFailedStartUp) {
  auto* app = qobject_cast<OrvaneApplication*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr);
  testing::SimulatedDevice device;
  device.Reset();
  QStringList shown;
  app->SetErrorBox([&shown](const QString&, const QString& text) { shown << text; });

  // The sound library must not start a sound server of its own for this run.
  qputenv("JACK_NO_START_SERVER", "1");
  bool window_seen = false;
  QTimer::singleShot(0, [&window_seen] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* window = qobject_cast<TForm1*>(widget); window && window->isVisible()) {
        window_seen = true;
        window->close();
      }
    }
  });
  EXPECT_EQ(RunOrvane(*app), 0);
  EXPECT_TRUE(window_seen);

  // This account may have no song folder; if so, its box is the only one.
  for (const QString& text : shown) {
    EXPECT_EQ(text, "The specified file was not found.");
  }
  EXPECT_LE(shown.size(), 1);
  const std::vector<std::string> calls = device.Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls.back(), "DAQmxClearTask(task 1)") << "the close released the device";

  // An error that stops the start-up ends the program after its box, before the device is used.
  shown.clear();
  device.Reset();
  EXPECT_EQ(RunOrvane(*app, [] { throw EInOutError("The specified file was not found"); }), 0);
  EXPECT_EQ(RunOrvane(*app, [] { throw 42; }), 0);
  EXPECT_EQ(shown, QStringList({"The specified file was not found.", ""}));
  EXPECT_THAT(device.Calls(), ::testing::IsEmpty());

  app->SetErrorBox([](const QString&, const QString& text) {
    ADD_FAILURE() << "unexpected error box: " << text.toStdString();
  });
}

}  // namespace
}  // namespace orvane
