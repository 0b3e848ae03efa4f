#include "progress/view/ProgressCharts.h"

#include <QBuffer>
#include <QImage>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <limits>

#include "progress/PointText.h"

namespace {

const QColor kBadColour(196, 40, 40);
const QColor kNeutralColour(32, 96, 200);
const QColor kWindowColour(226, 232, 222);
const QColor kChangeColour(120, 90, 20);
constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
// How near a point the pointer must be to be told of it, in pixels.
constexpr double kPointerReach = 6;
// A smoothed line of this width paints in less than half the time one of 2 pixels takes, which
// counts where a long run zigzags through hundreds of blocks.
constexpr double kLineWidth = 1.5;
// Trials arriving in a burst are painted at most this often, in milliseconds; their points are
// in the charts at once.
constexpr qint64 kReplotMs = 100;

QString KindName(orvane::SongKind kind) {
  return kind == orvane::kBadSong ? QStringLiteral("Bad song") : QStringLiteral("Neutral song");
}

QColor KindColour(orvane::SongKind kind) {
  return kind == orvane::kBadSong ? kBadColour : kNeutralColour;
}

// The two kinds' stays in two rows near the top of the latency chart (on 0 to 1), under the
// labels of changed settings and over every point.
double StayRow(orvane::SongKind kind) {
  return kind == orvane::kBadSong ? 0.91 : 0.87;
}

// Ticks at whole numbers only, at steps of 1, 2 or 5 times a power of ten: trials are counted.
class WholeNumberTicker : public QCPAxisTicker {
 protected:
  double getTickStep(const QCPRange& range) override {
    const double exact = range.size() / std::max(1, tickCount());
    const double magnitude = std::pow(10.0, std::floor(std::log10(std::max(exact, 1e-9))));
    double step = 10 * magnitude;
    for (const double mantissa : {1.0, 2.0, 5.0}) {
      if (mantissa * magnitude >= exact) {
        step = mantissa * magnitude;
        break;
      }
    }
    return std::max(1.0, step);
  }
  int getSubTickCount(double) override { return 0; }
};

// The first whole step of 1, 2 or 5 times a power of ten at or past `top`, with at most ten such
// steps to it: the trial axis's end, which moves on only now and then as trials come.
double RoundEnd(int top) {
  constexpr int kMostSteps = 10;
  double step = 1;
  while (step * 10 * kMostSteps < top) {
    step *= 10;
  }
  for (const double multiple : {1.0, 2.0, 5.0, 10.0}) {
    if (multiple * step * kMostSteps >= top) {
      step *= multiple;
      break;
    }
  }
  return std::ceil(top / step) * step;
}

// A short upright stroke: stays are many, and strokes side by side still tell them apart.
QCPScatterStyle StayMark(const QColor& colour) {
  QPainterPath stroke;
  stroke.moveTo(0, -3);
  stroke.lineTo(0, 3);
  return QCPScatterStyle(stroke, QPen(colour, 1.2), Qt::NoBrush, 9);
}

// The mark drawn once into a picture: the screen draws thousands of them, and a picture is copied
// far faster than a smoothed shape is filled. At the same place as the shape, within a pixel.
QCPScatterStyle Pictured(const QCPScatterStyle& mark) {
  if (mark.isNone()) {
    return mark;
  }
  const int side = static_cast<int>(std::ceil(mark.size() + mark.pen().widthF())) + 2;
  QPixmap picture(side, side);
  picture.fill(Qt::transparent);
  QCPPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  mark.applyTo(&painter, mark.pen());
  mark.drawShape(&painter, side / 2.0, side / 2.0);
  painter.end();
  return QCPScatterStyle(picture);
}

void Style(QCPGraph& graph, const QPen& pen, QCPGraph::LineStyle line) {
  graph.setPen(pen);
  graph.setLineStyle(line);
}

void SetPoints(QCPGraph& graph, const QVector<double>& keys, const QVector<double>& values) {
  graph.data()->clear();
  graph.addData(keys, values, true);
}

}  // namespace

