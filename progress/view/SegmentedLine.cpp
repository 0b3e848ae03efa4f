#include "progress/view/SegmentedLine.h"

#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>

SegmentedLine::SegmentedLine(QChart& chart, const QString& name, const QPen& pen,
                             const QImage& point_mark, QAbstractAxis& x_axis, QAbstractAxis& y_axis)
    : chart_(chart),
      name_(name),
      pen_(pen),
      point_mark_(point_mark),
      x_axis_(x_axis),
      y_axis_(y_axis) {
  // The first stretch stands in the legend from the start, before the line has a point.
  AddStretch();
}

QLineSeries& SegmentedLine::AddStretch() {
  auto* series = new QLineSeries(&chart_);
  series->setName(name_);
  series->setPen(pen_);
  // Marked with a picture, which draws much faster than a round point of the series' own.
  series->setLightMarker(point_mark_);
  series->setMarkerSize(point_mark_.width());
  chart_.addSeries(series);
  series->attachAxis(&x_axis_);
  series->attachAxis(&y_axis_);
  if (!stretches_.empty()) {
    for (QLegendMarker* marker : chart_.legend()->markers(series)) {
      marker->setVisible(false);
    }
  }
  stretches_.push_back(series);
  pending_.emplace_back();
  return *series;
}

void SegmentedLine::Append(const QPointF& point) {
  if (broken_ || used_ == 0) {
    broken_ = false;
    if (used_ == 0 || !pending_[used_ - 1].isEmpty() || stretches_[used_ - 1]->count() > 0) {
      if (used_ == stretches_.size()) {
        AddStretch();
      }
      ++used_;
    }
  }
  pending_[used_ - 1].append(point);
}

void SegmentedLine::Clear() {
  for (std::size_t i = 0; i < stretches_.size(); ++i) {
    stretches_[i]->clear();
    pending_[i].clear();
  }
  used_ = 0;
  broken_ = true;
}

void SegmentedLine::Flush() {
  for (std::size_t i = 0; i < used_; ++i) {
    AppendPoints(*stretches_[i], pending_[i]);
    pending_[i].clear();
  }
}

void AppendPoints(QXYSeries& series, const QList<QPointF>& points) {
  // Appending a list point by point lays the series out again after each point; a replacement
  // lays it out once.
  if (points.size() == 1) {
    series.append(points.front());
  } else if (!points.isEmpty()) {
    series.replace(series.points() + points);
  }
}
