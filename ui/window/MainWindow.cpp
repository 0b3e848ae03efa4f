#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStyle>
#include <QWindow>

#include <filesystem>
#include <stdexcept>
#include <utility>

#include "playback/SongSelection.h"
#include "ui/NumLab.h"
#include "ui/Pictures.h"
#include "ui/SpinButton.h"
#include "ui/window/FormDescription.h"
#include "ui/window/RadioGroup.h"
#include "ui/window/ScreenFit.h"
#include "ui/window/Shape.h"
#include "ui_MainWindow.h"

namespace {

using orvane::record::PuffBy;

// The width the form is described at; the right-anchored displays keep their distance from it.
constexpr int kDescribedWidth = 813;

std::unique_ptr<Ui::TForm1> BuildForm(TForm1& window) {
  auto ui = std::make_unique<Ui::TForm1>();
  ui->setupUi(&window);
  return ui;
}

void StepUp(TNumLab& display, double top) {
  if (display.Value() < top) {
    display.SetLabValue(display.Value() + 1);
  }
}

void StepDown(TNumLab& display) {
  if (display.Value() > 0) {
    display.SetLabValue(display.Value() - 1);
  }
}

}  // namespace

TForm1::TForm1(const WindowServices& services, QWidget* parent)
    : QWidget(parent),
      ui_(BuildForm(*this)),
      services_(services),
      notices_(
          [this](const QString& text) {
            record_.MessageShown("notice", text.toStdString());
            ShowError(text);
          },
          this),
      play_bad_(services.sound),
      play_good_(services.sound),
      lines_(*this, *this, notices_),
      selection_(*this, *this, services.calendar_clock),
      log_({ui_->report->table(), *this, *ui_->bad_stay, *ui_->bad_escape, *ui_->good_stay,
            *ui_->good_escape, services.clipboard, services.local_clock}),
      live_run_(orvane::record::TrialTableHeader()),
      record_({services.journal_folder, services.local_clock, notices_, *this,
               services.monotonic_clock}),
      journaled_log_(log_, ui_->report->table(), record_.Journal()),
      recorded_lines_(lines_, record_),
      recorded_bad_(play_bad_, orvane::kBadSong, record_),
      recorded_good_(play_good_, orvane::kNeutralSong, record_),
      recorded_log_(journaled_log_, recorded_good_, recorded_bad_, record_),
      timer1_(services.monotonic_clock, this),
      timer2_(services.monotonic_clock, this),
      valve_guard_(services.monotonic_clock, this),
      heartbeat_(services.monotonic_clock, this),
      song_watch_(services.monotonic_clock, this),
      power_({services.power, notices_, record_, [this] { return CloseValveForSleep(); }}),
      controller_({*this, recorded_lines_, selection_, recorded_good_, recorded_bad_, recorded_log_,
                   *this, timer1_, timer2_}),
      progress_(std::make_unique<LiveProgress>(
          live_run_,
          ProgressPlaces{QString::fromStdU16String(services.settings_file.u16string()),
                         QString::fromStdU16String(services.journal_folder.u16string())},
          *this, *ui_->report)) {
  ApplyDescriptionExtras();
  // The focused control always shows its focus frame, not only after a Tab: Qt drops the window's
  // keyboard-focus mark when the window is activated or the focus moves otherwise.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != nullptr && now->window() == this) {
      setAttribute(Qt::WA_KeyboardFocusChange);
    }
  });
  connect(&timer1_, &TickTimer::tick, this, &TForm1::Timer1Timer);
  connect(&timer2_, &TickTimer::tick, this, &TForm1::Timer2Timer);
  connect(&valve_guard_, &TickTimer::tick, this, &TForm1::ValveGuardTimer);
  connect(&heartbeat_, &TickTimer::tick, this, &TForm1::HeartbeatTimer);
  connect(&song_watch_, &TickTimer::tick, this, &TForm1::SongWatchTimer);
  ConnectTheRecord();

  // Both lists share the folder, so one error box speaks for both.
  const bool bad_list_failed = !PointListAtDefaultFolder(*ui_->bad_song_list, true);
  PointListAtDefaultFolder(*ui_->good_song_list, !bad_list_failed);
  log_.InitTrialLog();
  lines_.OpenTasks();
  heartbeat_.Enable();
  record_.BeginRun(DeviceFacts(lines_), ui_->bad_song_list->Directory(),
                   ui_->good_song_list->Directory());
}

