// Speed and memory of the trial log at the size of a long experiment (100,000 trials).
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/support/PeakMemory.h"
#include "control/MonotonicClock.h"
#include "log/ClipboardText.h"
#include "log/JournaledLog.h"
#include "log/TrialJournal.h"
#include "log/TrialLog.h"
#include "log/record/RunRecord.h"
#include "log/view/ReportListView.h"

namespace orvane {
namespace {

class NoLists : public SongListHighlight {
 public:
  void SetBadListColour(Colour) override {}
  void SetGoodListColour(Colour) override {}
};

class PlainCounter : public ValueDisplay {
 public:
  double Value() const override { return value_; }
  void SetLabValue(double value) override { value_ = value; }

 private:
  double value_ = 0;
};

// One second later at every call, so that every stamp differs as in a real run.
class TickingClock : public LocalClock {
 public:
  LocalDateTime Now() const override {
    const int elapsed = seconds_++;
    return LocalDateTime{
        2024, 3, 1 + elapsed / 86400, elapsed / 3600 % 24, elapsed / 60 % 60, elapsed % 60, 0};
  }

 private:
  mutable int seconds_ = 3600;
};

class DiscardingClipboard : public Clipboard {
 public:
  void SetText(std::string_view) override {}
};

// Resident memory a table of 100,000 logged rows takes beyond the bytes of its cell texts.
// Registered first: heap freed by the other benchmarks would hide the growth.
void BM_MemoryPerRow(benchmark::State& state) {
  constexpr int kRows = 100000;
  const std::string stamp = "21/03/2024 14:05:09";
  for (auto _ : state) {
    const std::size_t before = bench::CurrentResidentBytes();
    auto table = std::make_unique<ReportTable>(3, 4);
    std::size_t text_bytes = 0;
    for (int row = 1; row <= kRows; ++row) {
      table->SetElem(1, row, stamp);
      table->SetElem(2, row, row % 3 == 0 ? "bad" : "good");
      table->SetElem(3, row, row % 2 == 0 ? "No" : "Yes");
      text_bytes += stamp.size() + (row % 3 == 0 ? 3 : 4) + (row % 2 == 0 ? 2 : 3);
      table->SetNrRows(table->GetNrRows() + 1);
    }
    const std::size_t after = bench::CurrentResidentBytes();
    // A sort adds the display permutation (4 bytes a row) and frees its keys again.
    table->SortByColumn(1);
    state.counters["after_sort_per_row"] =
        static_cast<double>(bench::CurrentResidentBytes() - before) / kRows;
    state.counters["bytes_per_row"] = static_cast<double>(after - before) / kRows;
    state.counters["beyond_text_per_row"] =
        (static_cast<double>(after - before) - static_cast<double>(text_bytes)) / kRows;
    benchmark::DoNotOptimize(table);
  }
}
BENCHMARK(BM_MemoryPerRow)->Iterations(1)->Unit(benchmark::kMillisecond);

// A shown log table with its trial log, as the main window holds them.
struct LoggedWindow {
  explicit LoggedWindow(int trials) {
    QFont font("Tahoma");
    font.setPixelSize(11);
    view.setFont(font);
    view.resize(514, 385);
    view.show();
    log.InitTrialLog();
    for (int i = 0; i < trials; ++i) {
      log.LogTrial(i % 3 == 0 ? kBadSong : kNeutralSong, i % 2 == 0);
    }
    QApplication::processEvents();
  }