ProgressCharts::ProgressCharts(QWidget* parent) : QCustomPlot(parent) {
  plotLayout()->clear();
  setAutoAddPlottableToLegend(false);
  rate_ = AddChart(0, QString(), rate_title_, rate_legend_);
  latency_ = AddChart(3, QString(), latency_title_, latency_legend_);
  auto* margins = new QCPMarginGroup(this);
  for (QCPAxisRect* chart : {rate_, latency_}) {
    chart->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
  }
  rate_->axis(QCPAxis::atLeft)->setLabel(QStringLiteral("Escape rate (%)"));
  rate_->axis(QCPAxis::atLeft)->setRange(-3, 103);
  latency_->axis(QCPAxis::atLeft)->setLabel(QStringLiteral("Escape latency (ms)"));
  latency_->axis(QCPAxis::atRight)->setRange(0, 1);

  // The time the bird had to escape, under every point.
  windows_ = AddGraph(*latency_, *latency_->axis(QCPAxis::atLeft),
                      QStringLiteral("Time the bird had to escape"));
  Style(*windows_, Qt::NoPen, QCPGraph::lsStepCenter);
  windows_->setBrush(kWindowColour);
  stands_.erase(windows_);
  // Neutral first, so that where both kinds share a place the bad song's mark is on top.
  AddKind(orvane::kNeutralSong);
  AddKind(orvane::kBadSong);

  // Solid lines drawn a segment at a time: a smoothed polyline of hundreds of zigzags takes the
  // painter many times longer. Drawings for export still get whole polylines.
  setPlottingHint(QCP::phFastPolylines, true);
  replot_due_.setSingleShot(true);
  connect(&replot_due_, &QTimer::timeout, this, [this] { Replot(); });
  setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
  for (QCPAxisRect* chart : {rate_, latency_}) {
    chart->setRangeDrag(Qt::Horizontal);
    chart->setRangeZoom(Qt::Horizontal);
    QCPAxis* trials = chart->axis(QCPAxis::atBottom);
    connect(trials, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            [this](const QCPRange& range) {
              if (!setting_range_) {
                user_range_ = true;
              }
              SetTrialRange(range);
            });
  }
  connect(this, &QCustomPlot::mouseDoubleClick, this, [this](QMouseEvent*) {
    ShowAll();
    replot(rpQueuedReplot);
  });
  connect(this, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) {
    const QString text = PointTextAt(event->position());
    if (text.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(event->globalPosition().toPoint(), text, this);
    }
  });
  setMinimumHeight(480);
  ShowAll();
}

ProgressCharts::~ProgressCharts() = default;

QCPAxisRect* ProgressCharts::AddChart(int row, const QString& title, QCPTextElement*& title_element,
                                      QCPLegend*& legend) {
  title_element = new QCPTextElement(this, title, QFont(font().family(), 10, QFont::Bold));
  plotLayout()->addElement(row, 0, title_element);
  auto* chart = new QCPAxisRect(this);
  plotLayout()->addElement(row + 1, 0, chart);
  legend = new QCPLegend;
  plotLayout()->addElement(row + 2, 0, legend);
  legend->setLayer(QStringLiteral("legend"));
  legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
  legend->setWrap(4);
  legend->setBorderPen(Qt::NoPen);
  legend->setMargins(QMargins(0, 0, 0, 4));
  for (const int element : {row, row + 2}) {
    plotLayout()->setRowStretchFactor(element, 0.001);
  }

  QCPAxis* trials = chart->axis(QCPAxis::atBottom);
  trials->setLabel(QStringLiteral("Trial"));
  trials->setTicker(QSharedPointer<WholeNumberTicker>::create());
  QCPAxis* runs = chart->axis(QCPAxis::atTop);
  runs->setTicker(QSharedPointer<QCPAxisTickerText>::create());
  runs->setVisible(true);
  runs->setTickLabels(true);
  runs->setSubTicks(false);
  runs->setTickLength(0, 0);
  chart->axis(QCPAxis::atRight)->setVisible(false);
  return chart;
}

