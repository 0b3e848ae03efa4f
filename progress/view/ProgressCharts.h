#pragma once

#include <QWidget>

#include <array>
#include <cstddef>
#include <memory>

#include "control/SongKind.h"
#include "progress/ProgressPlot.h"
#include "progress/view/SegmentedLine.h"

class QCategoryAxis;
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

// The two progress charts, one above the other, over the same trial axis: the escape rate per
// block for each song kind, and each trial's escape latency with the running median. Each run is
// dated on the axis above each chart, and a line marks where it starts. Drawn from a ProgressPlot:
// in full, or only what was added since the last drawing.
class ProgressCharts : public QWidget {
  Q_OBJECT

 public:
  explicit ProgressCharts(QWidget* parent = nullptr);
  ~ProgressCharts() override;

  // Draws the plot afresh, as after a change of the block size.
  void Redraw(const orvane::ProgressPlot& plot);
  // Draws what the plot gained since the last drawing: new blocks and points, the block in
  // progress, the axes.
  void DrawNew(const orvane::ProgressPlot& plot);

  QChart& RateChart() { return *rate_chart_; }
  QChart& LatencyChart() { return *latency_chart_; }

 private:
  // The lines and points of one song kind.
  struct KindLines {
    std::unique_ptr<SegmentedLine> rate;
    std::unique_ptr<SegmentedLine> rate_so_far;
    QLineSeries* latencies = nullptr;
    std::unique_ptr<SegmentedLine> median;
    QLineSeries* stays = nullptr;
    int last_run_with_median = -1;
    std::size_t latencies_drawn = 0;
    std::size_t stays_drawn = 0;
    bool last_block_had_value = false;
  };

  void BuildRateChart();
  void BuildLatencyChart();
  void AddKind(orvane::SongKind kind);
  void DrawBlocks(const orvane::ProgressPlot& plot);
  void DrawBlocksSoFar(const orvane::ProgressPlot& plot);
  void DrawLatencies(const orvane::ProgressPlot& plot, orvane::SongKind kind);
  void DrawAxes(const orvane::ProgressPlot& plot);
  KindLines& Lines(orvane::SongKind kind) { return kind == orvane::kBadSong ? bad_ : neutral_; }

  QChart* rate_chart_;
  QChart* latency_chart_;
  QValueAxis* rate_trials_;
  QValueAxis* rate_percent_;
  QCategoryAxis* rate_runs_;
  QValueAxis* latency_trials_;
  QValueAxis* latency_ms_;
  QValueAxis* stays_edge_;  // hidden, 0 to 1: stays are marked in rows near its top
  QCategoryAxis* latency_runs_;
  KindLines bad_;
  KindLines neutral_;

  // How far the blocks are drawn: runs begun, and complete blocks of the last of them.
  std::size_t runs_drawn_ = 0;
  std::size_t blocks_drawn_ = 0;
  std::size_t runs_on_axis_ = 0;
  double axis_end_ = 0;
  double latency_top_ = 0;
};