TForm1::~TForm1() {
  // The bars point at the players, which go before the form's widgets.
  ui_->play_bad->Attach(nullptr);
  ui_->play_good->Attach(nullptr);
}

void TForm1::ApplyDescriptionExtras() {
  ApplyDescribedFonts(*this);
  ApplySliderThumbLengths(*this);
  setWindowIcon(orvane::WindowIcon());
  for (QToolButton* button : {ui_->input0, ui_->input1}) {
    button->setIcon(orvane::OpenFolderIcon());
    button->setIconSize(orvane::OpenFolderIconSize());
  }
  ui_->puffer->setIcon(orvane::PufferIcon());
  ui_->puffer->setIconSize(orvane::PufferIconSize());
  ui_->play_bad->Attach(&play_bad_);
  ui_->play_good->Attach(&play_good_);
  for (TMediaPlayer* bar : {ui_->play_bad, ui_->play_good}) {
    connect(bar, &TMediaPlayer::playerError, this, [this](const QString& message) {
      record_.MessageShown("error", message.toStdString());
      ShowError(message);
    });
  }
  SetWindowColour(orvane::colours::kSilver);

  const QString folder = QString::fromStdString(services_.default_song_folder);
  ui_->playbacks_folder0->setText(folder);
  ui_->playbacks_folder1->setText(folder);

  for (QWidget* widget : findChildren<QWidget*>()) {
    if (widget->property("anchorRight").toBool()) {
      right_anchors_.append({widget, kDescribedWidth - widget->x()});
    }
  }
  // The controls lie on a page that fills the window and scrolls only where the window is smaller.
  ui_->contents->installEventFilter(this);
  ui_->scroller->viewport()->setAutoFillBackground(false);
}

void TForm1::ConnectTheRecord() {
  // After the form's own handlers, which set the displays that hold some of the settings.
  for (QSlider* slider :
       {ui_->puff_duration, ui_->action_delayTb, ui_->feedback_delay1, ui_->serial_tb}) {
    connect(slider, &QSlider::valueChanged, this, &TForm1::NoteSettings);
  }
  for (TRadioGroup* group : {ui_->song_selection, ui_->precent_bad, ui_->start_with}) {
    connect(group, &TRadioGroup::clicked, this, &TForm1::NoteSettings);
  }
  connect(ui_->l1s, &TCSpinButton::upClick, this, &TForm1::NoteSettings);
  connect(ui_->l1s, &TCSpinButton::downClick, this, &TForm1::NoteSettings);
  connect(ui_->play_bad, &TMediaPlayer::played, this, [this] {
    recorded_bad_.PlayedByButton();
    WatchSongs();
  });
  connect(ui_->play_good, &TMediaPlayer::played, this, [this] {
    recorded_good_.PlayedByButton();
    WatchSongs();
  });
  connect(&timer1_, &TickTimer::stalled, this,
          [this](qint64 gap, qint64 dropped) { record_.TicksDropped("trial", gap, dropped); });
  connect(&timer2_, &TickTimer::stalled, this,
          [this](qint64 gap, qint64 dropped) { record_.TicksDropped("manual", gap, dropped); });
  record_.Folder().SetMadeListener([this] { ShowRunFiles(); });
  // The Progress window charts what the trial table holds, read back as past runs are.
  record_.ListenToTrialLines([this](std::string_view line) { live_run_.AddLine(line); });
}

void TForm1::ShowError(const QString& text) {
  services_.show_exception(std::make_exception_ptr(std::runtime_error(text.toStdString())));
}

bool TForm1::PointListAtDefaultFolder(TFileListBox& list, bool show_error) {
  // A machine without the default folder still gets its window: the list stays empty and the
  // experimenter picks a folder with its button.
  try {
    list.ApplyFilePath(services_.default_song_folder);
    return true;
  } catch (const std::exception& error) {
    if (show_error) {
      record_.MessageShown("error", error.what());
      services_.show_exception(std::current_exception());
    }
    return false;
  }
}