QCPGraph* ProgressCharts::AddGraph(QCPAxisRect& chart, QCPAxis& value_axis, const QString& name,
                                   Stands stands) {
  QCPGraph* graph = addGraph(chart.axis(QCPAxis::atBottom), &value_axis);
  graph->setName(name);
  graph->setAdaptiveSampling(true);
  stands_[graph] = stands;
  return graph;
}

void ProgressCharts::AddKind(orvane::SongKind kind) {
  KindGraphs& graphs = Graphs(kind);
  const QString name = KindName(kind);
  const QColor colour = KindColour(kind);
  QCPAxis& percent = *rate_->axis(QCPAxis::atLeft);
  const QPen line(colour, kLineWidth);
  const QPen dotted(colour, kLineWidth, Qt::DotLine);
  const QCPScatterStyle block_mark(QCPScatterStyle::ssDisc, colour, 7);
  graphs.rate = AddGraph(*rate_, percent, name, Stands::kBlock);
  Style(*graphs.rate, line, QCPGraph::lsLine);
  Mark(*graphs.rate, block_mark);
  graphs.rate_so_far =
      AddGraph(*rate_, percent, name + QStringLiteral(", block so far"), Stands::kBlock);
  Style(*graphs.rate_so_far, dotted, QCPGraph::lsLine);
  Mark(*graphs.rate_so_far, block_mark);
  graphs.rate_partial =
      AddGraph(*rate_, percent, name + QStringLiteral(", last block cut short by the run's end"),
               Stands::kBlock);
  Style(*graphs.rate_partial, dotted, QCPGraph::lsLine);
  Mark(*graphs.rate_partial,
       QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(colour, 1.6), Qt::white, 8));

  QCPAxis& ms = *latency_->axis(QCPAxis::atLeft);
  // See-through, so that points of the two kinds on top of each other both show.
  QColor point_colour = colour;
  point_colour.setAlpha(160);
  graphs.latencies = AddGraph(*latency_, ms, name);
  Style(*graphs.latencies, QPen(point_colour), QCPGraph::lsNone);
  Mark(*graphs.latencies, QCPScatterStyle(QCPScatterStyle::ssDisc, point_colour, 6));
  graphs.returned = AddGraph(*latency_, ms, name + QStringLiteral(", left and came back"));
  Style(*graphs.returned, QPen(colour), QCPGraph::lsNone);
  Mark(*graphs.returned,
       QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(colour, 1.4), Qt::NoBrush, 7));
  graphs.median = AddGraph(*latency_, ms, name + QStringLiteral(", median"));
  Style(*graphs.median, QPen(colour.darker(170), kLineWidth), QCPGraph::lsLine);
  stands_.erase(graphs.median);
  graphs.stays =
      AddGraph(*latency_, *latency_->axis(QCPAxis::atRight), name + QStringLiteral(", stayed"));
  Style(*graphs.stays, QPen(colour), QCPGraph::lsNone);
  Mark(*graphs.stays, StayMark(colour));
}

void ProgressCharts::Mark(QCPGraph& graph, const QCPScatterStyle& mark) {
  // A picture would blur on a screen of more pixels than points; it gets the shapes.
  const QCPScatterStyle on_screen = devicePixelRatioF() > 1 ? mark : Pictured(mark);
  marks_[&graph] = {mark, on_screen};
  graph.setScatterStyle(on_screen);
}

void ProgressCharts::DrawMarksAsShapes(bool shapes) {
  for (const auto& [graph, marks] : marks_) {
    graph->setScatterStyle(shapes ? marks.first : marks.second);
  }
}

void ProgressCharts::Redraw(const orvane::ProgressPlot& plot) {
  for (KindGraphs* graphs : {&bad_, &neutral_}) {
    for (QCPGraph* graph : {graphs->rate, graphs->rate_so_far, graphs->rate_partial,
                            graphs->latencies, graphs->returned, graphs->median, graphs->stays}) {
      graph->data()->clear();
    }
    graphs->latencies_drawn = 0;
    graphs->returned_drawn = 0;
    graphs->stays_drawn = 0;
  }
  windows_->data()->clear();
  for (QCPAbstractItem* mark : change_marks_) {
    removeItem(mark);
  }
  change_marks_.clear();
  for (QCPAbstractItem* mark : run_marks_) {
    removeItem(mark);
  }
  run_marks_.clear();
  runs_drawn_ = 0;
  blocks_drawn_ = 0;
  windows_drawn_ = 0;
  changes_drawn_ = 0;
  runs_on_axis_ = 0;
  latency_top_ = 0;
  trials_ = 0;
  DrawNew(plot);
}

