#include "progress/view/ProgressCharts.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

const QColor kBadColour(196, 40, 40);
const QColor kNeutralColour(32, 96, 200);

QString KindName(orvane::SongKind kind) {
  return kind == orvane::kBadSong ? QStringLiteral("Bad song") : QStringLiteral("Neutral song");
}

QColor KindColour(orvane::SongKind kind) {
  return kind == orvane::kBadSong ? kBadColour : kNeutralColour;
}

QPen LinePen(const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
  return QPen(colour, 2.0, style);
}

QChart* NewChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
  // Room beside the plot for the date of a run that starts at its edge.
  chart->setMargins(QMargins(40, 4, 40, 4));
  return chart;
}

// The axis from 0 to the first tick at or beyond `top`, with a tick at every step of 1, 2 or 5
// times a power of ten that cuts it into at most `most_steps`: whole numbers at round places.
void StepAxis(QValueAxis& axis, double top, int most_steps) {
  double step = 1;
  while (step * 10 * most_steps < top) {
    step *= 10;
  }
  for (const double multiple : {1.0, 2.0, 5.0, 10.0}) {
    if (multiple * step * most_steps >= top) {
      step *= multiple;
      break;
    }
  }
  axis.setTickType(QValueAxis::TicksDynamic);
  axis.setTickAnchor(0);
  axis.setTickInterval(step);
  axis.setRange(0, std::ceil(top / step) * step);
}

QValueAxis* TrialAxis(QChart& chart) {
  auto* axis = new QValueAxis;
  axis->setTitleText(QStringLiteral("Trial"));
  axis->setLabelFormat(QStringLiteral("%d"));
  StepAxis(*axis, 10, 10);
  chart.addAxis(axis, Qt::AlignBottom);
  return axis;
}

// Above the plot: each run's date over its stretch of trials, and a line down the chart where it
// starts.
QCategoryAxis* RunAxis(QChart& chart, QValueAxis& trials) {
  auto* axis = new QCategoryAxis;
  axis->setTitleText(QStringLiteral("Start of run"));
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
  axis->setGridLinePen(QPen(QColor(90, 90, 90), 1.5, Qt::DashLine));
  axis->setRange(trials.min(), trials.max());
  chart.addAxis(axis, Qt::AlignTop);
  QObject::connect(&trials, &QValueAxis::rangeChanged, axis,
                   [axis](qreal min, qreal max) { axis->setRange(min, max); });
  return axis;
}

QValueAxis* ValueAxis(QChart& chart, const QString& title, double top) {
  auto* axis = new QValueAxis;
  axis->setTitleText(title);
  axis->setLabelFormat(QStringLiteral("%d"));
  axis->setRange(0, top);
  chart.addAxis(axis, Qt::AlignLeft);
  return axis;
}

// Points without a line: a line series with no pen, its points drawn as pictures. Unlike a scatter
// series it makes no graphics item per point, so that a run of thousands of trials draws quickly.
QLineSeries* Points(QChart& chart, const QString& name, const QImage& mark, QAbstractAxis& x,
                    QAbstractAxis& y) {
  auto* series = new QLineSeries(&chart);
  series->setName(name);
  series->setPen(Qt::NoPen);
  series->setLightMarker(mark);
  series->setMarkerSize(mark.width());  // the picture is drawn in a square of this side
  chart.addSeries(series);
  series->attachAxis(&x);
  series->attachAxis(&y);
  for (QLegendMarker* marker : chart.legend()->markers(series)) {
    marker->setShape(QLegend::MarkerShapeRectangle);
    marker->setBrush(mark.pixelColor(mark.width() / 2, mark.height() / 2));
  }
  return series;
}

QImage Dot(const QColor& colour, int size) {
  QImage dot(size, size, QImage::Format_ARGB32_Premultiplied);
  dot.fill(Qt::transparent);
  QPainter painter(&dot);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawEllipse(QRectF(0, 0, size, size));
  return dot;
}

// A short upright stroke: stays are many, and strokes side by side still tell them apart.
QImage StayMark(const QColor& colour) {
  QImage mark(9, 9, QImage::Format_ARGB32_Premultiplied);
  mark.fill(Qt::transparent);
  QPainter painter(&mark);
  painter.fillRect(QRect(4, 0, 1, 9), colour);
  return mark;
}

// The two kinds' stays in two rows under the top edge of the latency chart (on 0 to 1).
double StayRow(orvane::SongKind kind) {
  return kind == orvane::kBadSong ? 0.975 : 0.935;
}

QString RunLabel(const orvane::PlottedRun& run, std::size_t number) {
  if (run.start) {
    return QString::fromStdString(orvane::DateAndMinuteText(*run.start));
  }
  return QStringLiteral("run %1").arg(number);
}

}  // namespace

