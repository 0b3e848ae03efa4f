#pragma once

#include <QFuture>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "progress/ProgressPlot.h"
#include "progress/TrialRow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class ProgressCharts;

// The "Progress" window: the charts of one live run, or of past runs read from their trial
// tables, with the block size to count them in, "Open runs…" and the exports. Live trials are
// taken one at a time and drawn on the next turn of the event loop, never inside the caller, so
// a tick that logs a trial is not held up by the drawing; a burst is drawn in one go.
class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  struct Setup {
    // Where the chosen block size is remembered (an INI file).
    QString settings_file;
    // Where "Open runs…" starts looking: the folder the runs' tables are saved in.
    QString runs_folder;
  };

  // Offered block sizes; the first choice is 10.
  static constexpr int kBlockSizes[] = {5, 10, 20, 50};
  static constexpr int kDefaultBlockSize = 10;

  explicit ProgressWindow(const Setup& setup, QWidget* parent = nullptr);
  ~ProgressWindow() override;

  // A trial of the live run, drawn on the next turn of the event loop. The live run goes on: its
  // last block is the block so far.
  void AddTrial(const orvane::TrialRow& row);
  // Shows the runs of these trial tables in time order, with a message for each table or line
  // that could not be read. For a window of past runs only. The tables are read off the window's
  // thread, which stops reading once the window has gone; the future is finished once they are
  // drawn, which takes turns of the event loop.
  QFuture<void> ShowRuns(const std::vector<std::filesystem::path>& files);
  QFuture<void> ShowRuns(const QStringList& files);
  // A new window, beside this one, for the runs of these tables.
  ProgressWindow* OpenRuns(const QStringList& files);

  int BlockSize() const { return plot_.BlockSize(); }
  // As the choice in the window does it, and remembered for the next window.
  void SetBlockSize(int block_size);
  // Counts every decision of a song, not only its first, as the box in the window does.
  void SetEveryDecision(bool every);

  // Each is drawn at once and written off the window's thread; its future gives an empty text or
  // the reason the file was not written. The charts as a picture of their size on the screen, as
  // one for print at 300 dots per inch, as a PDF drawing; the plotted block values as a table.
  // Callable by name, as a check of an installed program does.
  Q_INVOKABLE QFuture<QString> SaveChartsAsPng(const QString& file);
  Q_INVOKABLE QFuture<QString> SaveChartsAsPrintPng(const QString& file);
  Q_INVOKABLE QFuture<QString> SaveChartsAsPdf(const QString& file);
  Q_INVOKABLE QFuture<QString> SaveBlockValues(const QString& file);

  const orvane::ProgressPlot& Plot() const { return plot_; }
  ProgressCharts& Charts() { return *charts_; }
  const QStringList& Problems() const { return problems_; }
  // What the window says of the runs beyond their charts, such as latencies that are first leaves.
  const QStringList& Notes() const { return notes_; }
  // Trials taken but not drawn yet.
  std::size_t TrialsWaiting() const { return waiting_.size(); }

 private:
  void DrawWaiting();
  void ShowProblems();
  void ShowSummary();
  void ChooseRunsToOpen();
  void ChooseExport(int what);
  QFuture<QString> SaveCharts(const QString& file, const std::function<QByteArray()>& make);
  int RememberedBlockSize() const;

  Setup setup_;
  orvane::ProgressPlot plot_;
  std::vector<orvane::TrialRow> waiting_;
  bool draw_queued_ = false;
  bool live_run_begun_ = false;
  QStringList problems_;
  QStringList notes_;
  // Cleared when the window goes, so that a reading of its tables still under way stops.
  std::shared_ptr<std::atomic<bool>> wanted_ = std::make_shared<std::atomic<bool>>(true);
  QComboBox* block_size_;
  QLabel* counted_;
  QCheckBox* every_decision_;
  QLabel* summary_;
  QLabel* problems_label_;
  QLabel* notes_label_;
  ProgressCharts* charts_;
};