void ProgressCharts::DrawNew(const orvane::ProgressPlot& plot) {
  plot_ = &plot;
  DrawTitles(plot);
  DrawBlocks(plot);
  DrawLastBlocks(plot);
  DrawWindows(plot);
  for (const orvane::SongKind kind : {orvane::kBadSong, orvane::kNeutralSong}) {
    DrawLatencies(plot, kind);
  }
  DrawChanges(plot);
  DrawRuns(plot);
  trials_ = plot.Decisions();
  FitAxes();
  ShowInLegends();
  ReplotSoon();
}

void ProgressCharts::ReplotSoon() {
  if (replot_due_.isActive()) {
    return;
  }
  const qint64 since = last_replot_.isValid() ? last_replot_.elapsed() : kReplotMs;
  if (since >= kReplotMs) {
    Replot();
  } else {
    replot_due_.start(static_cast<int>(kReplotMs - since));
  }
}

void ProgressCharts::Replot() {
  // A closed window is only hidden, and still takes every trial: it paints when shown again.
  if (!isVisible()) {
    return;
  }
  last_replot_.start();
  replot(rpQueuedReplot);
}

void ProgressCharts::showEvent(QShowEvent* event) {
  QCustomPlot::showEvent(event);
  replot(rpQueuedReplot);
}

void ProgressCharts::DrawTitles(const orvane::ProgressPlot& plot) {
  const bool songs = plot.CountingOf() == orvane::Counting::kFirstDecisions;
  rate_title_->setText(QStringLiteral("Escape rate per block of %1 %2")
                           .arg(plot.BlockSize())
                           .arg(songs ? QStringLiteral("songs") : QStringLiteral("decisions")));
  QString latency = QStringLiteral("Escape latency, with the running median");
  if (plot.AnyLatenciesAreFirstLeaves()) {
    latency += QStringLiteral(" (from older tables: the first leave)");
  }
  latency_title_->setText(latency);
}

void ProgressCharts::DrawBlocks(const orvane::ProgressPlot& plot) {
  const std::vector<orvane::PlottedRun>& runs = plot.Runs();
  for (;;) {
    if (runs_drawn_ > 0) {
      const orvane::PlottedRun& run = runs[runs_drawn_ - 1];
      const std::vector<orvane::Block>& blocks = run.blocks.Blocks();
      for (; blocks_drawn_ < blocks.size() && blocks[blocks_drawn_].complete; ++blocks_drawn_) {
        const orvane::Block& block = blocks[blocks_drawn_];
        for (const orvane::SongKind kind : {orvane::kBadSong, orvane::kNeutralSong}) {
          // A block without the kind leaves a gap in its line.
          const auto percent = block.Of(kind).EscapePercent();
          Graphs(kind).rate->addData(block.last_x, percent.value_or(kGap));
        }
      }
    }
    if (runs_drawn_ == runs.size()) {
      return;
    }
    // No line across the start of a run.
    if (runs_drawn_ > 0) {
      for (KindGraphs* graphs : {&bad_, &neutral_}) {
        graphs->rate->addData(runs[runs_drawn_].first_x - 0.5, kGap);
      }
    }
    ++runs_drawn_;
    blocks_drawn_ = 0;
  }
}

