#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "control/ControllerView.h"
#include "control/ExperimentSettings.h"
#include "control/SongKindSelection.h"
#include "control/SongListHighlight.h"
#include "control/TrialController.h"
#include "io/DigitalLines.h"
#include "io/IndicatorShapes.h"
#include "log/JournaledLog.h"
#include "log/TrialJournal.h"
#include "log/TrialLog.h"
#include "log/record/RunRecord.h"
#include "playback/MediaPlayer.h"
#include "progress/LiveRun.h"
#include "ui/window/DeferredNotices.h"
#include "ui/window/LiveProgress.h"
#include "ui/window/RecordedParts.h"
#include "ui/window/RunPower.h"
#include "ui/window/TickTimer.h"
#include "ui/window/WindowServices.h"

namespace Ui {
class TForm1;
}

class TFileListBox;
class TNumLab;

// The program's one window. Its form describes every control; the handlers bound to them by
// name in the form are thin and call into the subsystems, which read the settings from the
// controls at the moment they need them.
class TForm1 : public QWidget,
               public orvane::ExperimentSettings,
               public orvane::ControllerView,
               public orvane::SongListHighlight,
               public orvane::IndicatorShapes {
  Q_OBJECT

 public:
  explicit TForm1(const WindowServices& services, QWidget* parent = nullptr);
  ~TForm1() override;

  Ui::TForm1& Controls() { return *ui_; }
  const orvane::TrialController& Controller() const { return controller_; }
  const orvane::TrialLog& Log() const { return log_; }
  const orvane::TrialJournal& Journal() const { return record_.Journal(); }
  const orvane::record::RunRecord& Record() const { return record_; }
  orvane::MediaPlayer& PlayBad() { return play_bad_; }
  orvane::MediaPlayer& PlayGood() { return play_good_; }
  TickTimer& Timer1() { return timer1_; }
  TickTimer& Timer2() { return timer2_; }
  TickTimer& ValveGuard() { return valve_guard_; }
  TickTimer& Heartbeat() { return heartbeat_; }
  orvane::DigitalLines& Lines() { return lines_; }
  LiveProgress& Progress() { return *progress_; }

  // Why the run ends, when something other than the close box ends it: "signal SIGTERM".
  void NoteRunEnd(const std::string& reason);
  // The application's error box showed an exception that left one of the handlers.
  void NoteErrorShown(const QString& text);
  // For a crash's last act, `window` being a TForm1: its end in the run's files, from the crash
  // handler (RunRecord::RecordCrash).
  static void RecordCrash(void* window, std::string_view reason, std::string_view message,
                          std::optional<std::int32_t> off_status) noexcept;

  // ExperimentSettings: each read goes to the control that holds the setting.
  double Odds() const override;
  std::int32_t NeutralShareItem() const override;
  std::int32_t SelectionMode() const override;
  std::int32_t SerialBlockLength() const override;
  std::int32_t SerialStartItem() const override;
  double PuffDelay() const override;
  std::int32_t PuffDuration() const override;
  double PerchLine() const override;

  // ControllerView
  void SetWindowColour(orvane::Colour colour) override;
  void ShowErrorMessage(std::string_view text) override;
  void ShowNotice(std::string_view text) override;

  // SongListHighlight
  void SetBadListColour(orvane::Colour colour) override;
  void SetGoodListColour(orvane::Colour colour) override;

  // IndicatorShapes
  void SetPerchColour(orvane::Colour colour) override;
  void SetPuffColour(orvane::Colour colour) override;
  void ShowDeviceFailing(bool failing) override;
  void SetPuffNote(const std::string& note) override;

 public slots:
  void StartClick();
  void StopClick();
  void pufferClick();
  void Timer1Timer();
  void Timer2Timer();
  // Writes the off pattern again while a failed one is due and neither timer ticks to do it.
  void ValveGuardTimer();
  // Runs as long as the window: tells the valve's keepers that this thread answers.
  void HeartbeatTimer();
  // Records the end of a song that stops sounding while Timer1 does not tick.
  void SongWatchTimer();
  // Records each setting that changed, after the handler of its control has run.
  void NoteSettings();

  void input0Click();
  void input1Click();
  void bad_song_listClick();
  void good_song_listClick();

  void copyClick();
  void clearClick();

  void puff_durationChange();
  void action_delayTbChange();
  void feedback_delay1Change();
  void serial_tbChange();
  void song_selectionClick();

  void p1sUpClick();
  void p1sDownClick();
  void l1sUpClick();
  void l1sDownClick();
  void p2sUpClick();
  void p2sDownClick();
  void l2sUpClick();
  void l2sDownClick();

  // The window's close handler: closes the valve and releases the acquisition device.
  void FormClose();
  // For a program that ends without its event loop (a library calling exit), from whatever thread
  // calls it: closes the valve and releases the device, touching no widget.
  void EndWithoutTheLoop();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct RightAnchor {
    QPointer<QWidget> widget;
    int distance_from_right;
  };

  void ApplyDescriptionExtras();
  // Tells the run's record of every change of a setting, of a song's start from its button, of
  // each of the run's files made and of the ticks a stall cost.
  void ConnectTheRecord();
  // Shrinks a window that the screen cannot hold to the screen's free area; its page then scrolls.
  void FitToScreen();
  // The application's error box, for failures met outside a handler's exception.
  void ShowError(const QString& text);
  // Runs the valve guard exactly while the off pattern is due and no timer writes it.
  void KeepClosingTheValve();
  // The machine is about to sleep; false when the off pattern did not hold.
  std::optional<bool> CloseValveForSleep();
  void RecordEndFault(const std::string& text);
  // The log table's tooltip names the folder of the run's files and those made so far.
  void ShowRunFiles();
  // Records the songs that stopped sounding; the song watch runs while one sounds unticked.
  void WatchSongs();
  void ChooseSong(TFileListBox& list, orvane::SongKind kind, orvane::MediaPlayer& player);
  // False when the folder could not be entered; the error is shown when `show_error` is true.
  bool PointListAtDefaultFolder(class TFileListBox& list, bool show_error);

  std::unique_ptr<Ui::TForm1> ui_;
  WindowServices services_;
  DeferredNotices notices_;
  orvane::MediaPlayer play_bad_;
  orvane::MediaPlayer play_good_;
  orvane::DigitalLines lines_;
  orvane::SongKindSelection selection_;
  orvane::TrialLog log_;
  orvane::LiveRun live_run_;
  orvane::record::RunRecord record_;
  orvane::JournaledLog journaled_log_;
  RecordedLines recorded_lines_;
  RecordedPlayer recorded_bad_;
  RecordedPlayer recorded_good_;
  RecordedLog recorded_log_;
  TickTimer timer1_;
  TickTimer timer2_;
  TickTimer valve_guard_;
  TickTimer heartbeat_;
  TickTimer song_watch_;
  RunPower power_;
  orvane::TrialController controller_;
  std::unique_ptr<LiveProgress> progress_;
  QList<RightAnchor> right_anchors_;
  bool fitted_to_screen_ = false;
};