ProgressCharts::ProgressCharts(QWidget* parent) : QWidget(parent) {
  BuildRateChart();
  BuildLatencyChart();
  AddKind(orvane::kBadSong);
  AddKind(orvane::kNeutralSong);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QChart* chart : {rate_chart_, latency_chart_}) {
    auto* view = new QChartView(chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(240);
    layout->addWidget(view);
  }
}

ProgressCharts::~ProgressCharts() = default;

void ProgressCharts::BuildRateChart() {
  rate_chart_ = NewChart(QString());
  rate_trials_ = TrialAxis(*rate_chart_);
  rate_runs_ = RunAxis(*rate_chart_, *rate_trials_);
  rate_percent_ = ValueAxis(*rate_chart_, QStringLiteral("Escape rate (%)"), 100);
  rate_percent_->setTickCount(5);
}

void ProgressCharts::BuildLatencyChart() {
  latency_chart_ = NewChart(QStringLiteral("Escape latency, with the running median"));
  latency_trials_ = TrialAxis(*latency_chart_);
  latency_runs_ = RunAxis(*latency_chart_, *latency_trials_);
  latency_ms_ = ValueAxis(*latency_chart_, QStringLiteral("Escape latency (ms)"), 1000);
  StepAxis(*latency_ms_, 1000, 8);
  stays_edge_ = new QValueAxis;
  stays_edge_->setRange(0, 1);
  stays_edge_->setVisible(false);
  latency_chart_->addAxis(stays_edge_, Qt::AlignRight);
}

void ProgressCharts::AddKind(orvane::SongKind kind) {
  KindLines& lines = Lines(kind);
  const QString name = KindName(kind);
  const QColor colour = KindColour(kind);
  const QImage block_mark = Dot(colour, 7);
  lines.rate = std::make_unique<SegmentedLine>(*rate_chart_, name, LinePen(colour), block_mark,
                                               *rate_trials_, *rate_percent_);
  lines.rate_so_far = std::make_unique<SegmentedLine>(
      *rate_chart_, name + QStringLiteral(", block so far"), LinePen(colour, Qt::DotLine),
      block_mark, *rate_trials_, *rate_percent_);
  // See-through, so that points of the two kinds on top of each other both show.
  QColor point_colour = colour;
  point_colour.setAlpha(150);
  lines.latencies =
      Points(*latency_chart_, name, Dot(point_colour, 6), *latency_trials_, *latency_ms_);
  lines.median = std::make_unique<SegmentedLine>(*latency_chart_, name + QStringLiteral(", median"),
                                                 LinePen(colour.darker(170)), QImage(),
                                                 *latency_trials_, *latency_ms_);
  lines.stays = Points(*latency_chart_, name + QStringLiteral(", stayed"), StayMark(colour),
                       *latency_trials_, *stays_edge_);
}

void ProgressCharts::Redraw(const orvane::ProgressPlot& plot) {
  for (KindLines* lines : {&bad_, &neutral_}) {
    lines->rate->Clear();
    lines->rate_so_far->Clear();
    lines->median->Clear();
    lines->latencies->clear();
    lines->stays->clear();
    lines->last_run_with_median = -1;
    lines->latencies_drawn = 0;
    lines->stays_drawn = 0;
    lines->last_block_had_value = false;
  }
  runs_drawn_ = 0;
  blocks_drawn_ = 0;
  runs_on_axis_ = 0;
  axis_end_ = 0;
  latency_top_ = 0;
  StepAxis(*latency_ms_, 1000, 8);
  StepAxis(*rate_trials_, 10, 10);
  StepAxis(*latency_trials_, 10, 10);
  DrawNew(plot);
}

void ProgressCharts::DrawNew(const orvane::ProgressPlot& plot) {
  rate_chart_->setTitle(QStringLiteral("Escape rate per block of %1 trials").arg(plot.BlockSize()));
  DrawBlocks(plot);
  DrawBlocksSoFar(plot);
  for (const orvane::SongKind kind : {orvane::kBadSong, orvane::kNeutralSong}) {
    DrawLatencies(plot, kind);
  }
  DrawAxes(plot);
  for (KindLines* lines : {&bad_, &neutral_}) {
    lines->rate->Flush();
    lines->rate_so_far->Flush();
    lines->median->Flush();
  }
}

