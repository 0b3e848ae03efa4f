// The machine's power through Windows: the execution state asked for during a run and given back
// after it, and the power broadcasts that every top-level window of the program receives.
#include <windows.h>

#include <QAbstractEventDispatcher>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/platform/SystemPower.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;

// A power broadcast as one window of the program receives it.
void Broadcast(WPARAM event) {
  MSG message{};
  message.message = WM_POWERBROADCAST;
  message.wParam = event;
  qintptr result = 0;
  QAbstractEventDispatcher::instance()->filterNativeEvent("windows_generic_MSG", &message, &result);
}

TEST(WindowsPower, AwakeDuringARunAndOneSleepAndWakeForEveryWindowsBroadcast) {
  const std::unique_ptr<MachinePower> power = MakeSystemPower();
  std::vector<std::string> heard;
  power->Listen({[&] { heard.push_back("sleeps"); },
                 [&](std::chrono::milliseconds) { heard.push_back("woke"); },
                 [&](const std::string& why) { heard.push_back("refused: " + why); }});

  // The state of this thread, read back by asking for it again.
  power->StayAwake(0);
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED),
            static_cast<EXECUTION_STATE>(ES_CONTINUOUS | ES_SYSTEM_REQUIRED));
  power->AllowSleep();
  EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));

  for (const WPARAM event : {PBT_APMSUSPEND, PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC,
                             PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND}) {
    Broadcast(event);
  }
  EXPECT_THAT(heard, ElementsAre("sleeps", "woke"));
}

}  // namespace
}  // namespace orvane