  TReportListView view;
  NoLists lists;
  PlainCounter bad_stay, bad_escape, good_stay, good_escape;
  DiscardingClipboard clipboard;
  TickingClock clock;
  TrialLog log{
      {view.table(), lists, bad_stay, bad_escape, good_stay, good_escape, clipboard, clock}};
};

void BM_LogTrial(benchmark::State& state) {
  LoggedWindow window(static_cast<int>(state.range(0)));
  int i = 0;
  for (auto _ : state) {
    ++i;
    window.log.LogTrial(i % 3 == 0 ? kBadSong : kNeutralSong, i % 2 == 0);
  }
  state.counters["rows"] = window.view.table().GetNrRows();
}
BENCHMARK(BM_LogTrial)->Arg(1000)->Arg(100000)->UseRealTime()->Unit(benchmark::kMicrosecond);

class NoNotices : public NoticeBoard {
 public:
  void Post(std::string) override {}
};

// The same logged row, also appended to the run's journal on disk, as the window's tick does it:
// what the journal adds to a logged-row tick. Its fsync runs on the journal's own thread.
void BM_LogTrialWithJournal(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("orvane-journal-bench-" + std::to_string(QCoreApplication::applicationPid()));
  {
    LoggedWindow window(static_cast<int>(state.range(0)));
    NoNotices notices;
    RunFolder run_folder(folder, window.clock.Now(), notices);
    TrialJournal journal(run_folder);
    JournaledLog journaled(window.log, window.view.table(), journal);
    int i = 0;
    for (auto _ : state) {
      ++i;
      journaled.LogTrial(i % 3 == 0 ? kBadSong : kNeutralSong, i % 2 == 0);
    }
    state.counters["rows"] = window.view.table().GetNrRows();
  }
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LogTrialWithJournal)
    ->Arg(1000)
    ->Arg(100000)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void BM_PaintVisibleTable(benchmark::State& state) {
  LoggedWindow window(static_cast<int>(state.range(0)));
  window.view.table().SortByColumn(2);
  window.view.table().MarkRow(5);
  // Halfway down, where every shown row is a logged one.
  auto* bar = window.view.findChild<QScrollBar*>();
  bar->setValue(bar->maximum() / 2);
  QImage image(window.view.size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    window.view.render(&image);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintVisibleTable)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortByColumn(benchmark::State& state) {
  LoggedWindow window(100000);
  const auto column = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    window.view.table().SortByColumn(column);
  }
}
BENCHMARK(BM_SortByColumn)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_CopyText(benchmark::State& state) {
  LoggedWindow window(100000);
  const ReportTable& table = window.view.table();
  for (auto _ : state) {
    std::string text = CopyText(table, WholeLogRange(table));
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_CopyText)->Unit(benchmark::kMillisecond);

class FixedSettings : public ExperimentSettings {
 public:
  double Odds() const override { return 0.1; }
  std::int32_t NeutralShareItem() const override { return 2; }
  std::int32_t SelectionMode() const override { return 0; }
  std::int32_t SerialBlockLength() const override { return 10; }
  std::int32_t SerialStartItem() const override { return 0; }
  double PuffDelay() const override { return 2.0; }
  std::int32_t PuffDuration() const override { return 10; }
  double PerchLine() const override { return 7; }
};

// The run's record on disk, stamped by the system's clock as in the program.
struct RecordOnDisk {
  RecordOnDisk()
      : folder(std::filesystem::temp_directory_path() /
               ("orvane-record-bench-" + std::to_string(QCoreApplication::applicationPid()))),
        record({folder, clock, notices, settings, monotonic}) {
    record.BeginRun("driver=bench", "/songs", "/songs");
  }
  ~RecordOnDisk() { std::filesystem::remove_all(folder); }

  std::filesystem::path folder;
  SystemLocalClock clock;
  NoNotices notices;
  FixedSettings settings;
  SteadyClock monotonic;
  record::RunRecord record;
};

// What the record adds to a tick whose perch reading changed: one event line on disk.
void BM_RecordPerchChange(benchmark::State& state) {
  RecordOnDisk disk;
  bool on = false;
  for (auto _ : state) {
    disk.record.PerchRead(on = !on, 0);
  }
  state.counters["events"] = static_cast<double>(disk.record.Events().Events());
}
BENCHMARK(BM_RecordPerchChange)->UseRealTime()->Unit(benchmark::kMicrosecond);

// What the record adds to a logged-row tick of a bad song with the bird on the perch: the puff's
// event, the trial table's line and the decision's event.
void BM_RecordLoggedRow(benchmark::State& state) {
  RecordOnDisk disk;
  disk.record.SongChosen(kBadSong, "/songs", "bad.wav");
  for (auto _ : state) {
    state.PauseTiming();
    disk.record.PerchRead(true, 0);
    disk.record.SongStarted(kBadSong, true, {});
    disk.record.PerchRead(true, 0);
    state.ResumeTiming();
    disk.record.PuffWritten(true, record::PuffBy::kTrial, 0);
    disk.record.TrialLogged(kBadSong, true, {});
  }
}
BENCHMARK(BM_RecordLoggedRow)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The trial table's line for a row, without the disk.
void BM_TrialTableLine(benchmark::State& state) {
  record::TrialRow row;
  row.trial = 1234;
  row.song_file = "bad song number one.wav";
  row.song_folder = "C:\\Users\\lab\\Documents\\songs";
  row.left_tick = 107;
  row.settings = {"2.0", "1.0", "0.100", "50", "random", "10", "bad song", "7"};
  row.playback.stream = "ready";
  for (auto _ : state) {
    benchmark::DoNotOptimize(record::TrialTableLine(row));
  }
}
BENCHMARK(BM_TrialTableLine);

// The local time with its offset from UTC, which every line of the record is stamped with.
void BM_SystemLocalClock(benchmark::State& state) {
  const SystemLocalClock clock;
  for (auto _ : state) {
    benchmark::DoNotOptimize(clock.Now());
  }
}
BENCHMARK(BM_SystemLocalClock);

}  // namespace
}  // namespace orvane

int main(int argc, char** argv) {
  // The view needs a GUI application; no display is wanted.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