void ProgressCharts::DrawBlocks(const orvane::ProgressPlot& plot) {
  const std::vector<orvane::PlottedRun>& runs = plot.Runs();
  for (;;) {
    if (runs_drawn_ > 0) {
      const std::vector<orvane::Block>& blocks = runs[runs_drawn_ - 1].blocks.Blocks();
      for (; blocks_drawn_ < blocks.size() && blocks[blocks_drawn_].complete; ++blocks_drawn_) {
        const orvane::Block& block = blocks[blocks_drawn_];
        for (const orvane::SongKind kind : {orvane::kBadSong, orvane::kNeutralSong}) {
          // A block without the kind leaves a gap in its line.
          if (const auto percent = block.Of(kind).EscapePercent()) {
            Lines(kind).rate->Append(QPointF(block.last_trial, *percent));
          } else {
            Lines(kind).rate->Break();
          }
        }
      }
    }
    if (runs_drawn_ == runs.size()) {
      return;
    }
    ++runs_drawn_;
    blocks_drawn_ = 0;
    bad_.rate->Break();
    neutral_.rate->Break();
  }
}

void ProgressCharts::DrawBlocksSoFar(const orvane::ProgressPlot& plot) {
  for (const orvane::SongKind kind : {orvane::kBadSong, orvane::kNeutralSong}) {
    SegmentedLine& so_far = *Lines(kind).rate_so_far;
    so_far.Clear();
    for (const orvane::PlottedRun& run : plot.Runs()) {
      const std::vector<orvane::Block>& blocks = run.blocks.Blocks();
      if (blocks.empty() || blocks.back().complete) {
        continue;
      }
      const auto percent = blocks.back().Of(kind).EscapePercent();
      if (!percent) {
        continue;
      }
      // Joined to the last complete block by a dotted line, when that block had the kind.
      if (blocks.size() >= 2) {
        const orvane::Block& before = blocks[blocks.size() - 2];
        if (const auto before_percent = before.Of(kind).EscapePercent()) {
          so_far.Append(QPointF(before.last_trial, *before_percent));
        }
      }
      so_far.Append(QPointF(blocks.back().last_trial, *percent));
      so_far.Break();
    }
  }
}

void ProgressCharts::DrawLatencies(const orvane::ProgressPlot& plot, orvane::SongKind kind) {
  KindLines& lines = Lines(kind);
  const orvane::LatencyPlot& latency = plot.Latency(kind);
  QList<QPointF> points;
  for (std::size_t i = lines.latencies_drawn; i < latency.latencies.size(); ++i) {
    const orvane::PlotPoint& point = latency.latencies[i];
    points.append(QPointF(point.x, point.y));
    latency_top_ = std::max(latency_top_, point.y);
    const orvane::PlotPoint& median = latency.medians[i];
    if (median.run != lines.last_run_with_median) {
      lines.median->Break();
      lines.last_run_with_median = median.run;
    }
    lines.median->Append(QPointF(median.x, median.y));
  }
  lines.latencies_drawn = latency.latencies.size();
  AppendPoints(*lines.latencies, points);
  points.clear();
  for (std::size_t i = lines.stays_drawn; i < latency.stays.size(); ++i) {
    points.append(QPointF(latency.stays[i].x, StayRow(kind)));
  }
  lines.stays_drawn = latency.stays.size();
  AppendPoints(*lines.stays, points);
}

void ProgressCharts::DrawAxes(const orvane::ProgressPlot& plot) {
  const int trials = plot.Trials();
  if (trials + 1 > rate_trials_->max()) {
    for (QValueAxis* axis : {rate_trials_, latency_trials_}) {
      StepAxis(*axis, std::max(10, trials + 1), 10);
    }
  }
  if (latency_top_ > latency_ms_->max()) {
    StepAxis(*latency_ms_, latency_top_ * 1.05, 8);
  }
  const std::vector<orvane::PlottedRun>& runs = plot.Runs();
  if (runs_on_axis_ == runs.size() && axis_end_ == rate_trials_->max()) {
    return;
  }
  runs_on_axis_ = runs.size();
  axis_end_ = rate_trials_->max();
  for (QCategoryAxis* axis : {rate_runs_, latency_runs_}) {
    for (const QString& label : axis->categoriesLabels()) {
      axis->remove(label);
    }
    axis->setVisible(!runs.empty());
    axis->setStartValue(runs.empty() ? 0 : runs.front().first_trial - 0.5);
    QStringList used;
    for (std::size_t i = 0; i < runs.size(); ++i) {
      QString label = RunLabel(runs[i], i + 1);
      // Labels name the categories, so two runs begun in the same minute need two names.
      for (int copy = 2; used.contains(label); ++copy) {
        label = RunLabel(runs[i], i + 1) + QStringLiteral(" (%1)").arg(copy);
      }
      used.append(label);
      axis->append(label, i + 1 < runs.size() ? runs[i + 1].first_trial - 0.5 : axis_end_);
    }
  }
}