void ProgressCharts::DrawLastBlocks(const orvane::ProgressPlot& plot) {
  for (const orvane::SongKind kind : {orvane::kBadSong, orvane::kNeutralSong}) {
    QVector<double> so_far_x, so_far_y, partial_x, partial_y;
    for (const orvane::PlottedRun& run : plot.Runs()) {
      const std::vector<orvane::Block>& blocks = run.blocks.Blocks();
      if (blocks.empty() || blocks.back().complete) {
        continue;
      }
      const auto percent = blocks.back().Of(kind).EscapePercent();
      if (!percent) {
        continue;
      }
      QVector<double>& xs = run.info.ongoing ? so_far_x : partial_x;
      QVector<double>& ys = run.info.ongoing ? so_far_y : partial_y;
      if (!xs.isEmpty()) {
        xs.append(run.first_x - 0.5);
        ys.append(kGap);
      }
      // Joined to the last complete block by a dotted line, when that block had the kind.
      if (blocks.size() >= 2) {
        const orvane::Block& before = blocks[blocks.size() - 2];
        if (const auto before_percent = before.Of(kind).EscapePercent()) {
          xs.append(before.last_x);
          ys.append(*before_percent);
        }
      }
      xs.append(blocks.back().last_x);
      ys.append(*percent);
    }
    SetPoints(*Graphs(kind).rate_so_far, so_far_x, so_far_y);
    SetPoints(*Graphs(kind).rate_partial, partial_x, partial_y);
  }
}

void ProgressCharts::DrawLatencies(const orvane::ProgressPlot& plot, orvane::SongKind kind) {
  KindGraphs& graphs = Graphs(kind);
  const orvane::LatencyPlot& latency = plot.Latency(kind);
  for (std::size_t i = graphs.latencies_drawn; i < latency.latencies.size(); ++i) {
    const orvane::PlotPoint& point = latency.latencies[i];
    graphs.latencies->addData(point.x, point.y);
    latency_top_ = std::max(latency_top_, point.y);
    const orvane::PlotPoint& median = latency.medians[i];
    if (i > 0 && latency.medians[i - 1].run != median.run) {
      graphs.median->addData(plot.Runs()[static_cast<std::size_t>(median.run)].first_x - 0.5, kGap);
    }
    graphs.median->addData(median.x, median.y);
  }
  graphs.latencies_drawn = latency.latencies.size();
  for (std::size_t i = graphs.returned_drawn; i < latency.returned.size(); ++i) {
    graphs.returned->addData(latency.returned[i].x, latency.returned[i].y);
    latency_top_ = std::max(latency_top_, latency.returned[i].y);
  }
  graphs.returned_drawn = latency.returned.size();
  for (std::size_t i = graphs.stays_drawn; i < latency.stays.size(); ++i) {
    graphs.stays->addData(latency.stays[i].x, StayRow(kind));
  }
  graphs.stays_drawn = latency.stays.size();
}

void ProgressCharts::DrawWindows(const orvane::ProgressPlot& plot) {
  const std::vector<orvane::PlotPoint>& windows = plot.DecisionWindows();
  for (; windows_drawn_ < windows.size(); ++windows_drawn_) {
    const orvane::PlotPoint& window = windows[windows_drawn_];
    if (windows_drawn_ > 0 && windows[windows_drawn_ - 1].run != window.run) {
      windows_->addData(window.x - 0.5, kGap);
    }
    windows_->addData(window.x, window.y);
    latency_top_ = std::max(latency_top_, window.y);
  }
}

void ProgressCharts::DrawChanges(const orvane::ProgressPlot& plot) {
  const std::vector<orvane::SettingChange>& changes = plot.Changes();
  for (; changes_drawn_ < changes.size(); ++changes_drawn_) {
    const orvane::SettingChange& change = changes[changes_drawn_];
    for (QCPAxisRect* chart : {rate_, latency_}) {
      QCPItemStraightLine* line = UprightLine(*chart, change.x - 0.5);
      line->setPen(QPen(kChangeColour, 1.2, Qt::DashDotLine));
      auto* label = new QCPItemText(this);
      label->setLayer(QStringLiteral("axes"));
      label->setClipAxisRect(chart);
      label->position->setAxes(chart->axis(QCPAxis::atBottom), chart->axis(QCPAxis::atLeft));
      label->position->setAxisRect(chart);
      label->position->setTypeX(QCPItemPosition::ptPlotCoords);
      label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
      label->position->setCoords(change.x - 0.5, 0.0);
      label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setText(QString::fromStdString(change.text));
      label->setColor(kChangeColour);
      label->setBrush(QColor(255, 255, 255, 210));
      label->setPadding(QMargins(3, 1, 3, 1));
      change_marks_.push_back(line);
      change_marks_.push_back(label);
    }
  }
}

