// The machine's power through systemd-logind, over a D-Bus daemon of the test's own whose
// org.freedesktop.login1 is a stand-in that hands out inhibitors and says when the machine sleeps.
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/platform/LogindPower.h"

namespace orvane {
namespace {

using ::testing::ElementsAre;

constexpr QLatin1String kLogind("org.freedesktop.login1");
constexpr QLatin1String kPath("/org/freedesktop/login1");

// A bus daemon on a socket of its own, ended with the test.
class TestBus {
 public:
  // False where no daemon can be started.
  bool Start() {
    if (!folder_.isValid()) {
      return false;
    }
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"),
                   QStringLiteral("--address=unix:dir=") + folder_.path(),
                   QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted() || !daemon_.waitForReadyRead(10000)) {
      return false;
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    return !address_.isEmpty();
  }
  ~TestBus() {
    daemon_.kill();
    daemon_.waitForFinished();
  }

  QDBusConnection Connect(const QString& name) const {
    return QDBusConnection::connectToBus(address_, name);
  }

 private:
  QTemporaryDir folder_;
  QProcess daemon_;
  QString address_;
};

// logind as the program meets it: each inhibitor is a pipe whose far end the caller holds; the
// inhibitor is given back when every copy of that end is closed.
class StandInLogind final : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

 public:
  ~StandInLogind() override {
    for (const Inhibitor& inhibitor : inhibitors_) {
      close(inhibitor.near_end);
    }
  }

  // How many inhibitors of this kind are held now.
  int Held(const QString& what, const QString& mode) const {
    int held = 0;
    for (const Inhibitor& inhibitor : inhibitors_) {
      pollfd watch{inhibitor.near_end, POLLIN, 0};
      if (inhibitor.what == what && inhibitor.mode == mode && poll(&watch, 1, 0) == 0) {
        ++held;
      }
    }
    return held;
  }

  void PrepareForSleep(QDBusConnection& bus, bool going) {
    QDBusMessage signal = QDBusMessage::createSignal(
        kPath, QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
    signal << going;
    bus.send(signal);
  }

  bool refuse_blocks = false;

 public slots:
  QDBusUnixFileDescriptor Inhibit(const QString& what, const QString&, const QString&,
                                  const QString& mode) {
    if (refuse_blocks && mode == QLatin1String("block")) {
      sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Permission denied"));
      return {};
    }
    int ends[2];
    if (pipe(ends) != 0) {
      sendErrorReply(QDBusError::Failed, QStringLiteral("no pipe"));
      return {};
    }
    inhibitors_.push_back({what, mode, ends[0]});
    const QDBusUnixFileDescriptor far_end(ends[1]);  // a copy of its own
    close(ends[1]);
    return far_end;
  }

 private:
  struct Inhibitor {
    QString what;
    QString mode;
    int near_end;
  };
  std::vector<Inhibitor> inhibitors_;
};

TEST(LogindPower, AwakeDuringARunTheValveClosedWhileSleepIsHeldAndARefusalSaid) {
  TestBus bus;
  if (!bus.Start()) {
    GTEST_SKIP() << "no D-Bus daemon could be started";
  }
  QDBusConnection logind_bus = bus.Connect(QStringLiteral("logind"));
  StandInLogind logind;
  ASSERT_TRUE(logind_bus.registerService(kLogind));
  ASSERT_TRUE(logind_bus.registerObject(kPath, &logind, QDBusConnection::ExportAllSlots));
  const auto held = [&logind](const char* what, const char* mode) {
    return logind.Held(QLatin1String(what), QLatin1String(mode));
  };
  const auto wait = [](const std::function<bool()>& done) { return QTest::qWaitFor(done, 20000); };

  std::vector<std::string> heard;
  {
    LogindPower power(bus.Connect(QStringLiteral("program")));
    power.Listen({[&] {
                    heard.push_back("sleeps with the sleep delayed " +
                                    std::to_string(held("sleep", "delay")) + " time");
                  },
                  [&](std::chrono::milliseconds) { heard.push_back("woke"); },
                  [&](const std::string& why) { heard.push_back("refused: " + why); }});
    ASSERT_TRUE(wait([&] { return held("sleep", "delay") == 1; })) << "sleep is watched at once";
    EXPECT_EQ(held("sleep:idle", "block"), 0) << "and kept off only during a run";

    power.StayAwake(0);
    ASSERT_TRUE(wait([&] { return held("sleep:idle", "block") == 1; }));
    power.AllowSleep();
    ASSERT_TRUE(wait([&] { return held("sleep:idle", "block") == 0; }));

    logind.PrepareForSleep(logind_bus, true);
    ASSERT_TRUE(wait([&] { return held("sleep", "delay") == 0; }));
    logind.PrepareForSleep(logind_bus, false);
    ASSERT_TRUE(wait([&] { return heard.size() == 2 && held("sleep", "delay") == 1; }));

    logind.refuse_blocks = true;
    power.StayAwake(0);
    ASSERT_TRUE(wait([&] { return heard.size() == 3; }));
  }
  EXPECT_THAT(heard, ElementsAre("sleeps with the sleep delayed 1 time", "woke",
                                 "refused: the login manager (systemd-logind) could not keep it "
                                 "awake (Permission denied)"));
  EXPECT_TRUE(wait([&] { return held("sleep", "delay") == 0; })) << "nothing held after the end";
  QDBusConnection::disconnectFromBus(QStringLiteral("program"));
  QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
}

// Without a bus to reach logind (a machine without systemd, a container) a run says so at once.
TEST(LogindPower, WithoutABusTheRunIsToldThatTheMachineMaySleep) {
  std::vector<std::string> refusals;
  {
    LogindPower power(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                    QStringLiteral("nowhere")));
    power.Listen({{}, {}, [&](const std::string& why) { refusals.push_back(why); }});
    QCoreApplication::processEvents();
    EXPECT_TRUE(refusals.empty()) << "nothing is said before a run";
    power.StayAwake(0);
    QCoreApplication::processEvents();
  }
  QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
  ASSERT_EQ(refusals.size(), 1u);
  EXPECT_THAT(refusals[0], ::testing::MatchesRegex("the login manager \\(systemd-logind\\) could "
                                                   "not keep it awake \\(.+\\), nor tell the "
                                                   "program that it is going to sleep"));
}

}  // namespace
}  // namespace orvane

#include "LogindPowerTest.moc"
