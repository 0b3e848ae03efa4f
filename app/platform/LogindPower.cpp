#include "app/platform/LogindPower.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <time.h>

#include <utility>

#include "app/platform/SystemPower.h"

namespace orvane {
namespace {

constexpr QLatin1String kService("org.freedesktop.login1");
constexpr QLatin1String kPath("/org/freedesktop/login1");
constexpr QLatin1String kManager("org.freedesktop.login1.Manager");

// Milliseconds on the clock that goes on while the machine sleeps.
std::int64_t BootTimeMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

LogindPower::LogindPower(QDBusConnection bus) : bus_(std::move(bus)) {
  bus_.connect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
               SLOT(PrepareForSleep(bool)));
  Inhibit(Hold::kSleepDelay);
}

LogindPower::~LogindPower() {
  bus_.disconnect(kService, kPath, kManager, QStringLiteral("PrepareForSleep"), this,
                  SLOT(PrepareForSleep(bool)));
}

void LogindPower::Listen(Listener listener) {
  listener_ = std::move(listener);
}

void LogindPower::StayAwake(std::uintptr_t) {
  awake_wanted_ = true;
  Inhibit(Hold::kAwake);
}

void LogindPower::AllowSleep() {
  awake_wanted_ = false;
  awake_.reset();  // closing the descriptor gives the inhibitor back
}

void LogindPower::Inhibit(Hold hold) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("Inhibit"));
  if (hold == Hold::kAwake) {
    call << QStringLiteral("sleep:idle") << QStringLiteral("Orvane")
         << QStringLiteral("An experiment is running") << QStringLiteral("block");
  } else {
    call << QStringLiteral("sleep") << QStringLiteral("Orvane")
         << QStringLiteral("Switches the puffer off before the computer sleeps")
         << QStringLiteral("delay");
  }
  const QDBusPendingCall pending = bus_.asyncCall(call);
  // A call that could not be sent (no bus) has its answer already, and no watcher would tell it.
  if (pending.isFinished()) {
    Answered(hold, pending);
    return;
  }
  auto* watcher = new QDBusPendingCallWatcher(pending, this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, hold](QDBusPendingCallWatcher* finished) {
            Answered(hold, *finished);
            finished->deleteLater();
          });
}

void LogindPower::Answered(Hold hold, const QDBusPendingCall& call) {
  const QDBusPendingReply<QDBusUnixFileDescriptor> reply = call;
  if (reply.isError()) {
    Failed(hold, reply.error().message().toStdString());
  } else {
    Held(hold, reply.value());
  }
}

void LogindPower::Held(Hold hold, const QDBusUnixFileDescriptor& descriptor) {
  if (hold == Hold::kSleepDelay) {
    sleep_delay_ = descriptor;
    sleep_unseen_.clear();
  } else if (awake_wanted_) {
    awake_ = descriptor;
    if (!sleep_unseen_.empty()) {
      Refuse(sleep_unseen_);
    }
  }
}

void LogindPower::Failed(Hold hold, const std::string& why) {
  if (hold == Hold::kSleepDelay) {
    sleep_unseen_ =
        "the login manager (systemd-logind) cannot tell the program that it is going "
        "to sleep, so the puffer would not be switched off first (" +
        why + ")";
    if (awake_) {
      Refuse(sleep_unseen_);
    }
  } else if (awake_wanted_) {
    Refuse("the login manager (systemd-logind) could not keep it awake (" + why + ")" +
           (sleep_unseen_.empty() ? "" : ", nor tell the program that it is going to sleep"));
  }
}

void LogindPower::Refuse(const std::string& why) {
  if (listener_.refused) {
    listener_.refused(why);
  }
}

void LogindPower::PrepareForSleep(bool going) {
  if (going) {
    sleep_began_ms_ = BootTimeMilliseconds();
    if (listener_.sleeps) {
      listener_.sleeps();
    }
    sleep_delay_.reset();  // the machine may sleep now
    return;
  }
  if (sleep_began_ms_ && listener_.woke) {
    listener_.woke(std::chrono::milliseconds(BootTimeMilliseconds() - *sleep_began_ms_));
  }
  sleep_began_ms_.reset();
  if (!sleep_delay_) {
    Inhibit(Hold::kSleepDelay);
  }
}

std::unique_ptr<MachinePower> MakeSystemPower() {
  return std::make_unique<LogindPower>(QDBusConnection::systemBus());
}

}  // namespace orvane
