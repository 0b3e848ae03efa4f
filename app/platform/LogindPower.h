#pragma once

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <optional>
#include <string>

#include "ui/window/MachinePower.h"

namespace orvane {

// The machine's power through systemd-logind: a "sleep:idle" block inhibitor while a run goes,
// and for the program's whole life a delay inhibitor on sleep, so that PrepareForSleep lets the
// valve be closed before the machine sleeps; the delay is given back once that is done and taken
// again at the wake. Every call is asynchronous: the window's thread never waits on the bus.
class LogindPower final : public QObject, public MachinePower {
  Q_OBJECT

 public:
  explicit LogindPower(QDBusConnection bus);
  ~LogindPower() override;

  void Listen(Listener listener) override;
  void StayAwake(std::uintptr_t window) override;
  void AllowSleep() override;

 private slots:
  void PrepareForSleep(bool going);

 private:
  enum class Hold { kAwake, kSleepDelay };
  void Inhibit(Hold hold);
  void Answered(Hold hold, const QDBusPendingCall& call);
  void Held(Hold hold, const QDBusUnixFileDescriptor& descriptor);
  void Failed(Hold hold, const std::string& why);
  // Once for each request to stay awake at most.
  void Refuse(const std::string& why);

  QDBusConnection bus_;
  Listener listener_;
  bool awake_wanted_ = false;
  std::optional<QDBusUnixFileDescriptor> awake_;
  std::optional<QDBusUnixFileDescriptor> sleep_delay_;
  // Why sleep cannot be seen coming, told as a run starts.
  std::string sleep_unseen_;
  // On a clock that goes on while the machine sleeps: when PrepareForSleep came.
  std::optional<std::int64_t> sleep_began_ms_;
};

}  // namespace orvane
