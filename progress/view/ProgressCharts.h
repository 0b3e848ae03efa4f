#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstddef>
#include <map>
#include <utility>
#include <vector>

#include "control/SongKind.h"
#include "progress/ProgressPlot.h"
#include "qcustomplot.h"

// The two progress charts, one above the other over one trial axis: the escape rate per block for
// each song kind, and each trial's escape latency with the running median, over the time the bird
// had to escape. Each run is dated above each chart with a line where it starts, and each change
// of a setting is marked on both with its new value. The wheel zooms the trial axis, dragging
// pans it and a double click shows every trial again; a pointer over a point is told its trial.
// Drawn from a ProgressPlot: in full, or only what was added since the last drawing.
class ProgressCharts : public QCustomPlot {
  Q_OBJECT

 public:
  explicit ProgressCharts(QWidget* parent = nullptr);
  ~ProgressCharts() override;

  // Draws the plot afresh, as after a change of the block size. The plot must outlive the
  // drawing, or be drawn afresh before it goes.
  void Redraw(const orvane::ProgressPlot& plot);
  // Draws what the plot gained since the last drawing: new blocks and points, the block in
  // progress, the axes; a trial axis zoomed or moved by the user stays where it is.
  void DrawNew(const orvane::ProgressPlot& plot);
  // Every trial on the trial axis again, as after a double click.
  void ShowAll();
  // What a pointer at `pos` is told: the trial or block of the nearest point, or nothing.
  QString PointTextAt(const QPointF& pos) const;

  // The charts as a PNG picture, `scale` times their size on the screen, marked as printed at
  // `dots_per_inch`; or as a PDF drawing of their size. Empty when it could not be made.
  QByteArray Png(double scale, int dots_per_inch);
  QByteArray Pdf(const QString& title);

  QCPAxisRect& RateChart() const { return *rate_; }
  QCPAxisRect& LatencyChart() const { return *latency_; }
  QCPLegend& RateLegend() const { return *rate_legend_; }
  QCPLegend& LatencyLegend() const { return *latency_legend_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // What a point of a graph stands for, to tell a pointer over it.
  enum class Stands { kTrial, kBlock };
  struct KindGraphs {
    QCPGraph* rate = nullptr;
    QCPGraph* rate_so_far = nullptr;
    QCPGraph* rate_partial = nullptr;
    QCPGraph* latencies = nullptr;
    QCPGraph* returned = nullptr;
    QCPGraph* median = nullptr;
    QCPGraph* stays = nullptr;
    std::size_t latencies_drawn = 0;
    std::size_t returned_drawn = 0;
    std::size_t stays_drawn = 0;
  };

  QCPAxisRect* AddChart(int row, const QString& title, QCPTextElement*& title_element,
                        QCPLegend*& legend);
  void AddKind(orvane::SongKind kind);
  QCPGraph* AddGraph(QCPAxisRect& chart, QCPAxis& value_axis, const QString& name,
                     Stands stands = Stands::kTrial);
  // Gives the graph its mark, drawn on the screen as a picture of the mark.
  void Mark(QCPGraph& graph, const QCPScatterStyle& mark);
  // The marks as shapes, for a drawing at another scale; or as pictures again.
  void DrawMarksAsShapes(bool shapes);
  void DrawBlocks(const orvane::ProgressPlot& plot);
  void DrawLastBlocks(const orvane::ProgressPlot& plot);
  void DrawLatencies(const orvane::ProgressPlot& plot, orvane::SongKind kind);
  void DrawWindows(const orvane::ProgressPlot& plot);
  void DrawChanges(const orvane::ProgressPlot& plot);
  void DrawRuns(const orvane::ProgressPlot& plot);
  void PlaceRunLabels(const QCPRange& range);
  // A line down the chart at `x` on the trial axis.
  QCPItemStraightLine* UprightLine(QCPAxisRect& chart, double x);
  void DrawTitles(const orvane::ProgressPlot& plot);
  void FitAxes();
  // Paints the charts on the loop's next turn, or when the last painting is long enough ago.
  void ReplotSoon();
  void Replot();
  void ShowInLegends();
  void SetTrialRange(const QCPRange& range);
  const orvane::Block* BlockEndingAt(int x, int& run) const;
  KindGraphs& Graphs(orvane::SongKind kind) { return kind == orvane::kBadSong ? bad_ : neutral_; }

  QCPAxisRect* rate_;
  QCPAxisRect* latency_;
  QCPTextElement* rate_title_;
  QCPTextElement* latency_title_;
  QCPLegend* rate_legend_;
  QCPLegend* latency_legend_;
  QCPGraph* windows_;
  KindGraphs bad_;
  KindGraphs neutral_;
  std::map<const QCPGraph*, Stands> stands_;
  std::map<QCPGraph*, std::pair<QCPScatterStyle, QCPScatterStyle>> marks_;  // shape, on screen
  std::map<const QCPLegend*, QList<QCPGraph*>> legend_graphs_;  // what each legend names
  std::vector<QCPAbstractItem*> change_marks_;
  std::vector<QCPAbstractItem*> run_marks_;
  QStringList run_labels_;
  std::vector<std::pair<double, double>> run_spans_;  // on the trial axis, run by run

  const orvane::ProgressPlot* plot_ = nullptr;
  // How far the plot is drawn: runs begun and complete blocks of the last of them, points.
  std::size_t runs_drawn_ = 0;
  std::size_t blocks_drawn_ = 0;
  std::size_t windows_drawn_ = 0;
  std::size_t changes_drawn_ = 0;
  std::size_t runs_on_axis_ = 0;
  double latency_top_ = 0;
  int trials_ = 0;
  // The user has zoomed or moved the trial axis: new trials leave it where it is.
  bool user_range_ = false;
  bool setting_range_ = false;
  QElapsedTimer last_replot_;
  QTimer replot_due_;
};