void ProgressCharts::DrawRuns(const orvane::ProgressPlot& plot) {
  const std::vector<orvane::PlottedRun>& runs = plot.Runs();
  if (runs_on_axis_ != runs.size()) {
    runs_on_axis_ = runs.size();
    for (QCPAbstractItem* mark : run_marks_) {
      removeItem(mark);
    }
    run_marks_.clear();
    run_labels_.clear();
    for (const std::string& label : orvane::RunLabels(runs)) {
      run_labels_.append(QString::fromStdString(label));
    }
    for (const orvane::PlottedRun& run : runs) {
      for (QCPAxisRect* chart : {rate_, latency_}) {
        QCPItemStraightLine* start = UprightLine(*chart, run.first_x - 0.5);
        start->setObjectName(QStringLiteral("run start"));
        start->setPen(QPen(QColor(70, 70, 70), 1.3, Qt::DashLine));
        run_marks_.push_back(start);
      }
    }
    for (QCPAxisRect* chart : {rate_, latency_}) {
      chart->axis(QCPAxis::atTop)->setLabel(runs.empty() ? QString() : QStringLiteral("Run"));
    }
  }
  run_spans_.clear();
  for (const orvane::PlottedRun& run : runs) {
    run_spans_.emplace_back(run.first_x - 0.5, run.last_x + 0.5);
  }
  // The last run reaches to the axis's end, so that its label stays put as its trials come.
  if (!run_spans_.empty()) {
    run_spans_.back().second = std::numeric_limits<double>::max();
  }
  PlaceRunLabels(rate_->axis(QCPAxis::atBottom)->range());
}

void ProgressCharts::PlaceRunLabels(const QCPRange& range) {
  // Over the middle of what shows of each run, so that a label never hangs off the chart.
  QMap<double, QString> labels;
  for (std::size_t i = 0; i < run_spans_.size(); ++i) {
    const double from = std::max(run_spans_[i].first, range.lower);
    const double to = std::min(run_spans_[i].second, range.upper);
    if (from < to) {
      labels.insert((from + to) / 2, run_labels_.value(static_cast<qsizetype>(i)));
    }
  }
  for (QCPAxisRect* chart : {rate_, latency_}) {
    chart->axis(QCPAxis::atTop)->ticker().staticCast<QCPAxisTickerText>()->setTicks(labels);
  }
}

QCPItemStraightLine* ProgressCharts::UprightLine(QCPAxisRect& chart, double x) {
  auto* line = new QCPItemStraightLine(this);
  line->setLayer(QStringLiteral("grid"));
  line->setClipAxisRect(&chart);
  for (QCPItemPosition* end : {line->point1, line->point2}) {
    end->setAxes(chart.axis(QCPAxis::atBottom), chart.axis(QCPAxis::atLeft));
    end->setAxisRect(&chart);
  }
  line->point1->setCoords(x, 0);
  line->point2->setCoords(x, 1);
  return line;
}

void ProgressCharts::FitAxes() {
  // Room above the highest point for the rows of stays and the labels of changes.
  const double top = std::max(1000.0, latency_top_ * 1.2);
  latency_->axis(QCPAxis::atLeft)->setRange(0, top);
  if (!user_range_) {
    ShowAll();
  }
}

void ProgressCharts::ShowAll() {
  user_range_ = false;
  setting_range_ = true;
  SetTrialRange(QCPRange(0, RoundEnd(std::max(10, trials_ + 1))));
  setting_range_ = false;
}

void ProgressCharts::SetTrialRange(const QCPRange& range) {
  for (QCPAxisRect* chart : {rate_, latency_}) {
    chart->axis(QCPAxis::atBottom)->setRange(range);
    chart->axis(QCPAxis::atTop)->setRange(range);
  }
  PlaceRunLabels(range);
}