double TForm1::Odds() const {
  return ui_->odds->Value();
}
std::int32_t TForm1::NeutralShareItem() const {
  return ui_->precent_bad->ItemIndex();
}
std::int32_t TForm1::SelectionMode() const {
  return ui_->song_selection->ItemIndex();
}
std::int32_t TForm1::SerialBlockLength() const {
  return ui_->serial_tb->value();
}
std::int32_t TForm1::SerialStartItem() const {
  return ui_->start_with->ItemIndex();
}
double TForm1::PuffDelay() const {
  return ui_->action_delay->Value();
}
std::int32_t TForm1::PuffDuration() const {
  return ui_->puff_duration->value();
}
double TForm1::PerchLine() const {
  return ui_->l1->Value();
}

void TForm1::SetWindowColour(orvane::Colour colour) {
  QPalette colours = palette();
  colours.setColor(QPalette::Window, ToQColor(colour));
  setPalette(colours);
  setAutoFillBackground(true);
}

void TForm1::ShowErrorMessage(std::string_view text) {
  record_.MessageShown("start refused", text);
  services_.show_message(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TForm1::ShowNotice(std::string_view text) {
  notices_.Post(std::string(text));
}

void TForm1::SetBadListColour(orvane::Colour colour) {
  ui_->bad_song_list->SetColour(colour);
}
void TForm1::SetGoodListColour(orvane::Colour colour) {
  ui_->good_song_list->SetColour(colour);
}
void TForm1::SetPerchColour(orvane::Colour colour) {
  ui_->perch->SetBrushColour(colour);
}
void TForm1::SetPuffColour(orvane::Colour colour) {
  ui_->puff->SetBrushColour(colour);
}
void TForm1::ShowDeviceFailing(bool failing) {
  ui_->perch->SetCrossed(failing);
}
void TForm1::SetPuffNote(const std::string& note) {
  ui_->puff->setToolTip(QString::fromStdString(note));
}

void TForm1::StartClick() {
  controller_.StartClick();
  if (timer1_.IsEnabled()) {
    record_.Started();
    power_.RunStarted(static_cast<std::uintptr_t>(internalWinId()));
  }
  KeepClosingTheValve();
  WatchSongs();
}
void TForm1::StopClick() {
  controller_.StopClick();
  record_.Stopped();
  power_.RunStopped();
  KeepClosingTheValve();
  WatchSongs();
}
void TForm1::pufferClick() {
  lines_.Beat();
  recorded_lines_.WritesBy(PuffBy::kManual);
  controller_.pufferClick();
  KeepClosingTheValve();
}
// A failed off write is written again at every tick of either timer, before the tick's own work.
// Every handler that may write to the puffer first tells the valve's keepers that it answers.
void TForm1::Timer1Timer() {
  lines_.Beat();
  recorded_lines_.RewriteOffPatternIfDue();
  recorded_lines_.WritesBy(PuffBy::kTrial);
  // An error inside the tick is shown once the tick is over: a box opened within it would hold
  // Timer1, and with it the perch readings, for as long as it stays open.
  try {
    controller_.Timer1Timer();
  } catch (const std::exception& error) {
    notices_.Post(error.what());
  } catch (...) {
    notices_.Post({});
  }
  KeepClosingTheValve();
  WatchSongs();
}
void TForm1::Timer2Timer() {
  lines_.Beat();
  recorded_lines_.RewriteOffPatternIfDue();
  recorded_lines_.WritesBy(PuffBy::kManual);
  controller_.Timer2Timer();
  KeepClosingTheValve();
}
void TForm1::ValveGuardTimer() {
  lines_.Beat();
  recorded_lines_.RewriteOffPatternIfDue();
  KeepClosingTheValve();
}
void TForm1::HeartbeatTimer() {
  lines_.Beat();
  KeepClosingTheValve();
}
void TForm1::SongWatchTimer() {
  WatchSongs();
}

void TForm1::WatchSongs() {
  // Both watched every time: the one must not hide the other's end.
  const bool bad_sounding = recorded_bad_.Watch();
  const bool good_sounding = recorded_good_.Watch();
  // Timer1's ticks watch the songs while they run; the song watch only fills in for them.
  if ((bad_sounding || good_sounding) && !timer1_.IsEnabled()) {
    song_watch_.Enable();
  } else {
    song_watch_.Disable();
  }
}

void TForm1::NoteSettings() {
  record_.SettingsMayHaveChanged();
}

void TForm1::NoteRunEnd(const std::string& reason) {
  record_.RunEnds(reason);
}

void TForm1::NoteErrorShown(const QString& text) {
  record_.MessageShown("error", text.toStdString());
}

void TForm1::RecordCrash(void* window, std::string_view reason, std::string_view message,
                         std::optional<std::int32_t> off_status) noexcept {
  static_cast<TForm1*>(window)->record_.RecordCrash(reason, message, off_status);
}

void TForm1::ShowRunFiles() {
  const orvane::record::RunRecord& record = record_;
  QString text = QStringLiteral("This run is saved in the folder %1:")
                     .arg(QString::fromStdU16String(record_.Folder().Path().u16string()));
  const std::pair<std::filesystem::path, const char*> files[] = {
      {record.Journal().Path(), "the trials as Copy gives them"},
      {record.Table().Path(), "each trial with its settings and timings"},
      {record.Events().Path(), "every event of the run"}};
  for (const auto& [path, what] : files) {
    if (!path.empty()) {
      text += QStringLiteral("\n%1 (%2)")
                  .arg(QString::fromStdU16String(path.filename().u16string()), what);
    }
  }
  ui_->report->setToolTip(text);
}

std::optional<bool> TForm1::CloseValveForSleep() {
  // Without the driver library there is no valve to close, nor to warn of.
  if (!lines_.DrivesAValve()) {
    return std::nullopt;
  }
  recorded_lines_.WritesBy(PuffBy::kSleep);
  recorded_lines_.PuffOff();
  return !lines_.OffPatternDue();
}

void TForm1::KeepClosingTheValve() {
  if (lines_.OffPatternDue() && !timer1_.IsEnabled() && !timer2_.IsEnabled()) {
    valve_guard_.Enable();
  } else {
    valve_guard_.Disable();
  }
}

void TForm1::input0Click() {
  const std::string old_folder = ui_->bad_song_list->Directory();
  if (const auto text = ui_->bad_song_list->ChooseFolder(services_.folder_dialog)) {
    ui_->playbacks_folder0->setText(QString::fromStdString(*text));
    record_.FolderChosen(orvane::kBadSong, old_folder, ui_->bad_song_list->Directory());
  }
}

void TForm1::input1Click() {
  const std::string old_folder = ui_->good_song_list->Directory();
  if (const auto text = ui_->good_song_list->ChooseFolder(services_.folder_dialog)) {
    ui_->playbacks_folder1->setText(QString::fromStdString(*text));
    record_.FolderChosen(orvane::kNeutralSong, old_folder, ui_->good_song_list->Directory());
  }
}

void TForm1::bad_song_listClick() {
  ChooseSong(*ui_->bad_song_list, orvane::kBadSong, play_bad_);
}
void TForm1::good_song_listClick() {
  ChooseSong(*ui_->good_song_list, orvane::kNeutralSong, play_good_);
}

void TForm1::ChooseSong(TFileListBox& list, orvane::SongKind kind, orvane::MediaPlayer& player) {
  const orvane::FileList& files = list.List();
  const auto selected = files.Selection();
  record_.SongChosen(kind, files.Directory(), selected ? files.Entries()[*selected] : "");
  // A song that sounded stops here; the song watch records that within a tick.
  orvane::SelectSong(files, player);
}

void TForm1::copyClick() {
  log_.copyClick();
  record_.Copied();
}
void TForm1::clearClick() {
  log_.clearClick();
  record_.Cleared();
}

// A division, not a multiplication by 0.1: 3 × 0.1 is not the double nearest to 0.3, and the
// controller compares these values with tick counts.
void TForm1::puff_durationChange() {
  ui_->puff_duration_val->SetLabValue(ui_->puff_duration->value() / 10.0);
}
void TForm1::action_delayTbChange() {
  ui_->action_delay->SetLabValue(ui_->action_delayTb->value() / 10.0);
}
void TForm1::feedback_delay1Change() {
  ui_->odds->SetLabValue(ui_->feedback_delay1->value() / 1000.0);
}
void TForm1::serial_tbChange() {
  ui_->serial_num->SetLabValue(ui_->serial_tb->value());
}

void TForm1::song_selectionClick() {
  const bool serial = ui_->song_selection->ItemIndex() == 1;
  const bool random = ui_->song_selection->ItemIndex() == 0;
  if (!serial && !random) {
    return;
  }
  ui_->precent_bad->setVisible(random);
  ui_->serial_tb->setVisible(serial);
  ui_->serial_num->setVisible(serial);
  ui_->start_with->setVisible(serial);
}

void TForm1::p1sUpClick() {
  StepUp(*ui_->p1, 7);
}
void TForm1::p1sDownClick() {
  StepDown(*ui_->p1);
}
void TForm1::l1sUpClick() {
  StepUp(*ui_->l1, 7);
}
void TForm1::l1sDownClick() {
  StepDown(*ui_->l1);
}
void TForm1::p2sUpClick() {
  StepUp(*ui_->p2, 6);
}
void TForm1::p2sDownClick() {
  StepDown(*ui_->p2);
}
void TForm1::l2sUpClick() {
  StepUp(*ui_->l2, 7);
}
void TForm1::l2sDownClick() {
  StepDown(*ui_->l2);
}

void TForm1::FormClose() {
  // The program ends with the window: a tick still queued must not reach the released tasks.
  timer1_.Disable();
  timer2_.Disable();
  heartbeat_.Disable();
  song_watch_.Disable();
  power_.Close();
  // Close the valve first: a window closed in the middle of a puff must not leave air blowing.
  // Without the driver library there is no valve, and the start-up box said so.
  const bool drives_a_valve = lines_.DrivesAValve();
  if (drives_a_valve) {
    recorded_lines_.WritesBy(PuffBy::kClose);
    recorded_lines_.PuffOff();
  }
  const bool left_open = drives_a_valve && lines_.OffPatternDue();
  lines_.CloseTasks();
  valve_guard_.Disable();
  // No box may come up for a window that has gone, but for the valve that may still be open.
  notices_.Discard();
  if (left_open) {
    const std::string text = lines_.ValveLeftOpen();
    RecordEndFault(text);
    ShowError(QString::fromStdString(text));
  }
  record_.RunEnds("closed");
}

void TForm1::EndWithoutTheLoop() {
  if (const auto left_open = lines_.CloseWithoutTheWindow()) {
    RecordEndFault(*left_open);
  }
  record_.RunEnds("exit without the event loop");
}

void TForm1::RecordEndFault(const std::string& text) {
  record_.MessageShown("error", text);
  if (services_.record_end_fault) {
    services_.record_end_fault(text);
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  FormClose();
  QWidget::closeEvent(event);
}

void TForm1::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    setAttribute(Qt::WA_KeyboardFocusChange);
  }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->contents && event->type() == QEvent::Resize) {
    for (const RightAnchor& anchor : right_anchors_) {
      if (anchor.widget) {
        anchor.widget->move(ui_->contents->width() - anchor.distance_from_right,
                            anchor.widget->y());
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!fitted_to_screen_) {
    fitted_to_screen_ = true;
    FitToScreen();
  }
}

void TForm1::FitToScreen() {
  const QScreen* shown_on = screen();
  if (shown_on == nullptr) {
    return;
  }
  // The frame's size is known once the window manager has framed the window; allow for a usual one.
  QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
  if (frame.isNull()) {
    frame = QMargins(4, 30, 4, 4);
  }
  const orvane::WindowPlace shown{pos(), size()};
  const orvane::WindowPlace place =
      orvane::FitIntoRoom(shown, shown_on->availableGeometry(), frame,
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this));
  // A window that fits is left where the window manager puts it.
  if (place != shown) {
    resize(place.size);
    move(place.frame_corner);
  }
}