void ProgressCharts::ShowInLegends() {
  // Only what is drawn is named, always in the same order.
  for (const auto& [chart, legend] :
       {std::pair(rate_, rate_legend_), std::pair(latency_, latency_legend_)}) {
    QList<QCPGraph*> drawn = chart->graphs();
    drawn.removeIf([](const QCPGraph* graph) { return graph->data()->isEmpty(); });
    if (drawn != legend_graphs_[legend]) {
      legend_graphs_[legend] = drawn;
      legend->clearItems();
      for (QCPGraph* graph : drawn) {
        graph->addToLegend(legend);
      }
    }
  }
}

const orvane::Block* ProgressCharts::BlockEndingAt(int x, int& run) const {
  const std::vector<orvane::PlottedRun>& runs = plot_->Runs();
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (x < runs[i].first_x || x > runs[i].last_x) {
      continue;
    }
    run = static_cast<int>(i);
    for (const orvane::Block& block : runs[i].blocks.Blocks()) {
      if (block.last_x == x) {
        return &block;
      }
    }
  }
  return nullptr;
}

QString ProgressCharts::PointTextAt(const QPointF& pos) const {
  if (plot_ == nullptr) {
    return {};
  }
  const QCPGraph* nearest = nullptr;
  int index = -1;
  double distance = kPointerReach;
  for (QCPAxisRect* chart : {rate_, latency_}) {
    if (!chart->rect().contains(pos.toPoint())) {
      continue;
    }
    for (const QCPGraph* graph : chart->graphs()) {
      if (stands_.count(graph) == 0 || graph->data()->isEmpty()) {
        continue;
      }
      QVariant details;
      const double away = graph->selectTest(pos, false, &details);
      const QCPDataSelection selected = details.value<QCPDataSelection>();
      // Bad songs are drawn on top, and so win a tie.
      if (away >= 0 && away <= distance && !selected.isEmpty()) {
        distance = away;
        nearest = graph;
        index = selected.dataRange().begin();
      }
    }
  }
  if (nearest == nullptr) {
    return {};
  }
  const auto x = static_cast<int>(std::lround(nearest->data()->at(index)->key));
  if (stands_.at(nearest) == Stands::kTrial) {
    return QString::fromStdString(orvane::TrialPointText(*plot_, x));
  }
  int run = 0;
  const orvane::Block* block = BlockEndingAt(x, run);
  if (block == nullptr) {
    return {};
  }
  const orvane::SongKind kind =
      nearest == bad_.rate || nearest == bad_.rate_so_far || nearest == bad_.rate_partial
          ? orvane::kBadSong
          : orvane::kNeutralSong;
  return QString::fromStdString(orvane::BlockPointText(*plot_, run, *block, kind));
}

QByteArray ProgressCharts::Png(double scale, int dots_per_inch) {
  // Shapes are sharp at any scale; the pictures the screen draws are not.
  DrawMarksAsShapes(true);
  QImage image = toPixmap(0, 0, scale).toImage();
  DrawMarksAsShapes(false);
  if (image.isNull()) {
    return {};
  }
  const int dots_per_meter = static_cast<int>(std::lround(dots_per_inch / 0.0254));
  image.setDotsPerMeterX(dots_per_meter);
  image.setDotsPerMeterY(dots_per_meter);
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  return image.save(&out, "PNG") ? bytes : QByteArray();
}

QByteArray ProgressCharts::Pdf(const QString& title) {
  // As savePdf() draws it, but into memory: the file is written off the window's thread, and no
  // printer is looked for, which may wait on a print server.
  QByteArray bytes;
  QBuffer out(&bytes);
  out.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&out);
    constexpr int kScreenDpi = 96;
    pdf.setResolution(kScreenDpi);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Orvane"));
    const QSizeF points = QSizeF(size()) * 72.0 / kScreenDpi;
    pdf.setPageLayout(
        QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                    QPageLayout::Portrait, QMarginsF()));
    QCPPainter painter;
    if (!painter.begin(&pdf)) {
      return {};
    }
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.setWindow(QRect(QPoint(), size()));
    DrawMarksAsShapes(true);
    toPainter(&painter, width(), height());
    DrawMarksAsShapes(false);
    painter.end();
  }
  return bytes;
}
